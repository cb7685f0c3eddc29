// RunFailure: how a run ended, as one value. Each step of the installation
// returns one; the first that failed travels up to the installation
// sequence (install/installer.h), the one place that writes its lines to
// errors.log, chooses the box and hands the outcome on for the exit code.
#ifndef INSTALL_RUNFAILURE_H
#define INSTALL_RUNFAILURE_H

#include "base/strbuf.h"
#include "base/usertext.h"

// Capacities of the buffers of the run, in bytes with the NUL.
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

struct RunFailure {
    RunOutcome outcome = RunOutcome::Succeeded;  // Succeeded: no failure
    // What errors.log and the box say (empty: the general message).
    UserLines message;
    UserLines details;
    // The box's own text when it names the fault better than the lines
    // of errors.log (empty: the message and the details).
    UserLines box;
    // No JVM mends it: the wizard's main class or an archive of its class
    // path is missing, so no JVM is provided for another try.
    bool wizardFault = false;

    bool failed() const { return outcome != RunOutcome::Succeeded; }
};

#endif
