// fexists: existence of a file or directory, tolerating a quoted path.
#include "base/fexists.h"

#include <io.h>
#include <stdlib.h>
#include <string.h>

bool fexists(const char* path) {
    if (!path) return false;
    if (path[0] != '"') return _access(path, 0) == 0;

    // "quoted path" arguments...: test only what stands between the quotes.
    const char* start = path + 1;
    const char* end = strchr(start, '"');
    size_t length = end ? (size_t)(end - start) : strlen(start);
    char* copy = (char*)malloc(length + 1);
    if (!copy) return false;
    memcpy(copy, start, length);
    copy[length] = '\0';
    bool exists = _access(copy, 0) == 0;
    free(copy);
    return exists;
}
