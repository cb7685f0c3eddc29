// Install: the installation sequence with its decision tree, the JVM
// installation routes, the failure report, the registry answer of the
// control file and the Windows directory (the home directory).
//
// One object runs one installation on the worker thread. Every failure ends
// in one report: the most specific message set on the way and its details
// go to "errors.log" (and the trace) and into one error box, which quiet and
// properties installations do not show. Clean-up runs whatever happened.
#include "install/installer.h"
#include "base/timeline.h"
#include "base/clib.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/strbuf.h"
#include "base/winfolders.h"
#include "config/controlkeys.h"
#include "config/getparam.h"
#include "install/packagecheck.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>


Install::Install(UserChannel& channel, bool tracing, bool ownTrace)
    : channel(channel), quietInstall(false), propertiesInstall(false),
      tracing(tracing), ownTrace(ownTrace) {
    settings.clear();
    makeRunContext(context, false, false, tracing, ownTrace);
    // Every buffer of the run starts as the empty text.
    char* const buffers[] = {jvmCommand, javaHomeDir, provedHome, madeJvmDir, windowsDir};
    for (char* buffer : buffers) buffer[0] = '\0';
}

Install::~Install() {}

RunOutcome Install::install(bool quiet, bool properties, char* argument) {
    if (!argument) argument = (char*)"";
    trace("");
    trace("Preparing Java install wizard");
    quietInstall = quiet;
    propertiesInstall = properties;
    makeRunContext(context, quiet, properties, tracing, ownTrace);
    trace("Quiet install", quietInstall);
    trace("Properties install", propertiesInstall);
    trace("Install argument:", argument);
    if (context.silent()) trace("set status quiet");

    getEnvironmentSetup();
    errorMessage.clear();
    errorDetails.clear();

    bool result = false;
    RunOutcome outcome = RunOutcome::Succeeded;
    timelineMark("control file read starts");
    bool haveParams = getParams();
    timelineMark("control file read");
    if (haveParams && settings.productName[0]) channel.showProductName(settings.productName);
    if (!haveParams) {
        reportError("unable to get parameters");
        outcome = RunOutcome::PackageFaulty;
        reportFailure();
    } else {
        traceFindings();
        bool found = isJvmInstalled();
        bool ready = found || installTheJvm();
        if (!ready) outcome = jvmFailure;
        // The refused candidates explain a run that ends without a JVM, and
        // only that: once one is found or installed they are dropped.
        if (ready) refusedJvms.clear();
        if (ready) {
            showStatusMessage(TextStartingWizard);
            result = runJavaInstaller(argument);
            if (!result && found && !wizardFaultOfPackage) {
                // The wizard did not come up on the JVM that was found: one
                // more try on a freshly installed JVM (not for a fault no
                // JVM can mend: a missing main class or archive).
                if (installTheJvm()) {
                    showStatusMessage(TextStartingWizard);
                    result = runJavaInstaller(argument);
                }
            }
            if (!result) {
                // The cause the last launch could tell, else the general one.
                outcome = wizardArchiveAbsent ? RunOutcome::PackageFaulty
                                              : RunOutcome::WizardFailed;
                errorMessage = wizardFailure;
                errorDetails.clear();
                if (errorMessage.empty()) {
                    errorMessage.add(TextWizardNotStarted);
                    errorDetails.add(TextOtherCauses);
                    errorDetails.add(TextDiskSpace, nullptr, nullptr, "\n");
                }
            }
        }
        if (!result) reportFailure();
    }

    timelineMark("clean-up starts");
    cleanUp(result);
    timelineMark("clean-up ends");
    channel.releaseDialog();
    // One box for the whole run, with the text of whoever knew most.
    if (!boxMessage.empty() && !context.silent()) channel.showFailure(boxMessage, boxDetails);
    return outcome;
}

int exitCodeOf(RunOutcome outcome, unsigned long wizardExit) {
    switch (outcome) {
    case RunOutcome::Succeeded: return (int)wizardExit;
    case RunOutcome::NoJvm: return 1;
    case RunOutcome::ProvisionFailed: return 2;
    case RunOutcome::WizardFailed: return 3;
    case RunOutcome::AlreadyRunning: return 4;
    case RunOutcome::PackageFaulty: return 5;
    }
    return 3;
}

bool Install::exitCodeWanted() const { return failureByExitCode(settings); }

namespace {
// The findings of the package check, each a line of the trace.
class TracedFindings : public CheckFindings {
public:
    void found(bool, const char* line) override { trace("package check", line); }
};
}  // namespace

void Install::traceFindings() {
    TracedFindings findings;
    checkPackage(".", findings);
}

void Install::chooseBox(const UserLines& message, const UserLines& details) {
    if (!boxMessage.empty()) {
        char text[InstallErrorSize];
        message.english(text, sizeof text);
        trace("not shown, a box is chosen already:", text);
        return;
    }
    boxMessage = message;
    boxDetails = details;
}

// The failure report: one message and its details, logged in English and
// shown once in the user's language.
void Install::reportFailure() {
    if (errorMessage.empty()) {
        errorMessage.add(TextUnableToInstall);
        errorMessage.add(TextDiskSpace, nullptr, nullptr, "\r\r");
        errorDetails.clear();
        errorDetails.add(TextOtherCauses);
    }
    refusedJvms.log();
    char text[InstallErrorSize];
    errorMessage.english(text, sizeof text);
    reportError(text);
    if (!errorDetails.empty()) {
        errorDetails.english(text, sizeof text);
        reportError(text);
    }
    chooseBox(errorMessage, errorDetails);
}

// The name a JVM was found under replaces the command name of the settings.
static_assert(sizeof ControlSettings::jvmCommandName == JvmWanted::CommandNameSize,
              "the command name of the settings holds the one the JVM classes give");

JvmWanted Install::jvmWanted() {
    provedHome[0] = '\0';
    return JvmWanted{settings.jvmRequiredVersion, settings.jvmMinVersion, settings.jvmMaxVersion,
                     settings.jvmCommandName, testSecondsOf(settings.jvmTestTimeout),
                     context.tracing};
}

void Install::takeJvm(const JvmFound& jvm) {
    static_assert(sizeof provedHome == sizeof jvm.home, "the home the JVM classes give");
    copyText(jvmCommand, jvm.program);
    copyText(settings.jvmCommandName, jvm.commandName);
    copyText(provedHome, jvm.home);
}

void Install::setWindowsDir(const char* dir) {
    if (dir) copyText(windowsDir, dir);
}

// The versions wanted, for a box: a text of its own, so that the box writes
// it in its language and errors.log in English.
NestedText Install::buildVersionText() const {
    if (settings.jvmRequiredVersion[0])
        return NestedText{UserTextCount, settings.jvmRequiredVersion, nullptr};
    if (settings.jvmMaxVersion[0])
        return NestedText{TextVersionRange, settings.jvmMinVersion, settings.jvmMaxVersion};
    return NestedText{TextVersionOrLater, settings.jvmMinVersion, nullptr};
}

void Install::setNotFoundMessages(const NestedText& version) {
    errorMessage.clear();
    errorMessage.add(TextJvmNotFound, settings.jvmName);
    errorDetails.clear();
    errorDetails.add(TextInstallJvmAndRestart, settings.jvmName, version);
}

void Install::showStatusMessage(UserText stage, const char* first, const char* second) {
    char text[200];
    englishText(text, sizeof text, stage, first, second);
    trace("stage:", text);
    if (!context.silent()) channel.showStage(stage, first, second);
}

bool Install::findWindowsDir() {
    WinFolders folders;
    const char* source = folders.registryWindowsDirectory(windowsDir, InstallPathSize);
    bool found = source != nullptr;
    if (found) trace("got home directory from", source);

    if (!found) {
        windowsDir[0] = '\0';
        trace("unable to get windows directory from registry");
        const char* fallback = "c:\\winnt";
        if (isDirInPath("winnt", windowsDir)) {
            found = true;
        } else if (fexists(fallback)) {
            copyText(windowsDir, fallback);
            found = true;
        } else {
            getCurrentDir(windowsDir, InstallPathSize - 1);
            trace("unable to get windows directory");
            found = windowsDir[0] != '\0';
        }
    }
    if (found) trace("home directory", windowsDir);
    return found;
}

bool Install::isDirInPath(const char* name, char* dir) {
    const char* path = getPathPtr();
    if (!path || !name) return false;
    // The whole search path is examined, however long it is.
    size_t nameSize = strlen(name) + 1;
    size_t pathSize = strlen(path) + 1;
    char* lowerName = (char*)malloc(nameSize);
    char* lowerPath = (char*)malloc(pathSize);
    bool found = false;
    if (lowerName && lowerPath) {
        copyText(lowerName, nameSize, name);
        lowerText(lowerName);
        copyText(lowerPath, pathSize, path);
        lowerText(lowerPath);
        size_t nameLength = nameSize - 1;
        char* element = lowerPath;
        while (!found && element) {
            char* separator = strchr(element, ';');
            if (separator) *separator = '\0';
            size_t length = strlen(element);
            char* first = nameLength ? strstr(element, lowerName) : nullptr;
            // A match must end the element; an element longer than the result
            // buffer cannot be returned whole and is passed over.
            if (length > 0 && length < InstallPathSize && first &&
                first + nameLength == element + length && fexists(element)) {
                copyText(dir, InstallPathSize, element);
                found = true;
            }
            element = separator ? separator + 1 : nullptr;
        }
    }
    free(lowerName);
    free(lowerPath);
    return found;
}
