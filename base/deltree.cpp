// Directory tree deletion, depth first, every path absolute.
#include "base/deltree.h"
#include "base/curdir.h"
#include "base/disknames.h"
#include "base/findfile.h"
#include "base/reparsepoint.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <windows.h>
#include <direct.h>
#include <errno.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>

bool isAbsoluteDirPath(const char* path) {
    if (!path) return false;
    const char* rest;
    if (isSeparator(path[0]) && isSeparator(path[1])) {
        // \\server\share: both names are required.
        const char* server = path + 2;
        const char* end = server;
        while (*end && !isSeparator(*end)) ++end;
        if (end == server || !*end || !end[1] || isSeparator(end[1])) return false;
        rest = end + 1;
    } else {
        char drive = path[0];
        bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
        if (!letter || path[1] != ':' || !isSeparator(path[2])) return false;
        rest = path + 3;
    }
    // At least one name, and no "." or ".." that could lead out of it.
    bool named = false;
    while (*rest) {
        while (isSeparator(*rest)) ++rest;
        const char* start = rest;
        while (*rest && !isSeparator(*rest)) ++rest;
        size_t length = (size_t)(rest - start);
        if (length == 0) continue;
        if ((length == 1 && start[0] == '.') || (length == 2 && start[0] == '.' && start[1] == '.'))
            return false;
        named = true;
    }
    return named;
}

// One tree deletion's patience with entries that another program holds
// (a virus scanner, an indexer, a program that has just ended): each is
// tried HeldAttempts times, the pauses doubling from FirstHeldPauseMs
// (750 ms in all), while the deletion has waited less than TreeWaitMs.
enum { HeldAttempts = 5, FirstHeldPauseMs = 50, TreeWaitMs = 2000 };

struct Deletion {
    unsigned waitedMs;
};

static bool deleteTree(const char* directory, Deletion& deletion);

// Whether error says that another program holds the entry for now.
static bool heldElsewhere(const char* path, bool directory, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (directory && error == ERROR_DIR_NOT_EMPTY) return true;  // a file still going
    if (error != ERROR_ACCESS_DENIED) return false;
    // A read-only file stays so however long one waits.
    DWORD attributes = GetFileAttributesA(path);
    return directory || attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & FILE_ATTRIBUTE_READONLY);
}

// Deletes a file or an empty directory, patiently while another program
// holds it. One that stays is named in the trace.
static bool removeEntry(const char* path, bool directory, Deletion& deletion) {
    unsigned pause = FirstHeldPauseMs;
    for (unsigned attempt = 1;; ++attempt) {
        if (directory ? RemoveDirectoryA(path) : DeleteFileA(path)) return true;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
        if (attempt == HeldAttempts || deletion.waitedMs + pause > TreeWaitMs ||
            !heldElsewhere(path, directory, error)) {
            char what[64];
            formatText(what, sizeof what, "could not delete (error %lu):", error);
            trace(what, path);
            return false;
        }
        Sleep(pause);
        deletion.waitedMs += pause;
        pause *= 2;
    }
}

// Deletes the entries below directory, depth first. Every path used is
// absolute. An entry that cannot go is left (and named in the trace) and the
// others of its directory are still deleted; the result is false then.
static bool deleteEntries(const char* directory, Deletion& deletion) {
    size_t size = strlen(directory) + MAX_PATH + 3;
    char* path = (char*)malloc(size);
    if (!path) return false;

    bool result = true;
    bool deletedSome = true;
    // Each pass deletes what it finds; passes repeat until one finds nothing
    // more, so that entries the enumeration may miss after a deletion are
    // still reached. A pass that had to leave an entry is the last: the next
    // would find it again and again.
    while (result && deletedSome) {
        deletedSome = false;
        formatText(path, size, "%s%s*", directory, PathSeparator);
        FindFile listing(path);
        if (!listing.isListed()) break;
        while (listing.next()) {
            formatText(path, size, "%s%s%s", directory, PathSeparator, listing.name());
            bool gone;
            if ((listing.attributes() & FILE_ATTRIBUTE_REPARSE_POINT) ||
                (listing.isDirectory() && isLinkItself(path))) {
                // A junction or link: remove the link itself, never what it
                // points to.
                gone = listing.isDirectory() ? _rmdir(path) == 0 : remove(path) == 0;
                if (!gone) trace("could not delete the link", path);
            } else if (listing.isDirectory()) {
                gone = deleteTree(path, deletion) && removeEntry(path, true, deletion);
            } else {
                gone = removeEntry(path, false, deletion);
            }
            if (gone) deletedSome = true;
            else result = false;
        }
    }
    free(path);
    return result;
}

static bool deleteTree(const char* directory, Deletion& deletion) {
    if (!isAbsoluteDirPath(directory)) return false;

    if (isLinkItself(directory)) {
        // The directory itself is a link or junction: the link goes, what
        // it points to stays.
        return _rmdir(directory) == 0 || remove(directory) == 0;
    }

    {
        // The directory must be entered; a path that cannot be is left
        // alone. Leave it again at once: a directory that is the current one
        // cannot be removed, and every path below is absolute.
        CurrentDirectory probe;
        if (!probe.enter(directory)) return false;
    }

    bool result = deleteEntries(directory, deletion);
    _rmdir(directory);
    return result;
}

bool delDirTree(const char* directory) {
    Deletion deletion = {0};
    return deleteTree(directory, deletion);
}

enum { RemoveDirAttempts = 30, RemoveDirPauseMs = 100 };

bool removeEmptyDirPatiently(const char* directory) {
    for (unsigned attempt = 1; attempt <= RemoveDirAttempts; ++attempt) {
        if (_rmdir(directory) == 0 || _access(directory, 0) != 0) return true;
        // Only a directory that is empty but held is worth the wait.
        if (errno != EACCES) return false;
        if (attempt < RemoveDirAttempts) Sleep(RemoveDirPauseMs);
    }
    return false;
}
