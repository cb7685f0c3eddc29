// Install: one whole installation on the worker thread, as a sequence of
// steps: read the package, find an installed JVM or provide one, launch the
// wizard (once more on a freshly provided JVM when it does not come up on
// one that was found), clean up, report.
//
// Each step is a class or function of its own that takes values and
// returns its result with its failure (install/runfailure.h):
// packageread.h (the control file), installedjvm.h (the search for an
// installed JVM), jvmprovision.h (a JVM provided, its security setup),
// jvminuse.h (the JVM in use and "native.properties"), wizardlaunch.h (the
// wizard's launch), cleanup.h (the work directory), tempjvm.h (a JVM
// installed only for the run), logcopy.h (the logs handed on) and
// windowsdir.h (the Windows directory). The first failure travels up to
// this sequence, the one place that writes it to errors.log, chooses the
// box and hands on the outcome.
#ifndef INSTALL_INSTALLER_H
#define INSTALL_INSTALLER_H

#include "base/userchannel.h"
#include "config/runcontext.h"
#include "config/settings.h"
#include "install/jvminuse.h"
#include "install/runfailure.h"
#include "install/stageline.h"
#include "jvm/refusals.h"

class Install {
public:
    // tracing, ownTrace: the report's trace policy (FileReport).
    explicit Install(UserChannel& channel, bool tracing = true, bool ownTrace = false);
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    // The whole sequence, ending in the clean-up and, for a failed run,
    // the one failure box.
    RunOutcome install(bool quiet, bool properties, char* argument);

    // Whether the control file asks for the outcome as the exit code.
    bool exitCodeWanted() const;
    // The exit code of the wizard's JVM of a run that succeeded (0 else).
    unsigned long wizardExitCode() const { return wizardExit; }

private:
    // The steps from the control file to the wizard's end; the first
    // failure ends them.
    RunFailure run(const char* argument, const char* windowsDir, JvmInUse& jvm,
                   RefusalList& refused);
    RunFailure provision(const char* windowsDir, JvmInUse& jvm);
    RunFailure launchWizard(const char* argument, const JvmInUse& jvm);
    // The JVM the JVM classes accepted becomes the one in use; the name it
    // was found under replaces the settings' command name.
    void takeJvm(const JvmFound& found, JvmInUse& jvm);
    // The failure's lines to errors.log (the general message when it has
    // none), with the JVMs refused that explain it.
    void logFailure(RunFailure& failure, const RefusalList& refused);
    // The one box of the run, if any, unless the run is quiet.
    void showBox(const RunFailure& failure, bool errorsSaved);

    UserChannel& channel;
    RunContext context;
    ControlSettings settings;  // the values of the control file
    StageLine stages;
    bool tracing;
    bool ownTrace;
    unsigned long wizardExit = 0;
};

#endif
