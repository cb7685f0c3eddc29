// Log: one time-stamped line per call, appended to the named file. A line a
// full disk refuses is kept and written once there is room again.
#include "base/log.h"
#include "base/disknames.h"
#include "base/fexists.h"

#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

// Lines a full disk refused, kept for up to two files (the error log and
// the trace) until there is room again: written before the next line of
// their file, or by writePending once the clean-up has freed some space.
enum { PendingFiles = 2, PendingFileNameSize = 270, PendingTextSize = 8192 };
struct PendingLines {
    char file[PendingFileNameSize];
    char text[PendingTextSize];  // whole lines, each ended by a line feed
};
static PendingLines pending[PendingFiles];

static PendingLines* pendingFor(const char* filename, bool make) {
    for (PendingLines& slot : pending)
        if (slot.file[0] && strcmp(slot.file, filename) == 0) return &slot;
    if (!make || strlen(filename) >= PendingFileNameSize) return nullptr;
    for (PendingLines& slot : pending) {
        if (!slot.file[0]) {
            strcpy(slot.file, filename);
            slot.text[0] = '\0';
            return &slot;
        }
    }
    return nullptr;
}

// Appends text to the file; a write that does not arrive whole is taken
// back, so that the file never ends in a piece of a line.
static bool appendWhole(const char* filename, const char* text) {
    FILE* file = fopen(filename, "a+t");
    if (!file) return false;
    long before = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
    bool written = fputs(text, file) >= 0 && fflush(file) == 0;
    if (!written && before >= 0) _chsize(_fileno(file), before);
    if (fclose(file) != 0) written = false;
    return written;
}

bool Log::writePending(const char* filename) {
    PendingLines* slot = pendingFor(filename, false);
    if (!slot || !slot->text[0]) return true;
    // A file deleted meanwhile (the trace after a good run) is not made again.
    if (!fexists(filename) || !appendWhole(filename, slot->text)) return false;
    slot->text[0] = '\0';
    return true;
}

void Log::logMessage(const char* filename, const char* message) {
    time_t now = time(nullptr);
    char stamp[32] = "";
    const struct tm* local = localtime(&now);
    const char* text = local ? asctime(local) : nullptr;
    if (text) {
        strncpy(stamp, text, sizeof stamp - 1);
        char* lineEnd = strchr(stamp, '\n');
        if (lineEnd) *lineEnd = '\0';
    }
    if (!message) message = "";

    size_t size = strlen(stamp) + strlen(message) + 3;
    char* line = (char*)malloc(size);
    if (!line) return;
    snprintf(line, size, "%s %s\n", stamp, message);
    if (!writePending(filename) || !appendWhole(filename, line)) {
        // Kept for later as far as there is room; a line too long for the
        // keep is dropped as before.
        PendingLines* slot = pendingFor(filename, true);
        if (slot && strlen(slot->text) + strlen(line) < PendingTextSize)
            strcat(slot->text, line);
    }

    if (fexists(TermLog)) {
        printf("%s", line);
        fflush(stdout);
    }
    free(line);
}
