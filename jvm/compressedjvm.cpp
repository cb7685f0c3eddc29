// CompressedJvm: the package's compressed JVM, located in the work directory
// and run with the stage as its current directory (by its short name when
// its path has blanks: older programs take their command line apart at
// them).
#include "jvm/compressedjvm.h"
#include "base/disknames.h"

#include "base/bitness.h"
#include "base/curdir.h"
#include "base/fexists.h"
#include "base/report.h"
#include "base/textline.h"
#include "base/scopedbuffer.h"
#include "base/winerror.h"
#include "exec/childprocess.h"
#include "jvm/jvmprovider.h"
#include "jvm/stagedjvm.h"

#include <string.h>

// A path that names its drive or share: "X:\..." or "\\server\...".
static bool namesItsRoot(const char* path) {
    char drive = path[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    return (isSeparator(path[0]) && isSeparator(path[1])) ||
           (letter && path[1] == ':' && isSeparator(path[2]));
}

bool locateCompressedJvm(const char* jvmSelfExtractor, char* path) {
    path[0] = '\0';
    if (!jvmSelfExtractor || !jvmSelfExtractor[0]) return false;
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);

    // The path as written, in the work directory unless it names its own
    // root; "/" separates as "\" does.
    char written[PathBufferSize];
    bool writtenFits = namesItsRoot(jvmSelfExtractor)
                           ? copyText(written, jvmSelfExtractor)
                           : formatText(written, sizeof written, "%s%s%s", workDir, PathSeparator,
                                        jvmSelfExtractor);
    for (char* c = written; *c; ++c)
        if (*c == '/') *c = PathSeparator[0];
    if (writtenFits && fexists(written)) return copyText(path, PathBufferSize, written);

    // Else its last name in the work directory.
    const char* name = jvmSelfExtractor;
    for (const char* c = jvmSelfExtractor; *c; ++c)
        if (isSeparator(*c)) name = c + 1;
    char top[PathBufferSize];
    bool topFits = formatText(top, sizeof top, "%s%s%s", workDir, PathSeparator, name);
    if (topFits && fexists(top)) return copyText(path, PathBufferSize, top);

    const char* missing = "Compressed JVM does *not* exist: ";
    const char* tooLong = "Compressed JVM path too long";
    trace(writtenFits ? missing : tooLong, written);
    if (strcmp(top, written) != 0) trace(topFits ? missing : tooLong, top);
    return false;
}

namespace {

// The command that expands the compressed JVM at path: in its short form
// when the path has blanks, never quoted (the command execution quotes a
// path that keeps a blank on the child's command line).
void expansionCommand(const char* path, char* command) {
    copyText(command, PathBufferSize, path);
    if (!strchr(path, ' ')) return;
    char shortPath[PathBufferSize];
    shortPath[0] = '\0';
    DWORD length = GetShortPathNameA(path, shortPath, PathBufferSize - 1);
    if (length > 0 && length < PathBufferSize - 1 && shortPath[0] && !strchr(shortPath, ' '))
        copyText(command, PathBufferSize, shortPath);
}

// Runs the expansion program (in the current directory) and waits for it;
// false, with the reason in the error log, when it cannot be started.
static bool runExpansion(const char* command, unsigned long* exitCode) {
    trace("Formatting command", command);
    trace("formattedCommand:", command);
    trace("New formatted command", command);
    trace("command", command);
    trace("# of args", (int)0);
    trace("Starting to invoke command", command);
    trace("about to execute command:", command);
    char* argv[] = {const_cast<char*>(command), nullptr};
    ScopedText line(argsString(argv));
    ChildProcess child;
    unsigned long error = line ? child.start(command, line, ChildStart()) : ERROR_NOT_ENOUGH_MEMORY;
    bool started = !error && child.wait() == ChildEnded;
    if (!error && !started) error = child.waitError();
    if (started) {
        *exitCode = child.exitCode();
    } else {
        char reason[1200];
        windowsErrorText(error, reason, sizeof reason, command);
        reportError("Unable to execute command:", command);
        reportError("                   result", "-1");
        reportError("                   reason", reason);
    }
    trace("Command started ok", started);
    return started;
}

class Expansion : public StageFiller {
public:
    Expansion(const ProvisionRequest& request, const char* archive)
        : request(request), archive(archive) {}

    bool fill(const char* stageDir, const char* folder, ProvisionResult& result) override {
        char command[PathBufferSize];
        expansionCommand(archive, command);
        trace("installing jvm in", stageDir);
        unsigned long exitCode = 0;
        CurrentDirectory here;
        bool ok = false;
        if (!here.enter(stageDir)) {
            // Never expand into the work directory by mistake.
            trace("unable to change dir to: ", stageDir);
        } else {
            ok = runExpansion(command, &exitCode);
            trace("installed jvm", ok);
            here.restore();
            // A program that reports a failure has failed, whatever it left.
            if (ok && exitCode != 0) {
                logInstallingProgramExit(command, exitCode, folder);
                ok = false;
            }
        }
        if (ok) {
            trace("issued command to expand:", command);
            return true;
        }
        trace("unable to expand", command);
        return result.fail(ProvisionFault::Failed, TextUnableToInstallJvm, request.kind,
                           request.version);
    }

private:
    const ProvisionRequest& request;
    const char* archive;
};

class CompressedJvm : public JvmProvider {
public:
    bool provide(const ProvisionRequest& request, ProvisionResult& result) override {
        const char* file = request.settings.jvmSelfExtractor;
        if (!file[0]) {
            result.fault = ProvisionFault::NotOffered;
            return false;
        }
        char archive[PathBufferSize];
        if (!locateCompressedJvm(file, archive)) {
            return packageLacksFile(request, result);  // a file it does not hold
        }
        trace("attempting to install jvm", request.version);
        unsigned bits = programBits(archive, 0);
        trace("JVM program:", archive);
        trace(bits ? "JVM program bitness:" : "bitness unreadable, taken as the launcher's:",
              bitsText(bits ? bits : ownBits()));
        Expansion expansion(request, archive);
        const char* name = strrchr(archive, PathSeparator[0]);
        return provideStaged(request, bits ? bits : ownBits(), name ? name + 1 : archive,
                             expansion, result);
    }
};

// Constant-initialised, so no guard of a local static is needed.
CompressedJvm kind;

}  // namespace

JvmProvider& compressedJvm() { return kind; }
