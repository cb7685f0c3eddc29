// Install: the JVM provisioning steps of the installation sequence and the
// security setup of a JVM the launcher expanded itself.
//
// extractJvm hands the package's compressed JVM to JvmExpander, which either
// expands it into a new JVM directory or finds an acceptable JVM already in
// one of the candidate directories (for a downloadJvm package it downloads
// and expands the archive the package names instead); runThirdPartyInstaller
// hands the JVM installer program to RunJvmInstaller. Either way jvmCommand receives the
// JVM program and "native.properties" is written for the wizard with its
// home directory (the one the JVM reported, else the one its path gives).
// Only a freshly expanded JVM gets the package's Java security files (with
// backups for the Java Plug-in).
#include "install/installer.h"
#include "jvm/jvmexpander.h"
#include "jvm/runjvminstaller.h"
#include "security/security.h"

#include <string.h>

static const char PluginName[] = "Java Plug-in";

bool Install::extractJvm(bool download) {
    JvmExpander extractor(context.ownTrace, settings.configureWinRegistry);
    // The download's one entry into the JVM classes; the status dialog shows
    // its progress, a quiet run nothing.
    char noSelfExtractor[] = "";
    if (download)
        extractor.downloadFrom(settings.jvmDownloadUrl, settings.jvmDownloadSha256,
                               context.silent() ? nullptr : channel.progress());
    JvmFound jvm = {};
    if (!extractor.extractJvm(jvmWanted(), settings.jvmVersion, settings.jvmName,
                              download ? noSelfExtractor : settings.jvmSelfExtractor,
                              settings.predefinedJvmInstallDir, settings.jvmHomeDir, jvm,
                              windowsDir)) {
        downloadFailed = extractor.downloadFailed();
        return false;
    }
    takeJvm(jvm);

    // writeNativeProperties takes the home of jvmCommand as well, so that an
    // existing JVM directory taken instead of an expansion does not leave
    // the wizard with an empty or stale home.
    if (extractor.expandedNewJvm()) {
        copyText(madeJvmDir, extractor.createdJvmDir());
        getJavaHomeDir(javaHomeDir);
        writeNativeProperties(true, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
        addSecurity(_stricmp(settings.jvmName, PluginName) == 0);
    } else {
        trace("using the JVM found in the install directory", jvmCommand);
        writeNativeProperties(false, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
    }
    return true;
}

bool Install::runThirdPartyInstaller() {
    RunJvmInstaller runner;
    JvmFound jvm = {};
    bool result = runner.run(jvmWanted(), settings.jvmVersion, settings.jvmName,
                             settings.jvmInstallerBinary, settings.jvmInstallerCommand, jvm,
                             windowsDir);
    if (result) {
        takeJvm(jvm);
        // writeNativeProperties takes the home of the JVM found at jvmCommand.
        settings.predefinedJvmInstallDir[0] = '\0';
        writeNativeProperties(false, settings.predefinedJvmInstallDir, settings.configureWinRegistry);
    }
    return result;
}

// Security is best effort: the step always reports success.
bool Install::addSecurity(bool plugin) {
    Security security(context.language);
    security.addSecurity(settings.systemSecurityPolicyFilename, settings.userSecurityPolicyFilename,
                         settings.keystoreFilename, javaHomeDir, windowsDir, plugin);
    return true;
}
