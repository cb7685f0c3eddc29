// JvmDirChooser: the directory for a new JVM, tried in a fixed order of
// places, and the system-folder lookups behind the directory variables.
//
// A directory level counts only when a directory (not a file) of that name
// exists afterwards, and a path that would not fit a path buffer is refused
// rather than cut. The only deletion made here is that of the work
// directory's old "jvm" tree, through the safe delDirTree.
#include "jvm/jvmdirchooser.h"

#include "base/bitness.h"
#include "base/clib.h"
#include "base/dirguard.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/textline.h"
#include "base/winfolders.h"
#include "jvm/jvmprobe.h"

#include <windows.h>
#include <direct.h>
#include <stdlib.h>
#include <string.h>

static const char DIR_END[] = "\\";
static const char ProgFilesDirVariable[] = "[$ProgFilesDir]";
static const char WindowsDirVariable[] = "[$WinDir]";
static const char AppDirVariable[] = "[$AppDir]";
static const char VariableStart[] = "[$";
static const char JvmSubdirectory[] = "jvm";
static const char JreType[] = "JRE";
static const char JdkType[] = "JDK";
static const char PluginType[] = "Java Plug-in";
static const char JavaSoftDir[] = "JavaSoft";
static const char WriteProbeFilename[] = "__kivtest.zos";


// The version base and micro part of a version (1.6 and 0 for 1.6.0); an
// overlong version is cut (traced) to the version buffer's capacity first.
static void splitVersion(const char* version, char* base, char* micro) {
    char copy[VersionBufferSize];
    copyText(copy, version);
    parseVersion(copy, base, micro);
}

static bool endsWithSeparator(const char* text) {
    size_t length = strlen(text);
    return length > 0 && text[length - 1] == DIR_END[0];
}

JvmDirChooser::JvmDirChooser()
    : keptFile(nullptr), jvmDiscovered(false), perUser(false), predefinedRefused(false),
      bits(ownBits()) {
    windowsDir[0] = '\0';
    created[0] = '\0';
}

JvmDirChooser::~JvmDirChooser() {}

void JvmDirChooser::setWindowsDir(const char* dir) {
    if (dir) copyText(windowsDir, dir);
}

unsigned JvmDirChooser::takeBitsOf(const char* program) {
    bits = programBits(program, 0);
    trace("JVM program:", program && program[0] ? program : "(none)");
    if (!bits) {
        bits = ownBits();
        trace("bitness unreadable, taken as the launcher's:",
                     bitsText(bits));
    } else {
        trace("JVM program bitness:", bitsText(bits));
    }
    return bits;
}

// ---------------------------------------------------------------------------
// Directory levels

bool JvmDirChooser::addDirectory(char* dir, const char* name) {
    char path[PathBufferSize];
    bool fits;
    if (!dir[0]) fits = copyText(path, name);
    else if (endsWithSeparator(dir)) fits = formatText(path, sizeof path, "%s%s", dir, name);
    else fits = formatText(path, sizeof path, "%s%s%s", dir, DIR_END, name);
    if (fits) {
        bool existed = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
        _mkdir(path);  // an existing directory is fine
        if (isDir(path)) {
            // The first level made of a new place is the outermost one.
            if (!existed && (!created[0] || !dirNamesOrHolds(created, path)))
                copyText(created, path);
            copyText(dir, PathBufferSize, path);
            return true;
        }
    }
    trace("unable to add directory", path);
    return false;
}

bool JvmDirChooser::addDirectory(const char* path) {
    char dir[PathBufferSize];
    dir[0] = '\0';
    return addDirectory(dir, path);
}

// ---------------------------------------------------------------------------
// The predefined directory and its variables

bool JvmDirChooser::getVariableDir(const char* variable, const char* baseDir,
                                  const char* requested, char* out) {
    out[0] = '\0';
    char key[VersionBufferSize];
    formatText(key, sizeof key, "%s%s", variable, DIR_END);
    if (!startsWith(requested, key)) {
        trace("invalid predefined directory for JVM", requested);
        return false;
    }
    if (strcmp(requested, key) == 0) {
        trace("invalid default jvm install directory", requested);
        return false;
    }
    trace("predefinedJvmInstallDir != testDir", key);
    if (!formatText(out, PathBufferSize, "%s%s", baseDir, requested + strlen(variable))) {
        trace("predefined directory for JVM too long", requested);
        out[0] = '\0';
        return false;
    }
    trace("trying to install JVM into", out);
    return true;
}

bool JvmDirChooser::getNewJvmInstallerTo(const char* requested, char* out) {
    out[0] = '\0';
    bool ok = false;
    char baseDir[PathBufferSize];
    if (!startsWith(requested, VariableStart)) {
        ok = copyText(out, PathBufferSize, requested);
    } else if (startsWith(requested, ProgFilesDirVariable)) {
        WinFolders folders;
        if (!folders.getProgramsDirectory(baseDir, bits, &perUser))
            trace("unable to get Programs File directory for JVM");
        else
            ok = getVariableDir(ProgFilesDirVariable, baseDir, requested, out);
    } else if (startsWith(requested, WindowsDirVariable)) {
        WinFolders folders;
        if (!folders.registryWindowsDirectory(baseDir, PathBufferSize))
            trace("unable to get Windows directory for JVM");
        else
            ok = getVariableDir(WindowsDirVariable, baseDir, requested, out);
    } else if (startsWith(requested, AppDirVariable)) {
        // The work directory's own jvm subdirectory, whatever follows.
        getCurrentDir(baseDir, PathBufferSize - 1);
        ok = formatText(out, PathBufferSize, "%s%s%s", baseDir, DIR_END, JvmSubdirectory);
    } else {
        trace("unknown variable used to install the JVM");
    }
    if (ok) {
        trace("installing JVM in", out);
    } else {
        trace("unable to install JVM in", out);
        out[0] = '\0';
    }
    return ok;
}

bool JvmDirChooser::createPredeterminedJvmDirectory(const JvmWanted& wanted, char* dir,
                                                   JvmFound& accepted) {
    trace("creating predefined jvm dir", dir);
    if (!dir[0]) return false;
    char work[PathBufferSize];
    bool fits = endsWithSeparator(dir) ? copyText(work, dir)
                                       : formatText(work, sizeof work, "%s%s", dir, DIR_END);
    if (!fits) return false;

    // Every level from the left: C:, C:\Program Files, C:\Program Files\MyVm.
    // A drive, and the server and share of a UNC path, are not made.
    bool unc = work[0] == DIR_END[0] && work[1] == DIR_END[0];
    unsigned level = 0;
    bool ok = true;
    for (char* separator = strchr(work, DIR_END[0]); separator && ok;
         separator = strchr(separator + 1, DIR_END[0])) {
        ++level;
        *separator = '\0';
        bool driveOnly = strlen(work) == 2 && work[1] == ':';
        bool uncRoot = unc && level <= 4;
        if (work[0] && !driveOnly && !uncRoot && !isDir(work)) ok = addDirectory(work);
        *separator = DIR_END[0];
    }
    ok = ok && isDir(dir);
    if (ok) {
        JvmProbe probe;
        jvmDiscovered = probe.proveHome(wanted,
                                                dir, accepted);
    }
    return ok;
}

// A write probe in dir: a file made and removed again. False, with the
// system's error in error (else unchanged), when the file cannot be made.
static bool canWriteInto(const char* dir, unsigned long& error) {
    char probe[PathBufferSize];
    if (!formatText(probe, sizeof probe, "%s%s%s", dir, endsWithSeparator(dir) ? "" : DIR_END,
                    WriteProbeFilename)) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        unsigned long status = GetLastError();
        // One left behind by an earlier run is proof enough.
        if (status == ERROR_FILE_EXISTS) return true;
        error = status;
        return false;
    }
    CloseHandle(file);
    return true;
}

bool JvmDirChooser::_createJvmDirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                                       char* predefinedJvmInstallDir,
                                       char* jvmDir, JvmFound& accepted) {
    if (predefinedJvmInstallDir && predefinedJvmInstallDir[0]) {
        // The package names the place: where it cannot be used the run
        // says so, it never moves the JVM somewhere else unasked.
        predefinedRefused = true;
        trace("default install directory for JVM", predefinedJvmInstallDir);
        char resolved[PathBufferSize];
        if (!getNewJvmInstallerTo(predefinedJvmInstallDir, resolved)) {
            reportError("Unable to resolve the JVM directory", predefinedJvmInstallDir);
            return false;
        }
        copyText(jvmDir, PathBufferSize, resolved);
        bool made = createPredeterminedJvmDirectory(wanted, jvmDir, accepted);
        unsigned long error = ERROR_PATH_NOT_FOUND;
        if (made && !jvmDiscovered && !canWriteInto(jvmDir, error)) made = false;
        if (!made) {
            // The reason is that of the innermost level there: it refused
            // the next one.
            char there[PathBufferSize];
            copyText(there, resolved);
            char* separator;
            while (!isDir(there) && (separator = strrchr(there, DIR_END[0])) != nullptr)
                *separator = '\0';
            if (isDir(there)) canWriteInto(there, error);
            char reason[PathBufferSize];
            windowsErrorText(error, reason, sizeof reason);
            char message[PathBufferSize * 2];
            formatText(message, sizeof message, "Unable to install the JVM into %s (%s)",
                       resolved, reason);
            reportError(message);
            return false;
        }
        predefinedRefused = false;
        return true;
    }
    if (createWinJvmDirectory(wanted, jvmVersion,
                              jvmName, jvmDir, accepted))
        return true;
    trace("unable to create Windows JVM directory");
    return false;
}

// ---------------------------------------------------------------------------
// Under the Programs directory, then the drive root and the Windows directory

bool JvmDirChooser::testPossibleDirectory(const JvmWanted& wanted, const char* candidate,
                                         JvmFound& accepted) {
    trace("found a possible directory", candidate);
    jvmDiscovered = foundValidJvm(wanted,
                                  candidate, accepted);
    trace("directory ok", jvmDiscovered);
    trace("discovered jvm", jvmDiscovered);
    return jvmDiscovered;
}

bool JvmDirChooser::probeOrMake(const JvmWanted& wanted, char* jvmDir, const char* probeName,
                                const char* makeName, JvmFound& accepted) {
    char candidate[PathBufferSize];
    if (!formatText(candidate, sizeof candidate, "%s%s%s", jvmDir, DIR_END, probeName))
        return false;
    if (!fexists(candidate)) return addDirectory(jvmDir, makeName);
    if (!testPossibleDirectory(wanted, candidate, accepted)) return false;
    copyText(jvmDir, PathBufferSize, candidate);
    return true;
}

bool JvmDirChooser::createWinJvmDirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                                         char* jvmDir, JvmFound& accepted) {
    char base[VersionBufferSize], micro[VersionBufferSize];
    splitVersion(jvmVersion, base, micro);
    char drive[PathBufferSize];
    drive[0] = '\0';
    char programs[PathBufferSize];

    WinFolders folders;
    if (folders.getProgramsDirectory(programs, bits, &perUser)) {
        char label[64];
        formatText(label, sizeof label, "Programs folder for a %s JVM:", bitsText(bits));
        trace(label, programs);
        const char* colon = strchr(programs, ':');
        if (colon) copyTextN(drive, sizeof drive, programs, (size_t)(colon - programs) + 1);
        copyText(jvmDir, PathBufferSize, programs);

        // The kind directory: JavaSoft\JRE1.6 for a known kind, JVM1.6 else.
        char kind[PathBufferSize];
        bool known = strcmp(jvmName, JreType) == 0 || strcmp(jvmName, JdkType) == 0 ||
                     strcmp(jvmName, PluginType) == 0;
        bool kindOk;
        if (known) {
            kindOk = addDirectory(jvmDir, JavaSoftDir) &&
                     formatText(kind, sizeof kind, "%s%s", jvmName, base) &&
                     addDirectory(jvmDir, kind);
        } else {
            kindOk = formatText(kind, sizeof kind, "JVM%s", base) && addDirectory(jvmDir, kind);
        }
        if (!kindOk) {
            trace("Unable to create: ", jvmDir);
            kindOk = formatText(kind, sizeof kind, "Java%s", base) && addDirectory(jvmDir, kind);
        }

        // The version directory: base.micro, else the version itself,
        // else Jvm<version>; an existing one is tested for a JVM.
        char existing[PathBufferSize], jvmNamed[PathBufferSize];
        if (kindOk && formatText(existing, sizeof existing, "%s.%s", base, micro) &&
            probeOrMake(wanted, jvmDir, existing, jvmVersion, accepted))
            return true;
        if (kindOk && formatText(jvmNamed, sizeof jvmNamed, "Jvm%s", jvmVersion) &&
            probeOrMake(wanted, jvmDir, jvmVersion, jvmNamed, accepted))
            return true;
    }

    // A run for its user alone stops here: a jvm tree made at a drive's
    // root is open to every user, and the Windows directory is closed to it.
    if (perUser) return false;
    // The fall-back: the drive's root (relative to the current directory
    // when there is no drive), then the Windows directory.
    copyText(jvmDir, PathBufferSize, drive);
    if (createJvmSubdirectory(wanted, jvmVersion, jvmName,
                              jvmDir, accepted))
        return true;
    copyText(jvmDir, PathBufferSize, windowsDir);
    return createJvmSubdirectory(wanted, jvmVersion,
                                 jvmName, jvmDir, accepted);
}

bool JvmDirChooser::createJvmSubdirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                                         char* dir, JvmFound& accepted) {
    char base[VersionBufferSize], micro[VersionBufferSize];
    splitVersion(jvmVersion, base, micro);
    char name[PathBufferSize];
    formatText(name, sizeof name, "%s%s", jvmName, base);
    lowerText(name);

    bool ok = addDirectory(dir, JvmSubdirectory) && addDirectory(dir, name);
    if (ok) {
        char candidate[PathBufferSize];
        if (!formatText(candidate, sizeof candidate, "%s%s%s", dir, DIR_END, base)) {
            ok = false;
        } else if (fexists(candidate)) {
            if (foundValidJvm(wanted, dir,
                              accepted)) {
                jvmDiscovered = true;
            } else if (formatText(candidate, sizeof candidate, "%s%s%s", dir, DIR_END, name) &&
                       fexists(candidate)) {
                jvmDiscovered = false;
            } else {
                ok = addDirectory(dir, name);
            }
        } else {
            ok = addDirectory(dir, base);
        }
    }
    if (ok) trace("created jvm subdirectory in", dir);
    else trace("unable to create jvm subdirectory in", dir);
    trace("finished createJvmSubdirectory; ok", ok);
    return ok;
}

bool JvmDirChooser::foundValidJvm(const JvmWanted& wanted, const char* dir,
                                 JvmFound& accepted) {
    JvmProbe probe;
    if (!probe.proveHome(wanted, dir,
                                 accepted)) {
        trace(dir, " doesn't have correct version");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The whole order

bool JvmDirChooser::chooseDirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                                      char* predefinedJvmInstallDir,
                                      char* jvmDir, JvmFound& accepted) {
    bool ok = _createJvmDirectory(wanted, jvmVersion,
                                  jvmName, predefinedJvmInstallDir, jvmDir,
                                  accepted);

    // A jvm subtree in each directory of the search path, in its order;
    // not for a run installing for its user alone (such a directory may be
    // open to every user).
    const char* searchPath = ok || perUser ? nullptr : getPathPtr();
    if (searchPath) {
        char path[PathBufferSize - 1];
        copyText(path, searchPath);
        char* element = path;
        while (!ok && element) {
            char* separator = strchr(element, ';');
            if (separator) *separator = '\0';
            copyText(jvmDir, PathBufferSize, element);
            ok = createJvmSubdirectory(wanted, jvmVersion,
                                       jvmName, jvmDir, accepted);
            element = separator ? separator + 1 : nullptr;
        }
    }

    // Last, the work directory's own jvm subtree, emptied first; not in
    // place of a predefined directory that could not be used.
    if (!ok && !predefinedRefused) {
        getCurrentDir(jvmDir, PathBufferSize - 1);
        deleteTempJvmDir(jvmDir);
        ok = createJvmSubdirectory(wanted, jvmVersion,
                                   jvmName, jvmDir, accepted);
        if (!ok)
            reportError("Unable to create a new directory to install JVM");
    }
    // Only what holds the directory chosen counts; a place given up on
    // may have left levels of its own.
    if (!ok || jvmDiscovered || !created[0] || !dirNamesOrHolds(created, jvmDir))
        created[0] = '\0';
    trace("createJvmDirectory ok", ok);
    return ok;
}

// ---------------------------------------------------------------------------
// After a failed installation

void removeMadeDirectories(const char* jvmDir, const char* top) {
    size_t topLength = strlen(top);
    if (!topLength || _strnicmp(jvmDir, top, topLength) != 0 ||
        (jvmDir[topLength] && jvmDir[topLength] != DIR_END[0]))
        return;
    char dir[PathBufferSize];
    if (!copyText(dir, jvmDir)) return;
    if (endsWithSeparator(dir) && strlen(dir) > 3) dir[strlen(dir) - 1] = '\0';
    for (;;) {
        // Only an empty directory can be removed: whatever the program left
        // stays, with the directories that hold it.
        if (isDir(dir)) {
            if (!removeEmptyDirPatiently(dir) || isDir(dir)) return;
            trace("removed:", dir);
        }
        char* separator = strrchr(dir, DIR_END[0]);
        if (strlen(dir) <= topLength || !separator) return;
        *separator = '\0';
    }
}

void logInstallerExit(const char* program, unsigned long code, const char* jvmDir) {
    static const char Layout[] = "%s ended with exit code %lu; it was to install the JVM into %s";
    size_t size = strlen(program) + strlen(jvmDir) + sizeof Layout + 24;
    char* message = (char*)malloc(size);
    if (!message) {
        reportError("JVM installation failed:", program);
        return;
    }
    formatText(message, size, Layout, program, code, jvmDir);
    reportError(message);
    free(message);
}
