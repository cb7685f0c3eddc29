// The line reader of base/textline.h.
#include "base/textline.h"

void trimLineEnd(char* text, size_t keep) {
    size_t length = strlen(text);
    while (length > keep &&
           (text[length - 1] == ' ' || text[length - 1] == '\r' || text[length - 1] == '\n'))
        text[--length] = '\0';
}

LineReader::LineReader(const char* path, const LineRule& lineRule)
    : file(fopen(path, lineRule.binary ? "rb" : "rt")), rule(lineRule), atStart(true) {}

LineReader::~LineReader() {
    if (file) fclose(file);
}

bool LineReader::read(char* line, bool* whole) {
    line[0] = '\0';
    if (whole) *whole = true;
    if (!file) return false;
    if (atStart) {
        atStart = false;
        if (rule.skipByteOrderMark) {
            static const unsigned char Mark[] = {0xEF, 0xBB, 0xBF};
            unsigned matched = 0;
            int c;
            while (matched < 3 && (c = getc(file)) == Mark[matched]) ++matched;
            if (matched < 3) {
                // Not a mark: read from the start again.
                if (c != EOF || matched) fseek(file, 0, SEEK_SET);
            }
        }
    }
    size_t length = 0;
    bool any = false;
    int c;
    while ((c = getc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c == '\r' && rule.ends == AnyLineEnds) {
            int next = getc(file);
            if (next != '\n' && next != EOF) ungetc(next, file);
            break;
        }
        if (length < rule.limit)
            line[length++] = (char)c;
        else if (whole)
            *whole = false;
    }
    line[length] = '\0';
    return any;
}
