// A child program run under a time limit: started inside a job object, so
// that when the limit passes the program and every process it started are
// ended together. Used for the JVM test run, which a JVM that never
// answers would otherwise hold for ever; the wizard's own run keeps no limit.
#ifndef EXEC_TIMEDRUN_H
#define EXEC_TIMEDRUN_H

enum TimedRunEnd {
    TimedRunNotStarted,  // the program could not be started
    TimedRunEnded,       // it ended by itself within the limit
    TimedRunTimedOut     // the limit passed: it and its children were ended
};

// Starts program with commandLine (the whole command line, the program's own
// name first, passed as it is) in the current directory and waits at most
// seconds for it. On TimedRunNotStarted *startErrno holds the C runtime's
// errno for the failure (ENOENT, ENOEXEC, ENOMEM, ...). *contained (when
// given) tells whether the job object could hold the program, i.e. whether
// a time-out also ends the processes it started. With outputFile the
// program's standard output and error go to that file (created anew) and a
// console program gets no window of its own.
TimedRunEnd runWithTimeLimit(const char* program, const char* commandLine, unsigned seconds,
                             int* startErrno, bool* contained = nullptr,
                             const char* outputFile = nullptr);

// The longest limit taken, in seconds (about 24 days); longer ones are cut.
enum { LongestTimeLimit = 2000000 };

#endif
