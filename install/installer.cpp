// Install: the installation sequence, and the one place where a failure
// becomes the lines of errors.log, the box and the outcome.
//
// One object runs one installation on the worker thread. Every failure ends
// in one report: the failure's message and its details go to "errors.log"
// (and the trace) and into one error box, which quiet and properties
// installations do not show. Clean-up runs whatever happened.
#include "install/installer.h"
#include "base/disknames.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "base/timeline.h"
#include "config/controlkeys.h"
#include "config/getparam.h"
#include "install/cleanup.h"
#include "install/installedjvm.h"
#include "install/jvmprovision.h"
#include "install/packagecheck.h"
#include "install/packageread.h"
#include "install/tempjvm.h"
#include "install/windowsdir.h"
#include "install/wizardlaunch.h"

#include <string.h>

Install::Install(UserChannel& channel, bool tracing, bool ownTrace)
    : channel(channel), stages(channel, context), tracing(tracing), ownTrace(ownTrace) {
    settings.clear();
    makeRunContext(context, false, false, tracing, ownTrace);
}

RunOutcome Install::install(bool quiet, bool properties, char* argument) {
    if (!argument) argument = (char*)"";
    trace("");
    trace("Preparing Java install wizard");
    makeRunContext(context, quiet, properties, tracing, ownTrace);
    trace("Quiet install", quiet);
    trace("Properties install", properties);
    trace("Install argument:", argument);
    if (context.silent()) trace("set status quiet");

    char windowsDir[InstallPathSize] = "";
    findWindowsDir(windowsDir);
    JvmInUse jvm;
    RefusalList refused;
    RunFailure failure = run(argument, windowsDir, jvm, refused);
    if (failure.failed()) logFailure(failure, refused);

    timelineMark("clean-up starts");
    TemporaryJvm temporary(settings, context.ownTrace, jvm.madeDir, windowsDir);
    bool errorsSaved = cleanUpWorkDir(!failure.failed(), temporary, windowsDir);
    timelineMark("clean-up ends");
    channel.releaseDialog();
    showBox(failure, errorsSaved);
    return failure.outcome;
}

namespace {
// The findings of the package check, each a line of the trace.
class TracedFindings : public CheckFindings {
public:
    void found(bool, const char* line) override { trace("package check", line); }
};
}  // namespace

RunFailure Install::run(const char* argument, const char* windowsDir, JvmInUse& jvm,
                        RefusalList& refused) {
    timelineMark("control file read starts");
    RunFailure failure = readPackage(context.userTracing(), settings);
    timelineMark("control file read");
    if (failure.failed()) return failure;
    if (settings.productName[0]) channel.showProductName(settings.productName);
    TracedFindings findings;
    checkPackage(".", findings);

    JvmFound found = {};
    bool installed = findInstalledJvm(settings, context.tracing, stages, refused, found);
    if (installed) {
        takeJvm(found, jvm);
        trace("Found correct version of JVM:", jvm.program);
        jvm.takeHome(true);
        jvm.tellWizard(false, "", settings.configureWinRegistry);
    } else {
        failure = provision(windowsDir, jvm);
        // A missing archive of the wizard is not what the refused JVMs explain.
        if (failure.wizardFault) refused.clear();
        if (failure.failed()) return failure;
    }
    // The refused candidates explain a run that ends without a JVM, and
    // only that: once one is found or provided they are dropped.
    refused.clear();
    failure = launchWizard(argument, jvm);
    if (failure.failed() && installed && !failure.wizardFault) {
        // The wizard did not come up on the JVM that was found: one more
        // try on a freshly provided JVM (not for a fault no JVM can mend: a
        // missing main class or archive).
        RunFailure again = provision(windowsDir, jvm);
        if (!again.failed()) {
            failure = launchWizard(argument, jvm);
        } else if (again.wizardFault) {
            failure.message = again.message;
            failure.details.clear();
        }
    }
    return failure;
}

RunFailure Install::provision(const char* windowsDir, JvmInUse& jvm) {
    ProvisionResult provided;
    Progress* progress = context.silent() ? nullptr : channel.progress();
    RunFailure failure = provideJvm(settings, context, windowsDir, progress, stages, provided);
    if (failure.failed()) return failure;
    takeJvm(provided.jvm, jvm);
    if (!provided.placed) {
        // A JVM that was there already, or that a vendor's program installed.
        trace("using the JVM found in the install directory", jvm.program);
        if (_stricmp(settings.jvmInstallerType, JvmInstallerProgramType) == 0)
            settings.predefinedJvmInstallDir[0] = '\0';
        jvm.tellWizard(false, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
        return failure;
    }
    copyText(jvm.madeDir, provided.madeDir);
    jvm.takeHome(true);
    jvm.tellWizard(true, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
    secureProvidedJvm(settings, context.language, jvm.home, windowsDir);
    return failure;
}

RunFailure Install::launchWizard(const char* argument, const JvmInUse& jvm) {
    stages.show(TextStartingWizard);
    WizardLaunch wizard(settings, context.quiet, context.properties, channel);
    WizardEnd end = wizard.run(jvm, argument);
    wizardExit = end.exitCode;
    return end.failure;
}

// The name a JVM was found under replaces the command name of the settings.
static_assert(sizeof ControlSettings::jvmCommandName == JvmWanted::CommandNameSize,
              "the command name of the settings holds the one the JVM classes give");

void Install::takeJvm(const JvmFound& found, JvmInUse& jvm) {
    jvm.take(found);
    copyText(settings.jvmCommandName, found.commandName);
}

// The failure report: one message and its details, logged in English (and
// shown once in the user's language: showBox).
void Install::logFailure(RunFailure& failure, const RefusalList& refused) {
    if (failure.message.empty()) {
        failure.message.add(TextUnableToInstall);
        failure.message.add(TextDiskSpace, nullptr, nullptr, "\r\r");
        failure.details.clear();
        failure.details.add(TextOtherCauses);
    }
    refused.log();
    char text[InstallErrorSize];
    failure.message.english(text, sizeof text);
    reportError(text);
    if (!failure.details.empty()) {
        failure.details.english(text, sizeof text);
        reportError(text);
    }
}

void Install::showBox(const RunFailure& failure, bool errorsSaved) {
    UserLines none, notSaved, tryElsewhere;
    const UserLines* message = nullptr;
    const UserLines* details = &none;
    if (failure.failed()) {
        message = failure.box.empty() ? &failure.message : &failure.box;
        if (failure.box.empty()) details = &failure.details;
    }
    if (!errorsSaved) {
        notSaved.add(TextErrorsLogNotSaved);
        tryElsewhere.add(TextTryWritableDrive);
        if (message) {
            // The failure's box says more than that its log was not saved.
            char text[InstallErrorSize];
            notSaved.english(text, sizeof text);
            trace("not shown, a box is chosen already:", text);
        } else {
            message = &notSaved;
            details = &tryElsewhere;
        }
    }
    if (message && !context.silent()) channel.showFailure(*message, *details);
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
