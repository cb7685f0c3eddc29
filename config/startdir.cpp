// The one reader of "startdir.txt". A line that is empty once its trailing
// blanks and line ends are gone is no start directory; a UTF-8 byte-order
// mark before it is skipped.
#include "config/startdir.h"
#include "base/disknames.h"
#include "base/codepage.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <string.h>

bool readStartDir(char* start, size_t cap, bool* tooLong) {
    if (tooLong) *tooLong = false;
    if (cap == 0) return false;
    start[0] = '\0';
    // Written by a script or an editor: a byte-order mark does not belong to
    // the directory.
    LineRule rule = textLines(cap - 1);
    rule.byteOrderMark = true;
    LineReader file(StartDirFile, rule);
    bool whole = true;
    if (!file.read(start, &whole)) return false;
    if (!whole) {
        if (tooLong) *tooLong = true;
        start[0] = '\0';
        return false;
    }
    // Blanks and line ends alone name no directory (a lone CR, say, would
    // otherwise pass for a start directory other than the work directory).
    trimLineEnd(start, 0);
    if (start[strspn(start, " \t\r\n")] == '\0') start[0] = '\0';
    fromLegacyCodePage(start, cap);
    return start[0] != '\0';
}

void getStartDir(char* start) { readStartDir(start, PathBufferSize); }
