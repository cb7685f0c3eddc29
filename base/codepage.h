// Texts between the launcher's code page and the world's: a value written
// in the system's legacy ANSI code page, and a path for a program that
// cannot take every letter.
#ifndef BASE_CODEPAGE_H
#define BASE_CODEPAGE_H

#include <stddef.h>
#include <stdio.h>
#include <wchar.h>

// A text of the code page as a new UTF-16 text (freed by the caller), empty
// when it cannot be converted; null when out of memory.
wchar_t* widen(const char* text, unsigned codePage);

// When the process's ANSI code page is UTF-8 and text is not valid UTF-8,
// converts text in place from the system's legacy ANSI code page (for
// example "ü" written as the one byte FC of Windows-1252). A result that
// does not fit capacity is cut at a whole character. Otherwise text stays.
void fromLegacyCodePage(char* text, size_t capacity);

// Turns a UTF-8 text (as a Java program writes it) into the launcher's
// ANSI code page, in place; under a UTF-8 code page it stays as it is.
// False, with the text unchanged, when it is not valid UTF-8, when one of
// its characters has no form in the code page, or when the result does not
// fit capacity.
bool fromUtf8(char* text, size_t capacity);

// A UTF-8 text (a fixed text of the sources) into out (cap bytes) in the
// process's ANSI code page: as it is where that code page is UTF-8 (or the
// text is ASCII), else converted, a letter the code page lacks becoming its
// default character. A result that does not fit is cut.
void ansiFromUtf8(const char* text, char* out, size_t cap);

// Turns an existing path (in place) into a name that any other program can
// take from its command line: a path that is not all ASCII becomes its short
// name when that is all ASCII and fits capacity; otherwise it stays.
void pathForChild(char* path, size_t capacity);

// Writes the line "key=value" of a Java properties file: a character of the
// value that is not ASCII is written as \uXXXX, which a Java program reads
// back whatever its default encoding.
void writeProperty(FILE* file, const char* key, const char* value);
// Turns the \uXXXX escapes of a properties line back into characters of the
// ANSI code page (in place; an escape whose character does not fit capacity
// or the code page stays as it is).
void fromPropertyEscapes(char* line, size_t capacity);

#endif
