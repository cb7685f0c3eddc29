// The status dialog and the launcher's messages to the user.
//
// The dialog and the boxes carry the product's name in their captions
// (shell/productname.h); the dialog takes the control file's when the worker
// has read it.
//
// The dialog is modeless and belongs to the main thread; it shows one line
// of text in the user's language, the stage the run has reached. The texts
// reach the windows in UTF-16, so that their letters do not depend on the
// system's ANSI code page. The failure box is shown from the worker thread,
// owned by the dialog, so that the dialog can never be drawn over it: the
// worker waits (a while at most) until the main thread has made the dialog
// or given it up, and a box that comes first without one keeps the dialog
// from coming at all. Before the box appears the worker sets the release
// event, which tells the main thread to let the dialog go.
//
// A download adds a progress bar under the line, made when the first report
// arrives: comctl32, a system DLL, is loaded only then, so that no other run
// loads it. The worker keeps the latest figures and posts one message at a
// time; the dialog reads them on the main thread.
#include "shell/statuswin.h"
#include "base/disknames.h"
#include "shell/productname.h"
#include "shell/resource.h"
#include "base/codepage.h"
#include "base/sysdll.h"
#include "config/language.h"
#include "base/strbuf.h"
#include "shell/usertexts.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The captions of a box when memory is short.
static const char MessageCaption[] = "Tallybox Installer";
static const char ErrorCaption[] = "Tallybox Installer: Error";

HINSTANCE hInst = nullptr;
HWND hDlgMain = nullptr;
char waitInstallPath[SemaphorePathSize] = "";

const char* initialStatusText(const char* language) {
    return userPattern(TextUnpacking, language);
}

// The lines in language, UTF-16 (malloc'd; null when out of memory).
static wchar_t* linesForWindow(const UserLines& lines, const char* language) {
    size_t size = 1, used = 0;
    wchar_t* text = (wchar_t*)malloc(size * sizeof(wchar_t));
    if (!text) return nullptr;
    text[0] = L'\0';
    for (size_t i = 0; i < lines.size(); ++i) {
        const UserLines::Part& part = lines.part(i);
        wchar_t* joint = widen(part.joint, CP_ACP);
        wchar_t* piece = partForWindow(part, language);
        wchar_t* larger = nullptr;
        if (joint && piece) {
            size += wcslen(joint) + wcslen(piece);
            larger = (wchar_t*)realloc(text, size * sizeof(wchar_t));
        }
        if (larger) {
            text = larger;
            wcscpy(text + used, joint);
            wcscat(text + used, piece);
            used = wcslen(text);
        }
        free(joint);
        free(piece);
        if (!larger) {
            free(text);
            return nullptr;
        }
    }
    return text;
}

wchar_t* composeErrorText(const UserLines& message, const UserLines* details,
                          const char* language) {
    bool withDetails = details && !details->empty();
    wchar_t* first = linesForWindow(message, language);
    wchar_t* second = withDetails ? linesForWindow(*details, language) : nullptr;
    wchar_t* suffix = userTextForWindow(TextSeeLogs, language);
    wchar_t* text = nullptr;
    if (first && suffix && (second || !withDetails)) {
        size_t size = wcslen(first) + (second ? wcslen(second) + 2 : 0) + wcslen(suffix) + 1;
        text = (wchar_t*)malloc(size * sizeof(wchar_t));
        if (text) {
            wcscpy(text, first);
            if (second) {
                wcscat(text, L"\r\r");
                wcscat(text, second);
            }
            wcscat(text, suffix);
        }
    }
    free(first);
    free(second);
    free(suffix);
    return text;
}

// The caption of a box in language, UTF-16 (malloc'd; null when out of
// memory): the product's name, or for an error box the language's pattern
// with it; the language's own caption where no product is named.
static wchar_t* boxCaption(BoxKind kind, const char* language) {
    char product[ProductNameUtf8Size];
    if (!productName(product, sizeof product)) copyText(product, userPattern(TextCaption, language));
    char caption[ProductNameUtf8Size + 100];
    if (kind == BoxKind::Error)
        userText(caption, sizeof caption, TextErrorCaption, language, product);
    else
        copyText(caption, product);
    return widen(caption, CP_UTF8);
}

void showCaption(HWND dialog) {
    char product[ProductNameUtf8Size];
    if (!dialog || !productName(product, sizeof product)) return;
    wchar_t* wide = widen(product, CP_UTF8);
    if (wide) SetWindowTextW(dialog, wide);
    free(wide);
}

// Who comes first, the dialog or a failure box: the main thread makes the
// dialog under the lock unless a box came first; the worker takes the dialog
// as the box's owner under it. The event is set once the dialog is made or
// given up.
static SRWLOCK windowsLock = SRWLOCK_INIT;
static bool boxCameFirst = false;
static HANDLE volatile dialogSettled = nullptr;
enum { DialogWaitMs = 15000 };

static HANDLE settledEvent() {
    if (!dialogSettled) {
        HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (made && InterlockedCompareExchangePointer((void* volatile*)&dialogSettled, made,
                                                      nullptr))
            CloseHandle(made);  // the other thread's came first
    }
    return dialogSettled;
}

void settleStatusDialog() {
    HANDLE settled = settledEvent();
    if (settled) SetEvent(settled);
}

HWND createStatusDialog(HINSTANCE instance, HWND mainWindow) {
    AcquireSRWLockExclusive(&windowsLock);
    if (!boxCameFirst) hDlgMain = CreateDialogA(instance, "STATUSDIALOG", mainWindow, StatusDialog);
    ReleaseSRWLockExclusive(&windowsLock);
    settleStatusDialog();
    return hDlgMain;
}

// The failure box's owner: the dialog, once the main thread has made it;
// null when there is none (then none comes after the box).
static HWND boxOwner() {
    HANDLE settled = settledEvent();
    if (settled) WaitForSingleObject(settled, DialogWaitMs);
    AcquireSRWLockExclusive(&windowsLock);
    HWND owner = hDlgMain;
    if (!owner) boxCameFirst = true;
    ReleaseSRWLockExclusive(&windowsLock);
    return owner;
}

static void showBoxOwned(HWND owner, BoxKind kind, const UserLines& message,
                         const UserLines* details, const char* language) {
    char own[LanguageSize];
    if (!language) {
        getLanguage(own);
        language = own;
    }
    bool error = kind == BoxKind::Error;
    wchar_t* caption = boxCaption(kind, language);
    wchar_t* text = error ? composeErrorText(message, details, language)
                          : linesForWindow(message, language);
    UINT style = error ? MB_ICONHAND | MB_SYSTEMMODAL : MB_ICONEXCLAMATION;
    // An owner destroyed meanwhile (the dialog closed) fails the box: then alone.
    if (text && caption) {
        if (!MessageBoxW(owner, text, caption, style) && owner)
            MessageBoxW(nullptr, text, caption, style);
    } else {
        // Out of memory: the English message alone.
        char english[2000];
        message.english(english, sizeof english);
        const char* englishCaption = error ? ErrorCaption : MessageCaption;
        if (!MessageBoxA(owner, english, englishCaption, style) && owner)
            MessageBoxA(nullptr, english, englishCaption, style);
    }
    free(text);
    free(caption);
}

void showBox(BoxKind kind, const UserLines& message, const UserLines* details,
             const char* language) {
    showBoxOwned(nullptr, kind, message, details, language);
}

ShellChannel::ShellChannel(HANDLE releaseEvent) : releaseEvent(releaseEvent), failureShown(false) {
    getLanguage(language);
}

void ShellChannel::showProductName(const char* name) {
    setProductName(name);
    // The dialog takes it on its own thread; one made after this has it
    // from the start (showCaption after its creation).
    HWND dialog = hDlgMain;
    if (dialog) PostMessageA(dialog, WM_SHOW_PRODUCT_NAME, 0, 0);
}

void ShellChannel::releaseDialog() {
    if (releaseEvent) SetEvent(releaseEvent);
}

void ShellChannel::showFailure(const UserLines& message, const UserLines& details) {
    if (failureShown) return;
    failureShown = true;
    releaseDialog();
    showBoxOwned(boxOwner(), BoxKind::Error, message, &details, language);
}

// The latest progress of the worker, for the dialog; one message pending at
// most.
static SRWLOCK progressLock = SRWLOCK_INIT;
static struct {
    const char* language;  // the channel's, for the run
    ProgressStage stage;
    unsigned long long done;
    unsigned long long total;
} latestProgress;
static volatile LONG progressPosted = 0;

void ShellChannel::progress(ProgressStage stage, unsigned long long done,
                            unsigned long long total) {
    AcquireSRWLockExclusive(&progressLock);
    latestProgress.language = language;
    latestProgress.stage = stage;
    latestProgress.done = done;
    latestProgress.total = total;
    ReleaseSRWLockExclusive(&progressLock);
    HWND dialog = hDlgMain;
    if (dialog && InterlockedExchange(&progressPosted, 1) == 0 &&
        !PostMessageA(dialog, WM_SHOW_PROGRESS, 0, 0))
        InterlockedExchange(&progressPosted, 0);
}

// The latest stage of the worker, for the dialog (under progressLock).
static struct {
    const char* language;  // null until a stage is reached
    UserText name;
    char first[64];
    char second[64];
} latestStage;

void ShellChannel::showStage(UserText stage, const char* first, const char* second) {
    AcquireSRWLockExclusive(&progressLock);
    latestStage.language = language;
    latestStage.name = stage;
    copyText(latestStage.first, first ? first : "");
    copyText(latestStage.second, second ? second : "");
    ReleaseSRWLockExclusive(&progressLock);
    HWND dialog = hDlgMain;
    if (dialog) PostMessageA(dialog, WM_SHOW_STAGE, 0, 0);
}

// The stage as the status line; the bar of a download is over by then.
static void showStage(HWND dialog) {
    char text[400];
    AcquireSRWLockShared(&progressLock);
    bool reached = latestStage.language != nullptr;
    if (reached)
        userText(text, sizeof text, latestStage.name, latestStage.language, latestStage.first,
                 latestStage.second);
    ReleaseSRWLockShared(&progressLock);
    if (!reached) return;
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (bar) ShowWindow(bar, SW_HIDE);
    setStatusText(dialog, IDC_STATUS_TEXT, text);
}

// "1.5 MB" (tenths, rounded down), "740 KB" below one MB.
static void sizeText(char* text, size_t cap, unsigned long long bytes) {
    if (bytes < 1024 * 1024)
        formatText(text, cap, "%llu KB", bytes / 1024);
    else
        formatText(text, cap, "%llu.%llu MB", bytes >> 20, ((bytes & 0xFFFFF) * 10) >> 20);
}

// The bar under the status line, made on the first report; the line moves
// up to make room. Null when the control cannot be had.
static HWND progressBar(HWND dialog) {
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    if (bar) return bar;
    typedef BOOL(WINAPI * InitControls)(const INITCOMMONCONTROLSEX*);
    HMODULE controls = loadSystemDll("comctl32.dll");
    InitControls init =
        controls ? (InitControls)(void*)GetProcAddress(controls, "InitCommonControlsEx") : nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    if (!init || !init(&classes)) return nullptr;
    // Dialog units, as in installer.rc: room for two lines in the Japanese
    // font (tests/e2e/test_shell_language.py).
    RECT line = {37, 6, 197, 38};
    RECT place = {37, 40, 197, 48};
    MapDialogRect(dialog, &line);
    MapDialogRect(dialog, &place);
    HWND text = GetDlgItem(dialog, IDC_STATUS_TEXT);
    if (text)
        MoveWindow(text, line.left, line.top, line.right - line.left, line.bottom - line.top,
                   TRUE);
    bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, place.left, place.top,
                          place.right - place.left, place.bottom - place.top, dialog,
                          (HMENU)(INT_PTR)IDC_PROGRESS_BAR, hInst, nullptr);
    if (bar) SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
    return bar;
}

static void showProgress(HWND dialog) {
    InterlockedExchange(&progressPosted, 0);
    AcquireSRWLockShared(&progressLock);
    const char* language = latestProgress.language;
    ProgressStage stage = latestProgress.stage;
    unsigned long long done = latestProgress.done;
    unsigned long long total = latestProgress.total;
    ReleaseSRWLockShared(&progressLock);

    HWND bar = progressBar(dialog);
    if (bar) ShowWindow(bar, SW_SHOWNA);
    if (bar) SendMessageW(bar, PBM_SETPOS, total ? (WPARAM)(done * 1000 / total) : 0, 0);
    char got[40], all[40], what[200], amount[200], text[400];
    sizeText(got, sizeof got, done);
    sizeText(all, sizeof all, total);
    userText(what, sizeof what, stage == ProgressDownload ? TextDownloading : TextExpanding,
             language);
    if (total)
        userText(amount, sizeof amount, TextProgressOf, language, got, all);
    else
        copyText(amount, got);
    formatText(text, sizeof text, "%s\r\n%s", what, amount);
    setStatusText(dialog, IDC_STATUS_TEXT, text);
}

// A language's own font (Japanese: Shift-JIS): 16 points at the resolution
// of the device context, the language's character set. Null when it cannot
// be made.
static HFONT createLanguageFont(HDC context, unsigned char charSet) {
    if (!context) return nullptr;
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = -MulDiv(16, GetDeviceCaps(context, LOGPIXELSY), 72);
    font.lfCharSet = charSet;
    font.lfPitchAndFamily = FF_ROMAN;
    return CreateFontIndirectA(&font);
}

// A control draws its text with the font it is given by WM_SETFONT, not with
// whatever was selected into a device context once: the font is handed to
// the control and lives as long as the process (one font, made once: a run
// speaks one language).
void selectControlIdCharType(HWND dialog, unsigned controlId, const char* language) {
    static HFONT own = nullptr;
    const Language* spoken = findLanguage(language);
    if (!spoken || !spoken->charSet || !dialog) return;
    HWND control = GetDlgItem(dialog, (int)controlId);
    if (!control) return;
    if (!own) {
        HDC context = GetDC(control);
        own = createLanguageFont(context, spoken->charSet);
        if (context) ReleaseDC(control, context);
    }
    if (own) SendMessageA(control, WM_SETFONT, (WPARAM)own, TRUE);
}

void getMessage(HWND dialog, unsigned controlId, char* text) {
    char language[LanguageSize];
    getLanguage(language);
    selectControlIdCharType(dialog, controlId, language);
    copyText(text, StatusTextSize, initialStatusText(language));
}

void setStatusText(HWND dialog, unsigned controlId, const char* text) {
    wchar_t* wide = widen(text, CP_UTF8);
    if (wide)
        SetDlgItemTextW(dialog, (int)controlId, wide);
    else
        SetDlgItemTextA(dialog, (int)controlId, text);
    free(wide);
}

// Centres the window on the screen, grown by the dialog frame.
static void centre(HWND window, int width, int height) {
    if (!window) return;
    int frameX = GetSystemMetrics(SM_CXDLGFRAME);
    int frameY = GetSystemMetrics(SM_CYDLGFRAME);
    int screenX = GetSystemMetrics(SM_CXFULLSCREEN);
    int screenY = GetSystemMetrics(SM_CYFULLSCREEN);
    SetWindowPos(window, nullptr, (screenX - width) / 2, (screenY - height) / 2,
                 width + 2 * frameX, height + 2 * frameY, SWP_NOZORDER);
}

INT_PTR CALLBACK StatusDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        RECT rect;
        GetWindowRect(dialog, &rect);
        int width = rect.right - rect.left;
        int height = rect.bottom - rect.top;
        centre(GetParent(dialog), width, height);
        centre(dialog, width, height);
        return TRUE;
    }
    case WM_COMMAND:
        if (wParam == IDCANCEL) {
            PostMessageA(GetParent(dialog), WM_DESTROY, 0, 0);
            DestroyWindow(dialog);
            hDlgMain = nullptr;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        hDlgMain = nullptr;
        return FALSE;
    case WM_DESTROY:
        return TRUE;
    case WM_SHOW_PROGRESS:
        showProgress(dialog);
        return TRUE;
    case WM_SHOW_PRODUCT_NAME:
        showCaption(dialog);
        return TRUE;
    case WM_SHOW_STAGE:
        showStage(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
