// Small text helpers shared by the readers of the launcher's text files and
// directory listings: path separators, the "." and ".." entries, prefixes,
// and the one line reader that every file format of the launcher goes
// through.
//
// The reader takes its rule as a value: how many characters of a line are
// kept, which bytes end a line, whether the file is read as bytes or through
// the runtime's text mode, and whether a byte-order mark at the start is
// heeded: a UTF-8 one is skipped, and a UTF-16 one (what an editor or
// PowerShell's ">" writes as "Unicode") has the file read as UTF-16, each line
// handed on in the process's code page (UTF-8 under the launcher's
// manifest). A line longer than the limit is cut and the rest of it skipped
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
    bool byteOrderMark;  // a byte-order mark before the first line says the encoding
};

// What a file's byte-order mark said.
enum TextEncoding {
    PlainBytes,         // no mark (or one not heeded): the bytes as they are
    Utf8Marked,         // a UTF-8 mark, skipped
    Utf16LittleEndian,  // UTF-16 with its mark FF FE
    Utf16BigEndian      // UTF-16 with its mark FE FF
};

// The rule of the launcher's own text files today: text mode, line feeds.
inline LineRule textLines(size_t limit) { return LineRule{limit, LineFeedEnds, false, false}; }
// The rule of files a package author writes with any editor: bytes as
// bytes (a Ctrl-Z is a character), CR LF, LF and a lone CR all end a line,
// a byte-order mark is no part of the first line and says how it is read.
inline LineRule authoredLines(size_t limit) { return LineRule{limit, AnyLineEnds, true, true}; }

class LineReader {
public:
    // Opens path for reading by rule; isOpen tells whether that worked.
    LineReader(const char* path, const LineRule& rule);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file != nullptr; }
    // The encoding the file's mark says (PlainBytes for a rule that takes no mark).
    TextEncoding encoding() const { return coding; }
    // Reads the next line into line (rule.limit + 1 bytes) without its end.
    // whole (optional) is false when the line was longer than the limit and
    // was cut. False at the end of the file (or when it is not open).
    bool read(char* line, bool* whole = nullptr);
    // True when reading stopped at a read error, not at the end of the file.
    bool failed() const { return file != nullptr && (ferror(file) != 0 || broken); }

private:
    bool readWide(char* line, bool* whole);
    // The next UTF-16 unit, or -1 at the end (half a unit there is none).
    long unit();

    FILE* file;
    LineRule rule;
    TextEncoding coding;
    wchar_t* wide;     // a UTF-16 line before it is converted
    long pendingUnit;  // a unit read after a CR that begins the next line, or -1
    bool broken;       // no room for a UTF-16 line
};

#endif
