// JvmExpander: expansion of the package's compressed JVM into the directory
// that JvmDirChooser chose, and the location of the expanded JVM's program.
// The compressed JVM must end with exit code 0; when the expansion fails,
// the directories made for it go again where they are left empty.
// The registration of the new JVM is in jvmregistration.cpp, the copies of its
// programs into the Windows directory in jvmcopies.cpp.
#include "jvm/jvmexpander.h"

#include "base/bitness.h"
#include "base/clib.h"
#include "base/dirguard.h"
#include "base/fexists.h"
#include "base/curdir.h"
#include "base/textline.h"
#include "exec/execcmd.h"
#include "jvm/jvmdownload.h"
#include "jvm/jvmdirchooser.h"
#include "jvm/jvmprobe.h"
#include "jvm/jvmregistration.h"

#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char TempLogFname[] = "__temp.log";
static const char AppDirVariable[] = "[$AppDir]";
static const char DIR_END[] = "\\";
static const char BinDir[] = "bin";
static const char NewJreFilename[] = "java";
static const char OldJreFilename[] = "jre";

JvmExpander::JvmExpander(bool ownTrace, bool configureRegistry)
    : ownTrace(ownTrace), configureRegistry(configureRegistry), jvmInstalled(false),
      jvmDiscovered(false), packageBits(0), downloadUrl(nullptr),
      downloadSha256(nullptr), downloadProgress(nullptr), downloadFault(false) {
    windowsDir[0] = '\0';
    createdDir[0] = '\0';
}

JvmExpander::~JvmExpander() {}

// ---------------------------------------------------------------------------
// The whole job

bool JvmExpander::extractJvm(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                            char* jvmSelfExtractor, char* predefinedJvmInstallDir,
                            char* jvmHomeDir, JvmFound& accepted, const char* homeDir) {
    char jvmDir[PathBufferSize];
    jvmDir[0] = '\0';
    bool ok = installCompressedJvm(wanted, jvmVersion, jvmName, jvmSelfExtractor,
                                   predefinedJvmInstallDir, jvmHomeDir, accepted, homeDir, jvmDir);
    if (ok) {
        // The program is proved under the name it was configured under.
        char commandName[JvmWanted::CommandNameSize];
        copyText(commandName, accepted.commandName);
        JvmWanted configured = wanted;
        configured.commandName = commandName;
        JvmProbe probe;
        ok = probe.proveHome(configured, jvmDir, accepted);
        if (!ok)
            reportError("JVM refused:", probe.refusal());
    }
    if (ok && !jvmDiscovered) jvmInstalled = true;
    if (!jvmInstalled) createdDir[0] = '\0';
    trace("extractJvm ok", ok);
    return ok;
}

bool JvmExpander::installCompressedJvm(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                                      char* jvmSelfExtractor, char* predefinedJvmInstallDir,
                                      char* jvmHomeDir, JvmFound& accepted, const char* homeDir,
                                      char* jvmDir) {
    copyText(windowsDir, homeDir);
    // The package may keep its compressed JVM in the work directory's jvm
    // tree, which the last of the candidate places empties first.
    char archive[PathBufferSize];
    locateCompressedJvm(jvmSelfExtractor, archive);
    bool created;
    {
        JvmDirChooser installer;
        installer.setWindowsDir(windowsDir);
        installer.keepFile(archive);
        packageBits = installer.takeBitsOf(archive);
        created = installer.chooseDirectory(wanted, jvmVersion, jvmName,
                                               predefinedJvmInstallDir, jvmDir, accepted);
        jvmDiscovered = installer.isJvmDiscovered();
        copyText(createdDir, installer.createdDir());
    }
    trace("found existing jvm directory", jvmDiscovered);
    if (!created) {
        trace("installCompressedJvm ok", false);
        return false;
    }
    // The directories made for the expansion, from the outermost: what a
    // failed expansion leaves empty of them is taken away again.
    char madeTop[PathBufferSize];
    copyText(madeTop, createdDir);
    char chosenDir[PathBufferSize];
    copyText(chosenDir, jvmDir);

    // The JVM home inside the directory: ./jre names jvmDir\jre, anything
    // else replaces the directory.
    char home[PathBufferSize];
    bool homeFits = copyText(home, jvmDir);
    if (jvmHomeDir && jvmHomeDir[0]) {
        bool relative = jvmHomeDir[0] == '.' && isSeparator(jvmHomeDir[1]);
        homeFits = relative ? appendText(home, jvmHomeDir + 1) : copyText(home, jvmHomeDir);
        for (char* c = home; *c; ++c)
            if (*c == '/') *c = DIR_END[0];
    }
    bool homeExisted = GetFileAttributesA(home) != INVALID_FILE_ATTRIBUTES;

    bool put = jvmDiscovered ||
               (downloadUrl ? fetchJvm(jvmDir) : expandJvm(jvmSelfExtractor, jvmDir));
    if (!put) {
        removeMadeDirectories(chosenDir, madeTop);
        trace("installCompressedJvm ok", false);
        return false;
    }
    if (jvmHomeDir && jvmHomeDir[0]) {
        copyText(jvmDir, PathBufferSize, home);
        trace("final jvm install directory:", jvmDir);
        if (!homeFits) {
            removeMadeDirectories(chosenDir, madeTop);
            trace("installCompressedJvm ok", false);
            return false;
        }
    }
    // What this run made for the JVM: the levels made for the directory
    // when they hold the home, else the home when the expansion made it.
    if (!createdDir[0] || !dirNamesOrHolds(createdDir, jvmDir))
        copyText(createdDir, !homeExisted && isDir(jvmDir) ? jvmDir : "");
    if (createdDir[0]) trace("jvm directory made by this run", createdDir);

    // A JVM in the work directory is neither registered nor copied.
    bool registerJvm =
        !(predefinedJvmInstallDir && strstr(predefinedJvmInstallDir, AppDirVariable));
    // The program's name: the one a JVM already there was accepted under,
    // else the one asked for.
    if (!jvmDiscovered) copyText(accepted.commandName, wanted.commandName);
    bool ok = configureJvm(jvmVersion, jvmName, accepted.commandName, jvmDir, windowsDir,
                           registerJvm);
    if (!ok) removeMadeDirectories(chosenDir, madeTop);
    trace("installCompressedJvm ok", ok);
    return ok;
}

bool JvmExpander::expandJvm(const char* jvmSelfExtractor, const char* jvmDir) {
    trace("installing jvm in", jvmDir);
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);
    trace("current directory", workDir);

    // An absolute name: the current directory changes for the run (the
    // report names its files absolutely for the same reason).
    char tempLog[PathBufferSize];
    formatText(tempLog, sizeof tempLog, "%s%s%s", workDir, DIR_END, TempLogFname);

    char command[PathBufferSize];
    char current[PathBufferSize];
    bool ok = false;
    {
        ExecCommand exec;
        CurrentDirectory here;
        if (!getJvmInstallerCommand(jvmSelfExtractor, command)) {
            trace("installed jvm", false);
            getCurrentDir(current, PathBufferSize - 1);
            trace("current directory after changing dir to: ", current);
        } else if (!here.enter(jvmDir)) {
            // Never expand into the work directory by mistake.
            trace("unable to change dir to: ", jvmDir);
        } else {
            getCurrentDir(current, PathBufferSize - 1);
            trace("current directory changing dir to: ", current);
            ok = exec.execCommand(command, nullptr, 0);
            trace("installed jvm", ok);
            here.restore();
            getCurrentDir(current, PathBufferSize - 1);
            trace("current directory after changing dir to: ", current);
            // A program that reports a failure has failed, whatever it left.
            if (ok && exec.lastExitCode() != 0) {
                logInstallerExit(command, exec.lastExitCode(),
                                 jvmDir);
                ok = false;
            }
        }
        if (ok) trace("issued command to expand:", command);
        else trace("unable to expand", command);
    }
    remove(tempLog);
    return ok;
}

void JvmExpander::downloadFrom(const char* url, const char* sha256, Progress* progress) {
    downloadUrl = url;
    downloadSha256 = sha256;
    downloadProgress = progress;
}

bool JvmExpander::fetchJvm(const char* jvmDir) {
    trace("downloading jvm into", jvmDir);
    JvmDownload download;
    JvmDownloadResult result;
    downloadFault = !download.download(downloadUrl, downloadSha256, jvmDir, downloadProgress,
                                       result);
    return !downloadFault;
}

// A path that names its drive or share: "X:\..." or "\\server\...".
static bool namesItsRoot(const char* path) {
    char drive = path[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    return (isSeparator(path[0]) && isSeparator(path[1])) ||
           (letter && path[1] == ':' && isSeparator(path[2]));
}

bool JvmExpander::locateCompressedJvm(const char* jvmSelfExtractor, char* path) {
    path[0] = '\0';
    if (!jvmSelfExtractor || !jvmSelfExtractor[0]) return false;
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);

    // The path as written, in the work directory unless it names its own
    // root; "/" separates as "\" does.
    char written[PathBufferSize];
    bool writtenFits = namesItsRoot(jvmSelfExtractor)
                           ? copyText(written, jvmSelfExtractor)
                           : formatText(written, sizeof written, "%s%s%s", workDir, DIR_END,
                                        jvmSelfExtractor);
    for (char* c = written; *c; ++c)
        if (*c == '/') *c = DIR_END[0];
    if (writtenFits && fexists(written)) return copyText(path, PathBufferSize, written);

    // Else its last name in the work directory.
    const char* name = jvmSelfExtractor;
    for (const char* c = jvmSelfExtractor; *c; ++c)
        if (isSeparator(*c)) name = c + 1;
    char top[PathBufferSize];
    bool topFits = formatText(top, sizeof top, "%s%s%s", workDir, DIR_END, name);
    if (topFits && fexists(top)) return copyText(path, PathBufferSize, top);

    const char* missing = "Compressed JVM does *not* exist: ";
    const char* tooLong = "Compressed JVM path too long";
    trace(writtenFits ? missing : tooLong, written);
    if (strcmp(top, written) != 0) trace(topFits ? missing : tooLong, top);
    return false;
}

bool JvmExpander::getJvmInstallerCommand(const char* jvmSelfExtractor, char* command) {
    command[0] = '\0';
    char path[PathBufferSize];
    if (!locateCompressedJvm(jvmSelfExtractor, path)) return false;
    if (strchr(path, ' ')) {
        char shortPath[PathBufferSize];
        shortPath[0] = '\0';
        DWORD length = GetShortPathNameA(path, shortPath, PathBufferSize - 1);
        if (length > 0 && length < PathBufferSize - 1 && shortPath[0]) {
            if (!strchr(shortPath, ' ')) {
                copyText(path, shortPath);
            } else {
                char fullPath[PathBufferSize];
                length = GetFullPathNameA(path, PathBufferSize - 1, fullPath, nullptr);
                if (length > 0 && length < PathBufferSize - 1) copyText(path, fullPath);
            }
        }
    }
    // A path that keeps a blank stays unquoted: the program is started by
    // this path as it is (a quoted one cannot be found), and the command
    // execution quotes it on the child's command line.
    copyText(command, PathBufferSize, path);
    return true;
}

// ---------------------------------------------------------------------------
// Locating and configuring the JVM program

bool JvmExpander::configureJvm(char* jvmVersion, char* jvmName, char* jvmCommandName, char* jvmDir,
                              const char* homeDir, bool registerJvm) {
    trace("about to configure jvm", jvmVersion);
    if (!windowsDir[0] && homeDir) copyText(windowsDir, homeDir);

    // javaw when the launcher made the trace file itself ("jinstall.sem"),
    // the console program when the user did or tracing is off (see the
    // rules in getparam.cpp).
    char newName[VersionBufferSize];
    formatText(newName, sizeof newName, ownTrace ? "%sw.exe" : "%s.exe",
               NewJreFilename);
    bool oldStyle = startsWith(jvmCommandName, OldJreFilename);

    // First match wins: jvmDir\name, jvmDir\new name, jvmDir\bin\name,
    // jvmDir\bin\new name (the new names only for an old "jre" name).
    struct Place {
        const char* subdir;
        const char* name;
    } places[] = {{"", jvmCommandName},
                  {"", oldStyle ? newName : nullptr},
                  {BinDir, jvmCommandName},
                  {BinDir, oldStyle ? newName : nullptr}};
    const char* found = nullptr;
    char path[PathBufferSize];
    for (const Place& place : places) {
        if (!place.name) continue;
        bool fits = place.subdir[0]
                        ? formatText(path, sizeof path, "%s%s%s%s%s", jvmDir, DIR_END, place.subdir,
                                     DIR_END, place.name)
                        : formatText(path, sizeof path, "%s%s%s", jvmDir, DIR_END, place.name);
        if (fits && fexists(path)) {
            found = place.name;
            break;
        }
    }
    if (!found) {
        reportError("Unable to find JVM executable");
        reportError("Unable to configure JVM in", jvmDir);
        trace("configureJvm ok", false);
        return false;
    }
    char foundName[PathBufferSize];
    copyText(foundName, found);
    if (registerJvm) {
        // The JVM's own program knows its bitness best; the compressed JVM's
        // (or the launcher's) stands in when its header cannot be read.
        unsigned bits = programBits(path, 0);
        trace("installed JVM program bitness:", bitsText(bits));
        if (!bits) bits = packageBits ? packageBits : ownBits();
        JvmRegistration registration(windowsDir, configureRegistry);
        registration.enter({jvmVersion, jvmName, foundName, jvmDir, bits});
    }
    copyText(jvmCommandName, PathBufferSize, foundName);
    trace("configureJvm ok", true);
    return true;
}
