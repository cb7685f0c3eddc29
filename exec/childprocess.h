// ChildProcess: the one way the launcher starts another program, waits for
// it and reads its exit code. It owns the child's process handle (and the job
// object and standard-error file of a start that asks for them) and closes
// them in its destructor, on every path.
//
// A start takes its options from one ChildStart: the working directory, no
// window of its own, the standard error kept (its last lines read back once
// the child has ended), the standard output and error into a file, and a
// job object so that a time-out ends the program with every process it
// started. A failed start returns the Windows error, for windowsErrorText
// (base/winerror.h) to put into words.
//
// The command line of an argument vector (argsString) is made here too: the
// child's runtime splits it back into the entries as they were meant.
#ifndef EXEC_CHILDPROCESS_H
#define EXEC_CHILDPROCESS_H

#include <windows.h>
#include <shellapi.h>
#include <stddef.h>

struct ChildStart {
    const char* dir = nullptr;         // its working directory; null: the launcher's own
    bool hidden = false;               // no window of its own (CREATE_NO_WINDOW)
    bool keepErrors = false;           // standard error kept aside, its last lines read back
    const char* outputFile = nullptr;  // standard output and error into it (made anew), input NUL
    bool contain = false;              // in a job: a time-out ends what it started too
};

enum ChildEnd {
    ChildEnded,     // it ended (by itself, within the limit): exitCode() is its own
    ChildTimedOut,  // the limit passed: it (and its job) were ended
    ChildLost       // it could not be waited for (waitError() tells why), or never started
};

class ChildProcess {
public:
    // The standard error kept: its last TailLines lines, and of them no more
    // than TailSize - 1 bytes.
    enum { TailLines = 10, TailSize = 4096 };
    // The longest limit taken, in seconds (about 24 days); longer ones are cut.
    enum : unsigned { LongestLimit = 2000000, NoLimit = 0xFFFFFFFFu };

    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program (a path in the launcher's code page, taken as
    // programFile(program, how.dir) takes it: no search of the path) with
    // commandLine, the whole command line with the program's own name first.
    // 0 when it started, else the Windows error. When no file can be made
    // for the standard error, the child is started without it
    // (errorsCaught() false).
    unsigned long start(const char* program, const char* commandLine, const ChildStart& how);
    // The same in UTF-16, nothing inherited: the start of a program that may
    // need elevation (exec/elevatable.h).
    unsigned long start(const wchar_t* program, wchar_t* commandLine, const wchar_t* dir);
    // Starts program with the argument vector argv (argv[0] its own name,
    // null-terminated; the command line argsString(argv)) and waits for it
    // without a limit; the trace names the program and its command line.
    // 0 when it ran (exitCode() is its own), else the Windows error of the
    // start.
    unsigned long run(const char* program, char* const* argv, const ChildStart& how);
    // Starts through the shell (ShellExecuteExW, shell32 loaded from the
    // system folder on first use); 0 or the Windows error. The caller asks
    // for the process handle (SEE_MASK_NOCLOSEPROCESS) and adopts it.
    static unsigned long shellStart(SHELLEXECUTEINFOW& info);
    // Takes over a process started elsewhere (the shell's elevated start).
    void adopt(HANDLE process);

    // Waits for the child, at most seconds (NoLimit: as long as it runs);
    // when the limit passes it is ended (its job with it) and waited for a
    // little longer, so that the files it held are free.
    ChildEnd wait(unsigned seconds = NoLimit);

    unsigned long exitCode() const { return code; }
    // The Windows error of a wait that failed (ChildLost).
    unsigned long waitError() const { return lost; }
    // Whether the job object holds it, i.e. whether a time-out also ends the
    // processes it started.
    bool contained() const { return held; }
    // Whether its standard error was kept, and its last lines (line feeds
    // between them, none at the end; "" when it wrote nothing there).
    bool errorsCaught() const { return caught; }
    const char* errorLines() const { return tail; }

private:
    unsigned long create(wchar_t* program, wchar_t* commandLine, const wchar_t* dir,
                         const ChildStart& how);
    void readErrors();
    // Forgets the last child: its handles closed, its results cleared.
    void forget();

    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE errors = INVALID_HANDLE_VALUE;
    bool held = false;
    bool caught = false;
    unsigned long code = 0;
    unsigned long lost = 0;
    char tail[TailSize];
};

// The vector (null-terminated) as one command line: entries joined by
// blanks, an entry with a blank (or tab) and no double quote wrapped in
// double quotes, its trailing backslashes doubled inside them. malloc'd (the
// caller frees it); null only when memory is exhausted.
char* argsString(char* const* argv);

// The backslashes at the end of a text. Inside double quotes the child's
// runtime reads a backslash before the closing quote as an escaped quote, so
// they are doubled there (2n backslashes and a quote give n and the end).
size_t trailingBackslashes(const char* text);

// The file a start takes program for: a relative name taken in dir (null or
// empty: as it is); a name without an extension gets ".exe" unless it exists
// as it is. malloc'd (the caller frees it); null when out of memory.
char* programFile(const char* program, const char* dir);

// Logs "Unable to start " with the program and its command line
// (argsString of argv; the program alone when memory is short) to the error
// log and the trace.
void logUnableToStart(const char* program, char* const* argv);

// The last count lines of text (length bytes, lines ended by LF or CR LF)
// into out (cap bytes): line feeds between the lines, no line end after the
// last, no empty lines. A line cut at the front of text (partial) is left
// out unless it is the only one.
void lastLinesOf(const char* text, size_t length, bool partial, unsigned count, char* out,
                 size_t cap);

#endif
