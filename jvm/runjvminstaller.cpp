// RunJvmInstaller: copies the package's JVM installer program into the
// chosen JVM directory, runs it there and finds the JVM it installed.
//
// The command line is split at "/*/*/*": the program comes first, then each
// argument (an argument may hold blanks). The current directory is the JVM
// directory only while the program runs; the log files are named by absolute
// path meanwhile. The program must end with exit code 0. The copy of the
// program is removed whatever the run gave, and of the directories made for
// it those that are left empty.
#include "jvm/runjvminstaller.h"

#include "base/clib.h"
#include "base/fexists.h"
#include "base/curdir.h"
#include "base/findfile.h"
#include "base/textline.h"
#include "exec/execcmd.h"
#include "jvm/jvmdirchooser.h"
#include "jvm/jvmprobe.h"
#include "jvm/jvmsearch.h"

#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char ArgSeparator[] = "/*/*/*";
static const char DIR_END[] = "\\";

enum { ErrorTextSize = 500 };

// The file name of a path: what follows its last separator.
static const char* fileNameOf(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (isSeparator(*c)) name = c + 1;
    return name;
}

static char* copyOf(const char* text, size_t length) {
    char* copy = (char*)malloc(length + 1);
    if (copy) {
        memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

RunJvmInstaller::RunJvmInstaller() : jvmDiscovered(false) {
    windowsDir[0] = '\0';
    madeTop[0] = '\0';
}

RunJvmInstaller::~RunJvmInstaller() {}

bool RunJvmInstaller::run(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                          char* jvmInstallerBinary, char* jvmInstallerCommand, JvmFound& accepted,
                          const char* homeDir) {
    copyText(windowsDir, homeDir);
    char jvmDir[PathBufferSize];
    jvmDir[0] = '\0';
    char predefinedJvmInstallDir[PathBufferSize];
    predefinedJvmInstallDir[0] = '\0';

    // The installer program's bitness is the JVM's: it chooses the Programs
    // folder (the JVM registers itself).
    char program[PathBufferSize];
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);
    if (!formatText(program, sizeof program, "%s%s%s", workDir, DIR_END,
                    jvmInstallerBinary ? jvmInstallerBinary : ""))
        program[0] = '\0';

    bool created;
    {
        JvmDirChooser installer;
        installer.setWindowsDir(windowsDir);
        installer.takeBitsOf(program);
        created = installer.chooseDirectory(wanted, jvmVersion, jvmName,
                                               predefinedJvmInstallDir, jvmDir, accepted);
        trace("jvmDirName: ", jvmDir);
        jvmDiscovered = installer.isJvmDiscovered();
        trace("found existing jvm directory", jvmDiscovered);
        copyText(madeTop, installer.createdDir());
    }
    if (jvmDiscovered) madeTop[0] = '\0';

    bool ok = false;
    if (created) {
        if (jvmDiscovered) {
            JvmProbe probe;
            ok = probe.proveHome(wanted, jvmDir, accepted);
            if (!ok) jvmDiscovered = false;
        }
        if (!jvmDiscovered)
            ok = installJvm(jvmVersion, jvmName, wanted.commandName, jvmInstallerBinary,
                            jvmInstallerCommand, jvmDir, accepted);
    }
    trace("jvmFullname:", accepted.program);
    trace("runJvmInstaller ok", ok);
    return ok;
}

bool RunJvmInstaller::installJvm(char* jvmVersion, char* jvmName, const char* jvmCommandName,
                                 char* jvmInstallerBinary, char* jvmInstallerCommand, char* jvmDir,
                                 JvmFound& accepted) {
    bool ok = copyInstaller(jvmInstallerBinary, jvmDir);
    if (ok) {
        ok = runInstaller(jvmInstallerCommand, jvmDir);
        removeInstaller(jvmInstallerBinary, jvmDir);
    }
    if (ok) {
        // The new JVM must report the version the package installs,
        // whatever the installation's own limits.
        JvmWanted packaged = {jvmVersion, "", "", jvmCommandName};
        ok = jvmInNewDir(packaged, jvmDir, accepted) ||
             findInstalledJvm(packaged, jvmName, accepted);
    }
    // What the program left empty of the directories made for it goes.
    removeMadeDirectories(jvmDir, madeTop);
    return ok;
}

// ---------------------------------------------------------------------------
// The installer program's copy

bool RunJvmInstaller::copyInstaller(const char* installerName, const char* dir) {
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);
    char source[PathBufferSize], target[PathBufferSize];
    // The copy lies directly in the directory, under the program's own name.
    bool fits = formatText(source, sizeof source, "%s%s%s", workDir, DIR_END, installerName) &&
                formatText(target, sizeof target, "%s%s%s", dir, DIR_END,
                           fileNameOf(installerName));
    trace("copied installer from: ", source);
    trace("                   to: ", target);
    // A file of that name already in the directory is not the package's to
    // overwrite, nor (after the run) to delete.
    bool taken = fits && fexists(target);
    if (taken) reportError("file already exists:", target);
    bool ok = fits && !taken && copyFile(source, target);
    trace("copy ok", ok);
    return ok;
}

void RunJvmInstaller::removeInstaller(const char* installerName, const char* dir) {
    char target[PathBufferSize];
    if (formatText(target, sizeof target, "%s%s%s", dir, DIR_END, fileNameOf(installerName)))
        remove(target);
    trace("jvm installer removed");
}

// ---------------------------------------------------------------------------
// Splitting the command line and running the program

const char* RunJvmInstaller::getStartNextArg(const char* position) {
    return position ? position + strlen(ArgSeparator) : nullptr;
}

char** RunJvmInstaller::splitCommandLine(const char* commandLine, char** program) {
    *program = nullptr;
    const char* firstSeparator = strstr(commandLine, ArgSeparator);
    size_t separators = 0;
    for (const char* at = firstSeparator; at; at = strstr(getStartNextArg(at), ArgSeparator))
        ++separators;

    // The file name, one entry per separator, the terminator.
    char** args = (char**)calloc(separators + 2, sizeof(char*));
    size_t programLength = firstSeparator ? (size_t)(firstSeparator - commandLine)
                                          : strlen(commandLine);
    *program = copyOf(commandLine, programLength);
    if (!args || !*program) {
        free(args);
        free(*program);
        *program = nullptr;
        return nullptr;
    }
    size_t count = 0;
    args[count] = copyOf(fileNameOf(*program), strlen(fileNameOf(*program)));
    trace("arg:", args[count] ? args[count] : "");
    bool complete = args[count++] != nullptr;

    if (firstSeparator) {
        const char* text = getStartNextArg(firstSeparator);
        for (const char* at = strstr(text, ArgSeparator); complete && at;
             at = strstr(text, ArgSeparator)) {
            args[count] = copyOf(text, (size_t)(at - text));
            complete = args[count] != nullptr;
            if (complete) trace("arg:", args[count++]);
            text = getStartNextArg(at);
        }
        if (complete) {
            // What remains is the last entry, even when empty.
            args[count] = copyOf(text, strlen(text));
            complete = args[count] != nullptr;
            if (complete) trace("arg:", args[count++]);
        }
    }
    if (!complete) {
        freeArgs(args);
        free(*program);
        *program = nullptr;
        return nullptr;
    }
    args[count] = nullptr;
    trace("# of args", (int)count + 1);
    trace("command:", *program);
    return args;
}

void RunJvmInstaller::freeArgs(char** args) {
    if (!args) return;
    trace("freeing all args");
    int count = 0;
    while (args[count]) ++count;
    for (int i = count - 1; i >= 0; --i) {
        trace("freeing arg", i);
        free(args[i]);
    }
    trace("freeing args");
    free(args);
    trace("freed args");
}

bool RunJvmInstaller::runInstaller(const char* commandLine, const char* dir) {
    if (!commandLine || !commandLine[0]) {
        trace("no jvm installer command line");
        return false;
    }
    char* program = nullptr;
    char** args = splitCommandLine(commandLine, &program);
    if (!args) {
        reportError("Unable to split jvm installer command",
                           commandLine);
        return false;
    }
    bool ok = executeInstaller(program, args, dir);
    freeArgs(args);
    trace("freeing filename");
    free(program);
    trace("freed filename");
    return ok;
}

bool RunJvmInstaller::executeInstaller(char* program, char** args, const char* dir) {
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);

    ExecCommand exec;
    trace("jvm installer command:", program);

    char errorText[ErrorTextSize];
    errorText[0] = '\0';
    bool ok = false;
    // The program runs in the JVM directory, never in the work directory
    // by mistake.
    {
        CurrentDirectory here;
        if (!here.enter(dir))
            copyText(errorText, "Unable to change to the jvm directory");
        else
            ok = exec.spawnAndWait(program, args, errorText);
    }
    // A program that reports a failure has failed, whatever it left. An
    // installer of the Windows Installer kind that asks for a restart
    // (ERROR_SUCCESS_REBOOT_REQUIRED, ..._INITIATED) has succeeded.
    unsigned long code = exec.lastExitCode();
    if (ok && (code == ERROR_SUCCESS_REBOOT_REQUIRED || code == ERROR_SUCCESS_REBOOT_INITIATED))
        trace("the JVM installer asks for a restart; exit code", (int)code);
    else if (ok && code != 0) {
        logInstallerExit(program, exec.lastExitCode(), dir);
        return false;
    }
    if (!ok) {
        char message[ErrorTextSize + 64];
        formatText(message, sizeof message, "Error running JVM installer: %s", errorText);
        reportError(message, false);
        exec.logUnableToStart(program, args);
    } else {
        trace("third party jvm installer ran with no reported errors");
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Finding the new JVM

bool RunJvmInstaller::jvmInNewDir(const JvmWanted& wanted, const char* dir, JvmFound& accepted) {
    char pattern[PathBufferSize];
    if (!formatText(pattern, sizeof pattern, "%s%s*", dir, DIR_END)) return false;
    FindFile listing(pattern);
    bool found = false;
    char home[PathBufferSize];
    while (!found && listing.next()) {
        if (!formatText(home, sizeof home, "%s%s%s", dir, DIR_END, listing.name())) continue;
        trace("looking for jvm in:", home);
        JvmProbe probe;
        found = probe.proveHome(wanted, home, accepted);
    }
    return found;
}

bool RunJvmInstaller::findInstalledJvm(const JvmWanted& wanted, const char* jvmName,
                                       JvmFound& accepted) {
    RefusalList refused;
    JvmSearch search;
    search.setRefusals(&refused);
    bool found = search.findJvm(wanted, jvmName, accepted);
    if (found) {
        trace("Found correct version of JVM:", accepted.program);
    } else {
        // The JVM just installed is not among them: why each one was refused.
        trace("Correct version of JVM was not found in common locations");
        refused.log();
    }
    return found;
}
