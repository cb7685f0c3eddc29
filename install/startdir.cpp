// The one reader of "startdir.txt".
#include "install/startdir.h"
#include "base/codepage.h"
#include "base/strbuf.h"
#include "base/textline.h"

static const char OriginalDirFilename[] = "startdir.txt";

bool readStartDir(char* start, size_t cap, bool* tooLong) {
    if (tooLong) *tooLong = false;
    if (cap == 0) return false;
    start[0] = '\0';
    LineReader file(OriginalDirFilename, textLines(cap - 1));
    bool whole = true;
    if (!file.read(start, &whole)) return false;
    if (!whole) {
        if (tooLong) *tooLong = true;
        start[0] = '\0';
        return false;
    }
    trimLineEnd(start, 1);
    fromLegacyCodePage(start, cap);
    return start[0] != '\0';
}

void getStartDir(char* start) { readStartDir(start, PathBufferSize); }
