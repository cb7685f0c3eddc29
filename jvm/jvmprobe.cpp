// JvmProbe: the one place where a JVM's version is held against the limits of
// the control file, and the test run that makes a JVM report its version.
//
// The test run starts the JVM program with "-cp . TestJvm <work directory>"
// in the work directory; the test class writes "jvmGood.txt" there, whose
// first line holds the JVM's version and whose second line, from a test
// class that knows it, "java.home=" and the running JVM's home in UTF-8.
// The file exists only while a test run is under way. A JVM that gives no
// answer within the time limit is ended with every process it started, and
// refused. Where a "jvmGood.txt" cannot be deleted (a directory of that
// name), the test class is handed a private directory instead, since it
// writes into whatever directory it is given. Without the test class the
// JVM is started once with "-version", its output going to a temporary file
// that is deleted after it is read.
#include "jvm/jvmprobe.h"
#include "base/disknames.h"
#include "base/timeline.h"

#include "base/bitness.h"
#include "base/deltree.h"
#include "base/jvmhome.h"
#include "base/codepage.h"
#include "base/fexists.h"
#include "base/textline.h"
#include "base/scopedbuffer.h"
#include "base/winerror.h"
#include "exec/childprocess.h"
#include "jvm/jvmrelease.h"
#include "jvm/jvmversion.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static const char JavaHomeKey[] = "java.home=";

// Line buffer of the results file: 1001 bytes, at most 998 characters a read.
// The home line holds the key and a whole path.
enum {
    ResultsLineSize = 1001,
    ResultsReadLimit = 999,
    HomeLineLimit = PathBufferSize + sizeof JavaHomeKey
};

unsigned testSecondsOf(const char* text) {
    unsigned long long seconds = 0;
    while (*text == ' ' || *text == '\t') ++text;
    const char* digit = text;
    const unsigned longest = ChildProcess::LongestLimit;
    for (; *digit >= '0' && *digit <= '9'; ++digit)
        if (seconds <= longest) seconds = seconds * 10 + (unsigned)(*digit - '0');
    const char* end = digit;
    while (*end == ' ' || *end == '\t') ++end;
    if (digit == text || *end || seconds == 0) return JvmWanted::DefaultTestSeconds;
    return seconds > longest ? longest : (unsigned)seconds;
}

JvmProbe::JvmProbe() {
    refusalText[0] = '\0';
    reportedHome[0] = '\0';
    lastVersion[0] = '\0';
}

void JvmProbe::refuse(const char* reason) { copyText(refusalText, reason); }

void JvmProbe::refuse(const char* format, const char* detail) {
    formatText(refusalText, sizeof refusalText, format, detail);
}

JvmProbe::~JvmProbe() {}

bool JvmProbe::meetsLimits(const JvmWanted& wanted, const char* jvmVersion) {
    const char* required = wanted.required;
    const char* minimum = wanted.minimum;
    const char* maximum = wanted.maximum;
    copyText(lastVersion, jvmVersion);
    trace("jvm version", jvmVersion);
    trace("req version", required);
    trace("min version", minimum);
    trace("max version", maximum);

    bool ok;
    if (*required)
        ok = compareWithLimit(jvmVersion, required) == 0;
    else
        ok = compareWithLimit(jvmVersion, minimum) >= 0 &&
             (!*maximum || compareWithLimit(jvmVersion, maximum) <= 0);
    trace("found jvm version:", jvmVersion);
    trace("       version ok", ok);
    return ok;
}

bool JvmProbe::rangeMeetsLimits(const JvmWanted& wanted, const char* range) {
    if (*wanted.required) return compareRangeWithLimit(range, wanted.required) == 0;
    return compareRangeWithLimit(range, wanted.minimum) >= 0 &&
           compareRangeWithLimit(range, wanted.maximum) <= 0;
}

bool JvmProbe::lineMeetsLimits(char* line, const JvmWanted& wanted) {
    // Everything before the first digit goes; a line without any digit
    // holds no version and becomes empty.
    char* first = line;
    while (*first && !isdigit((unsigned char)*first)) ++first;
    memmove(line, first, strlen(first) + 1);
    // End the line just after its last digit.
    size_t length = strlen(line);
    while (length > 0 && !isdigit((unsigned char)line[length - 1])) --length;
    line[length] = '\0';
    return meetsLimits(wanted, line);
}

bool JvmProbe::resultsMeetLimits(const char* resultsFile, const JvmWanted& wanted) {
    LineReader file(resultsFile, textLines(ResultsReadLimit - 1));
    if (!file.isOpen()) {
        trace("Unable to verify version", resultsFile);
        refuse("ran but left no answer");
        return false;
    }
    char line[ResultsLineSize];
    file.read(line);
    bool ok = lineMeetsLimits(line, wanted);
    trace("version checked ok", ok);
    if (!ok) {
        if (line[0]) refuse("reported version %s, outside the limits", line);
        else refuse("ran but left no version in its answer");
    }
    return ok;
}

// A home as the launcher names directories: backslashes, no trailing one.
static void tidyReportedHome(char* home) {
    for (char* c = home; *c; ++c)
        if (*c == '/') *c = PathSeparator[0];
    size_t length = strlen(home);
    while (length > 3 && home[length - 1] == PathSeparator[0]) home[--length] = '\0';
}

// Whether dir\name or dir\bin\name is a file.
static bool holdsProgram(const char* dir, const char* name) {
    char path[PathBufferSize];
    return (formatText(path, sizeof path, "%s%s%s", dir, PathSeparator, name) && fexists(path) &&
            !isDir(path)) ||
           (formatText(path, sizeof path, "%s%s%s%s%s", dir, PathSeparator, BinFolder,
                       PathSeparator, name) &&
            fexists(path) && !isDir(path));
}

void JvmProbe::readReportedHome(const char* resultsFile, const char* jvmPath) {
    reportedHome[0] = '\0';
    LineReader file(resultsFile, textLines(HomeLineLimit));
    char line[HomeLineLimit + 1];
    bool whole = false;
    if (!file.isOpen() || !file.read(line) || !file.read(line, &whole) ||
        !startsWith(line, JavaHomeKey))
        return;  // a test class that does not say
    char home[PathBufferSize];
    if (!whole || !copyText(home, line + strlen(JavaHomeKey))) {
        trace("reported jvm home too long, ignored");
        return;
    }
    if (!fromUtf8(home, sizeof home)) {
        trace("reported jvm home not in this code page, ignored", home);
        return;
    }
    tidyReportedHome(home);
    const char* name = strrchr(jvmPath, PathSeparator[0]);
    name = name ? name + 1 : jvmPath;
    if (!isAbsoluteDirPath(home) || !holdsProgram(home, name)) {
        char text[200];
        formatText(text, sizeof text, "reported jvm home ignored (no %s there):", name);
        trace(text, home);
        return;
    }
    copyText(reportedHome, home);
    trace("jvm reports its home", reportedHome);
}

void JvmProbe::giveHome(JvmFound& accepted) {
    if (reportedHome[0]) copyText(accepted.home, reportedHome);
    else getJavaHomeDirectory(accepted.program, accepted.home, sizeof accepted.home);
}

bool JvmProbe::prepareResults(char* dir, char* file, bool* own) {
    // Named relative to the current directory, which the JVM inherits: a
    // JVM reads its arguments in the system's legacy code page, where a
    // folder in other letters has at best a short name, and on some volumes
    // none at all.
    *own = false;
    copyText(dir, PathBufferSize, ".");
    copyText(file, PathBufferSize, TestJvmResultsFile);
    remove(TestJvmResultsFile);
    if (GetFileAttributesA(TestJvmResultsFile) == INVALID_FILE_ATTRIBUTES) return true;

    // Something named "jvmGood.txt" stays (a directory, a locked file): the
    // test class writes into a private directory instead.
    trace("results file cannot be deleted:", TestJvmResultsFile);
    copyText(dir, PathBufferSize, PrivateResultsFolder);
    CreateDirectoryA(PrivateResultsFolder, nullptr);
    if (!isDir(PrivateResultsFolder) ||
        !formatText(file, PathBufferSize, "%s%s%s", PrivateResultsFolder, PathSeparator,
                    TestJvmResultsFile))
        return false;
    remove(file);
    if (GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES) {
        RemoveDirectoryA(PrivateResultsFolder);
        return false;
    }
    *own = true;
    trace("test runs write their results into", dir);
    return true;
}

// The home of a program: its directory, or the one above when that is "bin".
static void homeOfProgram(const char* jvmPath, char* home, size_t cap) {
    copyText(home, cap, jvmPath);
    char* separator = strrchr(home, PathSeparator[0]);
    if (!separator) {
        copyText(home, cap, ".");
        return;
    }
    *separator = '\0';
    separator = strrchr(home, PathSeparator[0]);
    if (separator && _stricmp(separator + 1, BinFolder) == 0) *separator = '\0';
}

bool JvmProbe::versionAnswer(const JvmWanted& wanted, const char* jvmPath, char* version,
                          size_t cap, bool* refused) {
    version[0] = '\0';
    *refused = false;
    char tempDir[MAX_PATH + 1], answerFile[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof tempDir, tempDir);
    if (length == 0 || length >= sizeof tempDir ||
        !GetTempFileNameA(tempDir, "jva", 0, answerFile)) {
        trace("no place for the -version answer", tempDir);
        return false;
    }
    const char* lastSeparator = strrchr(jvmPath, PathSeparator[0]);
    char commandLine[PathBufferSize];
    formatText(commandLine, sizeof commandLine, "%s -version",
               lastSeparator ? lastSeparator + 1 : jvmPath);
    unsigned seconds =
        wanted.testSeconds ? wanted.testSeconds : (unsigned)JvmWanted::DefaultTestSeconds;
    trace("asking for its version:", jvmPath);
    ChildStart how;
    how.hidden = true;
    how.outputFile = answerFile;
    how.contain = true;
    ChildProcess child;
    unsigned long error = child.start(jvmPath, commandLine, how);
    if (error) {
        char reason[1200];
        windowsErrorText(error, reason, sizeof reason, jvmPath);
        refuse("did not start: %s", reason);
        *refused = true;
    } else if (child.wait(seconds) != ChildEnded) {
        char text[100];
        formatText(text, sizeof text, "left no -version answer within %u seconds and was ended",
                   seconds);
        refuse("%s", text);
        *refused = true;
    } else {
        // Every JVM names its version in double quotes after the word
        // version: java version "1.8.0_401", openjdk version "17.0.10" 2024-01-16.
        LineReader answer(answerFile, authoredLines(999));
        char line[1000];
        while (!version[0] && answer.read(line)) {
            const char* found = strstr(line, "version \"");
            if (!found) continue;
            found += strlen("version \"");
            const char* close = strchr(found, '"');
            if (close && close > found) copyTextN(version, cap, found, (size_t)(close - found));
        }
        trace("-version answer names", version[0] ? version : "no version");
    }
    DeleteFileA(answerFile);
    return version[0] != '\0';
}

bool JvmProbe::judgeWithoutTestClass(const JvmWanted& wanted, const char* jvmPath) {
    char version[VersionBufferSize];
    bool refused;
    if (versionAnswer(wanted, jvmPath, version, sizeof version, &refused)) {
        if (meetsLimits(wanted, version)) return true;
        refuse("answered -version with version %s, outside the limits", version);
        return false;
    }
    if (refused) return false;
    char home[PathBufferSize];
    homeOfProgram(jvmPath, home, sizeof home);
    if (readReleaseVersion(home, version, sizeof version)) {
        trace("release file names version", version);
        if (meetsLimits(wanted, version)) return true;
        refuse("its release file names version %s, outside the limits", version);
        return false;
    }
    refuse("could not be judged: no test class, no version in its -version answer and no "
           "release file");
    return false;
}

bool JvmProbe::runTest(const JvmWanted& wanted, const char* jvmPath) {
    reportedHome[0] = '\0';
    // A JVM made for another processor is never started: Windows would
    // refuse it, or on some machines start it only to fail.
    PeMachine header = readPeMachine(jvmPath);
    char why[120];
    if (header.read && !machineRuns(machineAnswer(), header.machine, why, sizeof why)) {
        trace("not started, made for another processor:", jvmPath);
        refuse(why);
        return false;
    }
    // Without the test class a JVM is judged by what it says of itself.
    if (!fexists(TestJvmClassFile)) {
        bool ok = judgeWithoutTestClass(wanted, jvmPath);
        if (ok) refusalText[0] = '\0';
        return ok;
    }
    trace("testing ", jvmPath);

    char resultsDir[PathBufferSize];
    char resultsFile[PathBufferSize];
    bool ownDir;
    if (!prepareResults(resultsDir, resultsFile, &ownDir)) {
        trace("no place for the test results", resultsDir);
        refuse("was not tested: no place for its answer (%s cannot be deleted)",
               TestJvmResultsFile);
        return false;
    }
    bool ok = runTestClass(wanted, jvmPath, resultsDir, resultsFile);
    remove(resultsFile);
    if (ownDir) RemoveDirectoryA(PrivateResultsFolder);
    if (ok) refusalText[0] = '\0';
    return ok;
}

bool JvmProbe::runTestClass(const JvmWanted& wanted, const char* jvmPath, char* resultsDir,
                            const char* resultsFile) {
    char className[sizeof TestJvmClassFile];
    copyText(className, TestJvmClassFile);
    char* extension = strstr(className, ClassExtension);
    if (extension) *extension = '\0';

    // The test run and every child started later see no CLASSPATH.
    static char noClasspath[] = "CLASSPATH=";
    _putenv(noClasspath);
    SetEnvironmentVariableA("CLASSPATH", nullptr);

    const char* lastSeparator = strrchr(jvmPath, PathSeparator[0]);
    // The command line as the runtime's spawn makes it: the entries joined by
    // blanks, none quoted. The directory goes unquoted: the test class joins
    // a directory with blanks from the words it arrives in.
    size_t size = strlen(jvmPath) + strlen(resultsDir) + sizeof className + 16;
    ScopedText commandLine(ScopedText::allocate(size));
    char reason[1200];
    if (!commandLine) {
        windowsErrorText(ERROR_NOT_ENOUGH_MEMORY, reason, sizeof reason);
        refuse("was not tested: %s", reason);
        return false;
    }
    formatText(commandLine, size, "%s -cp . %s %s",
               lastSeparator ? lastSeparator + 1 : jvmPath, className, resultsDir);

    unsigned seconds =
        wanted.testSeconds ? wanted.testSeconds : (unsigned)JvmWanted::DefaultTestSeconds;
    ChildStart how;
    how.contain = true;
    ChildProcess child;
    timelineMark("test run starts");
    unsigned long error = child.start(jvmPath, commandLine, how);
    ChildEnd end = error ? ChildLost : child.wait(seconds);
    timelineMark("test run ends");

    bool ok = false;
    char text[1300];
    if (error) {
        windowsErrorText(error, reason, sizeof reason, jvmPath);
        formatText(text, sizeof text, "Error running JVM: %s", reason);
        trace(text, false);
        refuse("did not start: %s", reason);
    } else if (end != ChildEnded) {
        formatText(text, sizeof text, "left no answer within %u seconds and was ended", seconds);
        trace("test jvm", text);
        if (!child.contained()) trace("processes it started may still run", jvmPath);
        refuse("%s", text);
    } else {
        trace("test jvm launched ok", true);
        ok = resultsMeetLimits(resultsFile, wanted);
        if (ok) readReportedHome(resultsFile, jvmPath);
        if (ok) trace("test jvm ok", true);
        else trace("Jvm isn't installed properly.");
    }
    return ok;
}

bool JvmProbe::testProgram(const JvmWanted& wanted, const char* jvmPath) {
    if (!fexists(jvmPath)) return false;
    return runTest(wanted, jvmPath);
}

// Tries homeDir\commandName, then homeDir\bin\commandName.
bool JvmProbe::tryCommand(const JvmWanted& wanted,
                       const char* homeDir, const char* commandName, char* jvmPath) {
    if (formatText(jvmPath, PathBufferSize, "%s%s%s", homeDir, PathSeparator, commandName) &&
        testProgram(wanted, jvmPath))
        return true;
    if (formatText(jvmPath, PathBufferSize, "%s%s%s%s%s", homeDir, PathSeparator, BinFolder,
                   PathSeparator, commandName) &&
        testProgram(wanted, jvmPath))
        return true;
    return false;
}

bool JvmProbe::proveHome(const JvmWanted& wanted, const char* homeDir, JvmFound& accepted) {
    if (!findAndTest(wanted, homeDir, accepted)) return false;
    giveHome(accepted);
    return true;
}

bool JvmProbe::findAndTest(const JvmWanted& wanted, const char* homeDir, JvmFound& accepted) {
    const char* commandName = wanted.commandName;
    refuse("no program %s under the home (nor in its bin)", commandName);

    if (tryCommand(wanted, homeDir, commandName, accepted.program)) {
        copyText(accepted.commandName, commandName);
        return true;
    }

    if (strstr(commandName, JreProgram) == commandName) {
        // An old-style name: the newer JVMs carry java.exe and javaw.exe.
        // javaw whenever the run traces, as it does throughout an
        // installation (see the rules in getparam.cpp).
        char newName[20];
        formatText(newName, sizeof newName, "%s%s", JavaProgram, wanted.tracing ? "w.exe" : ".exe");
        if (tryCommand(wanted, homeDir, newName, accepted.program)) {
            copyText(accepted.commandName, newName);
            return true;
        }
    }
    return false;
}
