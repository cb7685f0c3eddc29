// JvmWanted: what the installation asks of a JVM, as one small value that
// the JVM classes take: the version limits (required, minimum and maximum
// version texts, an empty text being a limit not given) and the name of the
// JVM program.
//
// The limits are only read. The command name is written back when a JVM is
// found under another name: the version test replaces an old "jre..." name
// by "java.exe" or "javaw.exe", two characters more than "jre.exe". Its
// buffer therefore always has the full capacity CommandNameSize, and every
// write into it is bounded by that capacity, never by the length of the name
// it happens to hold.
#ifndef JVM_JVMWANTED_H
#define JVM_JVMWANTED_H

#include "base/strbuf.h"

struct JvmWanted {
    enum { CommandNameSize = PathBufferSize };

    const char* required;
    const char* minimum;
    const char* maximum;
    char* commandName;  // CommandNameSize bytes
};

#endif
