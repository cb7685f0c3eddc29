// The one way from a Windows error code to the text a line of the trace or
// of errors.log shows: the system's own message for the code.
#ifndef BASE_WINERROR_H
#define BASE_WINERROR_H

#include <stddef.h>

// "Windows error <code>: <the system's text>" into out (cap bytes, cut to
// fit), the text without its final full stop and line end.
void windowsErrorText(unsigned long code, char* out, size_t cap);

#endif
