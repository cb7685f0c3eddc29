// getPathPtr: the search path variable under each of its spellings.
#include "base/searchpath.h"

#include <stdlib.h>

char* getPathPtr() {
    char* path = getenv("path");
    if (!path) path = getenv("PATH");
    if (!path) path = getenv("Path");
    return path;
}
