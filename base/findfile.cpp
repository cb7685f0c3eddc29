// FindFile: a directory listing with a scoped search handle.
#include "base/findfile.h"
#include "base/textline.h"

FindFile::FindFile(const char* pattern) {
    handle = FindFirstFileA(pattern, &entry);
    pending = handle != INVALID_HANDLE_VALUE;
}

FindFile::~FindFile() {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
}

bool FindFile::next() {
    if (handle == INVALID_HANDLE_VALUE) return false;
    do {
        if (pending) pending = false;
        else if (!FindNextFileA(handle, &entry)) return false;
    } while (isDotEntry(entry.cFileName));
    return true;
}
