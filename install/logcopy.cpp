// LogCopy: the logs of the run outlive the work directory. An empty error
// log is dropped; every "*.log" of the work directory is appended to a file
// of the same name in the start directory (or, when that cannot be written,
// in the Windows directory), never to itself.
#include "install/logcopy.h"
#include "base/disknames.h"
#include "base/report.h"
#include "base/filereport.h"
#include "base/curdir.h"
#include "base/fexists.h"
#include "base/filecopy.h"
#include "base/dirguard.h"
#include "base/fexists.h"
#include "base/findfile.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "base/textline.h"
#include "config/startdir.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>


// True when the file can be opened and holds no byte.
static bool isEmptyFile(const char* name) {
    FILE* file = fopen(name, "rb");
    if (!file) return false;
    bool empty = fseek(file, 0, SEEK_END) == 0 && ftell(file) == 0;
    fclose(file);
    return empty;
}

static bool isDirWriteProtected(const char* directory);
static bool appendLogs(const char* target);

void dropEmptyErrorsLog() {
    if (isEmptyFile(ErrorsLog)) remove(ErrorsLog);
}

bool copyLogs(const char* windowsDir) {
    if (!fexists(StartDirFile)) return true;
    char start[PathBufferSize];
    bool tooLong = false;
    if (!readStartDir(start, sizeof start, &tooLong)) {
        if (tooLong) trace("start directory too long, logs not copied");
        return true;
    }
    char current[PathBufferSize];
    getCurrentDir(current, PathBufferSize - 1);
    if (!fexists(start) || sameDirectory(start, current)) return true;

    const char* target = start;
    if (isDirWriteProtected(start) && !isDirWriteProtected(windowsDir)) target = windowsDir;
    trace("copying log files to", target);
    return appendLogs(target);
}

// Appends the logs to the files of their names in target; false when
// errors.log could not be saved there.
static bool appendLogs(const char* target) {
    if (!target || !target[0]) return true;
    char current[PathBufferSize];
    getCurrentDir(current, PathBufferSize - 1);
    // Appending the logs to themselves would only double them.
    if (sameDirectory(target, current)) return true;
    char pattern[PathBufferSize + 8];
    if (!formatText(pattern, sizeof pattern, "%s%s*.log", current, PathSeparator)) return true;

    FindFile listing(pattern);
    if (!listing.isListed()) return true;

    size_t targetLength = strlen(target);
    const char* separator = isSeparator(target[targetLength - 1]) ? "" : PathSeparator;
    size_t size = targetLength + MAX_PATH + 2;
    ScopedText destination(ScopedText::allocate(size));
    bool errorsSaved = true;
    if (destination) {
        while (listing.next()) {
            const char* name = listing.name();
            if (strcmp(name, ExpansionLog) == 0 && isEmptyFile(name)) continue;
            formatText(destination, size, "%s%s%s", target, separator, name);
            if (!appendFile(name, destination))
                trace("unable to copy log file", destination);
            if (strcmp(name, ErrorsLog) == 0 && !fexists(destination)) errorsSaved = false;
        }
    }
    return errorsSaved;
}

static bool isDirWriteProtected(const char* directory) {
    if (!directory || !directory[0]) return true;
    size_t length = strlen(directory);
    size_t size = length + sizeof WriteProbeFile + 2;
    ScopedText probe(ScopedText::allocate(size));
    if (!probe) return true;
    formatText(probe, size, "%s%s%s", directory, isSeparator(directory[length - 1]) ? "" : PathSeparator,
               WriteProbeFile);
    bool writeProtected = true;
    FILE* file = fopen(probe, "wt");
    if (file) {
        fputs("ok", file);
        fseek(file, 0, SEEK_END);
        writeProtected = ftell(file) < 1;
        fclose(file);
        remove(probe);
    }
    return writeProtected;
}

