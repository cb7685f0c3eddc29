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
#include "jvm/jvmexpander.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char SelfExtractorType[] = "selfExtratorJvmInstaller";
static const char ThirdPartyType[] = "thirdPartyJvmInstaller";

static const char DiskSpaceText[] =
    "Are the destination or temporary directories out of disk space?\r\r"
    "    See errors.log for other possible causes.";
static const char OtherCausesText[] =
    "Other possible causes for errors:\n"
    "    * Read/write access rights to the 'temp' and installation directories?\n"
    "    * OS need to be patched to run Java apps?\n"
    "    * Anti-virus software installed that won't permit unknonwn executable or JAR files "
    "to run?\n"
    "    * Does your system export the display?";
static const char WizardNotStartedText[] =
    "Unable to start the install wizard.\r\rIs there a \"java\" command in the path that "
    "doesn't start the JRE?\r\rIf there is, remove it and try the installer again.";


Install::Install(UserChannel& channel, bool tracing, bool ownTrace)
    : channel(channel), quietInstall(false), propertiesInstall(false),
      tracing(tracing), ownTrace(ownTrace) {
    settings.clear();
    makeRunContext(context, false, false, tracing, ownTrace);
    // Every buffer of the run starts as the empty text.
    char* const buffers[] = {jvmCommand,    javaHomeDir,  provedHome,  madeJvmDir,
                             windowsDir, errorMessage, errorDetails, boxMessage,
                             boxDetails};
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
    trace("Quite install", quietInstall);
    trace("Properties install", propertiesInstall);
    trace("Install argument:", argument);
    if (context.silent()) trace("set status quite");
    showStatusMessage(1);

    getEnvironmentSetup();
    errorMessage[0] = '\0';
    errorDetails[0] = '\0';

    bool result = false;
    RunOutcome outcome = RunOutcome::Succeeded;
    timelineMark("control file read starts");
    bool haveParams = getParams();
    timelineMark("control file read");
    if (!haveParams) {
        reportError("unable to get parameters");
        outcome = RunOutcome::PackageFaulty;
        reportFailure();
    } else {
        bool found = isJvmInstalled();
        bool ready = found || installTheJvm();
        if (!ready) outcome = jvmFailure;
        // The refused candidates explain a run that ends without a JVM, and
        // only that: once one is found or installed they are dropped.
        if (ready) refusedJvms.clear();
        if (ready) {
            showStatusMessage(2);
            result = runJavaInstaller(argument);
            if (!result && found) {
                // The wizard did not come up on the JVM that was found: one
                // more try on a freshly installed JVM.
                showStatusMessage(4);
                if (installTheJvm()) {
                    showStatusMessage(5);
                    result = runJavaInstaller(argument);
                }
            }
            if (!result) {
                outcome = RunOutcome::WizardFailed;
                copyText(errorMessage, WizardNotStartedText);
                formatText(errorDetails, sizeof errorDetails, "%s\n%s", OtherCausesText,
                           DiskSpaceText);
            }
        }
        if (!result) reportFailure();
    }

    timelineMark("clean-up starts");
    cleanUp(result);
    timelineMark("clean-up ends");
    channel.releaseDialog();
    // One box for the whole run, with the text of whoever knew most.
    if (boxMessage[0] && !context.silent()) channel.showFailure(boxMessage, boxDetails);
    return outcome;
}

void Install::chooseBox(const char* message, const char* details) {
    if (boxMessage[0]) {
        trace("not shown, a box is chosen already:", message);
        return;
    }
    copyText(boxMessage, message);
    copyText(boxDetails, details ? details : "");
}

// The failure report: one message and its details, logged and shown once.
void Install::reportFailure() {
    if (!errorMessage[0])
        formatText(errorMessage, sizeof errorMessage, "Unable to install application.\r\r%s",
                   DiskSpaceText);
    if (!errorDetails[0]) copyText(errorDetails, OtherCausesText);
    refusedJvms.log();
    reportError(errorMessage);
    reportError(errorDetails);
    chooseBox(errorMessage, errorDetails);
}

// The JVM classes may write a found program's name into the command name.
static_assert(sizeof ControlSettings::jvmCommandName == JvmWanted::CommandNameSize,
              "the command name of the settings is the one the JVM classes fill");

JvmWanted Install::jvmWanted() {
    static_assert(sizeof provedHome == PathBufferSize, "the home the JVM classes fill");
    provedHome[0] = '\0';
    return JvmWanted{settings.jvmRequiredVersion, settings.jvmMinVersion, settings.jvmMaxVersion,
                     settings.jvmCommandName, testSecondsOf(settings.jvmTestTimeout), provedHome,
                     context.tracing};
}

void Install::setWindowsDir(const char* dir) {
    if (dir) copyText(windowsDir, dir);
}

void Install::buildVersionText(char* version, size_t cap) {
    if (settings.jvmRequiredVersion[0])
        copyText(version, cap, settings.jvmRequiredVersion);
    else if (settings.jvmMaxVersion[0])
        formatText(version, cap, "%s - %s", settings.jvmMinVersion, settings.jvmMaxVersion);
    else
        formatText(version, cap, "%s or a later version", settings.jvmMinVersion);
}

void Install::setNotFoundMessages(const char* version) {
    formatText(errorMessage, sizeof errorMessage,
               "The correct version of the %s was not found on your system.", settings.jvmName);
    formatText(errorDetails, sizeof errorDetails,
               "Please install %s %s and then restart this installation program.", settings.jvmName,
               version);
}

bool Install::installTheJvm() {
    char version[InstallPathSize];
    buildVersionText(version, sizeof version);
    const char* type = settings.jvmInstallerType;
    if (_stricmp(type, SelfExtractorType) == 0) return installJvmBundle(version);
    if (_stricmp(type, ThirdPartyType) == 0) return installJvmInstaller(version);
    setNotFoundMessages(version);
    return false;
}

bool Install::installJvmBundle(char* version) {
    return installWith(settings.jvmSelfExtractor, version, true);
}

bool Install::installJvmInstaller(char* version) {
    return installWith(settings.jvmInstallerBinary, version, false);
}

// Whether the package holds the file that installs a JVM: the compressed
// JVM is looked for exactly where its expansion will take it from.
static bool packageHolds(const char* file, bool bundle) {
    if (!bundle) return fexists(file);
    JvmExpander extractor(false);
    char path[PathBufferSize];
    return extractor.locateCompressedJvm(file, path);
}

// The twin steps of installJvmBundle and installJvmInstaller.
bool Install::installWith(const char* file, char* version, bool bundle) {
    if (!file[0]) {
        setNotFoundMessages(version);
        return false;
    }
    if (!packageHolds(file, bundle)) {
        formatText(errorMessage, sizeof errorMessage, "Unable to find %s %s on your system.",
                   settings.jvmName, version);
        copyText(errorDetails, "Please install the JVM and re-start this installer.");
        return false;
    }
    showStatusMessage(4);
    trace("attempting to install jvm", settings.jvmVersion);
    bool result = bundle ? extractJvm() : runThirdPartyInstaller();
    if (!result) {
        jvmFailure = RunOutcome::ProvisionFailed;
        formatText(errorMessage, sizeof errorMessage, "Unable to install %s %s. %s",
                   settings.jvmName, settings.jvmVersion, DiskSpaceText);
        copyText(errorDetails, OtherCausesText);
    }
    return result;
}

void Install::showStatusMessage(unsigned stage) {
    if (context.silent()) return;
    static const char* const StageTexts[] = {
        "Preparing the installation...", "Starting the install wizard...",
        "Looking for an installed Java runtime...", "Installing a Java runtime...",
        "Starting the install wizard again..."};
    if (stage >= 1 && stage <= dimof(StageTexts)) channel.showStage(StageTexts[stage - 1]);
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
