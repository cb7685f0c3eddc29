// The name in the captions of the status dialog and of the boxes: the
// control file's productName once the worker has read it, else the
// ProductName of the program's own version block (a branded build names
// one), else none, and the captions are the launcher's own.
#ifndef SHELL_PRODUCTNAME_H
#define SHELL_PRODUCTNAME_H

#include "config/settings.h"

#include <stddef.h>

// A product name in UTF-8: a name of the control file's capacity, each
// character at most three bytes.
enum { ProductNameUtf8Size = 3 * ProductNameSize };

// Takes the control file's name (the program's code page); it stands for
// the rest of the run. Any thread.
void setProductName(const char* name);

// The product name, UTF-8, into out (cap bytes); false when there is none.
// The version block is read on the first call that needs it. Any thread.
bool productName(char* out, size_t cap);

// The ProductName of a version block (the bytes of a VS_VERSIONINFO
// resource, four-byte aligned), UTF-8, into out (cap bytes); false when it
// names none, or the name does not fit.
bool versionBlockProductName(const void* block, size_t size, char* out, size_t cap);

#endif
