// File and path utilities used across the launcher: directory test, careful
// byte-exact copy and append, safe recursive directory deletion, the current
// directory, the search path, a JVM's home from its program, version split.
#ifndef BASE_CLIB_H
#define BASE_CLIB_H

#include <stdio.h>

bool isDir(const char* path);

// Copies the whole of source to destination; true when every byte arrived.
bool copyStream(FILE* source, FILE* destination);
// A complete copy or no destination at all.
bool copyFile(const char* source, const char* destination);
// Renames a complete file over its destination (replacing it); false, and
// both left as they were as far as the system allows, when that fails.
bool replaceFile(const char* temporary, const char* destination);
// Appends source to destination (created when missing).
bool appendFile(const char* source, const char* destination);

// True when path is an absolute directory path the deletion may work on:
// "X:\name..." with at least one name, or a UNC path "\\server\share...".
bool isAbsoluteDirPath(const char* path);
// Deletes everything below an absolute directory, then the directory.
// Deletes nothing and returns false unless the path is absolute and can be
// entered; the current directory is restored in every case. A directory
// that is a link or junction is removed as a link, never followed. A file
// or directory that another program holds is tried again a few times
// (about a second for each, two seconds of waiting for the whole call);
// one that stays is named in the trace, the rest is still deleted, and the
// result is false.
bool delDirTree(const char* directory);

// Removes an empty directory; a directory that a program which has just
// ended still holds for a moment (its console host, a virus scanner) is tried
// again for up to three seconds. True when the directory is gone.
bool removeEmptyDirPatiently(const char* directory);

// The current directory without a trailing backslash ("." on failure), so
// that a name joins it with one backslash: a drive root gives "R:".
void getCurrentDir(char* buffer, unsigned size);
// A directory as it is handed on by itself (to a program, or compared):
// a bare drive "R:" becomes its root "R:\", since "R:" alone names the
// current directory of drive R, wherever that is. dir holds cap bytes.
void standAloneDir(char* dir, size_t cap);
// The value of the search path variable (path, PATH or Path), or null.
char* getPathPtr();
// The one rule for a JVM's home from where its program is: the directory
// that holds the program, or its parent when that directory is a final
// "bin" level (any letter case). A "bin" higher up is part of the home
// (C:\data\bin\jre\java.exe has the home C:\data\bin\jre). home holds
// cap bytes.
void getJavaHomeDirectory(const char* executable, char* home, size_t cap);
// The same rule for the directory that holds a JVM program: removes a last
// component "bin" (any letter case); "C:\cabinet" or "C:\bin\jre" stay.
void cutFinalBinLevel(char* dir);
// Splits 1.6.0_20 into the base 1.6 and the micro part 0_20 ("0" when the
// version has fewer than two dots). Both buffers must hold the whole version.
void parseVersion(const char* version, char* base, char* micro);

#endif
