// Directory identity: whether two names denote the same directory, and
// whether a directory is or holds another. Names are compared component by
// component without regard to case, and existing directories also by file
// identity, so letter case, short names, doubled separators and links can't
// make one directory look like another. Used to keep deletions away from the
// work directory, the Windows directory and the user's start directory.
#ifndef BASE_DIRGUARD_H
#define BASE_DIRGUARD_H

#include "base/reparsepoint.h"

#include <windows.h>

// What tells one file or directory from every other, whatever its name.
struct FileIdentity {
    DWORD volume, high, low;
};
// The identity of an existing file or directory (one open): the same for
// every name of it (letter case, short names, doubled separators, links).
bool fileIdentity(const char* path, FileIdentity* id);
inline bool sameIdentity(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.high == b.high && a.low == b.low;
}

// True when dir names path or a directory above it.
bool dirNamesOrHolds(const char* dir, const char* path);
// True when a and b name the same directory.
bool sameDirectory(const char* a, const char* b);
// True for a UNC path with no name below its share ("\\server\share").
bool isShareRoot(const char* path);

// Why the directory tree dir must not be deleted, or null when it may: it
// is not an absolute directory below a drive or share root, or it is or
// holds the work (current) directory, the Windows directory (windowsDir, and
// as the registry records it and the system reports it) or the start
// directory the installation was started from (when given).
const char* deletionRefusal(const char* dir, const char* windowsDir,
                            const char* startDirectory = nullptr);

#endif
