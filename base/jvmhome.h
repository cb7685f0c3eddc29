// The one rule for a JVM's home from where its program is, shared by every
// layer that finds a JVM by its program.
#ifndef BASE_JVMHOME_H
#define BASE_JVMHOME_H

#include <stddef.h>

// The directory that holds the program, or its parent when that directory
// is a final "bin" level (any letter case). A "bin" higher up is part of the
// home (C:\data\bin\jre\java.exe has the home C:\data\bin\jre). home holds
// cap bytes.
void getJavaHomeDirectory(const char* executable, char* home, size_t cap);
// The same rule for the directory that holds a JVM program: removes a last
// component "bin" (any letter case); "C:\cabinet" or "C:\bin\jre" stay.
void cutFinalBinLevel(char* dir);

#endif
