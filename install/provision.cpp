// Install: the JVM provisioning steps of the installation sequence and the
// security setup of a JVM the launcher expanded itself.
//
// extractJvm hands the package's compressed JVM to ExtractJvm, which either
// expands it into a new JVM directory or finds an acceptable JVM already in
// one of the candidate directories; runThirdPartyInstaller hands the JVM
// installer program to RunJvmInstaller. Either way jvmCommand receives the
// JVM program, its home directory is derived from it, and
// "native.properties" is written for the wizard. Only a freshly expanded JVM
// gets the package's Java security files (with backups for the Java Plug-in).
#include "install/installer.h"
#include "jvm/extractjvm.h"
#include "jvm/runjvminstaller.h"
#include "security/security.h"

#include <string.h>

static const char TraceFilename[] = "jinstall.log";
static const char PluginName[] = "Java Plug-in";

bool Install::extractJvm() {
    ExtractJvm extractor;
    extractor.setHwnd(hDlgMain);
    bool configureRegistry = extractor.configureWinReg();
    if (!extractor.extractJvm(jvmRequiredVersion, jvmMinVersion, jvmMaxVersion, jvmVersion,
                              jvmName, jvmCommandName, jvmSelfExtractor, predefinedJvmInstallDir,
                              jvmHomeDir, jvmCommand, homeDirectory))
        return false;

    // The home is derived from the program in both cases: an existing JVM
    // directory that was taken instead of expanding must not leave the
    // wizard with an empty or stale home.
    getJavaHomeDir(javaHomeDir);
    if (extractor.isJvmInstalled()) {
        logJvmLocation(true, predefinedJvmInstallDir, configureRegistry);
        addSecurity(_stricmp(jvmName, PluginName) == 0);
    } else {
        traceMessage(TraceFilename, "using the JVM found in the install directory", jvmCommand);
        logJvmLocation(false, predefinedJvmInstallDir, configureRegistry);
    }
    return true;
}

bool Install::runThirdPartyInstaller() {
    RunJvmInstaller runner;
    runner.setHwnd(hDlgMain);
    bool result = runner.run(jvmRequiredVersion, jvmMinVersion, jvmMaxVersion, jvmVersion,
                             jvmName, jvmCommandName, jvmInstallerBinary, jvmInstallerCommand,
                             jvmCommand, homeDirectory);
    if (result) {
        predefinedJvmInstallDir[0] = '\0';
        getJavaHomeDir(javaHomeDir);
        logJvmLocation(false, predefinedJvmInstallDir, runner.configureWinReg());
    }
    return result;
}

// Security is best effort: the step always reports success.
bool Install::addSecurity(bool plugin) {
    Security security;
    security.addSecurity(systemSecurityPolicyFilename, userSecurityPolicyFilename,
                         keystoreFilename, javaHomeDir, homeDirectory, plugin);
    return true;
}
