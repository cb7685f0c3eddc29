// Providing a JVM: the provider answers with the JVM or with its fault and
// the box that says what happened; this step turns the fault into the
// run's failure. No JVM is provided for a wizard whose class path names an
// archive that is missing: it fails on any JVM.
#include "install/jvmprovision.h"
#include "base/disknames.h"
#include "base/fexists.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "config/controlkeys.h"
#include "install/jvminuse.h"
#include "security/security.h"

#include <string.h>

static const char PluginName[] = "Java Plug-in";

// The versions wanted, for a box: a text of its own, so that the box writes
// it in its language and errors.log in English.
static NestedText versionText(const ControlSettings& settings) {
    if (settings.jvmRequiredVersion[0])
        return NestedText{UserTextCount, settings.jvmRequiredVersion, nullptr};
    if (settings.jvmMaxVersion[0])
        return NestedText{TextVersionRange, settings.jvmMinVersion, settings.jvmMaxVersion};
    return NestedText{TextVersionOrLater, settings.jvmMinVersion, nullptr};
}

// No JVM to be had: install one and start again.
static RunFailure notFound(RunOutcome outcome, const ControlSettings& settings) {
    RunFailure failure;
    failure.outcome = outcome;
    failure.message.add(TextJvmNotFound, settings.jvmName);
    failure.details.add(TextInstallJvmAndRestart, settings.jvmName, versionText(settings));
    return failure;
}

// The first archive of the wizard's class path that is missing, as the
// failure; none when all are there.
static RunFailure missingArchive(const ControlSettings& settings) {
    RunFailure failure;
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
            failure.outcome = RunOutcome::PackageFaulty;
            failure.message.add(TextWizardArchiveMissing, element);
            failure.wizardFault = true;
            break;
        }
    }
    return failure;
}

RunFailure provideJvm(const ControlSettings& settings, const RunContext& context,
                      const char* windowsDir, Progress* progress, const StageLine& stages,
                      ProvisionResult& provided) {
    const char* type = settings.jvmInstallerType;
    JvmProvider* provider = jvmProviderFor(type);
    // A type the launcher does not know is the package's mistake.
    if (!provider) return notFound(type[0] ? RunOutcome::PackageFaulty : RunOutcome::NoJvm, settings);
    RunFailure failure = missingArchive(settings);
    if (failure.failed()) return failure;
    // The download and the expansion of an archive show their own progress.
    if (_stricmp(type, CompressedJvmType) == 0)
        stages.show(TextExpanding);
    else if (_stricmp(type, DownloadedJvmType) == 0)
        stages.show(TextDownloading);
    else
        stages.show(TextInstallingJvm);
    ProvisionRequest request = {settings,
                                jvmWantedBy(settings, context.tracing),
                                settings.jvmVersion,
                                settings.jvmName,
                                settings.predefinedJvmInstallDir,
                                settings.jvmHomeDir,
                                windowsDir,
                                settings.configureWinRegistry,
                                context.ownTrace,
                                progress};
    bool ok = provider->provide(request, provided);
    trace("providing a JVM ok", ok);
    if (ok) return failure;
    switch (provided.fault) {
    case ProvisionFault::NotOffered:
        return notFound(RunOutcome::NoJvm, settings);
    case ProvisionFault::PackageFaulty:
        failure.outcome = RunOutcome::PackageFaulty;
        failure.message = provided.message;
        failure.details = provided.details;
        return failure;
    default:
        failure.outcome = RunOutcome::ProvisionFailed;
        failure.message = provided.message;
        failure.details = provided.details;
        if (failure.message.empty())
            failure.message.add(TextUnableToInstallJvm, settings.jvmName, settings.jvmVersion);
        if (failure.details.empty()) failure.details.add(TextOtherCauses);
        return failure;
    }
}

void secureProvidedJvm(ControlSettings& settings, const char* language, const char* home,
                       const char* windowsDir) {
    Security security(language);
    security.addSecurity(settings.systemSecurityPolicyFilename, settings.userSecurityPolicyFilename,
                         settings.keystoreFilename, home, windowsDir,
                         _stricmp(settings.jvmName, PluginName) == 0);
}
