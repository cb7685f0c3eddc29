// The staged transaction of a JVM the launcher expands itself: a JVM
// already in its final folder, the stage, the proof, the move, the
// registration.
#include "jvm/stagedjvm.h"
#include "base/disknames.h"

#include "base/bitness.h"
#include "base/deltree.h"
#include "base/winerror.h"
#include "base/dirguard.h"
#include "base/fexists.h"
#include "base/textline.h"
#include "jvm/jvmplaces.h"
#include "jvm/jvmprobe.h"
#include "jvm/jvmregistration.h"
#include "jvm/jvmstage.h"

#include <stdio.h>
#include <string.h>

// What an earlier run of ours leaves in a folder it placed a JVM in: such
// a folder may be replaced.

static bool isAbsolute(const char* path) {
    return (isSeparator(path[0]) && isSeparator(path[1])) ||
           (path[0] && path[1] == ':' && isSeparator(path[2]));
}

// The home of the JVM in folder: the package's "jvmHomeDir" below it
// ("./jre", ".\jre" or "jre"), an absolute one as it stands (a program that
// puts its JVM there itself), else the folder.
static bool homeIn(const char* folder, const char* homeDir, char* home) {
    char written[PathBufferSize];
    copyText(written, homeDir ? homeDir : "");
    for (char* c = written; *c; ++c)
        if (*c == '/') *c = PathSeparator[0];
    if (isAbsolute(written)) return copyText(home, PathBufferSize, written);
    const char* inside = written;
    while (inside[0] == '.' && isSeparator(inside[1])) inside += 2;
    size_t length = strlen(inside);
    while (length && isSeparator(inside[length - 1])) written[(inside - written) + --length] = '\0';
    if (!inside[0] || strcmp(inside, ".") == 0) return copyText(home, PathBufferSize, folder);
    return formatText(home, PathBufferSize, "%s%s%s", folder, PathSeparator, inside);
}

static bool parentOf(const char* dir, char* parent) {
    copyText(parent, PathBufferSize, dir);
    char* separator = strrchr(parent, PathSeparator[0]);
    if (!separator || separator == parent) return false;
    if (separator == parent + 2 && parent[1] == ':') separator[1] = '\0';  // "C:\"
    else *separator = '\0';
    return true;
}

// path, when it lies in from, moved to to.
static void moveName(char* path, const char* from, const char* to) {
    size_t length = strlen(from);
    if (_strnicmp(path, from, length) != 0 || (path[length] && path[length] != PathSeparator[0]))
        return;
    char moved[PathBufferSize];
    if (formatText(moved, sizeof moved, "%s%s", to, path + length))
        copyText(path, PathBufferSize, moved);
}

void logInstallingProgramExit(const char* program, unsigned long code, const char* dir) {
    char message[PathBufferSize * 2 + 100];
    formatText(message, sizeof message, "%s ended with exit code %lu; it was to install the JVM into %s",
               program, code, dir);
    reportError(message);
}

bool diskIsFull(const char* dir) {
    ULARGE_INTEGER available;
    return GetDiskFreeSpaceExA(dir, &available, nullptr, nullptr) &&
           available.QuadPart < 1024 * 1024;
}

bool findJvmProgram(const char* home, const char* commandName, bool ownTrace, char* path,
                    char* foundName) {
    char newName[VersionBufferSize];
    formatText(newName, sizeof newName, ownTrace ? "%sw.exe" : "%s.exe", JavaProgram);
    bool oldStyle = startsWith(commandName, JreProgram);
    // First match wins: home\name, home\new name, home\bin\name, home\bin\new
    // name (the new names only for an old "jre" name).
    struct Place {
        const char* subdir;
        const char* name;
    } places[] = {{"", commandName},
                  {"", oldStyle ? newName : nullptr},
                  {BinFolder, commandName},
                  {BinFolder, oldStyle ? newName : nullptr}};
    for (const Place& place : places) {
        if (!place.name) continue;
        bool fits =
            place.subdir[0]
                ? formatText(path, PathBufferSize, "%s%s%s%s%s", home, PathSeparator, place.subdir,
                             PathSeparator, place.name)
                : formatText(path, PathBufferSize, "%s%s%s", home, PathSeparator, place.name);
        if (fits && fexists(path)) return copyText(foundName, PathBufferSize, place.name);
    }
    path[0] = '\0';
    return false;
}

void registerProvidedJvm(const ProvisionRequest& request, const char* programName,
                         const char* home, unsigned bits, int machineWide) {
    JvmRegistration registration(request.windowsDir, request.configureRegistry);
    registration.enter({request.version, request.kind, programName, home, bits, machineWide});
}

// errors.log: the JVM could not go into folder, and why; the box says so.
static bool cannotInstall(const ProvisionRequest& request, const char* folder,
                          unsigned long error, ProvisionResult& result) {
    char reason[PathBufferSize], message[PathBufferSize * 2];
    windowsErrorText(error, reason, sizeof reason);
    formatText(message, sizeof message, "Unable to install the JVM into %s (%s)",
               folder[0] ? folder : "-", reason);
    reportError(message);
    result.fail(ProvisionFault::Failed, TextUnableToInstallJvm, request.kind, request.version);
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        result.message.add(TextDiskSpace, nullptr, nullptr, " ");
    return false;
}

// A final folder that already holds a JVM the installation accepts, for a
// JVM of either bitness: used as it is, and registered again.
static bool useJvmThere(const ProvisionRequest& request, JvmPlaces& places, unsigned guessBits,
                        ProvisionResult& result) {
    if (places.temporary()) return false;
    const unsigned candidates[] = {guessBits, windowsIs64Bit() ? 96 - guessBits : 0};
    char tried[PathBufferSize] = "";
    for (unsigned bits : candidates) {
        char folder[PathBufferSize], home[PathBufferSize];
        int machineWide = -1;
        if (!bits || !places.folderFor(bits, folder, &machineWide) || _stricmp(folder, tried) == 0)
            continue;
        copyText(tried, folder);
        if (!isDir(folder) || !homeIn(folder, request.homeDir, home) || !isDir(home)) continue;
        trace("found a possible directory", folder);
        JvmProbe probe;
        if (!probe.proveHome(request.wanted, home, result.jvm)) {
            trace(home, " doesn't have correct version");
            continue;
        }
        trace("found existing jvm directory", true);
        registerProvidedJvm(request, result.jvm.commandName, home,
                            programBits(result.jvm.program, bits), machineWide);
        return true;
    }
    trace("found existing jvm directory", false);
    return false;
}

// Makes way for the JVM at target: nothing there, an empty folder, or one an
// earlier run of ours made (replaced). Anything else is in the way.
static bool clearWay(const char* target, ProvisionResult& result) {
    DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    char record[PathBufferSize];
    bool ours =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        formatText(record, sizeof record, "%s%s%s", target, PathSeparator, StagedJvmRecordFile) &&
        fexists(record);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && isEmptyDir(target)) {
        trace("removing an empty folder in the JVM's place", target);
        RemoveDirectoryA(target);
    } else if (ours) {
        trace("replacing a JVM folder an earlier run left unfinished", target);
        delDirTree(target);
        if (isDir(target)) removeEmptyDirPatiently(target);
    }
    if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) return true;

    char held[600], message[PathBufferSize + 700];
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) listEntries(target, 4, held, sizeof held);
    else copyText(held, "a file of that name");
    formatText(message, sizeof message, "The JVM's folder %s is in the way: it holds %s%s", target,
               held[0] ? held : "what cannot be removed",
               ours ? ", which could not be removed" : ", which no run of the installer put there");
    reportError(message);
    return result.fail(ProvisionFault::Failed, TextJvmFolderInTheWay, target,
                       held[0] ? held : "-");
}

namespace {
// A home outside the stage that this run's program made: removed again
// unless kept.
class MadeOutside {
public:
    explicit MadeOutside(const char* dir) { copyText(made, dir); }
    ~MadeOutside() {
        if (made[0] && isDir(made)) {
            trace("removing what the program put outside the stage", made);
            delDirTree(made);
        }
    }
    // The folder made ("" when none), kept from now on.
    const char* keep() {
        copyText(kept, made);
        made[0] = '\0';
        return kept;
    }

private:
    char made[PathBufferSize];
    char kept[PathBufferSize] = "";
};
}  // namespace

static void writeRecord(const char* dir, const ProvisionRequest& request, const char* source) {
    char path[PathBufferSize];
    if (!formatText(path, sizeof path, "%s%s%s", dir, PathSeparator, StagedJvmRecordFile)) return;
    FILE* file = fopen(path, "wb");
    if (!file) return;
    fprintf(file,
            "The installer placed this Java runtime here; a later run may replace the folder.\r\n"
            "version=%s\r\nsource=%s\r\n",
            request.version, source);
    fclose(file);
}

bool provideStaged(const ProvisionRequest& request, unsigned guessBits, const char* source,
                   StageFiller& filler, ProvisionResult& result) {
    JvmPlaces places(request.installDir, request.kind, request.version);
    if (useJvmThere(request, places, guessBits, result)) return true;

    char folder[PathBufferSize], parent[PathBufferSize];
    if (!places.folderFor(guessBits, folder) || !parentOf(folder, parent))
        return cannotInstall(request, folder, ERROR_BAD_PATHNAME, result);
    JvmStage stage;
    unsigned long error = 0;
    if (!stage.make(parent, error)) return cannotInstall(request, folder, error, result);
    // A home named absolutely lies outside the stage: the program puts the
    // JVM there itself. Made by this run, it goes again unless it is kept.
    char home[PathBufferSize], program[PathBufferSize], name[PathBufferSize];
    homeIn(stage.dir(), request.homeDir, home);
    bool inStage = dirNamesOrHolds(stage.dir(), home);
    MadeOutside outside(inStage || GetFileAttributesA(home) != INVALID_FILE_ATTRIBUTES ? "" : home);
    if (!filler.fill(stage.dir(), folder, result)) {
        if (diskIsFull(stage.dir())) {
            result.message.clear();
            result.message.add(TextUnableToInstallJvm, request.kind, request.version);
            result.message.add(TextDiskSpace, nullptr, nullptr, " ");
        }
        return false;
    }

    // The home and the program, where the JVM was expanded.
    if (!isDir(home)) {
        char held[600], message[PathBufferSize + 700];
        listEntries(stage.dir(), 6, held, sizeof held, StageLockFile);
        formatText(message, sizeof message, "The JVM's home %s is not in %s, which holds: %s",
                   request.homeDir, source, held[0] ? held : "nothing");
        reportError(message);
        return result.fail(ProvisionFault::Failed, TextJvmHomeMissing, request.homeDir,
                           held[0] ? held : "-");
    }
    trace("final jvm install directory:", home);
    if (!findJvmProgram(home, request.wanted.commandName, request.ownTrace, program, name)) {
        // Named where the JVM was bound for: the stage is gone with the run.
        moveName(home, stage.dir(), folder);
        reportError("Unable to find JVM executable");
        reportError("Unable to configure JVM in", home);
        return result.fail(ProvisionFault::Failed, TextUnableToInstallJvm, request.kind,
                           request.version);
    }
    unsigned bits = programBits(program, 0);
    trace("installed JVM program bitness:", bitsText(bits));
    if (!bits) bits = guessBits;

    // The proof, before anything is placed or registered.
    int machineWide = -1;  // of the folder the JVM goes to
    JvmWanted named = request.wanted;
    named.commandName = name;
    JvmProbe probe;
    if (!probe.proveHome(named, home, result.jvm)) {
        char message[PathBufferSize + 1300];
        formatText(message, sizeof message, "the JVM from %s %s", source, probe.refusal());
        reportError("JVM refused:", message);
        const char* version = probe.judgedVersion();
        result.fault = ProvisionFault::Failed;
        result.message.clear();
        result.details.clear();
        if (version[0]) result.message.add(TextProvidedJvmRefused, version, versionsWanted(request.wanted));
        else result.message.add(TextUnableToInstallJvm, request.kind, request.version);
        return false;
    }
    trace("the new JVM is proved:", result.jvm.program);

    if (inStage) {
        // Into its final folder, chosen by its own bitness.
        char target[PathBufferSize], targetParent[PathBufferSize], madeTop[PathBufferSize];
        if (!places.folderFor(bits, target, &machineWide) || !parentOf(target, targetParent))
            return cannotInstall(request, target, ERROR_BAD_PATHNAME, result);
        if (!makeLevels(targetParent, madeTop, error)) {
            removeEmptyLevels(targetParent, madeTop);
            return cannotInstall(request, target, error, result);
        }
        writeRecord(stage.dir(), request, source);
        if (!clearWay(target, result)) {
            removeEmptyLevels(targetParent, madeTop);
            return false;
        }
        if (!stage.placeAt(target, error)) {
            removeEmptyLevels(targetParent, madeTop);
            return cannotInstall(request, target, error, result);
        }
        moveName(home, stage.dir(), target);
        moveName(result.jvm.program, stage.dir(), target);
        moveName(result.jvm.home, stage.dir(), target);
        copyText(result.madeDir, target);
    } else {
        copyText(result.madeDir, outside.keep());
    }
    result.placed = true;
    if (places.temporary()) trace("a JVM for this run only: not registered", home);
    else registerProvidedJvm(request, name, home, bits, machineWide);
    return true;
}
