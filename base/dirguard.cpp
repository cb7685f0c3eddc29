// Directory identity by name and by file identity.
#include "base/dirguard.h"
#include "base/curdir.h"
#include "base/deltree.h"
#include "base/strbuf.h"
#include "base/textline.h"
#include "base/winfolders.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

// Moves to the next component of a path; false at its end.
static bool nextComponent(const char*& at, const char*& start, size_t& length) {
    while (isSeparator(*at)) ++at;
    if (!*at) return false;
    start = at;
    while (*at && !isSeparator(*at)) ++at;
    length = (size_t)(at - start);
    return true;
}

// True when the components of dir, compared without regard to case, are
// the first components of path (dir names path or a directory above it).
static bool textNamesOrHolds(const char* dir, const char* path) {
    // "\\server\share" and "C:\x" must not meet as equal heads.
    if (isSeparator(dir[0]) != isSeparator(path[0])) return false;
    const char* d = dir;
    const char* p = path;
    const char *dStart, *pStart;
    size_t dLength, pLength;
    bool any = false;
    while (nextComponent(d, dStart, dLength)) {
        if (!nextComponent(p, pStart, pLength)) return false;
        if (dLength != pLength || _strnicmp(dStart, pStart, dLength) != 0) return false;
        any = true;
    }
    return any;
}

bool fileIdentity(const char* path, FileIdentity* id) {
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!ok) return false;
    id->volume = info.dwVolumeSerialNumber;
    id->high = info.nFileIndexHigh;
    id->low = info.nFileIndexLow;
    return true;
}

// True when dir names path or a directory above it, by name or by identity.
bool dirNamesOrHolds(const char* dir, const char* path) {
    if (!dir[0] || !path[0]) return false;
    if (textNamesOrHolds(dir, path)) return true;
    FileIdentity target;
    if (!fileIdentity(dir, &target)) return false;
    size_t size = strlen(path) + 2;
    char* prefix = (char*)malloc(size);
    if (!prefix) return false;
    bool found = false;
    // path itself, then each directory above it (cut at each separator
    // after the first three characters, so that "C:" never stands alone).
    size_t pathLength = strlen(path);
    for (size_t end = pathLength; !found && end >= 3; --end) {
        if (end < pathLength && !isSeparator(path[end])) continue;
        copyTextN(prefix, size, path, end);
        FileIdentity id;
        found = fileIdentity(prefix, &id) && sameIdentity(id, target);
    }
    if (!found) {  // the root of a drive path
        copyTextN(prefix, size, path, 3);
        FileIdentity id;
        found = path[1] == ':' && isSeparator(path[2]) && fileIdentity(prefix, &id) &&
                sameIdentity(id, target);
    }
    free(prefix);
    return found;
}

bool sameDirectory(const char* a, const char* b) {
    if (_stricmp(a, b) == 0) return true;
    if (textNamesOrHolds(a, b) && textNamesOrHolds(b, a)) return true;
    FileIdentity ia, ib;
    return fileIdentity(a, &ia) && fileIdentity(b, &ib) && sameIdentity(ia, ib);
}

// A UNC path with no name below its share ("\\server\share").
bool isShareRoot(const char* path) {
    if (!(isSeparator(path[0]) && isSeparator(path[1]))) return false;
    const char* at = path;
    const char* start;
    size_t length;
    unsigned count = 0;
    while (nextComponent(at, start, length)) ++count;
    return count <= 2;
}

const char* deletionRefusal(const char* dir, const char* windowsDir,
                            const char* startDirectory) {
    if (!isAbsoluteDirPath(dir) || isShareRoot(dir))
        return "not an absolute directory below a drive or share";
    char current[PathBufferSize];
    getCurrentDir(current, PathBufferSize - 1);
    if (dirNamesOrHolds(dir, current)) return "the work directory or a directory holding it";
    WinFolders folders;
    char registered[PathBufferSize], running[PathBufferSize];
    folders.registryWindowsDirectory(registered, sizeof registered);
    folders.systemWindowsDirectory(running, sizeof running);
    if ((windowsDir && dirNamesOrHolds(dir, windowsDir)) ||
        dirNamesOrHolds(dir, registered) || dirNamesOrHolds(dir, running))
        return "the Windows directory or a directory holding it";
    if (startDirectory && dirNamesOrHolds(dir, startDirectory))
        return "the start directory or a directory holding it";
    return nullptr;
}
