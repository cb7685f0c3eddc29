// JvmInstallerProgram: a vendor's JVM installer program the package carries
// ("jvmInstallerBinary", run with "jvmInstallerCommand"). It places and
// registers the JVM itself: the launcher chooses its folder (JvmPlaces, by
// the program's bitness), copies the program there, runs it there with the
// arguments of its command line ("/*/*/*" separates the program and each
// argument, so that an argument may hold blanks), removes the copy, and then
// proves the JVM where the program put it (one level below the folder, else
// where the registry search finds it): it must report the version the
// package says it installs. An exit code other than 0 is a failure, but for
// a Windows Installer's "restart needed". The folders made for it go again
// where the program left them empty; nothing of the launcher's is
// registered.
#include "base/bitness.h"
#include "base/disknames.h"
#include "base/curdir.h"
#include "base/filecopy.h"
#include "base/fexists.h"
#include "base/findfile.h"
#include "base/textline.h"
#include "exec/elevatable.h"
#include "jvm/jvmplaces.h"
#include "jvm/jvmprobe.h"
#include "jvm/jvmprovider.h"
#include "jvm/jvmsearch.h"
#include "jvm/jvmstage.h"
#include "jvm/stagedjvm.h"

#include <string.h>

static const char ArgSeparator[] = "/*/*/*";

namespace {

// The file name of a path: what follows its last separator.
const char* fileNameOf(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (isSeparator(*c)) name = c + 1;
    return name;
}

// The command line taken apart: the program, then its file name and each
// argument as the argument vector.
class CommandLine {
public:
    enum { MostArguments = 64 };
    explicit CommandLine(const char* line) {
        copyText(text, line);
        char* at = strstr(text, ArgSeparator);
        if (at) *at = '\0';
        program = text;
        argv[count++] = const_cast<char*>(fileNameOf(program));
        while (at && count < MostArguments) {
            char* next = at + strlen(ArgSeparator);
            at = strstr(next, ArgSeparator);
            if (at) *at = '\0';
            argv[count++] = next;  // the last one even when empty
        }
        argv[count] = nullptr;
        for (unsigned i = 0; i < count; ++i) trace("arg:", argv[i]);
    }
    char* program;
    char* argv[MostArguments + 1];

private:
    char text[PathBufferSize];
    unsigned count = 0;
};

enum class ProgramRun { Ended, Failed, Declined };

// The program's run in dir (through the elevation prompt when Windows says
// the program needs it): Ended when it ended with success.
ProgramRun runProgram(const char* commandLine, const char* dir) {
    if (!commandLine || !commandLine[0]) {
        trace("no jvm installer command line");
        return ProgramRun::Failed;
    }
    CommandLine command(commandLine);
    trace("jvm installer command:", command.program);
    ElevatableRun run;
    // The start's failures are in errors.log already.
    if (!startAndWaitElevatable(command.program, command.argv, dir, run))
        return run.declined ? ProgramRun::Declined : ProgramRun::Failed;
    // A Windows Installer that asks for a restart (..._REBOOT_REQUIRED,
    // ..._INITIATED) has succeeded; any other code but 0 has failed.
    unsigned long code = run.exitCode;
    if (code == ERROR_SUCCESS_REBOOT_REQUIRED || code == ERROR_SUCCESS_REBOOT_INITIATED) {
        trace("the JVM installer asks for a restart; exit code", (int)code);
    } else if (code != 0) {
        logInstallingProgramExit(command.program, code, dir);
        return ProgramRun::Failed;
    }
    trace("third party jvm installer ran with no reported errors");
    return ProgramRun::Ended;
}

// A JVM in dir itself or one level below it that wanted accepts.
bool jvmIn(const JvmWanted& wanted, const char* dir, JvmFound& accepted) {
    JvmProbe probe;
    if (probe.proveHome(wanted, dir, accepted)) return true;
    char pattern[PathBufferSize], home[PathBufferSize];
    if (!formatText(pattern, sizeof pattern, "%s%s*", dir, PathSeparator)) return false;
    FindFile listing(pattern);
    while (listing.next()) {
        if (!listing.isDirectory() ||
            !formatText(home, sizeof home, "%s%s%s", dir, PathSeparator, listing.name()))
            continue;
        trace("looking for jvm in:", home);
        if (probe.proveHome(wanted, home, accepted)) return true;
    }
    return false;
}

// The JVM the program registered, by the registry search.
bool registeredJvm(const JvmWanted& wanted, const char* kind, JvmFound& accepted) {
    RefusalList refused;
    JvmSearch search;
    search.setRefusals(&refused);
    if (search.findJvm(wanted, kind, accepted)) {
        trace("Found correct version of JVM:", accepted.program);
        return true;
    }
    // The JVM just installed is not among them: why each one was refused.
    trace("Correct version of JVM was not found in common locations");
    refused.log();
    return false;
}

class JvmInstallerProgram : public JvmProvider {
public:
    bool provide(const ProvisionRequest& request, ProvisionResult& result) override {
        const ControlSettings& settings = request.settings;
        const char* binary = settings.jvmInstallerBinary;
        if (!binary[0]) {
            result.fault = ProvisionFault::NotOffered;
            return false;
        }
        if (!fexists(binary)) {
            return packageLacksFile(request, result);  // a file it does not hold
        }
        trace("attempting to install jvm", request.version);
        // The program's bitness is the JVM's: it chooses the Programs folder.
        char program[PathBufferSize], workDir[PathBufferSize];
        getCurrentDir(workDir, PathBufferSize - 1);
        formatText(program, sizeof program, "%s%s%s", workDir, PathSeparator, binary);
        unsigned bits = programBits(program, ownBits());
        trace("JVM program:", program);
        trace("JVM program bitness:", bitsText(bits));

        // The program puts its JVM where its own setup says: the package's
        // folder is not asked for.
        JvmPlaces places("", request.kind, request.version);
        char dir[PathBufferSize];
        if (!places.folderFor(bits, dir)) return failed(request, result);
        trace("jvmDirName: ", dir);
        if (isDir(dir) && jvmIn(request.wanted, dir, result.jvm)) {
            trace("found existing jvm directory", true);
            return true;
        }
        char madeTop[PathBufferSize];
        unsigned long error = 0;
        bool ok = makeLevels(dir, madeTop, error) && install(request, program, dir, result);
        // What the program left empty of the folders made for it goes.
        removeEmptyLevels(dir, madeTop);
        if (!ok && result.message.empty()) failed(request, result);
        trace("jvmFullname:", result.jvm.program);
        trace("runJvmInstaller ok", ok);
        return ok;
    }

private:
    static bool failed(const ProvisionRequest& request, ProvisionResult& result) {
        return result.fail(ProvisionFault::Failed, TextUnableToInstallJvm, request.kind,
                           request.version);
    }

    // Copies the program into dir, runs it there, removes the copy, and
    // proves the JVM it installed.
    bool install(const ProvisionRequest& request, const char* program, const char* dir,
                 ProvisionResult& result) {
        char copy[PathBufferSize];
        if (!formatText(copy, sizeof copy, "%s%s%s", dir, PathSeparator, fileNameOf(program)))
            return false;
        trace("copied installer from: ", program);
        trace("                   to: ", copy);
        // A file of that name already there is not the package's to
        // overwrite, nor (after the run) to delete.
        if (fexists(copy)) {
            reportError("file already exists:", copy);
            return false;
        }
        if (!copyFile(program, copy)) return false;
        ProgramRun ran = runProgram(request.settings.jvmInstallerCommand, dir);
        DeleteFileA(copy);
        trace("jvm installer removed");
        if (ran == ProgramRun::Declined)
            return result.fail(ProvisionFault::Failed, TextElevationDeclined, fileNameOf(program));
        if (ran != ProgramRun::Ended) return false;
        // The new JVM must report the version the package installs,
        // whatever the installation's own limits.
        JvmWanted packaged = request.wanted;
        packaged.required = request.version;
        packaged.minimum = packaged.maximum = "";
        return jvmIn(packaged, dir, result.jvm) ||
               registeredJvm(packaged, request.kind, result.jvm);
    }
};

// Constant-initialised, so no guard of a local static is needed.
JvmInstallerProgram kind;

}  // namespace

JvmProvider& jvmInstallerProgram() { return kind; }
