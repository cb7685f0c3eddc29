// The usage of "installer.exe --help" (or "/?"): the switches, the files the
// launcher reads and writes in the work directory, and where the documents
// for package authors are.
#ifndef SHELL_USAGE_H
#define SHELL_USAGE_H

#include <windows.h>

// Writes the usage to out (null: nothing), Windows line ends.
void writeUsage(HANDLE out);

#endif
