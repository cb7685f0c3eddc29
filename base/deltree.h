// Deletion of a directory tree that never leaves the directory it was
// given: only an absolute path below a drive or share root is worked on, a
// link or junction inside is removed as a link and never followed, and a
// file that another program holds for a moment is waited for.
#ifndef BASE_DELTREE_H
#define BASE_DELTREE_H

// True when path is an absolute directory path the deletion may work on:
// "X:\name..." with at least one name, or a UNC path "\\server\share...".
bool isAbsoluteDirPath(const char* path);
// Deletes everything below an absolute directory, then the directory.
// Deletes nothing and returns false unless the path is absolute and can be
// entered; the current directory is restored in every case. A directory
// that is a link or junction is removed as a link, never followed. A file
// or directory that another program holds is tried again a few times
// (about a second for each, two seconds of waiting for the whole call);
// one that stays is named in the trace, the rest is still deleted, and the
// result is false.
bool delDirTree(const char* directory);

// Removes an empty directory; a directory that a program which has just
// ended still holds for a moment (its console host, a virus scanner) is tried
// again for up to three seconds. True when the directory is gone.
bool removeEmptyDirPatiently(const char* directory);

#endif
