// ChildErrors: the child's standard error into a private temporary file.
//
// A file rather than a pipe: a pipe needs a thread to drain it, and a child
// that leaves a grandchild holding the pipe's end would keep that thread
// waiting after the child itself has ended. The file is opened for deletion
// on close and shared for writing; the child gets an inheritable copy of the
// handle as its standard error, and the launcher reads the file's end with
// explicit offsets (the child moved the shared position) once it has ended.
#include "exec/childerrors.h"
#include "exec/elevatable.h"
#include "base/disknames.h"
#include "base/strbuf.h"

#include <errno.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>

ChildErrors::ChildErrors() : file(INVALID_HANDLE_VALUE), caught(false) { tail[0] = '\0'; }

ChildErrors::~ChildErrors() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

bool ChildErrors::openFile() {
    char folder[MAX_PATH + 1], name[MAX_PATH + 16];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (!length || length >= sizeof folder) return false;
    if (!GetTempFileNameA(folder, TempFilePrefix, 0, name)) return false;
    file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                       nullptr);
    if (file != INVALID_HANDLE_VALUE) return true;
    DeleteFileA(name);
    return false;
}

// The errno the C runtime gives a failed start for a system error code.
static int startErrno(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE:
        return ENOENT;
    case ERROR_BAD_FORMAT:
    case ERROR_BAD_EXE_FORMAT:
        return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return -1;  // no errno of its own: an unknown error
    }
}

intptr_t ChildErrors::spawn(const char* program, char* const* argv, int* error) {
    caught = false;
    tail[0] = '\0';
    if (file == INVALID_HANDLE_VALUE && !openFile()) {
        errno = 0;
        intptr_t child = _spawnv(_P_NOWAIT, program, argv);
        *error = errno;
        return child;
    }

    size_t size = 1;
    for (char* const* entry = argv; *entry; ++entry) size += strlen(*entry) + 1;
    char* line = (char*)malloc(size);  // CreateProcessA may write into it
    char* name = programFile(program, nullptr);
    if (!line || !name) {
        free(line);
        free(name);
        *error = ENOMEM;
        return -1;
    }
    line[0] = '\0';
    for (char* const* entry = argv; *entry; ++entry) {
        if (entry != argv) appendText(line, size, " ");
        appendText(line, size, *entry);
    }

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = file;
    PROCESS_INFORMATION child;
    // The file is inheritable only while this child is made.
    SetHandleInformation(file, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    BOOL started =
        CreateProcessA(name, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    DWORD failure = GetLastError();
    SetHandleInformation(file, HANDLE_FLAG_INHERIT, 0);
    free(line);
    free(name);
    if (!started) {
        *error = startErrno(failure);
        return -1;
    }
    CloseHandle(child.hThread);
    caught = true;
    *error = 0;
    return (intptr_t)child.hProcess;
}

void ChildErrors::collect() {
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    char* text = (char*)malloc(TailSize);
    if (caught && text && GetFileSizeEx(file, &size)) {
        // The end of the file: enough for the lines kept.
        LONGLONG start = size.QuadPart > TailSize ? size.QuadPart - TailSize : 0;
        OVERLAPPED at;
        memset(&at, 0, sizeof at);
        at.Offset = (DWORD)start;
        at.OffsetHigh = (DWORD)(start >> 32);
        DWORD read = 0;
        if (ReadFile(file, text, TailSize, &read, &at))
            lastLinesOf(text, read, start > 0, TailLines, tail, sizeof tail);
    }
    free(text);
    CloseHandle(file);  // the file goes once the child's copies are closed too
    file = INVALID_HANDLE_VALUE;
}

void lastLinesOf(const char* text, size_t length, bool partial, unsigned count, char* out,
                 size_t cap) {
    if (!cap) return;
    out[0] = '\0';
    // From the end: the starts of the last count lines that hold anything.
    size_t end = length, first = length;
    unsigned lines = 0;
    while (end > 0 && lines < count) {
        while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
        if (!end) break;
        size_t begin = end;
        while (begin > 0 && text[begin - 1] != '\n' && text[begin - 1] != '\r') --begin;
        if (begin == 0 && partial && lines > 0) break;  // a piece of a longer line
        first = begin;
        ++lines;
        end = begin;
    }
    // Those lines, a line feed between two; the room of out decides last.
    size_t used = 0;
    for (size_t i = first; i < length && used + 1 < cap; ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < length && text[i + 1] == '\n') continue;
            c = '\n';  // a carriage return alone ends a line too
        }
        if (c == '\n' && (used == 0 || out[used - 1] == '\n')) continue;
        out[used++] = c;
    }
    while (used > 0 && out[used - 1] == '\n') --used;
    out[used] = '\0';
}
