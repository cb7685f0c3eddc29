// ExecCommand: starts a child program, waits until it has ended, and tells
// whether it could be started at all. The child's exit code is kept for the
// caller to judge.
// Steps go to the trace, start failures to the error log (base/report.h).
#ifndef EXEC_EXECCMD_H
#define EXEC_EXECCMD_H

#include "base/strbuf.h"
#include "base/report.h"

class ChildErrors;

class ExecCommand {
public:
    // The smallest error text buffer spawnAndWait may be given.
    enum { ErrorTextSize = 71 };

    ExecCommand();
    ~ExecCommand() {}
    ExecCommand(const ExecCommand&) = delete;
    ExecCommand& operator=(const ExecCommand&) = delete;

    // The children started from now on write their standard error to
    // capture, which holds its last lines once the child has ended (null:
    // the standard error is the launcher's own, as by default).
    void captureErrors(ChildErrors* capture) { errorCapture = capture; }

    // Starts program with the argument vector argv (argv[0] the program's
    // own name, null-terminated) and waits for it. False when it could not
    // be started; errorText (at least ErrorTextSize bytes) then holds why.
    bool spawnAndWait(char* program, char** argv, char* errorText);

    // Starts command with the blank-separated words of args (null: none);
    // count is the number of those words. Start failures are logged.
    bool execCommand(const char* command, const char* args, unsigned count);

    // The exit code of the last child that was started and has ended.
    unsigned long lastExitCode() const { return exitCode; }

    // The vector as one text, entries joined by blanks, an entry with a
    // blank (or tab) and no double quote wrapped in double quotes. This is
    // the command line the child is given. Allocated with malloc; the
    // caller frees it. Null only when memory is exhausted.
    char* argsString(char** argv);

    // Logs "Unable to start " with the program and its arguments as the
    // child would have been given them (the program alone when memory is
    // short) through log, to "errors.log" and the trace, in the caller's
    // (relative) log files.
    void logUnableToStart(const char* program, char** argv);

    // Logs the three lines of a failed start.
    void reportExecError(const char* command, int result, int error);

    // Copies command into out, which must hold strlen(command) + 1 bytes.
    bool formatCommand(const char* command, char* out);

    bool _execCommand(const char* command, const char* args, unsigned count);
    bool invokeWinCommand(const char* command, const char* args, unsigned size);

private:
    bool spawnQuoted(const char* program, char** argv, int* error);

    unsigned long exitCode = 0;
    ChildErrors* errorCapture = nullptr;
};

// The message for the errno of a failed start.
const char* execErrorText(int error);

// The backslashes at the end of a text. Inside double quotes the child's
// runtime reads a backslash before the closing quote as an escaped quote, so
// they are doubled there (2n backslashes and a quote give n and the end).
size_t trailingBackslashes(const char* text);

#endif
