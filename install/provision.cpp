// Install: providing a JVM when no installed one fits, through the kind the
// package names (jvm/jvmprovider.h), and the security setup of a JVM the
// launcher placed itself.
//
// The provider answers with the JVM or with its fault and the box that says
// what happened; this step turns the fault into the run's outcome. A JVM
// that was provided gets "native.properties" with its home (the one the JVM
// reported, else the one its path gives); only one the launcher placed
// itself gets the package's Java security files (with backups for the Java
// Plug-in).
#include "install/installer.h"
#include "base/fexists.h"
#include "config/controlkeys.h"
#include "jvm/jvmprovider.h"
#include "security/security.h"

#include <string.h>

static const char PluginName[] = "Java Plug-in";

bool Install::installTheJvm() {
    NestedText version = buildVersionText();
    const char* type = settings.jvmInstallerType;
    JvmProvider* provider = jvmProviderFor(type);
    if (!provider) {
        // A type the launcher does not know is the package's mistake.
        if (type[0]) jvmFailure = RunOutcome::PackageFaulty;
        setNotFoundMessages(version);
        return false;
    }
    // A file of the wizard's class path that is missing fails the wizard on
    // any JVM: none is provided for it.
    if (!classpathFilesThere()) {
        refusedJvms.clear();  // they do not explain it
        jvmFailure = RunOutcome::PackageFaulty;
        errorMessage = wizardFailure;
        errorDetails.clear();
        return false;
    }
    // The download and the expansion of an archive show their own progress.
    if (_stricmp(type, SelfExtractorInstallerType) == 0)
        showStatusMessage(TextExpanding);
    else if (_stricmp(type, DownloadInstallerType) == 0)
        showStatusMessage(TextDownloading);
    else
        showStatusMessage(TextInstallingJvm);
    ProvisionRequest request = {settings,
                                jvmWanted(),
                                settings.jvmVersion,
                                settings.jvmName,
                                settings.predefinedJvmInstallDir,
                                settings.jvmHomeDir,
                                windowsDir,
                                settings.configureWinRegistry,
                                context.ownTrace,
                                context.silent() ? nullptr : channel.progress()};
    ProvisionResult result;
    if (!provider->provide(request, result)) {
        errorMessage = result.message;
        errorDetails = result.details;
        switch (result.fault) {
        case ProvisionFault::NotOffered:
            setNotFoundMessages(version);
            break;
        case ProvisionFault::PackageFaulty:
            jvmFailure = RunOutcome::PackageFaulty;
            break;
        default:
            jvmFailure = RunOutcome::ProvisionFailed;
            if (errorMessage.empty())
                errorMessage.add(TextUnableToInstallJvm, settings.jvmName, settings.jvmVersion);
            if (errorDetails.empty()) errorDetails.add(TextOtherCauses);
        }
        trace("providing a JVM ok", false);
        return false;
    }
    takeJvm(result.jvm);
    trace("providing a JVM ok", true);
    if (!result.placed) {
        // A JVM that was there already, or that a vendor's program installed.
        trace("using the JVM found in the install directory", jvmCommand);
        if (_stricmp(type, ThirdPartyInstallerType) == 0) settings.predefinedJvmInstallDir[0] = '\0';
        writeNativeProperties(false, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
        return true;
    }
    copyText(madeJvmDir, result.madeDir);
    getJavaHomeDir(javaHomeDir);
    writeNativeProperties(true, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
    addSecurity(_stricmp(settings.jvmName, PluginName) == 0);
    return true;
}

bool Install::classpathFilesThere() {
    char elements[sizeof settings.loaderClasspath];
    copyText(elements, settings.loaderClasspath);
    for (char* element = strtok(elements, ";"); element; element = strtok(nullptr, ";")) {
        size_t length = strlen(element);
        bool archive = length > 4 && (_stricmp(element + length - 4, ".jar") == 0 ||
                                      _stricmp(element + length - 4, ".zip") == 0);
        if (archive && !strpbrk(element, "*?") && !fexists(element)) {
            char line[sizeof elements + 32];
            formatText(line, sizeof line, "%s does not exist.", element);
            reportError(line);
            wizardFailure.clear();
            wizardFailure.add(TextWizardArchiveMissing, element);
            return false;
        }
    }
    return true;
}

// Security is best effort: the step always reports success.
bool Install::addSecurity(bool plugin) {
    Security security(context.language);
    security.addSecurity(settings.systemSecurityPolicyFilename, settings.userSecurityPolicyFilename,
                         settings.keystoreFilename, javaHomeDir, windowsDir, plugin);
    return true;
}
