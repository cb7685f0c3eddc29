// JvmStage: the stage folder, its lock, the sweep of a killed run's stages,
// and the move into the final folder.
#include "jvm/jvmstage.h"
#include "base/disknames.h"

#include "base/deltree.h"
#include "base/fexists.h"
#include "base/dirguard.h"
#include "base/findfile.h"

#include <stdlib.h>
#include <string.h>

static bool endsWithSeparator(const char* text) {
    size_t length = strlen(text);
    return length > 0 && text[length - 1] == PathSeparator[0];
}

bool makeLevels(const char* dir, char* madeTop, unsigned long& error) {
    madeTop[0] = '\0';
    char work[PathBufferSize];
    if (!formatText(work, sizeof work, "%s%s", dir, endsWithSeparator(dir) ? "" : PathSeparator)) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    // Every level from the left; a drive, and the server and share of a UNC
    // path, are not made.
    bool unc = work[0] == PathSeparator[0] && work[1] == PathSeparator[0];
    unsigned level = 0;
    for (char* separator = strchr(work, PathSeparator[0]); separator;
         separator = strchr(separator + 1, PathSeparator[0])) {
        ++level;
        *separator = '\0';
        bool driveOnly = strlen(work) == 2 && work[1] == ':';
        bool skip = !work[0] || driveOnly || (unc && level <= 4) || isDir(work);
        if (!skip) {
            if (!CreateDirectoryA(work, nullptr)) {
                error = GetLastError();
                if (error != ERROR_ALREADY_EXISTS || !isDir(work)) {
                    trace("unable to add directory", work);
                    if (error == ERROR_ALREADY_EXISTS) error = ERROR_DIRECTORY;
                    return false;
                }
            } else if (!madeTop[0]) {
                copyText(madeTop, PathBufferSize, work);
            }
        }
        *separator = PathSeparator[0];
    }
    return true;
}

void removeEmptyLevels(const char* dir, const char* top) {
    size_t topLength = strlen(top);
    if (!topLength || _strnicmp(dir, top, topLength) != 0 ||
        (dir[topLength] && dir[topLength] != PathSeparator[0]))
        return;
    char level[PathBufferSize];
    if (!copyText(level, dir)) return;
    if (endsWithSeparator(level) && strlen(level) > 3) level[strlen(level) - 1] = '\0';
    for (;;) {
        // Only an empty folder goes: whatever a program left stays, with the
        // folders that hold it.
        if (isDir(level)) {
            if (!removeEmptyDirPatiently(level) || isDir(level)) return;
            trace("removed:", level);
        }
        char* separator = strrchr(level, PathSeparator[0]);
        if (strlen(level) <= topLength || !separator) return;
        *separator = '\0';
    }
}

bool isEmptyDir(const char* dir) {
    char pattern[PathBufferSize];
    if (!formatText(pattern, sizeof pattern, "%s%s*", dir, PathSeparator)) return false;
    FindFile listing(pattern);
    return listing.isListed() && !listing.next();
}

void listEntries(const char* dir, unsigned count, char* out, size_t cap, const char* skip) {
    out[0] = '\0';
    char pattern[PathBufferSize];
    if (!formatText(pattern, sizeof pattern, "%s%s*", dir, PathSeparator)) return;
    FindFile listing(pattern);
    unsigned listed = 0;
    while (listing.next()) {
        if (skip && _stricmp(listing.name(), skip) == 0) continue;
        if (listed == count) {
            appendText(out, cap, ", ...");
            return;
        }
        if (listed++) appendText(out, cap, ", ");
        appendText(out, cap, listing.name());
    }
}

// The stages of killed runs in parent: a stage whose lock is gone, or is
// held by nobody (the lock can be deleted), is a leftover.
static void sweepStages(const char* parent) {
    char pattern[PathBufferSize];
    if (!formatText(pattern, sizeof pattern, "%s%s%s*", parent, PathSeparator, StageFolderPrefix))
        return;
    FindFile listing(pattern);
    char stage[PathBufferSize], lock[PathBufferSize];
    while (listing.next()) {
        if (!listing.isDirectory() ||
            !formatText(stage, sizeof stage, "%s%s%s", parent, PathSeparator, listing.name()) ||
            !formatText(lock, sizeof lock, "%s%s%s", stage, PathSeparator, StageLockFile))
            continue;
        if (!DeleteFileA(lock) && GetLastError() != ERROR_FILE_NOT_FOUND) continue;  // in use
        trace("removing the stage of a run that did not end:", stage);
        if (!delDirTree(stage)) trace("unable to remove", stage);
    }
}

JvmStage::JvmStage() : lock(INVALID_HANDLE_VALUE), placed(false) {
    stageDir[0] = madeTop[0] = parentDir[0] = '\0';
}

JvmStage::~JvmStage() { removeStage(); }

bool JvmStage::make(const char* parent, unsigned long& error) {
    removeStage();
    if (!copyText(parentDir, parent) || !makeLevels(parent, madeTop, error)) {
        if (!parentDir[0] || error == 0) error = ERROR_FILENAME_EXCED_RANGE;
        removeEmptyLevels(parent, madeTop);
        madeTop[0] = '\0';
        return false;
    }
    sweepStages(parent);
    char stage[PathBufferSize];
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (!formatText(stage, sizeof stage, "%s%s%s%lu-%llu", parent,
                        endsWithSeparator(parent) ? "" : PathSeparator, StageFolderPrefix,
                        GetCurrentProcessId(), (unsigned long long)GetTickCount64() + attempt)) {
            error = ERROR_FILENAME_EXCED_RANGE;
            break;
        }
        if (CreateDirectoryA(stage, nullptr)) {
            copyText(stageDir, stage);
            SetFileAttributesA(stageDir, FILE_ATTRIBUTE_HIDDEN);
            char lockPath[PathBufferSize];
            if (formatText(lockPath, sizeof lockPath, "%s%s%s", stageDir, PathSeparator,
                           StageLockFile))
                lock = CreateFileA(lockPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            trace("staging the JVM in", stageDir);
            return true;
        }
        error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) break;
    }
    removeEmptyLevels(parent, madeTop);
    madeTop[0] = '\0';
    return false;
}

bool JvmStage::placeAt(const char* target, unsigned long& error) {
    // A folder with an open file in it cannot be renamed: the lock goes
    // first (and with it the lock file).
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    lock = INVALID_HANDLE_VALUE;
    // A program that has just ended may hold the folder a moment longer
    // (the console host of the expansion's run, a virus scanner): tried
    // again for up to about three seconds.
    unsigned waited = 0;
    while (!MoveFileExA(stageDir, target, 0)) {
        error = GetLastError();
        bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || waited >= 3000) return false;
        Sleep(100);
        waited += 100;
    }
    if (waited) trace("the stage was held for ms:", (int)waited);
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    placed = true;
    trace("JVM placed in", target);
    return true;
}

void JvmStage::removeStage() {
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    lock = INVALID_HANDLE_VALUE;
    if (stageDir[0] && !placed) {
        trace("removing the stage", stageDir);
        // The expansion's console host may hold the emptied folder a moment.
        delDirTree(stageDir);
        if (isDir(stageDir) && !removeEmptyDirPatiently(stageDir))
            trace("unable to remove the stage", stageDir);
    }
    // Placed elsewhere, the levels made for the stage may be left empty.
    if (parentDir[0]) removeEmptyLevels(parentDir, madeTop);
    stageDir[0] = madeTop[0] = parentDir[0] = '\0';
    placed = false;
}
