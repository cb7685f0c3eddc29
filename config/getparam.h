// GetParameters: reads the package's control file "kiv.control" into the
// launch parameters that the installation driver owns.
//
// The file is first rewritten without stray carriage returns, then read line
// by line: a line that starts with one of the 21 key names sets that value
// (the character after the key is the separator and is skipped). Defaults
// fill the gaps and the JVM program name is normalised. Every value goes into
// a buffer of the caller with the capacity listed in ParamCapacity; a value
// that does not fit is cut and the cut is traced.
#ifndef CONFIG_GETPARAM_H
#define CONFIG_GETPARAM_H

#include <windows.h>

#include "base/trace.h"
#include "shell/statuswin.h"

class GetParameters : public Trace, public Status {
public:
    // Capacities (bytes, NUL included) of the caller's buffers, in the order
    // getParameters and parseParameters take them.
    enum ParamCapacity {
        RequiredVersionSize = 201,
        MinVersionSize = 201,
        MaxVersionSize = 201,
        JvmVersionSize = 201,
        JvmNameSize = 201,
        JvmCommandNameSize = 5001,
        JvmInstallerTypeSize = 5000,
        JvmSelfExtractorSize = 5000,
        JvmInstallerBinarySize = 5000,
        JvmInstallerCommandSize = 5000,
        PredefinedJvmInstallDirSize = 5000,
        JvmHomeDirSize = 5001,
        JvmExtraParametersSize = 5000,
        JvmClasspathSwitchSize = 1000,
        LoaderClasspathSize = 5000,
        LoaderJavaCommandSize = 5000,
        SystemSecurityPolicySize = 5001,
        UserSecurityPolicySize = 5001,
        KeystoreFilenameSize = 5001,
        AppletUrlSize = 5000,
        SearchForJvmSize = 100,
        ControlFilenameSize = 5001
    };

    GetParameters();
    ~GetParameters() {}
    GetParameters(const GetParameters&) = delete;
    GetParameters& operator=(const GetParameters&) = delete;

    void setHwnd(HWND window) { hwnd = window; }

    // The whole reading of "kiv.control"; false when the file cannot be
    // opened or rewritten (a box has then been shown).
    bool getParameters(char* jvmRequiredVersion, char* jvmMinVersion, char* jvmMaxVersion,
                       char* jvmVersion, char* jvmName, char* jvmCommandName,
                       char* jvmInstallerType, char* jvmSelfExtractor,
                       char* jvmInstallerBinary, char* jvmInstallerCommand,
                       char* predefinedJvmInstallDir, char* jvmHomeDir,
                       char* jvmExtraParameters, char* jvmClasspathSwitch,
                       char* loaderClasspath, char* loaderJavaCommand,
                       char* systemSecurityPolicyFilename, char* userSecurityPolicyFilename,
                       char* keystoreFilename, char* appletUrl, char* searchForJvm,
                       char* controlFilename);

    // Empties buffers 1-21, reads the file named by controlFilename and
    // applies the defaults; false only when the file cannot be opened.
    bool parseParameters(char* jvmRequiredVersion, char* jvmMinVersion, char* jvmMaxVersion,
                         char* jvmVersion, char* jvmName, char* jvmCommandName,
                         char* jvmInstallerType, char* jvmSelfExtractor,
                         char* jvmInstallerBinary, char* jvmInstallerCommand,
                         char* predefinedJvmInstallDir, char* jvmHomeDir,
                         char* jvmExtraParameters, char* jvmClasspathSwitch,
                         char* loaderClasspath, char* loaderJavaCommand,
                         char* systemSecurityPolicyFilename, char* userSecurityPolicyFilename,
                         char* keystoreFilename, char* appletUrl, char* searchForJvm,
                         char* controlFilename);

    // Rewrites the file without carriage returns (through "__kiv.control").
    bool convertLineEndings(const char* path);

    // Defaults and the JVM program name's normalisation; always true.
    bool verifyParameters(char* jvmRequiredVersion, char* jvmMinVersion, char* jvmVersion,
                          char* jvmName, char* jvmCommandName, char* loaderClasspath);

    // Unescapes the JVM switches in place: backslashes before one of the
    // special file-name characters (and doubled ones) are removed.
    void removeExtraBackSlashes(char* text);

    // Unescapes a directory in place: "/" becomes "\", "\\" becomes "\" and
    // "\:" becomes ":".
    void unescapeDirectory(char* text);

    // False for \ / : * ? " < > |, true for everything else (NUL included).
    bool isfilenameChar(char c);

private:
    HWND hwnd;
};

#endif
