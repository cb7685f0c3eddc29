// JvmWanted: what the installation asks of a JVM, as one small value that
// the JVM classes take and only read: the version limits (required, minimum
// and maximum version texts, an empty text being a limit not given), the
// name of the JVM program, and how long a JVM's test run may take.
//
// JvmFound: their answer, which the caller hands them to fill: the JVM
// accepted, the name it was accepted under and its home. That name may
// differ from the one asked for (JvmProbe, and JvmExpander for the program
// of the JVM it expanded): the version test replaces an old "jre..." name by
// "java.exe" or "javaw.exe", two characters more than "jre.exe". Its buffer
// therefore has the full capacity CommandNameSize, and every write into it
// is bounded by that capacity.
#ifndef JVM_JVMWANTED_H
#define JVM_JVMWANTED_H

#include "base/strbuf.h"
#include "config/settings.h"

struct JvmWanted {
    enum { CommandNameSize = PathBufferSize, DefaultTestSeconds = DefaultJvmTestSeconds };

    const char* required;
    const char* minimum;
    const char* maximum;
    const char* commandName;
    // The time a test run of a JVM may take before the JVM is ended and
    // refused ("jvmTestTimeout").
    unsigned testSeconds = DefaultTestSeconds;
    // Whether the run traces: the version test then takes "javaw.exe" for
    // an old "jre..." name, else "java.exe".
    bool tracing = true;
};

struct JvmFound {
    // The program of the JVM accepted, the full path. The search and the
    // tests write each candidate's path here as they try it.
    char program[PathBufferSize];
    // The name the program was accepted under. Written only when a JVM is
    // accepted.
    char commandName[JvmWanted::CommandNameSize];
    // The home of the JVM accepted: the home the JVM reported of itself when
    // that directory holds its program, else the home its program's path
    // gives. Written only when a JVM is accepted.
    char home[PathBufferSize];
};

// The test run's time limit written in the control file: whole seconds
// above zero; anything else (empty, 0, letters) gives the default.
unsigned testSecondsOf(const char* text);

#endif
