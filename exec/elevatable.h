// A program that may have to run as administrator: a vendor's JVM installer
// program whose manifest asks for it is refused by a plain start with
// ERROR_ELEVATION_REQUIRED and starts only through the shell's "runas" verb,
// which shows the user the consent prompt. Only the JVM installer program is
// started this way; a JVM's test run and the wizard never are (their plain
// ChildProcess starts never ask for more rights).
//
// shell32 is loaded from the system directory on the first elevated start
// only; a run whose JVM installer program needs no elevation never
// loads it.
#ifndef EXEC_ELEVATABLE_H
#define EXEC_ELEVATABLE_H

#include <windows.h>
#include <shellapi.h>

class ChildProcess;

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L
#endif

enum { StartReasonSize = 512 };

struct ElevatableRun {
    bool started;   // the program ran and was waited for: exitCode is its own
    bool elevated;  // it was started through the elevation prompt
    bool declined;  // the user declined the elevation prompt (started false)
    unsigned long exitCode;
    // Why it did not start, empty when it did: "the elevation prompt was
    // declined", or the Windows error with the system's text ("Windows error
    // 2: The system cannot find the file specified").
    char reason[StartReasonSize];
};

// The two system calls of a start, to be replaced in tests. Each returns 0
// when the program was started, else the Windows error (GetLastError).
class ProgramStarter {
public:
    // child.start(program, commandLine, dir): nothing inherited; child
    // then holds the process.
    virtual unsigned long start(const wchar_t* program, wchar_t* commandLine, const wchar_t* dir,
                                ChildProcess& child) = 0;
    // ShellExecuteExW(&info) (through shell32, loaded on first use);
    // info.hProcess gets the process handle.
    virtual unsigned long startElevated(SHELLEXECUTEINFOW& info) = 0;

protected:
    ~ProgramStarter() {}
};

// The real calls.
ProgramStarter& systemStarter();

// Starts program with the argument vector argv (argv[0] the program's own
// name, null-terminated) in the working directory dir, waits until it has
// ended and returns result.started; result.exitCode is then its exit code.
//
// program is a path in the launcher's code page; a relative one is taken in
// dir (null or empty dir: the current directory, where program is then also
// taken). A name without an extension is taken with ".exe" when the name as
// it is does not exist. The command line is argsString(argv) (exec/childprocess.h).
//
// When the plain start is refused with ERROR_ELEVATION_REQUIRED (740), the
// program is started again through ShellExecuteExW with the verb "runas"
// (SEE_MASK_NOCLOSEPROCESS only, so that the user sees the consent prompt),
// lpDirectory dir and lpParameters argsString of argv less argv[0]; the trace
// says "the program needs elevation, starting it with runas: <program>", and
// its process handle is waited for as before (result.elevated).
//
// Every failure to start goes to the error log here, once; the caller need
// not repeat it and chooses its box by result.declined:
//   the prompt declined (ERROR_CANCELLED, 1223): result.declined, the line
//     "<program> was not allowed to run as administrator (the elevation
//     prompt was declined)";
//   any other refusal: "Unable to start <program>: <reason>" ("Unable to
//     start <program> as administrator: <reason>" for the elevated start),
//     the reason being the Windows error and its system text.
// An elevated start that gives no process to wait for is no start either
// ("... gave no process to wait for"). Never throws.
bool startAndWaitElevatable(const char* program, char** argv, const char* dir,
                            ElevatableRun& result, ProgramStarter& starter = systemStarter());

#endif
