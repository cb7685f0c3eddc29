// The launcher's process entry.
//
// The main thread owns every window: it creates a hidden main window and the
// status dialog, creates the semaphore files "__kivinstall.sem" and
// "__kivshow.sem", starts one worker thread that runs the whole installation
// and from then on only pumps messages, testing after each one (a 100 ms
// timer keeps them coming) whether the worker has deleted those files. At
// the end it starts the clean-up program of the work directory when the
// installation was started from another directory. The exit code is 0.
#include "install/installer.h"
#include "shell/cmdline.h"
#include "shell/language.h"
#include "shell/resource.h"
#include "shell/statuswin.h"
#include "base/dirguard.h"
#include "base/clib.h"
#include "base/fexists.h"
#include "base/strbuf.h"

#include <windows.h>
#include <new>
#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char WindowClassName[] = "GenericWClass";
static const char WaitInstallName[] = "__kivinstall.sem";
static const char ShowDialogName[] = "__kivshow.sem";
static const char CleanupFilename[] = "cleanup.exe";
static const char CleanupCopyFilename[] = "__cleanup.exe";
static const char DIR_END[] = "\\";

enum { TimerId = 1, TimerPeriod = 100, HandOverMessages = 100, DirSize = 5001 };

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// Libraries loaded by name come from the system only, never from the work
// directory (where the package put files the launcher does not control).
static void restrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    SetDllDirectoryFn setDllDirectory =
        (SetDllDirectoryFn)(void*)GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDllDirectory) setDllDirectory("");
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)(void*)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

static DWORD mainThreadId;  // the thread that pumps the messages

bool startProgram(bool quiet, bool properties, char* argument) {
    // Placed in malloc'd memory: the nothrow operator new would link the C++
    // runtime's exception machinery into the program.
    void* memory = malloc(sizeof(Install));
    if (!memory) return false;
    Install* install = new (memory) Install;
    bool result = install->install(quiet, properties, argument);
    install->~Install();
    free(memory);
    return result;
}

// The worker thread: reads the command line, runs the installation and, as
// its last act, deletes "__kivinstall.sem".
static void __cdecl startMainThread(void* arguments) {
    const char* text = arguments ? (const char*)arguments : "";
    size_t size = strlen(text) + 1 + 5000;
    char* argument = (char*)calloc(size, 1);
    bool quiet = false;
    bool properties = false;
    if (argument) parseCommandLine(text, &quiet, &properties, argument, size);

    copyFile(CleanupFilename, CleanupCopyFilename);
    startProgram(quiet, properties, argument ? argument : (char*)"");
    free(argument);

    remove(waitInstallFilename);
    // Wake the main thread at once: it need not wait for its next timer tick.
    PostThreadMessageA(mainThreadId, WM_NULL, 0, 0);
    _endthread();
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        postedQuit = 1;
        return 0;
    case WM_SETFOCUS:
        SetFocus(hDlgMain);
        return 0;
    case WM_TIMER:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Fetches and dispatches one message; false when it was the quit message.
static bool pumpMessage() {
    MSG msg;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return false;
    if (hDlgMain && IsDialogMessageA(hDlgMain, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

// Show phase: until the worker deletes either semaphore file.
static void showPhase(HWND mainWindow) {
    SetTimer(mainWindow, TimerId, TimerPeriod, nullptr);
    while (pumpMessage()) {
        if (!fexists(waitInstallFilename) || !fexists(showDialogFilename)) {
            KillTimer(mainWindow, TimerId);
            return;
        }
    }
}

// Hand-over phase: the dialog stays up for at most 100 more messages while
// the wizard's JVM comes up.
static void handOverPhase(HWND mainWindow) {
    SetTimer(mainWindow, TimerId, TimerPeriod, nullptr);
    unsigned count = 0;
    while (pumpMessage()) {
        if (count == HandOverMessages || !fexists(waitInstallFilename)) {
            KillTimer(mainWindow, TimerId);
            return;
        }
        ++count;
    }
}

// Wait phase: both windows hidden, until the worker has finished.
static void waitPhase(HWND mainWindow) {
    if (!fexists(waitInstallFilename)) return;
    SetTimer(mainWindow, TimerId, TimerPeriod, nullptr);
    while (pumpMessage()) {
        if (!fexists(waitInstallFilename)) {
            KillTimer(mainWindow, TimerId);
            return;
        }
    }
    // A quit message (the dialog cancelled at the very end of the hand-over)
    // must not let the process end under a running installation: the main
    // thread outlives the worker.
    KillTimer(mainWindow, TimerId);
    while (fexists(waitInstallFilename)) Sleep(TimerPeriod);
}

static void createSemaphore(const char* path) {
    FILE* file = fopen(path, "wt");
    if (!file) return;
    fputs("ok\n", file);
    fclose(file);
}

// Starts "__cleanup.exe" on the work directory, or deletes both clean-up
// programs when the installation was started from the work directory.
static void finalStep(const char* workDir, const char* startDir) {
    if (!startDir[0] || sameDirectory(startDir, workDir)) {
        remove(CleanupCopyFilename);
        remove(CleanupFilename);
        return;
    }
    // The runtime joins the arguments with blanks: a directory with blanks
    // goes in double quotes so that it arrives as one argument.
    size_t size = strlen(workDir) + 3;
    char* quoted = (char*)malloc(size);
    if (!quoted) return;
    if (strchr(workDir, ' ') && !strchr(workDir, '"'))
        formatText(quoted, size, "\"%s\"", workDir);
    else
        copyText(quoted, size, workDir);
    const char* const list[] = {CleanupCopyFilename, quoted, nullptr};
    _spawnv(_P_NOWAIT, CleanupCopyFilename, list);
    free(quoted);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int showCommand) {
    restrictLibrarySearch();
    if (!arguments) arguments = (LPSTR) "";

    char* statusText = (char*)calloc(StatusTextSize, 1);
    char* workDir = (char*)calloc(DirSize, 1);
    char* startDir = (char*)calloc(DirSize, 1);
    if (!statusText || !workDir || !startDir) {
        free(statusText);
        free(workDir);
        free(startDir);
        return 0;
    }
    getCurrentDir(workDir, DirSize - 1);
    formatText(waitInstallFilename, sizeof waitInstallFilename, "%s%s%s", workDir, DIR_END,
               WaitInstallName);
    formatText(showDialogFilename, sizeof showDialogFilename, "%s%s%s", workDir, DIR_END,
               ShowDialogName);
    standAloneDir(workDir, DirSize);  // handed to the clean-up program: R:\, not R:
    getStartDir(startDir);
    hInst = instance;

    if (!previous) {
        WNDCLASSA windowClass;
        memset(&windowClass, 0, sizeof windowClass);
        windowClass.style = 0;
        windowClass.lpfnWndProc = MainWndProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(instance, "IDI_ICON1");
        windowClass.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        windowClass.lpszClassName = WindowClassName;
        if (!RegisterClassA(&windowClass)) {
            free(statusText);
            free(workDir);
            free(startDir);
            return 0;
        }
    }

    HWND mainWindow = CreateWindowA(WindowClassName, "", WS_POPUP, CW_USEDEFAULT, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
    hDlgMain = CreateDialogA(instance, "STATUSDIALOG", mainWindow, StatusDialog);
    setWindowCharType(hDlgMain);

    if (!isQuietStart(arguments)) {
        ShowWindow(mainWindow, showCommand);
        ShowWindow(hDlgMain, SW_SHOW);
        getMessage(hDlgMain, IDC_STATUS_TEXT, statusText);
        setStatusText(hDlgMain, IDC_STATUS_TEXT, statusText);
    }

    mainThreadId = GetCurrentThreadId();
    createSemaphore(waitInstallFilename);
    createSemaphore(showDialogFilename);

    if (_beginthread(startMainThread, 0, arguments) != (uintptr_t)-1) {
        showPhase(mainWindow);
        handOverPhase(mainWindow);
        ShowWindow(hDlgMain, SW_HIDE);
        ShowWindow(mainWindow, SW_HIDE);
        waitPhase(mainWindow);
    }

    finalStep(workDir, startDir);
    free(statusText);
    free(workDir);
    free(startDir);
    return 0;
}
