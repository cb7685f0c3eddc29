// JvmDirChooser: the deletion of an old "jvm" tree in a directory, before a
// new JVM is installed into that directory's "jvm" subtree (the work
// directory's, as the last resort of the candidate places).
//
// The tree is deleted only when deletionRefusal finds nothing against it: an
// absolute directory below a drive or share root that neither is nor holds
// the Windows, work or start directory, nor one that holds the
// package's compressed JVM. A link is removed, never followed.
#include "jvm/jvmdirchooser.h"

#include "base/clib.h"
#include "base/dirguard.h"
#include "base/fexists.h"
#include "config/startdir.h"

#include <windows.h>
#include <direct.h>

static const char DIR_END[] = "\\";
static const char JvmSubdirectory[] = "jvm";

bool JvmDirChooser::deleteTempJvmDir(const char* dir) {
    char tree[PathBufferSize];
    if (!dir || !formatText(tree, sizeof tree, "%s%s%s", dir, DIR_END, JvmSubdirectory))
        return false;
    DWORD attributes = GetFileAttributesA(tree);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // nothing to delete

    // Never a drive root or a relative path, and never a tree that holds
    // the Windows directory, the work directory or the start directory.
    char start[PathBufferSize];
    readStartDir(start, sizeof start);
    if (deletionRefusal(tree, windowsDir, start)) {
        trace("not deleting protected directory", tree);
        return false;
    }
    if (keptFile && keptFile[0] && dirNamesOrHolds(tree, keptFile)) {
        trace("not deleting the directory of", keptFile);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: remove the link itself, never what it points to.
        return _rmdir(tree) == 0;
    }
    trace("deleting old jvm directory", tree);
    bool ok = delDirTree(tree);
    if (!ok) trace("unable to delete old jvm directory", tree);
    return ok && !fexists(tree);
}
