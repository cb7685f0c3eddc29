// A window probe for the end-to-end tests: finds visible top-level windows by caption, so that
// tests read the texts the launcher shows from the windows themselves, and drives them.
#include <windows.h>
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Search {
    const char* caption;
    HWND found;
    int count;
};

static BOOL CALLBACK visit(HWND window, LPARAM data) {
    Search* search = (Search*)data;
    char text[512];
    if (!IsWindowVisible(window)) return TRUE;
    if (GetWindowTextA(window, text, sizeof text) <= 0) return TRUE;
    if (strcmp(text, search->caption) != 0) return TRUE;
    if (!search->found) search->found = window;
    ++search->count;
    return TRUE;
}

static Search find(const char* caption) {
    Search search = {caption, nullptr, 0};
    EnumWindows(visit, (LPARAM)&search);
    return search;
}

static HWND waitFor(const char* caption, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = find(caption).found;
        if (window || GetTickCount() - start >= ms) return window;
        Sleep(50);
    }
}

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) return 2;
    const char* verb = argv[1];
    if (strcmp(verb, "wait") == 0 && argc >= 4) {
        HWND window = waitFor(argv[2], (DWORD)atoi(argv[3]));
        if (!window) return 1;
        printf("FOUND\n");
        return 0;
    }
    if (strcmp(verb, "text") == 0 && argc >= 4) {
        HWND window = waitFor(argv[2], argc >= 5 ? (DWORD)atoi(argv[4]) : 0);
        if (!window) return 1;
        int id = atoi(argv[3]);
        wchar_t wide[8192] = L"";
        if (id == 0)
            GetWindowTextW(window, wide, 8192);
        else
            GetDlgItemTextW(window, id, wide, 8192);
        static char text[32768];
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        fwrite(text, 1, strlen(text), stdout);
        return 0;
    }
    bool command = strcmp(verb, "command") == 0, key = strcmp(verb, "key") == 0;
    if ((command || key || strcmp(verb, "close") == 0) && argc >= 3) {
        HWND window = find(argv[2]).found;
        WPARAM value = argc >= 4 ? (WPARAM)strtol(argv[3], nullptr, 0) : 0;
        if (!window) return 1;
        if (key) PostMessageA(window, WM_KEYDOWN, value, 1);
        PostMessageA(window, command ? WM_COMMAND : key ? WM_KEYUP : WM_CLOSE, value,
                     key ? (LPARAM)0xC0000001u : 0);
        return 0;
    }
    if (strcmp(verb, "move") == 0 && argc >= 5) {
        HWND window = find(argv[2]).found;
        if (!window) return 1;
        SetWindowPos(window, nullptr, atoi(argv[3]), atoi(argv[4]), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (strcmp(verb, "rect") == 0 && argc >= 3) {
        HWND window = find(argv[2]).found;
        RECT rect;
        if (!window || !GetWindowRect(window, &rect)) return 1;
        printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top);
        return 0;
    }
    if (strcmp(verb, "locale") == 0 && argc >= 3) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0,
                          KEY_SET_VALUE | WRITE_DAC | READ_CONTROL, &key) != ERROR_SUCCESS)
            return 1;
        LONG status = RegSetValueExA(key, "LocaleName", 0, REG_SZ, (const BYTE*)argv[2],
                                     (DWORD)strlen(argv[2]) + 1);
        // Everyone may read the key, nobody may change it.
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        EXPLICIT_ACCESSA access;
        memset(&access, 0, sizeof access);
        access.grfAccessPermissions = KEY_READ;
        access.grfAccessMode = SET_ACCESS;
        access.grfInheritance = NO_INHERITANCE;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = (LPSTR)everyone;
        PACL acl = nullptr;
        DWORD aclStatus = SetEntriesInAclA(1, &access, nullptr, &acl);
        DWORD secStatus = aclStatus == ERROR_SUCCESS
                              ? SetSecurityInfo(key, SE_REGISTRY_KEY,
                                                DACL_SECURITY_INFORMATION |
                                                    PROTECTED_DACL_SECURITY_INFORMATION,
                                                nullptr, nullptr, acl, nullptr)
                              : aclStatus;
        if (acl) LocalFree(acl);
        if (everyone) FreeSid(everyone);
        RegCloseKey(key);
        printf("set %ld dacl %lu\n", status, secStatus);
        return status == ERROR_SUCCESS && secStatus == ERROR_SUCCESS ? 0 : 1;
    }
    if (strcmp(verb, "run") == 0 && argc >= 3) {
        static char command[65536];
        FILE* f = fopen(argv[2], "rb");
        if (!f) return 2;
        size_t n = fread(command, 1, sizeof command - 1, f);
        fclose(f);
        command[n] = '\0';
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return 3;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return (int)code;
    }
    if (strcmp(verb, "count") == 0 && argc >= 3) {
        printf("%d\n", find(argv[2]).count);
        return 0;
    }
    if (strcmp(verb, "watch") == 0 && argc >= 4) {
        DWORD ms = (DWORD)atoi(argv[2]);
        int captions = argc - 3;
        bool seen[16] = {};
        if (captions > 16) captions = 16;
        printf("WATCHING\n");
        fflush(stdout);
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            for (int i = 0; i < captions; ++i)
                if (!seen[i] && find(argv[3 + i]).found) seen[i] = true;
            Sleep(20);
        }
        for (int i = 0; i < captions; ++i)
            if (seen[i]) printf("SEEN %s\n", argv[3 + i]);
        return 0;
    }
    return 2;
}
