// Install: drives one whole installation on the worker thread.
//
// It holds every value of the control file, decides whether an installed JVM
// is good enough or one must be installed (and how), starts the wizard,
// retries once on a freshly installed JVM when the wizard does not come up on
// a JVM that was found, turns every failure into one error message with
// details, and always ends with the clean-up of the work directory.
//
// The operations live in several files: installer.cpp (the sequence, the
// decision tree, the home directory), launch.cpp (environment and wizard
// launch), cleanup.cpp (work directory clean-up), params.cpp (the control
// file), search.cpp (the search for an installed JVM) and provision.cpp (JVM
// installation from the package and the security setup).
#ifndef INSTALL_INSTALLER_H
#define INSTALL_INSTALLER_H

#include "base/trace.h"
#include "shell/statuswin.h"

// Capacities of the Install buffers, in bytes with the terminating NUL.
enum {
    InstallVersionSize = 201,     // version texts and the JVM kind
    InstallPathSize = 5001,       // paths and long values
    InstallValueSize = 5000,      // control-file values of 5000 bytes
    InstallSwitchSize = 1000,     // the JVM's classpath switch
    InstallSearchSize = 100,      // searchForJvm
    InstallErrorSize = 5000       // errorMessage and errorDetails
};

class Install : public Trace, public Status {
public:
    Install();
    ~Install();
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    // The whole sequence; true when the wizard was started and reported
    // itself started.
    bool install(bool quiet, bool properties, char* argument);

    bool getParams();
    bool isJvmInstalled();
    bool installTheJvm();
    bool installJvmBundle(char* version);
    bool installJvmInstaller(char* version);
    bool extractJvm();
    bool runThirdPartyInstaller();
    bool addSecurity(bool plugin);
    bool configureWinReg();
    void showStatusMessage(unsigned stage);

    // Windows directory and the search-path lookup.
    bool getHomeDirectory();
    bool isDirInPath(const char* name, char* dir);

    // Environment and wizard launch.
    bool getEnvironmentSetup();
    bool getWinEnvironmentSetup();
    void getJavaHomeDir(char* buffer);
    void logJvmLocation(bool installed, const char* jvmDir, bool configureRegistry);
    bool runJavaInstaller(char* argument);
    bool runInstaller(char* argument);
    bool _runInstaller(char** list);
    unsigned countParameters(char* argument);
    void addClassElement(char* classpath, char* element);

    // Work directory clean-up.
    void cleanUp(unsigned char succeeded);
    void cleanUpManifest(unsigned char succeeded);
    void cleanUpJvmDir();
    void cleanUpErrorsLog();
    void cleanUpLogFiles();
    void _cleanUpLogFiles(char* target);
    bool isDirWriteProtected(char* directory);

    // Values read from the control file.
    char jvmRequiredVersion[InstallVersionSize];
    char jvmMinVersion[InstallVersionSize];
    char jvmMaxVersion[InstallVersionSize];
    char jvmVersion[InstallVersionSize];
    char jvmCommandName[InstallPathSize];
    char jvmName[InstallVersionSize];
    char jvmInstallerType[InstallValueSize];
    char jvmSelfExtractor[InstallValueSize];
    char jvmInstallerBinary[InstallValueSize];
    char jvmInstallerCommand[InstallValueSize];
    char predefinedJvmInstallDir[InstallValueSize];
    char jvmHomeDir[InstallPathSize];
    char jvmExtraParameters[InstallValueSize];
    char loaderClasspath[InstallValueSize];
    char jvmClasspathSwitch[InstallSwitchSize];
    char loaderJavaCommand[InstallValueSize];
    char systemSecurityPolicyFilename[InstallPathSize];
    char userSecurityPolicyFilename[InstallPathSize];
    char keystoreFilename[InstallPathSize];
    char appletUrl[InstallValueSize];
    char searchForJvm[InstallSearchSize];

    // Values of the run.
    char controlFilename[InstallPathSize];
    char jvmCommand[InstallPathSize];
    char javaHomeDir[InstallPathSize];
    char homeDirectory[InstallPathSize];
    char errorMessage[InstallErrorSize];
    char errorDetails[InstallErrorSize];
    bool winNT;
    bool quietInstall;
    bool propertiesInstall;

private:
    void buildVersionText(char* version, size_t cap);
    void setNotFoundMessages(const char* version);
    bool installWith(const char* file, char* version, bool bundle);
    void reportFailure();

    // The class path rebuilt by runJavaInstaller for the launch under way
    // (null outside it); runInstaller composes the list with it.
    const char* wizardClasspath = nullptr;
};

// The start directory: the first line of "startdir.txt" without trailing
// blanks, CR and LF, or empty (start holds at least 5001 bytes).
void getStartDir(char* start);

#endif
