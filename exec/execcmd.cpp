// ExecCommand: one child program, started and waited for.
//
// The child is started through the C runtime's _spawnv without waiting, and
// waited for through its process handle. That call joins the entries of the vector with blanks and does not quote them,
// so each entry is first given the quoting of argsString: the child's own
// command-line splitting then hands it the entries as they were meant (an
// entry with a blank stays one argument; an entry that already carries its
// quotes is passed as it is). Waiting through the handle keeps a failed start
// (no handle) apart from a child that ended with exit code -1, which the
// runtime's waiting mode hands back as the very value of a failure, and it
// gives the exit code whole on both builds.
#include "exec/execcmd.h"
#include "exec/childerrors.h"

#include <windows.h>
#include <errno.h>
#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>


ExecCommand::ExecCommand() {}

const char* execErrorText(int error) {
    switch (error) {
    case ENOENT: return "File or path is not found";
    case E2BIG: return "Argument list exceeds 1024 bytes";
    case ENOEXEC: return "Specified file is not executable or has invalid executable-file format";
    case ENOMEM: return "Not enough memory is available to execute new process";
    case EINVAL: return "Mode argument is invalid";
    default: return "Unknown error";
    }
}

// An entry with a blank or tab and no double quote is wrapped in quotes; its
// trailing backslashes are doubled so that the closing quote stays one.
static bool needsQuotes(const char* entry) {
    return strpbrk(entry, " \t") && !strchr(entry, '"');
}

size_t trailingBackslashes(const char* text) {
    size_t length = strlen(text), count = 0;
    while (count < length && text[length - 1 - count] == '\\') ++count;
    return count;
}

static size_t quotedLength(const char* entry) {
    size_t length = strlen(entry);
    if (!needsQuotes(entry)) return length;
    return length + 2 + trailingBackslashes(entry);
}

// Writes the quoted form of entry at out (room for quotedLength + 1 bytes).
static char* writeQuoted(char* out, const char* entry) {
    size_t length = strlen(entry);
    if (!needsQuotes(entry)) {
        memcpy(out, entry, length);
        out[length] = '\0';
        return out + length;
    }
    *out++ = '"';
    memcpy(out, entry, length);
    out += length;
    size_t doubled = trailingBackslashes(entry);
    memset(out, '\\', doubled);
    out += doubled;
    *out++ = '"';
    *out = '\0';
    return out;
}

char* ExecCommand::argsString(char** argv) {
    size_t size = 1;
    for (char** entry = argv; entry && *entry; ++entry) size += quotedLength(*entry) + 1;
    char* text = (char*)malloc(size);
    if (!text) return nullptr;
    char* out = text;
    *out = '\0';
    for (char** entry = argv; entry && *entry; ++entry) {
        if (entry != argv) *out++ = ' ';
        out = writeQuoted(out, *entry);
    }
    return text;
}

void ExecCommand::logUnableToStart(const char* program, char** argv) {
    char* args = argsString(argv);
    size_t size = strlen(program) + (args ? strlen(args) : 0) + 2;
    char* detail = (char*)malloc(size);
    if (detail) formatText(detail, size, "%s %s", program, args ? args : "");
    reportError("Unable to start ",
                           detail ? detail : program);
    free(detail);
    free(args);
}

bool ExecCommand::formatCommand(const char* command, char* out) {
    copyText(out, strlen(command) + 1, command);
    trace("formattedCommand:", out);
    return true;
}

// Runs program with the quoted entries of argv and waits until it ends.
// False when it could not be started; error then holds the errno.
bool ExecCommand::spawnQuoted(const char* program, char** argv, int* error) {
    size_t count = 0;
    size_t textSize = 0;
    for (char** entry = argv; entry && *entry; ++entry) {
        ++count;
        textSize += quotedLength(*entry) + 1;
    }
    char** quoted = (char**)malloc((count + 1) * sizeof(char*));
    char* text = (char*)malloc(textSize + 1);
    if (!quoted || !text) {
        free(quoted);
        free(text);
        *error = ENOMEM;
        return false;
    }
    char* out = text;
    for (size_t i = 0; i < count; ++i) {
        quoted[i] = out;
        out = writeQuoted(out, argv[i]) + 1;
    }
    quoted[count] = nullptr;

    errno = 0;
    intptr_t child = errorCapture ? errorCapture->spawn(program, quoted, error)
                                  : _spawnv(_P_NOWAIT, program, quoted);
    if (!errorCapture) *error = errno;
    free(quoted);
    free(text);
    if (child == -1) return false;
    HANDLE process = (HANDLE)child;
    DWORD code = 0;
    WaitForSingleObject(process, INFINITE);
    if (GetExitCodeProcess(process, &code)) exitCode = code;
    CloseHandle(process);
    if (errorCapture) errorCapture->collect();
    return true;
}

bool ExecCommand::spawnAndWait(char* program, char** argv, char* errorText) {
    size_t programSize = strlen(program) + 10;
    char* path = (char*)malloc(programSize);
    if (!path) {
        copyText(errorText, ErrorTextSize, execErrorText(ENOMEM));
        return false;
    }
    formatCommand(program, path);
    trace("Command:", path);
    char* args = argsString(argv);
    trace("Args:", args ? args : "");
    free(args);

    int error = 0;
    bool started = spawnQuoted(path, argv, &error);
    if (!started) copyText(errorText, ErrorTextSize, execErrorText(error));
    free(path);
    return started;
}

bool ExecCommand::execCommand(const char* command, const char* args, unsigned count) {
    trace("Formatting command", command);
    char* copy = (char*)malloc(strlen(command) + 100);
    if (!copy) {
        reportExecError(command, -1, ENOMEM);
        return false;
    }
    formatCommand(command, copy);
    trace("New formatted command", copy);
    bool started = _execCommand(copy, args, count);
    free(copy);
    return started;
}

bool ExecCommand::_execCommand(const char* command, const char* args, unsigned count) {
    trace("command", command);
    trace("# of args", (int)count);
    trace("Starting to invoke command", command);
    bool started = invokeWinCommand(command, args, count + 1);
    trace("Command started ok", started);
    return started;
}

bool ExecCommand::invokeWinCommand(const char* command, const char* args, unsigned size) {
    // The vector has room for every word of args, whatever size says.
    size_t words = 0;
    if (args) {
        words = 1;
        for (const char* c = args; *c; ++c)
            if (*c == ' ') ++words;
    }
    size_t entries = 1 + words;
    if (entries < size) entries = size;
    char** argv = (char**)malloc((entries + 1) * sizeof(char*));
    char* name = (char*)malloc(strlen(command) + 1);
    char* pieces = args ? (char*)malloc(strlen(args) + 1) : nullptr;
    if (!argv || !name || (args && !pieces)) {
        free(argv);
        free(name);
        free(pieces);
        reportExecError(command, -1, ENOMEM);
        return false;
    }
    copyText(name, strlen(command) + 1, command);
    size_t used = 0;
    argv[used++] = name;
    if (args) {
        // Every blank ends a word; adjacent blanks give empty words.
        copyText(pieces, strlen(args) + 1, args);
        char* word = pieces;
        for (char* c = pieces;; ++c) {
            if (*c == ' ' || *c == '\0') {
                bool last = *c == '\0';
                *c = '\0';
                argv[used++] = word;
                word = c + 1;
                if (last) break;
            }
        }
    }
    argv[used] = nullptr;
    trace("about to execute command:", command);

    int error = 0;
    bool started = spawnQuoted(command, argv, &error);
    if (!started) reportExecError(command, -1, error);
    free(pieces);
    free(name);
    free(argv);
    return started;
}

void ExecCommand::reportExecError(const char* command, int result, int error) {
    char number[32];
    reportError("Unable to execute command:", command);
    formatText(number, sizeof number, "%d", result);
    reportError("                   result", number);
    formatText(number, sizeof number, "%d", error);
    reportError("                    errno", number);
}
