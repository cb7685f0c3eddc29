// FileReport: the run's lines in "errors.log" and "jinstall.log".
#include "base/filereport.h"
#include "base/disknames.h"
#include "base/fexists.h"
#include "base/log.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

// dir\name when the whole fits a Windows path and the code page spells the
// directory (no '?' stands for a letter), else the bare name.
static void placeIn(char* path, const char* dir, const char* name) {
    if (!dir[0] || strchr(dir, '?') || strlen(dir) + strlen(name) + 2 > MAX_PATH) {
        copyText(path, PathBufferSize, name);
        return;
    }
    size_t length = strlen(dir);
    bool separated = dir[length - 1] == '\\' || dir[length - 1] == '/';
    formatText(path, PathBufferSize, "%s%s%s", dir, separated ? "" : PathSeparator, name);
}

static void touch(const char* path) {
    FILE* file = fopen(path, "at");
    if (file) fclose(file);
}

FileReport::FileReport(bool switchOn, bool bareNames) {
    char workDir[MAX_PATH + 1];
    DWORD length = bareNames ? 0 : GetCurrentDirectoryA(sizeof workDir, workDir);
    if (length == 0 || length >= sizeof workDir) workDir[0] = '\0';
    placeIn(tracePath, workDir, TraceLog);
    placeIn(errorsPath, workDir, ErrorsLog);
    placeIn(markerPath, workDir, OwnTraceMarkerFile);
    if (switchOn && !fexists(tracePath)) {
        touch(tracePath);
        touch(markerPath);
    }
    tracingOn = fexists(tracePath);
    ownTraceFile = fexists(markerPath);
}

void FileReport::trace(const char* line) {
    if (fexists(tracePath)) Log::logMessage(tracePath, line);
}

void FileReport::error(const char* line) {
    Log::logMessage(errorsPath, line);
    trace(line);
}

void FileReport::failure(const char* line) { Log::logMessage(errorsPath, line); }

void FileReport::flush() {
    Log::writePending(errorsPath);
    Log::writePending(tracePath);
}

void FileReport::endRun(bool succeeded) {
    if (!fexists(markerPath)) return;
    remove(markerPath);
    if (succeeded)
        remove(tracePath);
    else
        trace("install ok: false");
}
