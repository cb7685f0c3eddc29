// A child program run under a time limit, inside a job object.
//
// The program is created suspended, put into a job of its own and only then
// resumed, so that everything it starts belongs to the job from its first
// instruction. The job ends its processes when its last handle is closed; on
// a time-out it is terminated at once. Where the job cannot take the program
// (a system whose jobs do not nest while the launcher itself runs in one),
// the run goes on without it and a time-out ends the program alone.
#include "exec/timedrun.h"

#include <windows.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>

// The errno the C runtime gives a failed start for a system error code.
static int startErrno(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return ENOENT;
    case ERROR_BAD_FORMAT:
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_INVALID_EXE_SIGNATURE:
        return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    default:
        return -1;  // no errno of its own: an unknown error
    }
}

static HANDLE killingJob() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    memset(&limits, 0, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// An inheritable handle for the child's standard handles; null when it
// cannot be opened.
static HANDLE inheritable(const char* path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

TimedRunEnd runWithTimeLimit(const char* program, const char* commandLine, unsigned seconds,
                             int* startError, bool* contained, const char* outputFile) {
    if (contained) *contained = false;
    size_t size = strlen(commandLine) + 1;
    char* line = (char*)malloc(size);  // CreateProcessA may write into it
    if (!line) {
        *startError = ENOMEM;
        return TimedRunNotStarted;
    }
    memcpy(line, commandLine, size);

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    DWORD flags = CREATE_SUSPENDED;
    HANDLE output = nullptr, input = nullptr;
    if (outputFile) {
        output = inheritable(outputFile, GENERIC_WRITE, CREATE_ALWAYS);
        input = inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
        if (!output) {
            free(line);
            *startError = EACCES;
            if (input) CloseHandle(input);
            return TimedRunNotStarted;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = output;
        flags |= CREATE_NO_WINDOW;
    }
    PROCESS_INFORMATION child;
    BOOL started = CreateProcessA(program, line, nullptr, nullptr, output != nullptr, flags,
                                  nullptr, nullptr, &startup, &child);
    DWORD error = GetLastError();
    free(line);
    // The child holds its own copies.
    if (output) CloseHandle(output);
    if (input) CloseHandle(input);
    if (!started) {
        *startError = startErrno(error);
        return TimedRunNotStarted;
    }

    HANDLE job = killingJob();
    if (job && !AssignProcessToJobObject(job, child.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    if (contained) *contained = job != nullptr;
    ResumeThread(child.hThread);
    CloseHandle(child.hThread);

    if (seconds > LongestTimeLimit) seconds = LongestTimeLimit;
    TimedRunEnd end = TimedRunEnded;
    if (WaitForSingleObject(child.hProcess, seconds * 1000) != WAIT_OBJECT_0) {
        end = TimedRunTimedOut;
        if (job) TerminateJobObject(job, 1);
        else TerminateProcess(child.hProcess, 1);
        // The ending is not instant: the files it held are free only after it.
        WaitForSingleObject(child.hProcess, 10000);
    }
    CloseHandle(child.hProcess);
    if (job) CloseHandle(job);  // ends whatever it left running
    return end;
}
