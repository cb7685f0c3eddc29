// The table of the control file's key names.
#include "config/controlkeys.h"

#include <string.h>

const char SelfExtractorInstallerType[] = "selfExtratorJvmInstaller";
const char ThirdPartyInstallerType[] = "thirdPartyJvmInstaller";
const char DownloadInstallerType[] = "downloadJvm";

// No name is the beginning of another, so a line begins with one key at most.
// (The header's count must match: a different bound does not compile.)
const ControlKey ControlKeys[] = {
    {"jvmRequiredVersion", VersionValue},
    {"jvmMinVersion", VersionValue},
    {"jvmMaxVersion", VersionValue},
    {"jvmVersion", VersionValue},
    {"jvmName", AnyValue},
    {"jvmCommandName", AnyValue},
    {"jvmExtraParameters", AnyValue},
    {"jvmClasspathSwitch", AnyValue},
    {"loaderJavaCommand", AnyValue},
    {"loaderClasspath", AnyValue},
    {"jvmInstallerType", InstallerValue},
    {"jvmSelfExtractor", AnyValue},
    {"jvmInstallerBinary", AnyValue},
    {"jvmInstallerCommand", AnyValue},
    {"predefinedJvmInstallDir", AnyValue},
    {"jvmHomeDir", AnyValue},
    {"systemSecurityPolicyFilename", AnyValue},
    {"userSecurityPolicyFilename", AnyValue},
    {"keystoreFilename", AnyValue},
    {"appletUrl", AnyValue},
    {"searchForJvm", SearchValue},
    {"jvmTestTimeout", SecondsValue},
    {"configureWinRegistry", FlagValue},
    {"reportFailureByExitCode", FlagValue},
    {"jvmDownloadUrl", UrlValue},
    {"jvmDownloadSha256", Sha256Value},
};

const ControlKey* controlKeyOf(const char* line) {
    for (const ControlKey& key : ControlKeys)
        if (strncmp(line, key.name, strlen(key.name)) == 0) return &key;
    return nullptr;
}
