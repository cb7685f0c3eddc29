// JvmOk: the one place where a JVM's version is held against the limits of
// the control file, and the test run that makes a JVM report its version.
//
// The test run starts the JVM program with "-cp . TestJvm <work directory>"
// in the work directory; the test class writes "jvmGood.txt" there, whose
// first line holds the JVM's version. The file exists only while a test run
// is under way.
#include "jvm/jvmok.h"
#include "base/timeline.h"

#include "base/clib.h"
#include "base/codepage.h"
#include "base/fexists.h"
#include "base/textline.h"
#include "exec/execcmd.h"

#include <ctype.h>
#include <errno.h>
#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char TestJvmFilename[] = "TestJvm.class";
static const char TestJvmResultsFilename[] = "jvmGood.txt";
static const char ErrorsFilename[] = "errors.log";
static const char TraceFilename[] = "jinstall.log";
static const char DIR_END[] = "\\";
static const char BinDir[] = "bin";
static const char OldJreFilename[] = "jre";
static const char NewJreFilename[] = "java";

// Line buffer of the results file: 1001 bytes, at most 998 characters a read.
enum { ResultsLineSize = 1001, ResultsReadLimit = 999, VersionCopySize = 1000 };

JvmOk::JvmOk() { copyText(traceFilename, TraceFilename); }

JvmOk::~JvmOk() {}

void JvmOk::setTraceFilename(const char* name) {
    if (!copyText(traceFilename, name))
        traceMessage(traceFilename, "trace file name cut to", traceFilename);
}

// Cuts text to the length of limit when it is longer.
static void cutToLength(char* text, const char* limit) {
    size_t length = strlen(limit);
    if (strlen(text) > length) text[length] = '\0';
}

int JvmOk::compareVersions(const char* first, const char* second) {
    return strcmp(first, second);
}

bool JvmOk::verifyVersion(const JvmWanted& wanted, const char* jvmVersion) {
    const char* required = wanted.required;
    const char* minimum = wanted.minimum;
    const char* maximum = wanted.maximum;
    traceMessage(traceFilename, "jvm version", jvmVersion);
    traceMessage(traceFilename, "req version", required);
    traceMessage(traceFilename, "min version", minimum);
    traceMessage(traceFilename, "max version", maximum);

    char version[VersionCopySize];
    copyText(version, jvmVersion);
    bool ok;
    if (*required) {
        cutToLength(version, required);
        ok = _stricmp(version, required) == 0;
    } else {
        cutToLength(version, minimum);
        if (_stricmp(version, minimum) < 0) {
            ok = false;
        } else if (!*maximum) {
            ok = true;
        } else {
            copyText(version, jvmVersion);
            cutToLength(version, maximum);
            ok = _stricmp(version, maximum) <= 0;
        }
    }
    traceMessage(traceFilename, "found jvm version:", jvmVersion);
    traceMessage(traceFilename, "       version ok", ok);
    return ok;
}

bool JvmOk::testLine(char* line, const JvmWanted& wanted) {
    // Everything before the first digit goes; a line without any digit
    // holds no version and becomes empty.
    char* first = line;
    while (*first && !isdigit((unsigned char)*first)) ++first;
    memmove(line, first, strlen(first) + 1);
    // End the line just after its last digit.
    size_t length = strlen(line);
    while (length > 0 && !isdigit((unsigned char)line[length - 1])) --length;
    line[length] = '\0';
    return verifyVersion(wanted, line);
}

bool JvmOk::checkVersion(const char* resultsFile, const JvmWanted& wanted) {
    LineReader file(resultsFile, textLines(ResultsReadLimit - 1));
    if (!file.isOpen()) {
        traceMessage(traceFilename, "Unable to verify version", resultsFile);
        return false;
    }
    char line[ResultsLineSize];
    file.read(line);
    bool ok = testLine(line, wanted);
    traceMessage(traceFilename, "version checked ok", ok);
    return ok;
}

bool JvmOk::testVersion(const JvmWanted& wanted, const char* jvmPath) {
    // Without the test class every JVM that exists passes, untested.
    if (!fexists(TestJvmFilename)) return true;
    traceMessage(traceFilename, "testing ", jvmPath);
    remove(TestJvmResultsFilename);

    char className[sizeof TestJvmFilename];
    copyText(className, TestJvmFilename);
    char* extension = strstr(className, ".class");
    if (extension) *extension = '\0';

    // The test run and every child started later see no CLASSPATH.
    static char noClasspath[] = "CLASSPATH=";
    _putenv(noClasspath);

    const char* lastSeparator = strrchr(jvmPath, DIR_END[0]);
    char program[PathBufferSize];
    copyText(program, lastSeparator ? lastSeparator + 1 : jvmPath);
    char currentDir[PathBufferSize];
    getCurrentDir(currentDir, PathBufferSize);
    standAloneDir(currentDir, PathBufferSize);
    pathForChild(currentDir, PathBufferSize);
    // The directory goes unquoted: the test class joins a directory with
    // blanks from the words it arrives in.
    const char* args[] = {program, "-cp", ".", className, currentDir, nullptr};

    bool ok;
    errno = 0;
    timelineMark("test run starts");
    intptr_t status = _spawnv(_P_WAIT, jvmPath, args);
    timelineMark("test run ends");
    if (status == -1) {
        char text[200];
        formatText(text, sizeof text, "Error running JVM: %s", execErrorText(errno));
        logAndTraceMessage(ErrorsFilename, traceFilename, text, false);
        ok = false;
    } else {
        traceMessage(traceFilename, "test jvm launched ok", true);
        ok = checkVersion(TestJvmResultsFilename, wanted);
        if (ok)
            traceMessage(traceFilename, "test jvm ok", true);
        else
            logAndTraceMessage(ErrorsFilename, traceFilename, "Jvm isn't installed properly.");
    }
    remove(TestJvmResultsFilename);
    return ok;
}

bool JvmOk::correctVersion(const JvmWanted& wanted, const char* jvmPath) {
    if (!fexists(jvmPath)) return false;
    return testVersion(wanted, jvmPath);
}

// Tries homeDir\commandName, then homeDir\bin\commandName.
bool JvmOk::tryCommand(const JvmWanted& wanted,
                       const char* homeDir, const char* commandName, char* jvmPath) {
    if (formatText(jvmPath, PathBufferSize, "%s%s%s", homeDir, DIR_END, commandName) &&
        correctVersion(wanted, jvmPath))
        return true;
    if (formatText(jvmPath, PathBufferSize, "%s%s%s%s%s", homeDir, DIR_END, BinDir, DIR_END,
                   commandName) &&
        correctVersion(wanted, jvmPath))
        return true;
    return false;
}

bool JvmOk::jvmCorrectVersion(const JvmWanted& wanted, const char* homeDir, char* jvmPath) {
    char* commandName = wanted.commandName;
    char kept[JvmWanted::CommandNameSize];
    copyText(kept, commandName);

    if (tryCommand(wanted, homeDir, commandName, jvmPath)) return true;

    if (strstr(commandName, OldJreFilename) == commandName) {
        // An old-style name: the newer JVMs carry java.exe and javaw.exe.
        // javaw whenever the trace file exists, as it does throughout an
        // installation (see the rules in getparam.cpp).
        char newName[20];
        formatText(newName, sizeof newName, "%s%s", NewJreFilename,
                   fexists(traceFilename) ? "w.exe" : ".exe");
        if (tryCommand(wanted, homeDir, newName, jvmPath)) {
            copyText(commandName, JvmWanted::CommandNameSize, newName);
            return true;
        }
    }
    copyText(commandName, JvmWanted::CommandNameSize, kept);
    return false;
}

bool JvmOk::jvmCorrectVersion(const JvmWanted& wanted, const char* knownVersion,
                              const char* homeDir, char* jvmPath) {
    char* commandName = wanted.commandName;
    char kept[JvmWanted::CommandNameSize];
    copyText(kept, commandName);
    if (!jvmCorrectVersion(wanted, homeDir, jvmPath)) {
        copyText(commandName, JvmWanted::CommandNameSize, kept);
        return false;
    }
    if (verifyVersion(wanted, knownVersion)) return true;
    traceMessage(traceFilename, "jvm doesn't meet criteria");
    copyText(commandName, JvmWanted::CommandNameSize, kept);
    return false;
}
