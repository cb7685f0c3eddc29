// A JVM's home: its program's directory without a final bin level.
#include "base/jvmhome.h"
#include "base/disknames.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <string.h>

void getJavaHomeDirectory(const char* executable, char* home, size_t cap) {
    copyText(home, cap, executable);
    char* lastSeparator = strrchr(home, '\\');
    if (!lastSeparator) return;
    *lastSeparator = '\0';
    cutFinalBinLevel(home);
}

void cutFinalBinLevel(char* dir) {
    // "bin" inside a name (C:\cabinet, C:\robin) is part of the directory.
    size_t length = strlen(dir);
    if (length < 3 || _stricmp(dir + length - 3, BinFolder) != 0) return;
    char* bin = dir + length - 3;
    if (bin > dir && !isSeparator(bin[-1])) return;
    *bin = '\0';
    if (bin > dir && isSeparator(bin[-1])) bin[-1] = '\0';
    // A drive's own bin: the home is the drive's root, not "X:" alone.
    if (dir[0] && dir[1] == ':' && !dir[2]) appendText(dir, 4, PathSeparator);
}
