// The launcher's process entry.
//
// The main thread makes sure that no other launcher is installing from the
// same work directory, makes the run's report (base/filereport.h), creates
// the semaphore file "__kivinstall.sem" and starts the worker thread that
// runs the whole installation at once, so that the first JVM run does not
// wait for the window system. Then, unless the start is quiet, it creates a
// hidden main window and the status dialog (the owner of a failure box) and
// pumps their messages, testing after each one (a 100 ms timer keeps them
// coming) whether the worker has set the release event to let the dialog go. A quiet run creates no window at
// all. Either way the main thread waits for the worker itself (its thread
// handle), never for a file it may have failed to create, and only then
// starts the clean-up program of the work directory when the installation
// was started from another directory. WinMain holds the run's outcome; the
// exit code is 0 unless the control file asks for the outcome
// ("reportFailureByExitCode", docs/wizard.md).
//
// "installer.exe --check" checks the package in the current directory
// instead (install/packagecheck.h): no lock, no report, no window, no
// semaphore file, no clean-up; its findings go to check.log and to the
// console it was started from, and it exits 0 for a sound package, else 5.
// "installer.exe --help" (or "/?") writes the usage to that console and
// exits 0: nothing else, not even a log.
#include "install/checklog.h"
#include "base/disknames.h"
#include "install/installer.h"
#include "install/packagecheck.h"
#include "shell/cmdline.h"
#include "shell/console.h"
#include "shell/resource.h"
#include "shell/statuswin.h"
#include "shell/usage.h"
#include "base/dirguard.h"
#include "base/filereport.h"
#include "config/getparam.h"
#include "config/startdir.h"
#include "base/curdir.h"
#include "base/filecopy.h"
#include "base/scopedbuffer.h"
#include "exec/childprocess.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "base/timeline.h"

#include <windows.h>
#include <new>
#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char WindowClassName[] = "GenericWClass";
static const char InstanceNamePrefix[] = "Tallybox.Installer.";
static const char GlobalNamespace[] = "Global\\";

enum { TimerId = 1, TimerPeriod = 100, HandOverMessages = 100, DirSize = 5001, NameSize = 80 };

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

// The name of the one-launcher-per-work-directory lock. It is taken from the
// directory's identity (volume serial number and file index), so that every
// spelling of one directory (letter case, short names, another drive letter
// for the same share) gives the same name; where the system cannot tell the
// identity (the Windows 95 family), from a hash of the upper-cased full path.
static void instanceName(const char* workDir, char* name, size_t size) {
    HANDLE dir = CreateFileA(workDir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (dir != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        BOOL known = GetFileInformationByHandle(dir, &info);
        CloseHandle(dir);
        if (known) {
            formatText(name, size, "%s%08lx.%08lx%08lx", InstanceNamePrefix,
                       (unsigned long)info.dwVolumeSerialNumber,
                       (unsigned long)info.nFileIndexHigh, (unsigned long)info.nFileIndexLow);
            return;
        }
    }
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a
    for (const char* c = workDir; *c; ++c) {
        hash ^= (unsigned char)(ULONG_PTR)CharUpperA((LPSTR)(ULONG_PTR)(unsigned char)*c);
        hash *= 1099511628211ull;
    }
    formatText(name, size, "%spath.%016llx", InstanceNamePrefix, hash);
}

// Takes the work directory's lock: a named mutex, held until the process
// ends. A mutex rather than a lock file, because it needs nothing written
// into the work directory (which may be read-only or too deep for one more
// name), cannot be left behind by a launcher that was killed, and lets a
// second launcher go without touching a single file. False when another
// launcher holds it.
static bool lockWorkDirectory(const char* workDir) {
    char name[NameSize];
    char globalName[NameSize + 8];
    instanceName(workDir, name, sizeof name);
    formatText(globalName, sizeof globalName, "%s%s", GlobalNamespace, name);
    // The global name reaches launchers of other sessions; systems without
    // namespaces refuse it and take the plain name.
    HANDLE lock = CreateMutexA(nullptr, FALSE, globalName);
    DWORD error = GetLastError();
    if (!lock && error != ERROR_ACCESS_DENIED) {
        lock = CreateMutexA(nullptr, FALSE, name);
        error = GetLastError();
    }
    if (!lock) return error != ERROR_ACCESS_DENIED;  // access denied: it exists
    // The handle stays open for the rest of the process.
    return error != ERROR_ALREADY_EXISTS;
}

// A second launcher in a busy work directory: it says so and does nothing.
// The message is its own: a box, or for a quiet start its standard output.
// The work directory's logs belong to the installation under way (whose
// clean-up copies them to its start directory): nothing goes there.
static void reportAlreadyRunning(bool quiet) {
    UserLines message;
    message.add(TextAlreadyRunning);
    if (!quiet) {
        showBox(BoxKind::Notice, message, nullptr, nullptr);
        return;
    }
    const char* text = englishPattern(TextAlreadyRunning);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(out, text, (DWORD)strlen(text), &written, nullptr);
    WriteFile(out, "\r\n", 2, &written, nullptr);
}

// Whether the control file of the current directory asks for the outcome
// as the exit code, for a launcher that runs no installation.
static bool controlFileWantsExitCode() {
    HeapObject<ControlSettings> settings;
    if (!settings) return false;
    GetParameters parameters(false);
    return parameters.parseParameters(*settings, ControlFile) && failureByExitCode(*settings);
}

// The package check: its findings to check.log and to the console of the
// parent (when it has one), and the exit code, 0 for a sound package.
static int checkThePackage(const char* workDir) {
    HANDLE console = parentConsole();
    HeapObject<CheckLog> log(workDir, console);
    if (!log) return exitCodeOf(RunOutcome::PackageFaulty);
    bool sound = checkPackage(workDir, *log);
    checkMachineJvm(workDir, *log);
    log->close(sound);
    return sound ? 0 : exitCodeOf(RunOutcome::PackageFaulty);
}

// What the worker needs from the main thread, and the outcome it hands back.
struct WorkerTask {
    const char* arguments;
    FileReport* report;  // may be null: then nothing is traced
    HANDLE releaseEvent;  // set when the dialog may go
    RunOutcome outcome;
    bool exitCodeWanted;  // the control file asks for the outcome as the exit code
    unsigned long wizardExit;  // the exit code of the wizard that left its marker
};

static RunOutcome startProgram(WorkerTask& task, bool quiet, bool properties, char* argument) {
    ShellChannel channel(task.releaseEvent);
    bool tracing = task.report && task.report->tracing();
    bool ownTrace = task.report && task.report->ownTrace();
    HeapObject<Install> install(channel, tracing, ownTrace);
    if (!install) return RunOutcome::ProvisionFailed;
    RunOutcome outcome = install->install(quiet, properties, argument);
    task.exitCodeWanted = install->exitCodeWanted();
    task.wizardExit = install->wizardExitCode();
    return outcome;
}

// The worker thread: reads the command line, runs the installation and, as
// its last act, deletes "__kivinstall.sem". The main thread waits for the
// thread itself; the file only tells the dialog's hand-over.
static HANDLE workerStarted;  // set by the worker as it begins

static unsigned __stdcall startMainThread(void* argument_) {
    timelineMark("worker starts");
    if (workerStarted) SetEvent(workerStarted);
    WorkerTask& task = *(WorkerTask*)argument_;
    const char* text = task.arguments ? task.arguments : "";
    size_t size = strlen(text) + 1 + 5000;
    char* argument = (char*)calloc(size, 1);
    bool quiet = false;
    bool properties = false;
    if (argument) parseCommandLine(text, &quiet, &properties, argument, size);

    copyFile(CleanupProgramFile, CleanupCopyFile);
    task.outcome = startProgram(task, quiet, properties, argument ? argument : (char*)"");
    free(argument);

    remove(waitInstallPath);
    timelineMark("worker ends");
    return 0;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
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

static HANDLE worker;  // the worker thread, for the main thread to wait on
static HANDLE releaseEvent;  // set by the worker: the dialog may go

static bool workerRunning() { return WaitForSingleObject(worker, 0) == WAIT_TIMEOUT; }

// Waits for the next message or the worker's end, whichever comes first,
// and dispatches the message; false when it was the quit message.
static bool pumpMessage() {
    MSG msg;
    while (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &worker, INFINITE, QS_ALLINPUT,
                                                  MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) return true;  // the worker has ended
        if (woken == WAIT_FAILED) Sleep(TimerPeriod);
    }
    if (msg.message == WM_QUIT) return false;
    if (hDlgMain && IsDialogMessageA(hDlgMain, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

// Show phase: until the worker lets the dialog go or ends.
static void showPhase(HWND mainWindow) {
    SetTimer(mainWindow, TimerId, TimerPeriod, nullptr);
    while (pumpMessage()) {
        if (!workerRunning() || WaitForSingleObject(releaseEvent, 0) == WAIT_OBJECT_0) {
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
        if (count == HandOverMessages || !workerRunning()) {
            KillTimer(mainWindow, TimerId);
            return;
        }
        ++count;
    }
}

// Wait phase: both windows hidden, until the worker has finished. A quit
// message (the dialog cancelled) ends the pumping, never the wait: the main
// thread outlives the worker.
static void waitPhase(HWND mainWindow) {
    if (workerRunning()) {
        SetTimer(mainWindow, TimerId, TimerPeriod, nullptr);
        while (workerRunning() && pumpMessage()) {
        }
        KillTimer(mainWindow, TimerId);
    }
    WaitForSingleObject(worker, INFINITE);
}

// The status dialog's life on the main thread, from its creation until the
// worker has ended. Without a window class (it could not be registered)
// the main thread only waits for the worker.
static void dialogPhases(HINSTANCE instance, int showCommand) {
    // The window system's first load holds the loader lock for a good while:
    // the worker, which needs that lock to begin, goes first.
    if (workerStarted) WaitForSingleObject(workerStarted, TimerPeriod);
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
        settleStatusDialog();
        WaitForSingleObject(worker, INFINITE);
        return;
    }
    timelineMark("window class registered");
    HWND mainWindow = CreateWindowA(WindowClassName, "", WS_POPUP, CW_USEDEFAULT, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
    timelineMark("main window created");
    createStatusDialog(instance, mainWindow);
    showCaption(hDlgMain);  // the worker may have named the product before
    timelineMark("dialog created");
    // A worker that has already finished leaves nothing to show: the
    // windows go with the process. A failure box that came first stands
    // alone.
    if (!workerRunning()) return;
    if (!hDlgMain) {
        WaitForSingleObject(worker, INFINITE);
        return;
    }

    char statusText[StatusTextSize];
    ShowWindow(mainWindow, showCommand);
    ShowWindow(hDlgMain, SW_SHOW);
    getMessage(hDlgMain, IDC_STATUS_TEXT, statusText);
    setStatusText(hDlgMain, IDC_STATUS_TEXT, statusText);
    PostMessageA(hDlgMain, WM_SHOW_STAGE, 0, 0);  // one reached before the dialog was up
    timelineMark("dialog shown");

    showPhase(mainWindow);
    timelineMark("show phase over");
    handOverPhase(mainWindow);
    ShowWindow(hDlgMain, SW_HIDE);
    ShowWindow(mainWindow, SW_HIDE);
    timelineMark("dialog hidden");
    waitPhase(mainWindow);
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
        remove(CleanupCopyFile);
        remove(CleanupProgramFile);
        return;
    }
    // A directory with blanks arrives as one argument (argsString quotes it).
    char* list[] = {const_cast<char*>(CleanupCopyFile), const_cast<char*>(workDir), nullptr};
    ScopedText line(argsString(list));
    if (!line) return;
    ChildProcess cleanup;  // not waited for: it outlives the launcher
    cleanup.start(CleanupCopyFile, line, ChildStart());
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand) {
    timelineMark("entry");
    restrictLibrarySearch();
    if (!arguments) arguments = (LPSTR) "";
    if (isHelpStart(arguments)) {
        writeUsage(parentConsole());
        return 0;
    }

    ScopedText workDir((char*)calloc(DirSize, 1));
    ScopedText startDir((char*)calloc(DirSize, 1));
    if (!workDir || !startDir) return 0;
    bool quiet = isQuietStart(arguments);
    getCurrentDir(workDir, DirSize - 1);
    if (isCheckStart(arguments)) {
        return checkThePackage(workDir);
    }
    RunOutcome outcome = RunOutcome::Succeeded;
    if (!lockWorkDirectory(workDir)) {
        outcome = RunOutcome::AlreadyRunning;
        reportAlreadyRunning(quiet);
        return controlFileWantsExitCode() ? exitCodeOf(outcome) : 0;
    }
    timelineMark("work directory locked");
    // The run's report, its trace policy decided here once for the run.
    HeapObject<FileReport> fileReport(true);
    if (fileReport) setReport(fileReport.get());
    formatText(waitInstallPath, sizeof waitInstallPath, "%s%s%s", workDir.get(), PathSeparator,
               WaitInstallFile);
    standAloneDir(workDir, DirSize);  // handed to the clean-up program: R:\, not R:
    getStartDir(startDir);
    hInst = instance;

    // The worker may delete the semaphore file as soon as it runs: it
    // exists before it starts.
    createSemaphore(waitInstallPath);
    timelineMark("semaphores created");
    releaseEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!quiet) workerStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WorkerTask task = {arguments, fileReport.get(), releaseEvent, RunOutcome::Succeeded, false, 0};
    worker = (HANDLE)_beginthreadex(nullptr, 0, startMainThread, &task, 0, nullptr);
    timelineMark("worker started");
    if (worker) {
        if (quiet)
            WaitForSingleObject(worker, INFINITE);
        else
            dialogPhases(instance, showCommand);
        CloseHandle(worker);
    }
    if (workerStarted) CloseHandle(workerStarted);
    if (releaseEvent) CloseHandle(releaseEvent);
    timelineMark("worker joined");
    if (worker) outcome = task.outcome;
    int exitCode = worker && task.exitCodeWanted ? exitCodeOf(outcome, task.wizardExit) : 0;

    finalStep(workDir, startDir);
    setReport(nullptr);
    timelineMark("exit");
    timelineWrite();
    return exitCode;
}
