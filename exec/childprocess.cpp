// ChildProcess: CreateProcessW, the wait and the exit code in one place.
//
// The texts of a start are widened from the launcher's code page, so a start
// of the narrow form and one of the UTF-16 form are the same call.
//
// A contained child is created suspended, put into a job of its own and only
// then resumed, so that everything it starts belongs to the job from its
// first instruction. The job ends its processes when its last handle is
// closed; on a time-out it is terminated at once. Where the job cannot take
// the program (a system whose jobs do not nest while the launcher itself runs
// in one), the run goes on without it and a time-out ends the program alone.
//
// The standard error kept goes to a private temporary file rather than a
// pipe: a pipe needs a reader while the child runs, and a child that leaves a
// grandchild holding the pipe's end would keep that reader waiting after the
// child itself has ended. The file is opened for deletion on close and shared
// for writing; the child gets an inheritable copy of the handle as its
// standard error, and its end is read with explicit offsets (the child moved
// the shared position) once the child has ended.
#include "exec/childprocess.h"

#include "base/codepage.h"
#include "base/disknames.h"
#include "base/report.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "base/sysdll.h"

#include <stdlib.h>
#include <string.h>

namespace {

// The job that ends its processes when its last handle closes; null when
// none can be made.
HANDLE killingJob() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    memset(&limits, 0, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// An inheritable handle for a child's standard handle; null when it cannot be
// opened.
HANDLE inheritable(const char* path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE handle =
        CreateFileA(path, access, share, &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// The private file for the standard error: gone when its last handle closes.
HANDLE errorFile() {
    char folder[MAX_PATH + 1], name[MAX_PATH + 16];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (!length || length >= sizeof folder) return INVALID_HANDLE_VALUE;
    if (!GetTempFileNameA(folder, TempFilePrefix, 0, name)) return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) DeleteFileA(name);
    return file;
}

void closeHandle(HANDLE& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

ChildProcess::ChildProcess() { tail[0] = '\0'; }

ChildProcess::~ChildProcess() {
    closeHandle(process);
    closeHandle(job);  // ends whatever it left running
    if (errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
}

unsigned long ChildProcess::start(const char* program, const char* commandLine,
                                  const ChildStart& how) {
    ScopedText file(programFile(program, how.dir));
    ScopedBuffer<wchar_t> wideProgram(file ? widen(file, CP_ACP) : nullptr);
    ScopedBuffer<wchar_t> wideLine(widen(commandLine, CP_ACP));  // CreateProcessW may write into it
    ScopedBuffer<wchar_t> wideDir(how.dir && how.dir[0] ? widen(how.dir, CP_ACP) : nullptr);
    if (!wideProgram || !wideLine || (how.dir && how.dir[0] && !wideDir))
        return ERROR_NOT_ENOUGH_MEMORY;
    return create(wideProgram, wideLine, wideDir, how);
}

unsigned long ChildProcess::start(const wchar_t* program, wchar_t* commandLine,
                                  const wchar_t* dir) {
    return create(const_cast<wchar_t*>(program), commandLine, dir, ChildStart());
}

unsigned long ChildProcess::create(wchar_t* program, wchar_t* commandLine, const wchar_t* dir,
                                   const ChildStart& how) {
    forget();

    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    DWORD flags = how.contain ? CREATE_SUSPENDED : 0;
    if (how.hidden) flags |= CREATE_NO_WINDOW;
    HANDLE output = nullptr, input = nullptr;
    if (how.outputFile) {
        output = inheritable(how.outputFile, GENERIC_WRITE, CREATE_ALWAYS);
        if (!output) return GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
        input = inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = output;
    } else if (how.keepErrors) {
        if (errors == INVALID_HANDLE_VALUE) errors = errorFile();
        if (errors != INVALID_HANDLE_VALUE) {
            // The file is inheritable only while this child is made.
            SetHandleInformation(errors, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
            startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
            startup.hStdError = errors;
        }
    }
    bool inherit = startup.dwFlags & STARTF_USESTDHANDLES;
    PROCESS_INFORMATION child;
    BOOL started = CreateProcessW(program, commandLine, nullptr, nullptr, inherit, flags, nullptr,
                                  dir, &startup, &child);
    DWORD error = started ? 0 : GetLastError();
    // The child holds its own copies.
    if (output) CloseHandle(output);
    if (input) CloseHandle(input);
    if (startup.hStdError == errors && errors != INVALID_HANDLE_VALUE) {
        SetHandleInformation(errors, HANDLE_FLAG_INHERIT, 0);
        caught = started;
    }
    if (!started) return error ? error : ERROR_GEN_FAILURE;

    if (how.contain) {
        job = killingJob();
        if (job && !AssignProcessToJobObject(job, child.hProcess)) closeHandle(job);
        held = job != nullptr;
        ResumeThread(child.hThread);
    }
    CloseHandle(child.hThread);
    process = child.hProcess;
    return 0;
}

unsigned long ChildProcess::run(const char* program, char* const* argv, const ChildStart& how) {
    trace("formattedCommand:", program);
    trace("Command:", program);
    ScopedText line(argsString(argv));
    trace("Args:", line ? line.get() : "");
    if (!line) return ERROR_NOT_ENOUGH_MEMORY;
    unsigned long error = start(program, line, how);
    if (!error) wait();
    return error;
}

void ChildProcess::forget() {
    closeHandle(process);
    closeHandle(job);
    caught = false;
    tail[0] = '\0';
    code = lost = 0;
    held = false;
}

void ChildProcess::adopt(HANDLE started) {
    forget();
    process = started;
}

typedef BOOL(WINAPI* ShellExecuteExFn)(SHELLEXECUTEINFOW*);

unsigned long ChildProcess::shellStart(SHELLEXECUTEINFOW& info) {
    static bool loaded = false;
    static ShellExecuteExFn shellExecuteEx = nullptr;
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

ChildEnd ChildProcess::wait(unsigned seconds) {
    if (!process) {
        lost = ERROR_INVALID_HANDLE;
        return ChildLost;
    }
    DWORD limit = INFINITE;
    if (seconds != NoLimit) limit = (seconds > LongestLimit ? LongestLimit : seconds) * 1000;
    ChildEnd end = ChildEnded;
    DWORD waited = WaitForSingleObject(process, limit);
    if (waited == WAIT_TIMEOUT) {
        end = ChildTimedOut;
        if (job) TerminateJobObject(job, 1);
        else TerminateProcess(process, 1);
        // The ending is not instant: the files it held are free only after it.
        WaitForSingleObject(process, 10000);
    } else if (waited != WAIT_OBJECT_0) {
        lost = GetLastError();
        end = ChildLost;
    }
    DWORD exit = 0;
    if (end == ChildEnded) {
        if (GetExitCodeProcess(process, &exit)) code = exit;
        else {
            lost = GetLastError();
            end = ChildLost;
        }
    }
    if (end == ChildLost && !lost) lost = ERROR_GEN_FAILURE;
    closeHandle(process);
    closeHandle(job);  // ends whatever it left running
    readErrors();
    return end;
}

void ChildProcess::readErrors() {
    if (errors == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    ScopedText text(ScopedText::allocate(TailSize));
    if (caught && text && GetFileSizeEx(errors, &size)) {
        // The end of the file: enough for the lines kept.
        LONGLONG start = size.QuadPart > TailSize ? size.QuadPart - TailSize : 0;
        OVERLAPPED at;
        memset(&at, 0, sizeof at);
        at.Offset = (DWORD)start;
        at.OffsetHigh = (DWORD)(start >> 32);
        DWORD read = 0;
        if (ReadFile(errors, text, TailSize, &read, &at))
            lastLinesOf(text, read, start > 0, TailLines, tail, sizeof tail);
    }
    CloseHandle(errors);  // the file goes once the child's copies are closed too
    errors = INVALID_HANDLE_VALUE;
}

// An entry with a blank or tab and no double quote is wrapped in quotes; its
// trailing backslashes are doubled so that the closing quote stays one.
static bool needsQuotes(const char* entry) { return strpbrk(entry, " \t") && !strchr(entry, '"'); }

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

char* argsString(char* const* argv) {
    size_t size = 1;
    for (char* const* entry = argv; entry && *entry; ++entry) size += quotedLength(*entry) + 1;
    char* text = (char*)malloc(size);
    if (!text) return nullptr;
    char* out = text;
    *out = '\0';
    for (char* const* entry = argv; entry && *entry; ++entry) {
        if (entry != argv) *out++ = ' ';
        out = writeQuoted(out, *entry);
    }
    return text;
}

static bool isRelative(const char* path) {
    if (path[0] == '\\' || path[0] == '/') return false;
    return !path[0] || path[1] != ':';
}

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

void logUnableToStart(const char* program, char* const* argv) {
    ScopedText args(argsString(argv));
    size_t size = strlen(program) + (args ? strlen(args) : 0) + 2;
    ScopedText detail(ScopedText::allocate(size));
    if (detail) formatText(detail, size, "%s %s", program, args ? args.get() : "");
    reportError("Unable to start ", detail ? detail.get() : program);
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
