// What a JVM home says of its version without being started: the "release"
// file that Java 8 and later ship in the home, whose JAVA_VERSION line
// holds the version the JVM reports (JAVA_VERSION="17.0.10").
#ifndef JVM_JVMRELEASE_H
#define JVM_JVMRELEASE_H

#include <stddef.h>

// The JAVA_VERSION of home\release into version (cap bytes), without its
// quotes; false (version empty) when the file or the line is missing or
// holds no digit.
bool readReleaseVersion(const char* home, char* version, size_t cap);

#endif
