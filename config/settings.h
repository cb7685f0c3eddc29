// ControlSettings: the values of the package's control file "kiv.control",
// one fixed-capacity field per key. The capacity of each value is stated
// here once; the reader (GetParameters), the installation driver and the
// tests all take it from these fields.
#ifndef CONFIG_SETTINGS_H
#define CONFIG_SETTINGS_H

#include "base/strbuf.h"

#include <string.h>

// The seconds a JVM's test run may take when "jvmTestTimeout" gives none.
enum { DefaultJvmTestSeconds = 60 };
// The capacity of a product name (the control file's, the version block's).
enum { ProductNameSize = 200 };

struct ControlSettings {
    // The version limits: a required version, or a minimum and a maximum.
    char jvmRequiredVersion[VersionBufferSize];
    char jvmMinVersion[VersionBufferSize];
    char jvmMaxVersion[VersionBufferSize];
    // The version a JVM installed from the package has, and its kind.
    char jvmVersion[VersionBufferSize];
    char jvmName[VersionBufferSize];
    // The JVM program's name (normalised to a program file name).
    char jvmCommandName[PathBufferSize];
    // How a JVM is installed when none fits.
    char jvmInstallerType[PathBufferSize - 1];
    char jvmSelfExtractor[PathBufferSize - 1];
    char jvmInstallerBinary[PathBufferSize - 1];
    char jvmInstallerCommand[PathBufferSize - 1];
    char predefinedJvmInstallDir[PathBufferSize - 1];
    char jvmHomeDir[PathBufferSize];
    // The archive a downloadJvm package fetches, and its SHA-256.
    char jvmDownloadUrl[PathBufferSize - 1];
    char jvmDownloadSha256[100];
    // How the wizard is started.
    char jvmExtraParameters[PathBufferSize - 1];
    char jvmClasspathSwitch[1000];
    char loaderClasspath[PathBufferSize - 1];
    char loaderJavaCommand[PathBufferSize - 1];
    // The package's Java security files.
    char systemSecurityPolicyFilename[PathBufferSize];
    char userSecurityPolicyFilename[PathBufferSize];
    char keystoreFilename[PathBufferSize];
    char appletUrl[PathBufferSize - 1];
    char searchForJvm[100];
    char jvmTestTimeout[20];  // seconds a JVM's test run may take
    char reportFailureByExitCode[20];  // "true": the outcome is the exit code
    // The name of what the package installs, for the captions of the status
    // dialog and of the boxes.
    char productName[ProductNameSize];
    // Whether a JVM the launcher installs is entered into the Windows
    // registry ("configureWinRegistry"; on unless the file says otherwise).
    bool configureWinRegistry;

    // Every value empty, the registry switch on.
    void clear() {
        memset(this, 0, sizeof *this);
        configureWinRegistry = true;
    }
};

#endif
