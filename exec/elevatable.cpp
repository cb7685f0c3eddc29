// A program started plainly, and as administrator when Windows asks for it.
//
// The plain start is CreateProcessW rather than the C runtime's _spawnv:
// the runtime turns ERROR_ELEVATION_REQUIRED into EINVAL ("Mode argument is
// invalid"), and the Windows error is what tells a JVM installer program that
// needs elevation apart from one that is missing or broken.
#include "exec/elevatable.h"
#include "exec/execcmd.h"

#include "base/disknames.h"
#include "base/curdir.h"
#include "base/winerror.h"
#include "base/codepage.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "base/sysdll.h"

#include <stdlib.h>
#include <string.h>

namespace {

typedef BOOL(WINAPI* ShellExecuteExFn)(SHELLEXECUTEINFOW*);

class SystemStarter : public ProgramStarter {
public:
    unsigned long start(const wchar_t* program, wchar_t* commandLine, const wchar_t* dir,
                        PROCESS_INFORMATION& child) override {
        STARTUPINFOW startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        if (CreateProcessW(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, dir, &startup,
                           &child))
            return 0;
        DWORD error = GetLastError();
        return error ? error : ERROR_GEN_FAILURE;
    }

    unsigned long startElevated(SHELLEXECUTEINFOW& info) override {
        if (!loaded) {
            loaded = true;
            HMODULE dll = loadSystemDll("shell32.dll");
            if (dll) shellExecuteEx = (ShellExecuteExFn)(void*)GetProcAddress(dll, "ShellExecuteExW");
        }
        if (!shellExecuteEx) return ERROR_PROC_NOT_FOUND;
        if (shellExecuteEx(&info)) return 0;
        DWORD error = GetLastError();
        return error ? error : ERROR_GEN_FAILURE;
    }

private:
    bool loaded = false;
    ShellExecuteExFn shellExecuteEx = nullptr;
};

bool isRelative(const char* path) {
    if (path[0] == '\\' || path[0] == '/') return false;
    return !path[0] || path[1] != ':';
}

// A failed start: its reason (set) on one line of the error log.
bool fail(ElevatableRun& result, const char* file, const char* format) {
    size_t size = strlen(format) + strlen(file) + strlen(result.reason) + 1;
    char* line = (char*)malloc(size);
    if (line) {
        formatText(line, size, format, file, result.reason);
        reportError(line);
    } else {
        reportError("Unable to start", file);
    }
    free(line);
    return false;
}

bool refuse(ElevatableRun& result, const char* file, const char* format, unsigned long error) {
    windowsErrorText(error, result.reason, sizeof result.reason);
    return fail(result, file, format);
}

// The text of the start in the launcher's code page and in UTF-16.
struct StartTexts {
    char* file = nullptr;
    char* line = nullptr;        // the whole command line
    char* parameters = nullptr;  // without the program's own name
    wchar_t* wideFile = nullptr;
    wchar_t* wideLine = nullptr;
    wchar_t* wideParameters = nullptr;
    wchar_t* wideDir = nullptr;

    bool make(const char* program, char** argv, const char* dir) {
        ExecCommand quoting;
        file = programFile(program, dir);
        line = quoting.argsString(argv);
        parameters = quoting.argsString(argv && argv[0] ? argv + 1 : argv);
        if (!file || !line || !parameters) return false;
        wideFile = widen(file, CP_ACP);
        wideLine = widen(line, CP_ACP);
        wideParameters = widen(parameters, CP_ACP);
        if (dir && dir[0]) {
            // A bare drive "R:" is its root, not the drive's current directory.
            size_t size = strlen(dir) + 2;
            char* root = (char*)malloc(size);
            if (!root) return false;
            copyText(root, size, dir);
            standAloneDir(root, size);
            wideDir = widen(root, CP_ACP);
            free(root);
            if (!wideDir) return false;
        }
        return wideFile && wideLine && wideParameters;
    }
    ~StartTexts() {
        free(file);
        free(line);
        free(parameters);
        free(wideFile);
        free(wideLine);
        free(wideParameters);
        free(wideDir);
    }
};

// Constant-initialised, so no guard of a local static is needed.
SystemStarter starter;

}  // namespace

// The program's file: a relative name taken in dir; a name without an
// extension gets ".exe" unless it exists as it is, as _spawnv takes it.
char* programFile(const char* program, const char* dir) {
    bool inDir = dir && dir[0] && isRelative(program);
    size_t size = strlen(program) + (inDir ? strlen(dir) + 1 : 0) + 5;
    char* name = (char*)malloc(size);
    if (!name) return nullptr;
    name[0] = '\0';
    if (inDir) {
        copyText(name, size, dir);
        char end = name[strlen(name) - 1];
        if (end != '\\' && end != '/') appendText(name, size, PathSeparator);
    }
    appendText(name, size, program);
    const char* last = name;
    for (const char* c = name; *c; ++c)
        if (*c == '\\' || *c == '/') last = c + 1;
    if (!strchr(last, '.') && GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES)
        appendText(name, size, ExeExtension);
    return name;
}

ProgramStarter& systemStarter() { return starter; }

bool startAndWaitElevatable(const char* program, char** argv, const char* dir,
                            ElevatableRun& result, ProgramStarter& starter) {
    memset(&result, 0, sizeof result);
    if (!program) program = "";
    StartTexts texts;
    if (!texts.make(program, argv, dir))
        return refuse(result, texts.file ? texts.file : program, "Unable to start %s: %s",
                      ERROR_NOT_ENOUGH_MEMORY);
    trace("Command:", texts.file);
    trace("Args:", texts.line);
    trace("in directory:", dir && dir[0] ? dir : ".");

    HANDLE process = nullptr;
    PROCESS_INFORMATION child;
    memset(&child, 0, sizeof child);
    unsigned long error = starter.start(texts.wideFile, texts.wideLine, texts.wideDir, child);
    if (error == 0) {
        CloseHandle(child.hThread);
        process = child.hProcess;
    } else if (error != ERROR_ELEVATION_REQUIRED) {
        return refuse(result, texts.file, "Unable to start %s: %s", error);
    } else {
        trace("the program needs elevation, starting it with runas:", texts.file);
        result.elevated = true;
        // Without SEE_MASK_FLAG_NO_UI: the user is to see the consent prompt.
        SHELLEXECUTEINFOW info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = L"runas";
        info.lpFile = texts.wideFile;
        info.lpParameters = texts.wideParameters;
        info.lpDirectory = texts.wideDir;
        info.nShow = SW_SHOWNORMAL;
        error = starter.startElevated(info);
        if (error == ERROR_CANCELLED) {
            result.declined = true;
            copyText(result.reason, "the elevation prompt was declined");
            reportError(texts.file,
                        "was not allowed to run as administrator (the elevation prompt was declined)");
            return false;
        }
        if (error) return refuse(result, texts.file, "Unable to start %s as administrator: %s", error);
        if (!info.hProcess) {
            copyText(result.reason, "the elevated start gave no process to wait for");
            return fail(result, texts.file, "Unable to wait for %s: %s");
        }
        process = info.hProcess;
    }

    DWORD code = 0;
    bool ended = WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(process, &code);
    error = GetLastError();
    CloseHandle(process);
    if (!ended) return refuse(result, texts.file, "Unable to wait for %s: %s", error);
    result.started = true;
    result.exitCode = code;
    trace("the program ended with exit code", (int)code);
    return true;
}
