// File and path utilities: copy and append built on one careful stream copy,
// a recursive directory deletion that never leaves the directory it was
// given, and small path and version helpers.
#include "base/clib.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "base/curdir.h"
#include "base/linktest.h"
#include "base/report.h"
#include "base/findfile.h"
#include "base/textline.h"

#include <windows.h>
#include <direct.h>
#include <errno.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

static const char DIR_END[] = "\\";
static const char BinDir[] = "bin";

enum { BlockSize = 30000, MaxBlocks = 20, StreamBufferSize = 1 << 20 };

bool isDir(const char* path) {
    if (!fexists(path)) return false;
    // The runtime's stat refuses a directory named with a trailing
    // separator (other than a drive root's): test the name without it.
    size_t length = strlen(path);
    while (length > 1 && isSeparator(path[length - 1]) && !(length == 3 && path[1] == ':'))
        --length;
    char* name = (char*)malloc(length + 1);
    if (!name) return false;
    memcpy(name, path, length);
    name[length] = '\0';
    struct _stat64 info;
    bool directory = _stat64(name, &info) == 0 && (info.st_mode & 0xF000) == 0x4000;
    free(name);
    return directory;
}

bool copyStream(FILE* source, FILE* destination) {
    if (!source || !destination) return false;

    // 64-bit offsets: files over 2 GB are measured and compared correctly.
    if (_fseeki64(source, 0, SEEK_END) != 0) return false;
    __int64 length = _ftelli64(source);
    if (length < 0 || _fseeki64(source, 0, SEEK_SET) != 0) return false;

    __int64 needed = length / BlockSize + 1;
    int blockCount = needed < MaxBlocks ? (int)needed : MaxBlocks;
    char* blocks[MaxBlocks];
    size_t counts[MaxBlocks];
    int allocated = 0;
    for (; allocated < blockCount; ++allocated) {
        blocks[allocated] = (char*)malloc(BlockSize + 1);
        if (!blocks[allocated]) break;
    }
    if (allocated == 0) return false;

    __int64 written = 0;
    bool failed = false;
    while (!feof(source) && !failed) {
        int filled = 0;
        for (; filled < allocated; ++filled) {
            counts[filled] = fread(blocks[filled], 1, BlockSize, source);
            if (feof(source)) {
                ++filled;
                break;
            }
            if (ferror(source)) {
                failed = true;
                break;
            }
        }
        for (int i = 0; i < filled && !failed; ++i) {
            if (counts[i] == 0) break;
            if (fwrite(blocks[i], 1, counts[i], destination) != counts[i]) failed = true;
            written += counts[i];
        }
    }
    if (!failed && fflush(destination) != 0) failed = true;

    for (int i = 0; i < allocated; ++i) free(blocks[i]);
    return !failed && feof(source) && written == length;
}

// True when both streams are the same file (an append of a file to itself
// would never end).
static bool sameFile(FILE* a, FILE* b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    HANDLE ha = (HANDLE)_get_osfhandle(_fileno(a));
    HANDLE hb = (HANDLE)_get_osfhandle(_fileno(b));
    if (!GetFileInformationByHandle(ha, &ia) || !GetFileInformationByHandle(hb, &ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// The runtime's default 4 KB stream buffers split every 30000-byte block
// into several system calls; larger buffers let a copy move at the speed of
// the system's own. Must run before any other I/O on the streams.
static void setStreamBuffers(FILE* in, FILE* out) {
    setvbuf(in, nullptr, _IOFBF, StreamBufferSize);
    setvbuf(out, nullptr, _IOFBF, StreamBufferSize);
}

// The Windows 95 family has no MoveFileEx: there the destination is deleted
// and the copy renamed.
bool replaceFile(const char* temporary, const char* destination) {
    if (MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    if (_access(destination, 0) == 0 && !DeleteFileA(destination)) return false;
    return MoveFileA(temporary, destination) != 0;
}

static bool isCopySource(const char* source) {
    return source && fexists(source) && !isDir(source);
}

// Copies the contents of source into target opened with mode ("wb" or "ab");
// never a file into itself. False when anything failed.
static bool copyContents(const char* source, const char* target, const char* mode) {
    bool ok = false;
    FILE* in = fopen(source, "rb");
    if (in) {
        FILE* out = fopen(target, mode);
        if (out) {
            setStreamBuffers(in, out);
            ok = !sameFile(in, out) && copyStream(in, out);
            if (fclose(out) != 0) ok = false;
        }
        fclose(in);
    }
    return ok;
}

bool copyFile(const char* source, const char* destination) {
    if (!isCopySource(source) || !destination || !*destination) return false;

    // The copy is written beside the destination and renamed over it only
    // when complete: a failed copy leaves neither a partial file nor a
    // damaged earlier destination (nor a truncated source when both name
    // the same file).
    // A destination that exists must be writable, as it would have to be
    // for an overwrite in place.
    if (fexists(destination)) {
        DWORD attributes = GetFileAttributesA(destination);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return false;
        FILE* probe = fopen(destination, "r+b");
        if (!probe) return false;
        fclose(probe);
    }

    size_t size = strlen(destination) + 16;
    char* temporary = (char*)malloc(size);
    if (!temporary) return false;
    formatText(temporary, size, "%s.__kivcopy", destination);

    bool ok = copyContents(source, temporary, "wb");
    if (ok) ok = replaceFile(temporary, destination);
    if (!ok) remove(temporary);
    free(temporary);
    return ok;
}

bool appendFile(const char* source, const char* destination) {
    if (!isCopySource(source) || !destination || !*destination) return false;
    bool ok = copyContents(source, destination, "ab");
    return ok;
}

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
        formatText(path, size, "%s%s*", directory, DIR_END);
        FindFile listing(path);
        if (!listing.isListed()) break;
        while (listing.next()) {
            formatText(path, size, "%s%s%s", directory, DIR_END, listing.name());
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

void getCurrentDir(char* buffer, unsigned size) {
    if (!buffer || size == 0) return;
    if (!_getcwd(buffer, (int)size)) {
        copyText(buffer, size, ".");
        return;
    }
    size_t length = strlen(buffer);
    if (length > 0 && buffer[length - 1] == '\\') buffer[length - 1] = '\0';
}

void standAloneDir(char* dir, size_t cap) {
    if (dir && dir[0] && dir[1] == ':' && dir[2] == '\0') appendText(dir, cap, DIR_END);
}

char* getPathPtr() {
    char* path = getenv("path");
    if (!path) path = getenv("PATH");
    if (!path) path = getenv("Path");
    return path;
}

void getJavaHomeDirectory(const char* executable, char* home, size_t cap) {
    copyText(home, cap, executable);
    char* lastSeparator = strrchr(home, '\\');
    if (!lastSeparator) return;
    *lastSeparator = '\0';
    cutFinalBinLevel(home);
}

void cutFinalBinLevel(char* dir) {
    // "bin" inside a name (C:\cabinet, C:\robin) is part of the directory.
    size_t length = strlen(dir);
    if (length < 3 || _stricmp(dir + length - 3, BinDir) != 0) return;
    char* bin = dir + length - 3;
    if (bin > dir && !isSeparator(bin[-1])) return;
    *bin = '\0';
    if (bin > dir && isSeparator(bin[-1])) bin[-1] = '\0';
    // A drive's own bin: the home is the drive's root, not "X:" alone.
    if (dir[0] && dir[1] == ':' && !dir[2]) appendText(dir, 4, "\\");
}

void parseVersion(const char* version, char* base, char* micro) {
    size_t size = strlen(version) + 1;  // both buffers hold the whole version
    copyText(base, size, version);
    copyText(micro, size > 2 ? size : 2, "0");
    unsigned dots = 0;
    for (const char* c = base; *c; ++c)
        if (*c == '.') ++dots;
    if (dots < 2) return;
    char* lastDot = strrchr(base, '.');
    copyText(micro, size, lastDot + 1);
    *lastDot = '\0';
}
