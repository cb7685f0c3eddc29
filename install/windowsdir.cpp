// The Windows directory of the run and the search-path lookup that is one
// of its fall-backs.
#include "install/windowsdir.h"
#include "base/disknames.h"
#include "base/curdir.h"
#include "base/fexists.h"
#include "base/scopedbuffer.h"
#include "base/searchpath.h"
#include "base/fexists.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "base/winfolders.h"
#include "install/runfailure.h"

#include <stdlib.h>
#include <string.h>

bool findWindowsDir(char* windowsDir) {
    WinFolders folders;
    const char* source = folders.registryWindowsDirectory(windowsDir, InstallPathSize);
    bool found = source != nullptr;
    if (found) trace("got home directory from", source);

    if (!found) {
        windowsDir[0] = '\0';
        trace("unable to get windows directory from registry");
        const char* fallback = "c:\\winnt";
        if (isDirInPath("winnt", windowsDir)) {
            found = true;
        } else if (fexists(fallback)) {
            copyText(windowsDir, InstallPathSize, fallback);
            found = true;
        } else {
            getCurrentDir(windowsDir, InstallPathSize - 1);
            trace("unable to get windows directory");
            found = windowsDir[0] != '\0';
        }
    }
    if (found) trace("home directory", windowsDir);
    return found;
}

bool isDirInPath(const char* name, char* dir) {
    const char* path = getPathPtr();
    if (!path || !name) return false;
    // The whole search path is examined, however long it is.
    size_t nameSize = strlen(name) + 1;
    size_t pathSize = strlen(path) + 1;
    ScopedText lowerName(ScopedText::allocate(nameSize));
    ScopedText lowerPath(ScopedText::allocate(pathSize));
    bool found = false;
    if (lowerName && lowerPath) {
        copyText(lowerName, nameSize, name);
        lowerText(lowerName);
        copyText(lowerPath, pathSize, path);
        lowerText(lowerPath);
        size_t nameLength = nameSize - 1;
        char* element = lowerPath;
        while (!found && element) {
            char* separator = strchr(element, ';');
            if (separator) *separator = '\0';
            size_t length = strlen(element);
            char* first = nameLength ? strstr(element, lowerName) : nullptr;
            // A match must end the element; an element longer than the result
            // buffer cannot be returned whole and is passed over.
            if (length > 0 && length < InstallPathSize && first &&
                first + nameLength == element + length && fexists(element)) {
                copyText(dir, InstallPathSize, element);
                found = true;
            }
            element = separator ? separator + 1 : nullptr;
        }
    }
    return found;
}
