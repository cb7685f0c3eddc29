// isLinkItself: the reparse attribute, else the resolved name against the
// parent's.
#include "base/reparsepoint.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

typedef DWORD(WINAPI* FinalPathFn)(HANDLE, LPSTR, DWORD, DWORD);

// The name the system resolves an existing file or directory to (links
// followed), into out; false when it cannot tell.
static bool finalPath(const char* path, char* out, DWORD cap) {
    // Looked up at run time: older systems do not have it. Not cached in a
    // function-level static, whose guarded start would link the C++
    // runtime's exception machinery into the program.
    FinalPathFn resolve = (FinalPathFn)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA");
    if (!resolve) return false;
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD length = resolve(handle, out, cap, 0);
    CloseHandle(handle);
    return length > 0 && length < cap;
}

bool isLinkItself(const char* dir) {
    DWORD attributes = GetFileAttributesA(dir);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
    // The resolved name must be the parent's resolved name and the
    // directory's own last component.
    size_t length = strlen(dir);
    while (length > 0 && isSeparator(dir[length - 1])) --length;
    size_t cut = length;
    while (cut > 0 && !isSeparator(dir[cut - 1])) --cut;
    if (cut == 0 || cut == length) return false;
    ScopedText parent(ScopedText::allocate(length + 1));
    ScopedText resolved(ScopedText::allocate(PathBufferSize));
    ScopedText resolvedParent(ScopedText::allocate(PathBufferSize));
    bool link = false;
    if (parent && resolved && resolvedParent) {
        copyTextN(parent, length + 1, dir, cut);
        if (finalPath(dir, resolved, PathBufferSize) &&
            finalPath(parent, resolvedParent, PathBufferSize)) {
            size_t parentLength = strlen(resolvedParent);
            while (parentLength > 0 && isSeparator(resolvedParent[parentLength - 1]))
                --parentLength;
            // The last component as the system spells it (long name, case).
            const char* leaf = resolved + strlen(resolved);
            while (leaf > resolved && !isSeparator(leaf[-1])) --leaf;
            // The directory's own name as its parent lists it (a short
            // name given becomes the long one).
            WIN32_FIND_DATAA entry;
            copyTextN(parent, length + 1, dir, length);  // dir without trailing separators
            HANDLE found = FindFirstFileA(parent, &entry);
            if (found != INVALID_HANDLE_VALUE) {
                FindClose(found);
                link = (size_t)(leaf - resolved) != parentLength + 1 ||
                       _strnicmp(resolved, resolvedParent, parentLength) != 0 ||
                       _stricmp(leaf, entry.cFileName) != 0;
            }
        }
    }
    return link;
}
