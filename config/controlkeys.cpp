// The table of the control file's key names.
#include "config/controlkeys.h"
#include "config/settings.h"
#include "base/disknames.h"

#include <stddef.h>
#include <string.h>

const char CompressedJvmType[] = "selfExtratorJvmInstaller";
const char JvmInstallerProgramType[] = "thirdPartyJvmInstaller";
const char DownloadedJvmType[] = "downloadJvm";

#define SETTING(field) offsetof(ControlSettings, field), sizeof ControlSettings::field

// No name is the beginning of another, so a line begins with one key at most.
// (The header's count must match: a different bound does not compile.)
const ControlKey ControlKeys[] = {
    {"jvmRequiredVersion", VersionValue, SETTING(jvmRequiredVersion), PostNone},
    {"jvmMinVersion", VersionValue, SETTING(jvmMinVersion), PostNone},
    {"jvmMaxVersion", VersionValue, SETTING(jvmMaxVersion), PostNone},
    {"jvmVersion", VersionValue, SETTING(jvmVersion), PostNone},
    {"jvmName", AnyValue, SETTING(jvmName), PostNone},
    {"jvmCommandName", AnyValue, SETTING(jvmCommandName), PostNone},
    {"jvmExtraParameters", AnyValue, SETTING(jvmExtraParameters), PostSwitches},
    {"jvmClasspathSwitch", AnyValue, SETTING(jvmClasspathSwitch), PostNone},
    {"loaderJavaCommand", AnyValue, SETTING(loaderJavaCommand), PostNone},
    {"loaderClasspath", AnyValue, SETTING(loaderClasspath), PostNone},
    {"jvmInstallerType", InstallerValue, SETTING(jvmInstallerType), PostNone},
    {"jvmSelfExtractor", AnyValue, SETTING(jvmSelfExtractor), PostNone},
    {"jvmInstallerBinary", AnyValue, SETTING(jvmInstallerBinary), PostNone},
    {"jvmInstallerCommand", AnyValue, SETTING(jvmInstallerCommand), PostNone},
    {"predefinedJvmInstallDir", AnyValue, SETTING(predefinedJvmInstallDir), PostDirectory},
    {"jvmHomeDir", AnyValue, SETTING(jvmHomeDir), PostNone},
    {"systemSecurityPolicyFilename", AnyValue, SETTING(systemSecurityPolicyFilename), PostNone},
    {"userSecurityPolicyFilename", AnyValue, SETTING(userSecurityPolicyFilename), PostNone},
    {"keystoreFilename", AnyValue, SETTING(keystoreFilename), PostNone},
    {"appletUrl", AnyValue, SETTING(appletUrl), PostNone},
    {"searchForJvm", SearchValue, SETTING(searchForJvm), PostNone},
    {"jvmTestTimeout", SecondsValue, SETTING(jvmTestTimeout), PostNumber},
    {ConfigureWinRegistryKey, FlagValue, 0, 0, PostNone},  // read apart: the first line decides
    {"reportFailureByExitCode", FlagValue, SETTING(reportFailureByExitCode), PostNumber},
    {"jvmDownloadUrl", UrlValue, SETTING(jvmDownloadUrl), PostNumber},
    {"jvmDownloadSha256", Sha256Value, SETTING(jvmDownloadSha256), PostNumber},
    {"productName", AnyValue, SETTING(productName), PostNone},
};

#undef SETTING

const ControlKey* controlKeyOf(const char* line) {
    for (const ControlKey& key : ControlKeys)
        if (strncmp(line, key.name, strlen(key.name)) == 0) return &key;
    return nullptr;
}
