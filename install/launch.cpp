// Install: the environment of the run, "native.properties" for the wizard,
// and the wizard's launch.
//
// The environment step determines the Windows directory
// (tracing was switched on by the report before the run: base/filereport.h).
//
// The wizard is started on the chosen JVM with the argument list composed
// from the control file: the JVM's own file name, the extra JVM switches, the
// class-path switch and the rebuilt class path, the wizard's class and
// parameters, and the quiet or properties switch of the command line with its
// argument. CLASSPATH is removed from the environment first, so that the
// wizard's JVM inherits none. The launch counts as a success only when the
// wizard has left its marker "__kivwizard.sem" by the time its JVM has ended
// (a marker left by an earlier run is deleted before the start), and only
// when "native.properties" was written whole for it. The JVM's standard
// error is caught (exec/childprocess.h); when it ends without the marker,
// errors.log gets its exit code and last lines, and the cause they name
// (jvm/wizardcause.h) becomes the failure box's message. A wizard that left
// its marker and ended with an exit code of its own (3010: a restart is
// needed; 1603: it failed) hands that code on as the launcher's when the
// package asks for exit codes ("reportFailureByExitCode"), and errors.log
// says so.
#include "install/installer.h"
#include "base/timeline.h"
#include "base/clib.h"
#include "base/codepage.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "config/getparam.h"
#include "base/winerror.h"
#include "exec/childprocess.h"
#include "jvm/wizardcause.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char NativePropertiesFilename[] = "native.properties";
static const char WizardMarkerFilename[] = "__kivwizard.sem";
static const char InstallJarFilename[] = "install.jar";
static const char JvmHomeDirProperty[] = "nativeJvmHomeDir";
static const char JvmInstalledProperty[] = "nativeJvmInstalled";
static const char JvmInstalledInTempProperty[] = "nativeJvmInstalledInTemp";
static const char ConfigureRegistryProperty[] = "configureWinRegistry";
static const char AppDirVariable[] = "[$AppDir]";
static const char QuietSwitch[] = "-q";
static const char PropertiesSwitch[] = "-s";
static const char DIR_END[] = "\\";

enum {
    FixedEntries = 5,       // the entries countParameters always provides for
    SwitchEntries = 2,      // the command-line switch and its argument
    SpawnErrorSize = 500    // the error text of a failed start
};

bool Install::getEnvironmentSetup() {
    findWindowsDir();
    return true;
}

void Install::homeOfJvm(char* home) {
    if (provedHome[0]) copyText(home, InstallPathSize, provedHome);
    else getJavaHomeDirectory(jvmCommand, home, InstallPathSize);
}

void Install::getJavaHomeDir(char* buffer) {
    homeOfJvm(buffer);
    trace("jvm home dir", buffer);
}

// native.properties: the JVM home with forward slashes, whether this run
// installed the JVM (and into the package's temporary directory), and the
// registry answer. The home is that of jvmCommand whenever one is set, so
// that the wizard is never told an empty or stale home after a JVM
// installer program has run or an existing JVM directory was taken.
void Install::writeNativeProperties(bool installed, const char* jvmDir, bool configureRegistry) {
    if (jvmCommand[0]) {
        char home[InstallPathSize];
        homeOfJvm(home);
        if (strcmp(home, javaHomeDir) != 0) {
            copyText(javaHomeDir, home);
            trace("jvm home dir", javaHomeDir);
        }
    }

    // The wizard reads what it finds: the file is complete or it is not
    // there, and the launch does not go ahead without it.
    propertiesWritten = false;
    FILE* file = fopen(NativePropertiesFilename, "wt");
    if (!file) {
        reportError("Unable to create",
                           NativePropertiesFilename);
        return;
    }
    char home[InstallPathSize];
    copyText(home, javaHomeDir);
    for (char* c = home; *c; ++c)
        if (*c == '\\') *c = '/';
    writeProperty(file, JvmHomeDirProperty, home);
    fprintf(file, installed ? "%s=true\n" : "%s=false\n", JvmInstalledProperty);
    if (!installed) {
        fprintf(file, "%s=false\n", JvmInstalledInTempProperty);
    } else if (jvmDir && jvmDir[0]) {
        bool inTemp = strncmp(jvmDir, AppDirVariable, strlen(AppDirVariable)) == 0;
        fprintf(file, inTemp ? "%s=true\n" : "%s=false\n", JvmInstalledInTempProperty);
    }
    fprintf(file, configureRegistry ? "%s=true\n" : "%s=false\n", ConfigureRegistryProperty);
    // The stream keeps the first error of any write; the flush and the close
    // report a disk that filled up under the buffered lines.
    bool complete = fflush(file) == 0 && !ferror(file);
    if (fclose(file) != 0) complete = false;
    if (!complete) {
        // The partial file goes first: its room may be what the log needs.
        remove(NativePropertiesFilename);
        reportError("Unable to write",
                           NativePropertiesFilename);
        return;
    }
    propertiesWritten = true;
}

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

void Install::addClassElement(char* classpath, char* element) {
    size_t cap = rebuiltClasspathSize(settings.loaderClasspath);
    if (classpath[0]) appendText(classpath, cap, ";");
    if (strchr(element, ' '))
        appendQuoted(classpath, cap, element);
    else
        appendText(classpath, cap, element);
}

bool Install::runJavaInstaller(char* argument) {
    size_t length = strlen(settings.loaderClasspath);
    char* classpath = (char*)malloc(rebuiltClasspathSize(settings.loaderClasspath));
    char* rest = (char*)malloc(length + 1);
    if (!classpath || !rest) {
        free(classpath);
        free(rest);
        reportError("out of memory for the classpath");
        return false;
    }
    classpath[0] = '\0';
    copyText(rest, length + 1, settings.loaderClasspath);

    // Split at each ";"; the elements keep their order, and an element with
    // a blank is quoted. An empty last element is left out.
    char* element = rest;
    while (element) {
        char* separator = strchr(element, ';');
        if (separator) *separator = '\0';
        if (separator || element[0]) addClassElement(classpath, element);
        element = separator ? separator + 1 : nullptr;
    }
    free(rest);

    wizardClasspath = classpath;
    bool result = runInstaller(argument);
    wizardClasspath = nullptr;
    free(classpath);
    return result;
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

unsigned Install::countParameters(char* argument) {
    unsigned count =
        countWords(settings.loaderJavaCommand) + countWords(settings.jvmExtraParameters);
    if (switchArgument(quietInstall, propertiesInstall, argument)) count += SwitchEntries;
    count += FixedEntries;
    trace("parameters", (int)count);
    return count;
}

// A separately allocated copy of a text; an empty text when memory is short.
static char* duplicate(const char* text, size_t length) {
    char* copy = (char*)malloc(length + 1);
    if (copy) copyTextN(copy, length + 1, text, length);
    return copy;
}

// Adds one entry per blank-separated word of value, taken from a copy.
static void addWords(char** list, unsigned& used, unsigned room, const char* value) {
    const char* word = value;
    for (;;) {
        const char* blank = strchr(word, ' ');
        size_t length = blank ? (size_t)(blank - word) : strlen(word);
        if (used < room) list[used++] = duplicate(word, length);
        if (!blank) break;
        word = blank + 1;
    }
}

bool Install::runInstaller(char* argument) {
    if (!argument) argument = (char*)"";
    wizardFailure.clear();
    wizardArchiveAbsent = false;
    wizardFaultOfPackage = false;
    wizardExit = 0;
    unsigned count = countParameters(argument);
    // An empty wizard command still takes one entry; keep room for it.
    unsigned room = count + 1;
    char** list = (char**)calloc(room + 1, sizeof(char*));
    if (!list) {
        reportError("out of memory for the argument list");
        return false;
    }
    unsigned used = 0;

    const char* name = strrchr(jvmCommand, DIR_END[0]);
    name = name ? name + 1 : jvmCommand;
    list[used++] = duplicate(name, strlen(name));
    trace("first arg:", name);

    if (settings.jvmExtraParameters[0]) {
        trace("install switches:", settings.jvmExtraParameters);
        addWords(list, used, room, settings.jvmExtraParameters);
    }
    list[used++] = duplicate(settings.jvmClasspathSwitch, strlen(settings.jvmClasspathSwitch));
    trace("class path switch:", settings.jvmClasspathSwitch);
    const char* classpath = wizardClasspath ? wizardClasspath : settings.loaderClasspath;
    list[used++] = duplicate(classpath, strlen(classpath));
    trace("classpath:", classpath);
    addWords(list, used, room, settings.loaderJavaCommand);
    trace("install parameters:", settings.loaderJavaCommand);

    if (switchArgument(quietInstall, propertiesInstall, argument)) {
        trace("install details:", argument);
        const char* flag = quietInstall ? QuietSwitch : PropertiesSwitch;
        if (used < room) list[used++] = duplicate(flag, strlen(flag));
        trace("added", flag);
        size_t size = strlen(argument) + trailingBackslashes(argument) + 3;
        char* entry = (char*)malloc(size);
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
        if (used < room) list[used++] = entry;
        else free(entry);
    }
    list[used] = nullptr;

    bool complete = true;
    for (unsigned i = 0; i < used; ++i)
        if (!list[i]) complete = false;

    bool result = false;
    if (!complete) {
        reportError("out of memory for the argument list");
    } else if (!propertiesWritten) {
        reportError("wizard not started: native.properties is missing or incomplete");
    } else if (strstr(classpath, InstallJarFilename) && !fexists(InstallJarFilename)) {
        reportError("install.jar does not exist.");
        wizardFailure.clear();
        wizardFailure.add(TextWizardArchiveMissing, InstallJarFilename);
        wizardArchiveAbsent = true;
        wizardFaultOfPackage = true;
    } else {
        result = _runInstaller(list);
    }
    for (unsigned i = 0; i < used; ++i) free(list[i]);
    free(list);
    return result;
}

bool Install::_runInstaller(char** list) {
    char command[InstallPathSize];
    copyText(command, jvmCommand);
    trace("launching java installer");

    // The wizard's JVM inherits no CLASSPATH: out of the runtime's copy of
    // the environment and out of the process's own.
    static char noClasspath[] = "CLASSPATH=";
    _putenv(noClasspath);
    SetEnvironmentVariableA("CLASSPATH", nullptr);

    ChildProcess wizard;
    ChildStart keepErrors;
    keepErrors.keepErrors = true;
    char errorText[SpawnErrorSize];
    errorText[0] = '\0';

    // Only this wizard's marker counts: one left by an earlier run goes.
    if (fexists(WizardMarkerFilename) && remove(WizardMarkerFilename) != 0) {
        reportError("Unable to delete an old",
                           WizardMarkerFilename);
        return false;
    }

    // The status dialog may go once the wizard's start-up time has passed.
    channel.releaseDialog();

    timelineMark("wizard starts");
    unsigned long startError = wizard.run(command, list, keepErrors);
    timelineMark("wizard ends");
    if (startError) {
        windowsErrorText(startError, errorText, sizeof errorText, command);
        logUnableToStart(command, list);
        char text[SpawnErrorSize + 40];
        formatText(text, sizeof text, "Error running JVM installer: %s", errorText);
        reportError(text, false);
        return false;
    }

    unsigned long exitCode = wizard.exitCode();
    if (exitCode == 0)
        trace("java wizard execed with no reported errors");
    else
        trace("java wizard ended with exit code", (int)exitCode);
    if (fexists(WizardMarkerFilename)) {
        remove(WizardMarkerFilename);
        trace("Java wizard launched successfully");
        if (exitCode != 0 && failureByExitCode(settings)) {
            wizardExit = exitCode;
            char text[80];
            formatText(text, sizeof text, "the wizard ended with exit code %lu", exitCode);
            reportError(text);
        }
        return true;
    }
    reportError("Java wizard not started properly");
    explainWizardEnd(exitCode, wizard.errorLines());
    return false;
}

// The JVM ended without the wizard's marker: its exit code and what it
// wrote to its standard error go to errors.log, and the cause they name
// becomes the failure's message.
void Install::explainWizardEnd(unsigned long exitCode, const char* lines) {
    char text[80];
    formatText(text, sizeof text, "the wizard's JVM ended with exit code %lu", exitCode);
    reportError(text);
    if (lines[0]) {
        const char* line = lines;
        while (*line) {
            const char* end = strchr(line, '\n');
            size_t length = end ? (size_t)(end - line) : strlen(line);
            char* copy = duplicate(line, length);
            if (copy) reportError("wizard's JVM:", copy);
            free(copy);
            line += end ? length + 1 : length;
        }
    }
    char name[UserLines::ValueSize];
    WizardCause cause = wizardCause(lines, name, sizeof name);
    wizardFailure.clear();
    wizardFaultOfPackage = cause != WizardCauseUnknown;
    if (cause == WizardMainClassMissing)
        wizardFailure.add(TextMainClassMissing, name);
    else if (cause == WizardJarMissing)
        wizardFailure.add(TextWizardArchiveMissing, name);
    else
        wizardFailure.add(TextWizardEndedWithoutStarting);
}
