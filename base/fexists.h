// Existence tests: whether a file or directory exists, tolerating a quoted
// path (a command text such as "C:\Program Files\x\java.exe" -version
// tests only the quoted path), and whether a path is a directory.
#ifndef BASE_FEXISTS_H
#define BASE_FEXISTS_H

bool fexists(const char* path);
// True when path names an existing directory (a trailing separator allowed).
bool isDir(const char* path);

#endif
