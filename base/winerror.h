// The one path from a Windows error code to words: the system's message
// (FormatMessage), in English where the system has it, so that the trace and
// the error log read the same on every machine. Every report of a Windows
// error goes through here; no private table names an error differently.
#ifndef BASE_WINERROR_H
#define BASE_WINERROR_H

#include <stddef.h>

// The message of code into out (cap bytes, cut to fit): taken from module
// (a DLL with messages of its own, such as winhttp.dll) before the system's
// when module is given; English first, else the system's default language;
// without its line end, final blanks or final full stop. A place for an
// insert ("%1 is not a valid Win32 application") gets insert when given (the
// program or file the error is about) and stays as it is otherwise. False,
// out empty, when neither knows the code.
bool windowsMessage(unsigned long code, char* out, size_t cap, void* module = nullptr,
                    const char* insert = nullptr);

// "Windows error <code>: <message>", or "Windows error <code>" when the
// system has no message for it, into out (cap bytes, cut to fit); insert as
// for windowsMessage.
void windowsErrorText(unsigned long code, char* out, size_t cap, const char* insert = nullptr);

#endif
