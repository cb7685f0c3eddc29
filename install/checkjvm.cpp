// The package check's look at this machine: the JVM a run would take.
//
// The control file is read as a run reads it; the search then runs as in a
// run (install/installedjvm.cpp) from a private directory under the temporary
// directory, holding a copy of the package's test class, so that the test
// runs write their answers there. The search's lines go to a report of the
// check's own: the line that tells where the JVM was found becomes a note,
// and so does each refusal.
#include "install/packagecheck.h"
#include "base/disknames.h"
#include "base/report.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "config/getparam.h"
#include "install/jvminuse.h"
#include "jvm/jvmsearch.h"
#include "jvm/refusals.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char FoundUnderLine[] = "JVM found under ";

namespace {

// The search's lines: where the JVM accepted was found, and the refusals
// (which the refusal list writes as error lines).
class SearchReport : public Report {
public:
    explicit SearchReport(CheckFindings& findings) : findings(findings) { where[0] = '\0'; }
    void trace(const char* line) override {
        if (strncmp(line, FoundUnderLine, strlen(FoundUnderLine)) == 0)
            copyText(where, line + strlen(FoundUnderLine));
    }
    void error(const char* line) override {
        char text[PathBufferSize + 40];
        formatText(text, sizeof text, "note: %s", line);
        findings.found(false, text);
    }
    void failure(const char* line) override { error(line); }
    void flush() override {}
    void endRun(bool) override {}

    char where[PathBufferSize];

private:
    CheckFindings& findings;
};

// A directory of the check's own under the temporary directory.
bool makePrivateDir(char* dir, size_t cap) {
    char temp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) return false;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        if (!formatText(dir, cap, "%s%s%lu.%u", temp, CheckDirPrefix, (unsigned long)GetCurrentProcessId(),
                        attempt))
            return false;
        if (CreateDirectoryA(dir, nullptr)) return true;
    }
    return false;
}

void note(CheckFindings& findings, const char* text, const char* value) {
    char line[2 * PathBufferSize];
    formatText(line, sizeof line, "note: %s%s", text, value);
    findings.found(false, line);
}

}  // namespace

// What the check holds while it runs: too large for the stack.
struct CheckRoom {
    explicit CheckRoom(CheckFindings& findings) : search(findings) {}
    SearchReport search;
    ControlSettings settings;
    JvmFound jvm;
    char control[PathBufferSize + 32];
    char packageFull[PathBufferSize];
    char dir[PathBufferSize];
    char current[PathBufferSize];
};

void checkMachineJvm(const char* packageDir, CheckFindings& findings) {
    if (!packageDir || !packageDir[0]) packageDir = ".";
    HeapObject<CheckRoom> room(findings);
    if (!room) return;
    ControlSettings& settings = room->settings;
    JvmFound& jvm = room->jvm;
    char* dir = room->dir;
    Report& before = report();
    setReport(&room->search);

    GetParameters parameters(false);
    bool read = GetFullPathNameA(packageDir, PathBufferSize, room->packageFull, nullptr) > 0 &&
                formatText(room->control, sizeof room->control, "%s%s%s", room->packageFull,
                           PathSeparator, ControlFile) &&
                parameters.parseParameters(settings, room->control);
    const char* switchedOff = settings.searchForJvm;
    if (!read) {
        // The control file's own findings say why.
    } else if (_stricmp(switchedOff, "no") == 0 || _stricmp(switchedOff, "none") == 0) {
        note(findings, "no JVM of this machine is looked for: searchForJvm is ", switchedOff);
    } else if (!makePrivateDir(dir, PathBufferSize)) {
        note(findings, "the JVMs of this machine were not tried: no private temporary directory",
             "");
    } else {
        // The test class, when the package has one, goes along.
        char from[PathBufferSize + 32], to[PathBufferSize + 32];
        bool withClass =
            formatText(from, sizeof from, "%s%s%s", room->packageFull, PathSeparator,
                       TestJvmClassFile) &&
            formatText(to, sizeof to, "%s%s%s", dir, PathSeparator, TestJvmClassFile) &&
            GetFileAttributesA(from) != INVALID_FILE_ATTRIBUTES && CopyFileA(from, to, FALSE);
        GetCurrentDirectoryA(PathBufferSize, room->current);
        jvm.program[0] = jvm.home[0] = '\0';
        bool found = false;
        if (SetCurrentDirectoryA(dir)) {
            // The run's call, as install/installedjvm.cpp makes it.
            JvmWanted wanted = jvmWantedBy(settings, false);
            RefusalList refused;
            JvmSearch search;
            search.setRefusals(&refused);
            found = search.findJvm(wanted, settings.jvmName, jvm);
            if (!found) refused.log();  // each refusal, a note
            SetCurrentDirectoryA(room->current);
        }
        if (withClass) DeleteFileA(to);
        char leftover[PathBufferSize + 32];
        if (formatText(leftover, sizeof leftover, "%s%s%s", dir, PathSeparator,
                       TestJvmResultsFile))
            DeleteFileA(leftover);
        RemoveDirectoryA(dir);
        if (found) {
            const char* where = room->search.where;
            char text[3 * PathBufferSize];
            formatText(text, sizeof text, "%s (home %s), found under %s, %s", jvm.program,
                       jvm.home[0] ? jvm.home : "unknown", where[0] ? where : "?",
                       withClass ? "its version proved by TestJvm.class"
                                 : "judged by its -version answer");
            note(findings, "a run on this machine would use the JVM ", text);
        } else {
            note(findings, "no JVM of this machine fits: a run ",
                 settings.jvmInstallerType[0] ? "would provide one (jvmInstallerType)"
                                              : "would ask the user to install one");
        }
    }
    setReport(&before);
}
