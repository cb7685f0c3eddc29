#include "base/sysdll.h"
#include "base/disknames.h"

#include "base/strbuf.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

HMODULE loadSystemDll(const char* name) {
    HMODULE dll = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dll || GetLastError() != ERROR_INVALID_PARAMETER) return dll;
    // A Windows 7 without the update that brought the search flags: the
    // full path in the system directory says the same.
    char path[MAX_PATH + 1];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;
    if (!appendText(path, PathSeparator) || !appendText(path, name)) return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
