// Small text helpers shared by the readers of the launcher's text files and
// directory listings: path separators, the "." and ".." entries, prefixes,
// and a line reader for files whose lines have a fixed limit.
#ifndef BASE_TEXTLINE_H
#define BASE_TEXTLINE_H

#include <stdio.h>
#include <string.h>

// A backslash or a slash: both separate path components on Windows.
inline bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The "." and ".." entries of a directory listing.
inline bool isDotEntry(const char* name) {
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

inline bool startsWith(const char* text, const char* prefix) {
    return strncmp(text, prefix, strlen(prefix)) == 0;
}

// Removes trailing blanks, carriage returns and line feeds, but never the
// first keep characters.
void trimLineEnd(char* text, size_t keep);

// Reads one line of at most readLimit - 1 characters into line (which holds
// at least readLimit bytes), without its line feed. The rest of a longer line
// is skipped, so that it cannot pass for a line of its own. False at the end
// of the file.
bool readLimitedLine(FILE* file, char* line, int readLimit);

#endif
