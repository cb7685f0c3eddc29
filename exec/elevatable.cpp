// A program started plainly, and as administrator when Windows asks for it.
//
// The plain start is a ChildProcess, which hands back the Windows error: it
// is what tells an installer that needs elevation (ERROR_ELEVATION_REQUIRED)
// apart from one that is missing or broken. The shell's elevated start is
// waited for through the same ChildProcess, which adopts its handle.
#include "exec/elevatable.h"
#include "exec/childprocess.h"

#include "base/curdir.h"
#include "base/scopedbuffer.h"
#include "base/winerror.h"
#include "base/codepage.h"
#include "base/report.h"
#include "base/strbuf.h"

#include <stdlib.h>
#include <string.h>

namespace {

class SystemStarter : public ProgramStarter {
public:
    unsigned long start(const wchar_t* program, wchar_t* commandLine, const wchar_t* dir,
                        ChildProcess& child) override {
        return child.start(program, commandLine, dir);
    }

    unsigned long startElevated(SHELLEXECUTEINFOW& info) override {
        return ChildProcess::shellStart(info);
    }
};

// A failed start: its reason (set) on one line of the error log.
bool fail(ElevatableRun& result, const char* file, const char* format) {
    size_t size = strlen(format) + strlen(file) + strlen(result.reason) + 1;
    ScopedText line(ScopedText::allocate(size));
    if (line) {
        formatText(line, size, format, file, result.reason);
        reportError(line);
    } else {
        reportError("Unable to start", file);
    }
    return false;
}

bool refuse(ElevatableRun& result, const char* file, const char* format, unsigned long error) {
    windowsErrorText(error, result.reason, sizeof result.reason, file);
    return fail(result, file, format);
}

// The text of the start in the launcher's code page and in UTF-16.
struct StartTexts {
    ScopedText file, line;
    ScopedText parameters;  // without the program's own name
    ScopedBuffer<wchar_t> wideFile, wideLine, wideParameters, wideDir;

    bool make(const char* program, char** argv, const char* dir) {
        file.reset(programFile(program, dir));
        line.reset(argsString(argv));
        parameters.reset(argsString(argv && argv[0] ? argv + 1 : argv));
        if (!file || !line || !parameters) return false;
        wideFile.reset(widen(file, CP_ACP));
        wideLine.reset(widen(line, CP_ACP));
        wideParameters.reset(widen(parameters, CP_ACP));
        if (dir && dir[0]) {
            // A bare drive "R:" is its root, not the drive's current directory.
            size_t size = strlen(dir) + 2;
            ScopedText root(ScopedText::allocate(size));
            if (!root) return false;
            copyText(root, size, dir);
            standAloneDir(root, size);
            wideDir.reset(widen(root, CP_ACP));
            if (!wideDir) return false;
        }
        return wideFile && wideLine && wideParameters;
    }
};

// Constant-initialised, so no guard of a local static is needed.
SystemStarter starter;

}  // namespace

ProgramStarter& systemStarter() { return starter; }

bool startAndWaitElevatable(const char* program, char** argv, const char* dir,
                            ElevatableRun& result, ProgramStarter& starter) {
    memset(&result, 0, sizeof result);
    if (!program) program = "";
    StartTexts texts;
    if (!texts.make(program, argv, dir))
        return refuse(result, texts.file ? texts.file.get() : program, "Unable to start %s: %s",
                      ERROR_NOT_ENOUGH_MEMORY);
    trace("Command:", texts.file);
    trace("Args:", texts.line);
    trace("in directory:", dir && dir[0] ? dir : ".");

    ChildProcess child;
    unsigned long error = starter.start(texts.wideFile, texts.wideLine, texts.wideDir, child);
    if (error != 0 && error != ERROR_ELEVATION_REQUIRED) {
        return refuse(result, texts.file, "Unable to start %s: %s", error);
    } else if (error) {
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
        child.adopt(info.hProcess);
    }

    if (child.wait() != ChildEnded)
        return refuse(result, texts.file, "Unable to wait for %s: %s", child.waitError());
    result.started = true;
    result.exitCode = child.exitCode();
    trace("the program ended with exit code", (int)result.exitCode);
    return true;
}
