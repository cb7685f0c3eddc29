// Install: drives one whole installation on the worker thread.
//
// It holds every value of the control file, decides whether an installed JVM
// is good enough or one must be installed (and how), starts the wizard,
// retries once on a freshly installed JVM when the wizard does not come up on
// a JVM that was found, turns every failure into one error message with
// details, and always ends with the clean-up of the work directory.
//
// The operations live in several files: installer.cpp (the sequence, the
// decision tree, the home directory), params.cpp (the control file into the
// settings), search.cpp (the search for an installed JVM), provision.cpp
// (JVM installation from the package and the security setup), launch.cpp
// (environment and wizard launch), cleanup.cpp (work directory clean-up and
// the manifest), tempjvm.cpp (a JVM installed only for the run), logcopy.cpp
// (the logs copied to the start directory) and startdir.cpp (the start
// directory).
#ifndef INSTALL_INSTALLER_H
#define INSTALL_INSTALLER_H

#include "base/strbuf.h"
#include "base/report.h"
#include "base/usertext.h"
#include "config/settings.h"
#include "jvm/jvmwanted.h"
#include "jvm/refusals.h"
#include "base/userchannel.h"
#include "config/runcontext.h"

// Capacities of the Install buffers of the run, in bytes with the NUL.
enum {
    InstallPathSize = PathBufferSize,  // paths
    InstallErrorSize = 5000            // an English failure text
};

// How a run ended; the program's entry holds it.
enum class RunOutcome {
    Succeeded,
    NoJvm,            // no fitting JVM, and the package provides none
    ProvisionFailed,  // providing a JVM failed
    WizardFailed,     // the wizard did not start or did not say it had
    AlreadyRunning,   // another launcher installs from the work directory
    PackageFaulty     // the control file is unreadable, or a file it names is missing
};

// The exit code of an outcome, when the package asks for one
// ("reportFailureByExitCode"): 1 to 5 in the order above; for success the
// exit code the wizard ended with (0, or its own: 3010 for a restart
// needed, 1603 for a failure it had after leaving its marker).
int exitCodeOf(RunOutcome outcome, unsigned long wizardExit = 0);

class Install {
public:
    // tracing, ownTrace: the report's trace policy (FileReport).
    explicit Install(UserChannel& channel, bool tracing = true, bool ownTrace = false);
    ~Install();
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    // The whole sequence, ending in the clean-up and, for a failed run,
    // the one failure box.
    RunOutcome install(bool quiet, bool properties, char* argument);

    // Whether the control file asks for the outcome as the exit code.
    bool exitCodeWanted() const;
    // The exit code of the wizard's JVM of a run that succeeded (0 else).
    unsigned long wizardExitCode() const { return wizardExit; }

    // The steps of the sequence. Each works on the object's settings and
    // run values; they are public so that each can be driven on its own.
    bool getParams();
    bool isJvmInstalled();
    // Provides a JVM through the kind the package names (jvm/jvmprovider.h).
    bool installTheJvm();
    bool addSecurity(bool plugin);
    // The stage reached: "stage: ..." in the trace (in English), and the
    // status line in the user's language unless the run is quiet.
    void showStatusMessage(UserText stage, const char* first = nullptr,
                           const char* second = nullptr);

    // Windows directory and the search-path lookup.
    bool findWindowsDir();
    // The Windows directory of the run when it is not looked up (a null dir
    // leaves it unchanged).
    void setWindowsDir(const char* dir);
    bool isDirInPath(const char* name, char* dir);

    // Environment and wizard launch.
    bool getEnvironmentSetup();
    // The home of the JVM at jvmCommand (InstallPathSize bytes): the one it
    // reported of itself when it was accepted, else the one its program's
    // path gives.
    void getJavaHomeDir(char* buffer);
    void writeNativeProperties(bool installed, const char* jvmDir, bool configureRegistry);
    bool runJavaInstaller(char* argument);
    bool runInstaller(char* argument);
    bool _runInstaller(char** list);
    void explainWizardEnd(unsigned long exitCode, const char* lines);
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

private:
    NestedText buildVersionText() const;
    void setNotFoundMessages(const NestedText& version);
    // Whether the archives of the wizard's class path are there (else the
    // wizard's failure is set: no JVM would mend it).
    bool classpathFilesThere();
    void reportFailure();
    // The text of the failure box, when none is chosen yet.
    void chooseBox(const UserLines& message, const UserLines& details);
    // The package check's findings on the control file, to the trace.
    void traceFindings();
    bool registerTemporaryJvm(char* jvmHome);
    void homeOfJvm(char* home);
    // The version limits and the command name of the settings, as the JVM
    // classes take them.
    JvmWanted jvmWanted();
    // Takes the JVM the JVM classes accepted: its program (jvmCommand), the
    // name it was found under (the settings' command name, which later
    // steps use) and its home (provedHome).
    void takeJvm(const JvmFound& jvm);

    UserChannel& channel;
    RunContext context;
    ControlSettings settings;  // the values of the control file
    // The failure box's text, chosen by whoever knew most (empty: the
    // failure report's).
    UserLines boxMessage;
    UserLines boxDetails;
    RunOutcome jvmFailure = RunOutcome::NoJvm;  // why no JVM could be had
    RefusalList refusedJvms;   // the installed JVMs the search refused, and why

    // Values of the run.
    char jvmCommand[InstallPathSize];
    char javaHomeDir[InstallPathSize];
    // The home the JVM classes gave for the JVM they accepted last
    // (JvmFound::home), emptied whenever a new JVM is looked for.
    char provedHome[InstallPathSize];
    // The folder this run placed the JVM it provided in (ProvisionResult::
    // madeDir), the only one the temporary-JVM clean-up may delete.
    char madeJvmDir[InstallPathSize];
    char windowsDir[InstallPathSize];
    UserLines errorMessage;
    UserLines errorDetails;
    // Why the last launch of the wizard failed, as far as it can be told
    // (empty: the JVM could not be started, or nothing is known).
    UserLines wizardFailure;
    bool wizardArchiveAbsent = false;
    // The last launch failed for a reason no other JVM can mend (its main
    // class or its archive is missing): no JVM is provided for a retry.
    bool wizardFaultOfPackage = false;
    // The exit code of the wizard's JVM that left its marker.
    unsigned long wizardExit = 0;
    bool quietInstall;
    bool propertiesInstall;
    bool tracing;
    bool ownTrace;

    // The class path rebuilt by runJavaInstaller for the launch under way
    // (null outside it); runInstaller composes the list with it.
    const char* wizardClasspath = nullptr;
    // Whether the last write of "native.properties" was complete; true
    // until one is attempted (the wizard then finds the file it was given).
    bool propertiesWritten = true;
};

#endif
