// CurrentDirectory: save, enter, restore on every exit path.
#include "base/curdir.h"
#include "base/disknames.h"
#include "base/strbuf.h"

#include <windows.h>
#include <direct.h>
#include <stdlib.h>
#include <string.h>

CurrentDirectory::CurrentDirectory() : savedDir(nullptr), changed(false) {
    // The whole path, however long; a root keeps its backslash ("R:\").
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return;
    savedDir = (char*)malloc(size);
    if (!savedDir) return;
    DWORD length = GetCurrentDirectoryA(size, savedDir);
    if (length == 0 || length >= size) {
        free(savedDir);
        savedDir = nullptr;
    }
}

CurrentDirectory::~CurrentDirectory() {
    restore();
    free(savedDir);
}

bool CurrentDirectory::enter(const char* dir) {
    if (!savedDir || !dir || !dir[0]) return false;
    if (_chdir(dir) != 0) return false;
    changed = true;
    return true;
}

bool CurrentDirectory::restore() {
    if (!changed) return true;
    changed = false;
    return _chdir(savedDir) == 0;
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
    if (dir && dir[0] && dir[1] == ':' && dir[2] == '\0') appendText(dir, cap, PathSeparator);
}
