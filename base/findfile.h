// FindFile: one directory listing (FindFirstFileA / FindNextFileA) whose
// search handle is closed when the object goes out of scope. The "." and
// ".." entries are passed over.
#ifndef BASE_FINDFILE_H
#define BASE_FINDFILE_H

#include <windows.h>

class FindFile {
public:
    // Starts the listing of pattern ("dir\*", "dir\*.log").
    explicit FindFile(const char* pattern);
    ~FindFile();
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    // False when the pattern matched nothing (or the directory is missing).
    bool isListed() const { return handle != INVALID_HANDLE_VALUE; }
    // Moves to the next entry; false when there is none (or none at all).
    bool next();
    const char* name() const { return entry.cFileName; }
    DWORD attributes() const { return entry.dwFileAttributes; }
    bool isDirectory() const { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

private:
    HANDLE handle;
    bool pending;  // the entry that FindFirstFileA gave has not been handed out
    WIN32_FIND_DATAA entry;
};

#endif
