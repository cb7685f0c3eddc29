// WorkDirCleanup: clean-up of the work directory at the end of every run, and the
// package files that the manifest names.
//
// Clean-up removes what the package and the launcher left in the work
// directory and no longer need (the files the package manifest names, the
// wizard, the properties, the change record), removes a JVM that was only
// installed into a temporary directory (tempjvm.cpp), drops an empty error
// log and appends the logs to files in the start directory (logcopy.cpp), so
// that they outlive the work directory.
//
// A manifest name is deleted only when it names a file inside the work
// directory; a manifest line too long for its buffer is never taken in
// pieces.
#include "install/cleanup.h"
#include "base/disknames.h"
#include "base/report.h"
#include "install/logcopy.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <direct.h>
#include <stdio.h>
#include <string.h>

static const char ManifestNameTag[] = "Name: ";

enum {
    LineBufferSize = 1001,
    ManifestLineLimit = 999  // characters of a manifest line
};

// True when a manifest name stays inside the work directory: relative, no
// drive or stream (no colon), no UNC or root-relative start and no
// component that climbs out ("..", or dots and blanks that Windows reads as
// "..").
static bool isInsideName(const char* name) {
    if (!name[0] || isSeparator(name[0]) || strchr(name, ':')) return false;
    const char* at = name;
    while (*at) {
        while (isSeparator(*at)) ++at;
        const char* start = at;
        unsigned dots = 0;
        bool onlyDots = true;
        for (; *at && !isSeparator(*at); ++at) {
            if (*at == '.')
                ++dots;
            else if (*at != ' ')
                onlyDots = false;
        }
        if (at > start && onlyDots && dots >= 2) return false;
    }
    return true;
}


// ---------------------------------------------------------------------------
// The whole clean-up

bool cleanUpWorkDir(bool succeeded, const TemporaryJvm& jvm, const char* windowsDir) {
    removePackageFiles(succeeded);
    // The package's files are gone: lines a full disk refused may fit now,
    // before the logs are judged and copied.
    report().flush();
    jvm.cleanUp();
    dropEmptyErrorsLog();
    bool errorsSaved = copyLogs(windowsDir);
    remove(ChangesFile);
    remove(StartDirFile);
    remove(NativePropertiesFile);
    return errorsSaved;
}

// ---------------------------------------------------------------------------
// Package files

// Deletes the file that one manifest entry names, if the entry is a "Name: "
// entry for a file inside the work directory.
static void deleteManifestEntry(char* entry, bool whole) {
    size_t tagLength = strlen(ManifestNameTag);
    if (strncmp(entry, ManifestNameTag, tagLength) != 0) return;
    char* name = entry + tagLength;
    if (!whole) {
        trace("manifest entry too long, not deleted:", name);
        return;
    }
    trimLineEnd(name, 1);
    if (name[0] == '\0' || strspn(name, " ") == strlen(name)) return;
    if (!isInsideName(name)) {
        trace("manifest entry outside the work directory, not deleted:", name);
        return;
    }
    for (char* c = name; *c; ++c)
        if (*c == '/') *c = '\\';
    remove(name);
}

// Deletes the files that the manifest's "Name: " entries name. A manifest
// wraps long entries: a line that begins with one blank continues the entry
// before it.
static void deleteManifestEntries() {
    LineReader manifest(ManifestFile, textLines(ManifestLineLimit));
    char line[LineBufferSize];
    char entry[PathBufferSize];
    bool haveEntry = false;
    bool entryWhole = true;
    bool lineWhole;
    while (manifest.read(line, &lineWhole)) {
        size_t length = strlen(line);
        while (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
        if (haveEntry && line[0] == ' ') {
            // Once an entry is too long, the rest of it is only skipped: it
            // is traced once, however many lines continue it.
            if (!entryWhole) continue;
            if (!lineWhole || strlen(entry) + strlen(line + 1) >= sizeof entry)
                entryWhole = false;
            else
                appendText(entry, line + 1);
            continue;
        }
        if (haveEntry) deleteManifestEntry(entry, entryWhole);
        haveEntry = true;
        entryWhole = lineWhole;
        copyText(entry, line);
    }
    if (haveEntry) deleteManifestEntry(entry, entryWhole);
}

void removePackageFiles(bool succeeded) {
    // The manifest is closed again before it is deleted.
    deleteManifestEntries();
    remove(ManifestFile);
    _rmdir(ManifestFolder);
    remove(WizardJarFile);
    report().endRun(succeeded);
}

