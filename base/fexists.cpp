// fexists: existence of a file or directory, tolerating a quoted path;
// isDir: whether it is a directory.
#include "base/fexists.h"
#include "base/scopedbuffer.h"
#include "base/textline.h"

#include <io.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

bool fexists(const char* path) {
    if (!path) return false;
    if (path[0] != '"') return _access(path, 0) == 0;

    // "quoted path" arguments...: test only what stands between the quotes.
    const char* start = path + 1;
    const char* end = strchr(start, '"');
    size_t length = end ? (size_t)(end - start) : strlen(start);
    ScopedText copy(ScopedText::allocate(length + 1));
    if (!copy) return false;
    memcpy(copy, start, length);
    copy[length] = '\0';
    return _access(copy, 0) == 0;
}

bool isDir(const char* path) {
    if (!fexists(path)) return false;
    // The runtime's stat refuses a directory named with a trailing
    // separator (other than a drive root's): test the name without it.
    size_t length = strlen(path);
    while (length > 1 && isSeparator(path[length - 1]) && !(length == 3 && path[1] == ':'))
        --length;
    ScopedText name(ScopedText::allocate(length + 1));
    if (!name) return false;
    memcpy(name, path, length);
    name[length] = '\0';
    struct _stat64 info;
    return _stat64(name, &info) == 0 && (info.st_mode & 0xF000) == 0x4000;
}
