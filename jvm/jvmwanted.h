// JvmWanted: what the installation asks of a JVM, as one small value that
// the JVM classes take: the version limits (required, minimum and maximum
// version texts, an empty text being a limit not given) and the name of the
// JVM program, and how long a JVM's test run may take.
//
// The limits are only read. The home of the JVM accepted is written back
// when a buffer is given for it. The command name is written back when a JVM is
// accepted under another name, and only then (JvmProbe, and JvmExpander for
// the program of the JVM it expanded), so no caller has a name to restore:
// the version test replaces an old "jre..." name
// by "java.exe" or "javaw.exe", two characters more than "jre.exe". Its
// buffer therefore always has the full capacity CommandNameSize, and every
// write into it is bounded by that capacity, never by the length of the name
// it happens to hold.
#ifndef JVM_JVMWANTED_H
#define JVM_JVMWANTED_H

#include "base/strbuf.h"
#include "config/settings.h"

struct JvmWanted {
    enum { CommandNameSize = PathBufferSize, DefaultTestSeconds = DefaultJvmTestSeconds };

    const char* required;
    const char* minimum;
    const char* maximum;
    char* commandName;  // CommandNameSize bytes
    // The time a test run of a JVM may take before the JVM is ended and
    // refused ("jvmTestTimeout").
    unsigned testSeconds = DefaultTestSeconds;
    // Where the home of the JVM accepted goes (PathBufferSize bytes), or
    // null: the home the JVM reported of itself when that directory holds
    // its program, else the home its program's path gives. Written only
    // when a JVM is accepted.
    char* home = nullptr;
    // Whether the run traces: the version test then takes "javaw.exe" for
    // an old "jre..." name, else "java.exe".
    bool tracing = true;
};

// The test run's time limit written in the control file: whole seconds
// above zero; anything else (empty, 0, letters) gives the default.
unsigned testSecondsOf(const char* text);

#endif
