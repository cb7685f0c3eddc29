// WizardLaunch: the wizard's argument list, its start and how it ended.
//
// CLASSPATH is removed from the environment first, so that the wizard's JVM
// inherits none. A marker left by an earlier run is deleted before the
// start. The JVM's standard error is caught (exec/childprocess.h); when it
// ends without the marker, errors.log gets its exit code and last lines,
// and the cause they name (jvm/wizardcause.h) becomes the failure's
// message. A wizard that left its marker and ended with an exit code of its
// own (3010: a restart is needed; 1603: it failed) hands that code on as
// the launcher's when the package asks for exit codes
// ("reportFailureByExitCode"), and errors.log says so.
#include "install/wizardlaunch.h"
#include "base/disknames.h"
#include "base/fexists.h"
#include "base/report.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "base/timeline.h"
#include "base/winerror.h"
#include "config/getparam.h"
#include "exec/childprocess.h"
#include "jvm/wizardcause.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char QuietSwitch[] = "-q";
static const char PropertiesSwitch[] = "-s";

enum {
    FixedEntries = 5,       // the entries countParameters always provides for
    SwitchEntries = 2,      // the command-line switch and its argument
    SpawnErrorSize = 500    // the error text of a failed start
};

// Room of the rebuilt class path: every element may gain two quotes, so
// twice the value's length always holds it whole.
static size_t rebuiltClasspathSize(const char* value) { return 2 * strlen(value) + 2; }

// Appends text in double quotes, its trailing backslashes doubled.
static void appendQuoted(char* out, size_t cap, const char* text) {
    appendText(out, cap, "\"");
    appendText(out, cap, text);
    for (size_t n = trailingBackslashes(text); n > 0; --n) appendText(out, cap, "\\");
    appendText(out, cap, "\"");
}

// The class path split at each ";", its elements in their order, an
// element with a blank quoted, an empty last element left out; null when
// memory is short.
static char* rebuildClasspath(const char* value) {
    size_t cap = rebuiltClasspathSize(value);
    size_t length = strlen(value);
    ScopedText classpath(ScopedText::allocate(cap));
    ScopedText rest(ScopedText::allocate(length + 1));
    if (!classpath || !rest) return nullptr;
    classpath[0] = '\0';
    copyText(rest, length + 1, value);
    char* element = rest;
    while (element) {
        char* separator = strchr(element, ';');
        if (separator) *separator = '\0';
        if (separator || element[0]) {
            if (classpath[0]) appendText(classpath, cap, ";");
            if (strchr(element, ' '))
                appendQuoted(classpath, cap, element);
            else
                appendText(classpath, cap, element);
        }
        element = separator ? separator + 1 : nullptr;
    }
    return classpath.release();
}

// The number of blank-separated words of a value (0 for an empty one); two
// blanks in a row give an empty word.
static unsigned countWords(const char* value) {
    if (!value[0]) return 0;
    unsigned count = 1;
    for (const char* c = value; *c; ++c)
        if (*c == ' ') ++count;
    return count;
}

// Whether the wizard is handed a switch and its argument: a quiet run always
// is (an empty argument goes on as an empty one, so that the wizard is
// quiet too); a properties run only with the file it names.
static bool switchArgument(bool quiet, bool properties, const char* argument) {
    return quiet || (properties && argument && argument[0]);
}

// A separately allocated copy of a text; an empty text when memory is short.
static char* duplicate(const char* text, size_t length) {
    char* copy = (char*)malloc(length + 1);
    if (copy) copyTextN(copy, length + 1, text, length);
    return copy;
}

// Adds one entry per blank-separated word of value, taken from a copy.
static void addWords(ScopedTextList& list, const char* value) {
    const char* word = value;
    for (;;) {
        const char* blank = strchr(word, ' ');
        size_t length = blank ? (size_t)(blank - word) : strlen(word);
        list.add(duplicate(word, length));
        if (!blank) break;
        word = blank + 1;
    }
}

// The wizard did not come up: the cause the launch could tell (why), else
// the general one.
static WizardEnd notUp(const UserLines& why, bool archiveAbsent, bool faultOfPackage) {
    WizardEnd end;
    RunFailure& failure = end.failure;
    failure.outcome = archiveAbsent ? RunOutcome::PackageFaulty : RunOutcome::WizardFailed;
    failure.message = why;
    failure.wizardFault = faultOfPackage;
    if (failure.message.empty()) {
        failure.message.add(TextWizardNotStarted);
        failure.details.add(TextOtherCauses);
        failure.details.add(TextDiskSpace, nullptr, nullptr, "\n");
    }
    return end;
}

// The JVM ended without the wizard's marker: its exit code and what it
// wrote to its standard error go to errors.log, and the cause they name
// becomes the failure's message.
static WizardEnd explainWizardEnd(unsigned long exitCode, const char* lines) {
    char text[80];
    formatText(text, sizeof text, "the wizard's JVM ended with exit code %lu", exitCode);
    reportError(text);
    if (lines[0]) {
        const char* line = lines;
        while (*line) {
            const char* end = strchr(line, '\n');
            size_t length = end ? (size_t)(end - line) : strlen(line);
            ScopedText copy(duplicate(line, length));
            if (copy) reportError("wizard's JVM:", copy);
            line += end ? length + 1 : length;
        }
    }
    char name[UserLines::ValueSize];
    WizardCause cause = wizardCause(lines, name, sizeof name);
    UserLines why;
    if (cause == WizardMainClassMissing)
        why.add(TextMainClassMissing, name);
    else if (cause == WizardJarMissing)
        why.add(TextWizardArchiveMissing, name);
    else
        why.add(TextWizardEndedWithoutStarting);
    return notUp(why, false, cause != WizardCauseUnknown);
}

// Starts program with list and waits for its end; false (with the lines of
// errors.log) when it could not be started. The one place the wizard's
// process is started.
static bool runWizardProcess(const char* program, char** list, ChildProcess& wizard,
                             unsigned long& exitCode) {
    char command[InstallPathSize];
    copyText(command, program);
    ChildStart keepErrors;
    keepErrors.keepErrors = true;
    timelineMark("wizard starts");
    unsigned long startError = wizard.run(command, list, keepErrors);
    timelineMark("wizard ends");
    if (startError) {
        char errorText[SpawnErrorSize];
        windowsErrorText(startError, errorText, sizeof errorText, command);
        logUnableToStart(command, list);
        char text[SpawnErrorSize + 40];
        formatText(text, sizeof text, "Error running JVM installer: %s", errorText);
        reportError(text, false);
        return false;
    }
    exitCode = wizard.exitCode();
    return true;
}

unsigned WizardLaunch::countParameters(const char* argument) const {
    unsigned count =
        countWords(settings.loaderJavaCommand) + countWords(settings.jvmExtraParameters);
    if (switchArgument(quiet, properties, argument)) count += SwitchEntries;
    count += FixedEntries;
    trace("parameters", (int)count);
    return count;
}

bool WizardLaunch::composeArguments(const char* program, const char* classpath,
                                    const char* argument, ScopedTextList& list) const {
    // An empty wizard command still takes one entry; keep room for it.
    if (!list.allocate(countParameters(argument) + 1)) return false;

    const char* name = strrchr(program, PathSeparator[0]);
    name = name ? name + 1 : program;
    list.add(duplicate(name, strlen(name)));
    trace("first arg:", name);

    if (settings.jvmExtraParameters[0]) {
        trace("install switches:", settings.jvmExtraParameters);
        addWords(list, settings.jvmExtraParameters);
    }
    list.add(duplicate(settings.jvmClasspathSwitch, strlen(settings.jvmClasspathSwitch)));
    trace("class path switch:", settings.jvmClasspathSwitch);
    list.add(duplicate(classpath, strlen(classpath)));
    trace("classpath:", classpath);
    addWords(list, settings.loaderJavaCommand);
    trace("install parameters:", settings.loaderJavaCommand);

    if (switchArgument(quiet, properties, argument)) {
        trace("install details:", argument);
        const char* flag = quiet ? QuietSwitch : PropertiesSwitch;
        list.add(duplicate(flag, strlen(flag)));
        trace("added", flag);
        size_t size = strlen(argument) + trailingBackslashes(argument) + 3;
        char* entry = ScopedText::allocate(size);
        if (entry) {
            entry[0] = '\0';
            if (!argument[0])
                copyText(entry, size, "\"\"");  // an empty argument, not none
            else if (strchr(argument, ' ') && !strchr(argument, '"'))
                appendQuoted(entry, size, argument);
            else
                copyText(entry, size, argument);
            trace("details:", entry);
        }
        list.add(entry);
    }
    return true;
}

WizardEnd WizardLaunch::run(const JvmInUse& jvm, const char* argument) {
    if (!argument) argument = "";
    UserLines unknown;
    ScopedText classpath(rebuildClasspath(settings.loaderClasspath));
    if (!classpath) {
        reportError("out of memory for the classpath");
        return notUp(unknown, false, false);
    }
    ScopedTextList list;
    if (!composeArguments(jvm.program, classpath, argument, list) || !list.isComplete()) {
        reportError("out of memory for the argument list");
        return notUp(unknown, false, false);
    }
    if (!jvm.propertiesWritten) {
        reportError("wizard not started: native.properties is missing or incomplete");
        return notUp(unknown, false, false);
    }
    if (strstr(classpath, WizardJarFile) && !fexists(WizardJarFile)) {
        reportError("install.jar does not exist.");
        UserLines why;
        why.add(TextWizardArchiveMissing, WizardJarFile);
        return notUp(why, true, true);
    }
    return startWizard(jvm.program, list.get());
}

WizardEnd WizardLaunch::startWizard(const char* program, char** list) const {
    UserLines unknown;
    trace("launching java installer");

    // The wizard's JVM inherits no CLASSPATH: out of the runtime's copy of
    // the environment and out of the process's own.
    static char noClasspath[] = "CLASSPATH=";
    _putenv(noClasspath);
    SetEnvironmentVariableA("CLASSPATH", nullptr);

    // Only this wizard's marker counts: one left by an earlier run goes.
    if (fexists(WizardMarkerFile) && remove(WizardMarkerFile) != 0) {
        reportError("Unable to delete an old", WizardMarkerFile);
        return notUp(unknown, false, false);
    }

    // The status dialog may go once the wizard's start-up time has passed.
    channel.releaseDialog();

    ChildProcess wizard;
    unsigned long exitCode = 0;
    if (!runWizardProcess(program, list, wizard, exitCode)) return notUp(unknown, false, false);

    if (exitCode == 0)
        trace("java wizard execed with no reported errors");
    else
        trace("java wizard ended with exit code", (int)exitCode);
    if (!fexists(WizardMarkerFile)) {
        reportError("Java wizard not started properly");
        return explainWizardEnd(exitCode, wizard.errorLines());
    }
    remove(WizardMarkerFile);
    trace("Java wizard launched successfully");
    WizardEnd end;
    if (exitCode != 0 && failureByExitCode(settings)) {
        end.exitCode = exitCode;
        char text[80];
        formatText(text, sizeof text, "the wizard ended with exit code %lu", exitCode);
        reportError(text);
    }
    return end;
}
