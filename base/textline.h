// Small text helpers shared by the readers of the launcher's text files and
// directory listings: path separators, the "." and ".." entries, prefixes,
// and the one line reader that every file format of the launcher goes
// through.
//
// The reader takes its rule as a value: how many characters of a line are
// kept, which bytes end a line, whether the file is read as bytes or through
// the runtime's text mode, and whether a UTF-8 byte-order mark at the start
// is skipped. A line longer than the limit is cut and the rest of it skipped
// (the reader says so), so that a piece of a long line can never pass for a
// line of its own. Reading never changes the file.
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

// Which bytes end a line.
enum LineEnds {
    LineFeedEnds,  // a line feed; a carriage return stays in the line
    AnyLineEnds    // CR LF, LF, or a CR alone
};

struct LineRule {
    size_t limit;        // characters kept of a line; the buffer holds limit + 1
    LineEnds ends;
    bool binary;         // bytes as bytes: no text-mode CR LF folding, no Ctrl-Z end
    bool skipByteOrderMark;  // a UTF-8 byte-order mark before the first line
};

// The rule of the launcher's own text files today: text mode, line feeds.
inline LineRule textLines(size_t limit) { return LineRule{limit, LineFeedEnds, false, false}; }
// The rule of files a package author writes with any editor: bytes as
// bytes (a Ctrl-Z is a character), CR LF, LF and a lone CR all end a line,
// a UTF-8 byte-order mark is no part of the first line.
inline LineRule authoredLines(size_t limit) { return LineRule{limit, AnyLineEnds, true, true}; }

class LineReader {
public:
    // Opens path for reading by rule; isOpen tells whether that worked.
    LineReader(const char* path, const LineRule& rule);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file != nullptr; }
    // Reads the next line into line (rule.limit + 1 bytes) without its end.
    // whole (optional) is false when the line was longer than the limit and
    // was cut. False at the end of the file (or when it is not open).
    bool read(char* line, bool* whole = nullptr);
    // True when reading stopped at a read error, not at the end of the file.
    bool failed() const { return file != nullptr && ferror(file) != 0; }

private:
    FILE* file;
    LineRule rule;
    bool atStart;
};

#endif
