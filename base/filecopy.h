// Whole-file copies and appends built on one careful stream copy: a copy
// is complete or leaves no destination (and never a damaged earlier one),
// and no file is ever copied or appended into itself.
#ifndef BASE_FILECOPY_H
#define BASE_FILECOPY_H

#include <stdio.h>

// Copies the whole of source to destination; true when every byte arrived.
bool copyStream(FILE* source, FILE* destination);
// A complete copy or no destination at all.
bool copyFile(const char* source, const char* destination);
// Renames a complete file over its destination (replacing it); false, and
// both left as they were as far as the system allows, when that fails.
bool replaceFile(const char* temporary, const char* destination);
// Appends source to destination (created when missing).
bool appendFile(const char* source, const char* destination);

#endif
