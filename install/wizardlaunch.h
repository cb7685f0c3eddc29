// WizardLaunch: the Java wizard started on the JVM in use, and how it ended.
//
// The wizard is started with the argument list composed from the control
// file: the JVM's own file name, the extra JVM switches, the class-path
// switch and the rebuilt class path, the wizard's class and parameters, and
// the quiet or properties switch of the command line with its argument.
// The launch counts as a success only when the wizard has left its marker
// by the time its JVM has ended, and only when "native.properties" was
// written whole for it.
#ifndef INSTALL_WIZARDLAUNCH_H
#define INSTALL_WIZARDLAUNCH_H

#include "base/scopedbuffer.h"
#include "base/userchannel.h"
#include "config/settings.h"
#include "install/jvminuse.h"
#include "install/runfailure.h"

// How a launch ended.
struct WizardEnd {
    RunFailure failure;  // failed(): the wizard did not come up
    // The exit code of a wizard that came up and ended with one of its own,
    // when the package asks for exit codes ("reportFailureByExitCode");
    // else 0.
    unsigned long exitCode = 0;
};

class WizardLaunch {
public:
    // quiet, properties: the command line's switch, handed on to the wizard.
    WizardLaunch(const ControlSettings& settings, bool quiet, bool properties,
                 UserChannel& channel)
        : settings(settings), quiet(quiet), properties(properties), channel(channel) {}

    // Starts the wizard on jvm with the command line's argument and waits
    // for its end.
    WizardEnd run(const JvmInUse& jvm, const char* argument);

private:
    unsigned countParameters(const char* argument) const;
    // Fills list with the argument list; false when the list itself could
    // not be had (an entry that could not be had leaves it incomplete).
    bool composeArguments(const char* program, const char* classpath, const char* argument,
                          ScopedTextList& list) const;
    WizardEnd startWizard(const char* program, char** list) const;

    const ControlSettings& settings;
    bool quiet, properties;
    UserChannel& channel;
};

#endif
