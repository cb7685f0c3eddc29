// The launcher's command line: the quiet-start test of the main thread and
// the fuller reading of the worker (switches "-q" and "-s" and their one
// argument). Both work on copies; the arguments string is never changed.
#ifndef SHELL_CMDLINE_H
#define SHELL_CMDLINE_H

#include <stddef.h>

// True when the arguments are the one word "--check" (blanks around it
// allowed): the package check, which runs nothing.
bool isCheckStart(const char* arguments);

// True when the arguments are the one word "--help" or "/?": the usage,
// and nothing else.
bool isHelpStart(const char* arguments);

// True when a word followed by a blank is exactly "-q" or "-s".
bool isQuietStart(const char* arguments);

// Reads the switches and their argument. argument (cap bytes) receives the
// argument without its double quotes; a longer one is cut, never overflows.
void parseCommandLine(const char* arguments, bool* quiet, bool* properties, char* argument,
                      size_t cap);

#endif
