// A window probe for the end-to-end tests: reads the texts the launcher shows from its windows
// (found by caption among the visible top-level ones) and drives them. Verbs: text CAPTION CONTROL
// [MS] (control 0: the caption), count CAPTION, rect CAPTION [X Y] (WxH+X+Y after a move to X Y),
// post CAPTION MSG WPARAM LPARAM, locale NAME, watch MS CAPTION..., run (WINPROBE_COMMAND as is;
// prints "EXIT <code>" whole, of which Wine hands a Unix parent only the low byte),
// follow CAPTION CONTROL MS (each new text of the control, a line each, until the window has gone),
// fits CAPTION CONTROL TEXT W H (whether the text, in the Japanese font, fits W x H dialog units),
// order BOX DIALOG MS (whether the box, waited for, is owned by the dialog and above it).
#include "stubini.h"
#include <sddl.h>
#include <string>

// How many visible top-level windows have the caption (the first to first), waited for up to ms.
// The caption is taken from the wide command line: a localized one keeps letters that the ANSI
// code page lacks.
static int find(int index, HWND* first, DWORD ms = 0) {
    int words = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &words);
    const wchar_t* caption = wide && index < words ? wide[index] : L"";
    for (DWORD start = GetTickCount();; Sleep(50)) {
        int count = 0;
        *first = nullptr;
        for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, caption));)
            if (IsWindowVisible(window) && count++ == 0) *first = window;
        if (count || GetTickCount() - start >= ms) {
            LocalFree(wide);
            return count;
        }
    }
}

int main(int argc, char** argv) {
    auto is = [&](const char* verb, int least) { return argc >= least && !strcmp(argv[1], verb); };
    HWND window = nullptr;
    int count = argc >= 3 ? find(2, &window, is("text", 5) ? atoi(argv[4]) : 0) : 0;
    if (is("text", 4)) {
        static wchar_t wide[8192];
        static char utf8[32768];
        int id = atoi(argv[3]);
        if (!window) return 1;
        SendMessageW(id ? GetDlgItem(window, id) : window, WM_GETTEXT, 8192, (LPARAM)wide);
        DWORD size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8, size ? size - 1 : 0, &size, nullptr);
    } else if (is("count", 3)) {
        printf("%d\n", count);
    } else if (is("rect", 3)) {
        RECT r;
        if (argc > 4) SetWindowPos(window, nullptr, atoi(argv[3]), atoi(argv[4]), 0, 0, SWP_NOSIZE);
        if (!window || !GetWindowRect(window, &r)) return 1;
        printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    } else if (is("post", 6)) {
        return !window || !PostMessageA(window, strtoul(argv[3], nullptr, 0),
                                        strtoul(argv[4], nullptr, 0), strtoul(argv[5], nullptr, 0));
    } else if (is("locale", 3)) {
        // Read-only then: Wine would set it again from LC_ALL as the next process starts.
        HKEY intl;
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        return RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0,
                             KEY_SET_VALUE | WRITE_DAC, &intl) != ERROR_SUCCESS ||
               RegSetValueExA(intl, "LocaleName", 0, REG_SZ, (const BYTE*)argv[2],
                              (DWORD)strlen(argv[2]) + 1) != ERROR_SUCCESS ||
               !ConvertStringSecurityDescriptorToSecurityDescriptorA(
                   "D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr) ||
               RegSetKeySecurity(intl, DACL_SECURITY_INFORMATION, readOnly) != ERROR_SUCCESS;
    } else if (is("run", 2)) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        DWORD code = 3;
        if (CreateProcessA(nullptr, getenv("WINPROBE_COMMAND"), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &code);
        }
        printf("EXIT %lu\n", (unsigned long)code);
        return (int)code;
    } else if (is("follow", 5)) {
        printf("WATCHING\n");
        fflush(stdout);
        static wchar_t wide[2][1024];
        static char utf8[4096];
        bool seen = false;
        for (DWORD start = GetTickCount(); GetTickCount() - start < (DWORD)atoi(argv[4]); Sleep(10)) {
            if (!find(2, &window)) {
                if (seen) break;
                continue;
            }
            seen = true;
            wide[0][0] = L'\0';
            SendMessageW(GetDlgItem(window, atoi(argv[3])), WM_GETTEXT, 1024, (LPARAM)wide[0]);
            // Empty: not set yet, or the window went while it was read.
            if (!wide[0][0] || !wcscmp(wide[0], wide[1])) continue;
            wcscpy(wide[1], wide[0]);
            for (wchar_t* c = wide[0]; *c; ++c)
                if (*c == L'\r' || *c == L'\n') *c = L'|';
            WideCharToMultiByte(CP_UTF8, 0, wide[0], -1, utf8, sizeof utf8, nullptr, nullptr);
            printf("%s\n", utf8);
            fflush(stdout);
        }
    } else if (is("fits", 7)) {
        int words = 0;
        wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &words);
        HWND control = window ? GetDlgItem(window, atoi(argv[3])) : nullptr;
        if (!control || words < 7) return 1;
        std::wstring text = wide[4];
        for (size_t at; (at = text.find(L"\\r\\n")) != std::wstring::npos;) text.replace(at, 4, L"\r\n");
        // A font handle of another process is not this one's: the fonts are made again as the
        // launcher makes them (installer.rc's, and statuswin.cpp's Japanese one).
        HDC dc = GetDC(control);
        int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        HFONT dialogFont = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0,
                                       0, 0, 0, L"MS Shell Dlg");
        HFONT japanese = CreateFontW(-MulDiv(16, dpi, 72), 0, 0, 0, 0, 0, 0, 0, SHIFTJIS_CHARSET, 0,
                                     0, 0, FF_ROMAN, L"");
        HGDIOBJ old = SelectObject(dc, dialogFont);
        TEXTMETRICW metrics;
        SIZE letters;
        GetTextMetricsW(dc, &metrics);
        GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
        RECT room = {0, 0, MulDiv(atoi(argv[5]), (letters.cx / 26 + 1) / 2, 4),
                     MulDiv(atoi(argv[6]), metrics.tmHeight, 8)};
        RECT need = room;
        SelectObject(dc, japanese);
        DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_CENTER | DT_WORDBREAK);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        DeleteObject(dialogFont);
        DeleteObject(japanese);
        if (need.right <= room.right && need.bottom <= room.bottom) printf("fits\n");
        else printf("needs %ldx%ld, has %ldx%ld\n", need.right, need.bottom, room.right, room.bottom);
    } else if (is("order", 5)) {
        // "alone" without the dialog; else "owned" or "unowned", then "above" or "below".
        HWND dialog = nullptr;
        find(2, &window, atoi(argv[4]));
        if (!window) return 1;
        if (!find(3, &dialog)) {
            printf("alone\n");
            return 0;
        }
        HWND below = window;
        while (below && below != dialog) below = GetWindow(below, GW_HWNDNEXT);
        printf("%s %s\n", GetWindow(window, GW_OWNER) == dialog ? "owned" : "unowned",
               below ? "above" : "below");
    } else if (is("watch", 3)) {
        // After a line saying it has begun, prints the captions it sees each time it looks.
        printf("WATCHING\n");
        fflush(stdout);
        for (DWORD start = GetTickCount(); GetTickCount() - start < (DWORD)atoi(argv[2]); Sleep(20))
            for (int i = 3; i < argc; ++i)
                if (find(i, &window)) printf("%s\n", argv[i]);
    } else {
        return 2;
    }
    return 0;
}
