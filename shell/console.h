// The console of the program that started the launcher, for the starts
// that answer on it ("--check", "--help").
//
// The launcher is a windowed program: started from a console it gets no
// standard handles and the console does not wait for it. A standard output
// it was given (a pipe or a file, as a script or a test redirects it) is
// kept; without one it attaches to its parent's console, and its standard
// output and standard error become that console's.
#ifndef SHELL_CONSOLE_H
#define SHELL_CONSOLE_H

#include <windows.h>

// The handle to write the answer to, null when there is none.
HANDLE parentConsole();

// Writes text whole to out (null: nothing).
void writeConsole(HANDLE out, const char* text);

#endif
