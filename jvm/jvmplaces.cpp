// JvmPlaces: the folder of a new JVM, from the package's own folder or the
// default one, below the Programs folder of the JVM's bitness.
#include "jvm/jvmplaces.h"
#include "base/disknames.h"

#include "base/bitness.h"
#include "base/curdir.h"
#include "base/versionsplit.h"
#include "base/textline.h"
#include "base/winfolders.h"

#include <stdlib.h>
#include <string.h>

static const char ProgFilesDirVariable[] = "[$ProgFilesDir]";
static const char WindowsDirVariable[] = "[$WinDir]";
static const char VariableStart[] = "[$";
static const char* const KnownKinds[] = {"JRE", "JDK", "Java Plug-in"};

bool programsFolderFor(unsigned bits, char* dir, bool& perUser) {
    WinFolders folders;
    if (!folders.getProgramsDirectory(dir, bits, &perUser)) return false;
    char label[64];
    formatText(label, sizeof label, "Programs folder for a %s JVM:", bitsText(bits));
    trace(label, dir);
    return true;
}

JvmPlaces::JvmPlaces(const char* installDir, const char* kind, const char* version)
    : installDir(installDir ? installDir : ""), kind(kind ? kind : ""),
      version(version ? version : ""), forThisRun(startsWith(this->installDir, AppDirVariable)) {}

// What follows variable in text when it is "<variable>\<something>"; null
// for any other form.
static const char* afterVariable(const char* text, const char* variable) {
    if (!startsWith(text, variable)) return nullptr;
    const char* rest = text + strlen(variable);
    return rest[0] == PathSeparator[0] && rest[1] ? rest : nullptr;
}

bool JvmPlaces::packageFolder(unsigned bits, char* dir, int& machineWide) {
    char base[PathBufferSize];
    const char* rest;
    bool perUser = false;
    if (forThisRun) {
        // The work directory's own folder, whatever follows the variable.
        getCurrentDir(base, PathBufferSize - 1);
        return formatText(dir, PathBufferSize, "%s%s%s", base, PathSeparator, WorkJvmFolder);
    }
    if (!startsWith(installDir, VariableStart)) {
        // A directory as it is; a relative one lies in the work directory.
        if (_fullpath(dir, installDir, PathBufferSize)) return true;
        trace("predefined directory for JVM too long", installDir);
        return false;
    }
    if ((rest = afterVariable(installDir, ProgFilesDirVariable)) != nullptr) {
        if (!programsFolderFor(bits, base, perUser)) return false;
        machineWide = perUser ? 0 : 1;
    } else if ((rest = afterVariable(installDir, WindowsDirVariable)) != nullptr) {
        WinFolders folders;
        if (!folders.registryWindowsDirectory(base, sizeof base) &&
            !folders.systemWindowsDirectory(base, sizeof base))
            return false;
    } else {
        return false;
    }
    if (formatText(dir, PathBufferSize, "%s%s", base, rest)) return true;
    trace("predefined directory for JVM too long", installDir);
    return false;
}

bool JvmPlaces::defaultFolder(unsigned bits, char* dir, int& machineWide) {
    char programs[PathBufferSize];
    bool perUser = false;
    if (!programsFolderFor(bits, programs, perUser)) return false;
    machineWide = perUser ? 0 : 1;
    char versionCopy[VersionBufferSize], base[VersionBufferSize], micro[VersionBufferSize];
    copyText(versionCopy, version);
    parseVersion(versionCopy, base, micro);
    bool known = false;
    for (const char* name : KnownKinds) known = known || strcmp(kind, name) == 0;
    bool fits = known
                    ? formatText(dir, PathBufferSize, "%s%s%s%s%s%s%s%s", programs, PathSeparator,
                                 JavaSoftFolder, PathSeparator, kind, base, PathSeparator, version)
                    : formatText(dir, PathBufferSize, "%s%sJVM%s%s%s", programs, PathSeparator,
                                 base, PathSeparator, version);
    if (!fits) trace("JVM folder too long", dir);
    return fits;
}

bool JvmPlaces::folderFor(unsigned bits, char* dir, int* machineWide) {
    dir[0] = '\0';
    int scope = -1;
    if (machineWide) *machineWide = -1;
    if (installDir[0]) {
        trace("default install directory for JVM", installDir);
        if (packageFolder(bits, dir, scope)) {
            if (machineWide) *machineWide = scope;
            trace("installing JVM in", dir);
            return true;
        }
        // A form the launcher cannot resolve: the default place, never a
        // folder made of what is left of it.
        trace("invalid predefined directory for JVM, the default folder instead", installDir);
    }
    bool ok = defaultFolder(bits, dir, scope);
    if (machineWide) *machineWide = scope;
    if (ok) trace("installing JVM in", dir);
    else dir[0] = '\0';
    return ok;
}
