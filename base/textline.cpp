// The line reader of base/textline.h.
#include "base/textline.h"

#include <windows.h>
#include <stdlib.h>

void trimLineEnd(char* text, size_t keep) {
    size_t length = strlen(text);
    while (length > keep &&
           (text[length - 1] == ' ' || text[length - 1] == '\r' || text[length - 1] == '\n'))
        text[--length] = '\0';
}

LineReader::LineReader(const char* path, const LineRule& lineRule)
    : file(fopen(path, lineRule.binary ? "rb" : "rt")), rule(lineRule), coding(PlainBytes),
      wide(nullptr), pendingUnit(-1), broken(false) {
    if (!file || !rule.byteOrderMark) return;
    unsigned char mark[3];
    size_t got = fread(mark, 1, sizeof mark, file);
    long skip = 0;
    if (got == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
        coding = Utf8Marked;
        skip = 3;
    } else if (got >= 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
        coding = Utf16LittleEndian;
        skip = 2;
    } else if (got >= 2 && mark[0] == 0xFE && mark[1] == 0xFF) {
        coding = Utf16BigEndian;
        skip = 2;
    }
    if ((coding == Utf16LittleEndian || coding == Utf16BigEndian) && !rule.binary) {
        // Text mode would end UTF-16 at any 1A byte (a Ctrl-Z): bytes as bytes.
        fclose(file);
        file = fopen(path, "rb");
        if (!file) return;
    }
    // Not a mark: read from the start again.
    fseek(file, skip, SEEK_SET);
    if (coding == Utf16LittleEndian || coding == Utf16BigEndian) {
        wide = (wchar_t*)malloc((rule.limit + 1) * sizeof(wchar_t));
        broken = wide == nullptr;
    }
}

LineReader::~LineReader() {
    if (file) fclose(file);
    free(wide);
}

bool LineReader::read(char* line, bool* whole) {
    line[0] = '\0';
    if (whole) *whole = true;
    if (!file) return false;
    if (coding == Utf16LittleEndian || coding == Utf16BigEndian) return readWide(line, whole);
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

long LineReader::unit() {
    if (pendingUnit >= 0) {
        long pending = pendingUnit;
        pendingUnit = -1;
        return pending;
    }
    int first = getc(file);
    if (first == EOF) return -1;
    int second = getc(file);
    if (second == EOF) return -1;
    return coding == Utf16LittleEndian ? first | (second << 8) : (first << 8) | second;
}

bool LineReader::readWide(char* line, bool* whole) {
    if (!wide) return false;
    // Every unit gives at least one byte: units beyond the limit never fit.
    size_t length = 0;
    bool any = false, cut = false;
    long c;
    while ((c = unit()) >= 0) {
        any = true;
        if (c == '\n') break;
        if (c == '\r' && rule.ends == AnyLineEnds) {
            long next = unit();
            if (next != '\n') pendingUnit = next;
            break;
        }
        if (length < rule.limit)
            wide[length++] = (wchar_t)c;
        else
            cut = true;
    }
    // In the process's code page; a line too long for the limit there is cut
    // at a whole character.
    int units = (int)length;
    int need = units ? WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr) : 0;
    if (need > 0 && (size_t)need > rule.limit) units = (int)((size_t)units * rule.limit / need);
    while (units > 0 && (need <= 0 || (size_t)need > rule.limit)) {
        if (IS_HIGH_SURROGATE(wide[units - 1])) --units;
        need = units ? WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr)
                     : 0;
        if (need <= 0 || (size_t)need > rule.limit) --units;
    }
    if (units < (int)length) cut = true;
    int written =
        units ? WideCharToMultiByte(CP_ACP, 0, wide, units, line, (int)rule.limit, nullptr, nullptr)
              : 0;
    line[written > 0 ? written : 0] = '\0';
    if (whole && cut) *whole = false;
    return any;
}
