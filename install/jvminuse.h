// JvmInUse: the JVM the wizard is to run on, and what the wizard is told of
// it in "native.properties": its home with forward slashes, whether this run
// installed it (and into the package's temporary directory), and the
// registry answer.
#ifndef INSTALL_JVMINUSE_H
#define INSTALL_JVMINUSE_H

#include "config/settings.h"
#include "install/runfailure.h"
#include "jvm/jvmwanted.h"

// The version limits and the command name of the settings, as the JVM
// classes take them. tracing: the run is traced.
JvmWanted jvmWantedBy(const ControlSettings& settings, bool tracing);

struct JvmInUse {
    // The JVM's program, the full path.
    char program[InstallPathSize];
    // The home the JVM classes gave for it (JvmFound::home).
    char provedHome[InstallPathSize];
    // The home told to the wizard and to the security setup.
    char home[InstallPathSize];
    // The folder this run placed the JVM it provided in (ProvisionResult::
    // madeDir), the only one the temporary-JVM clean-up may delete.
    char madeDir[InstallPathSize];
    // Whether the last write of "native.properties" was complete; true
    // until one is attempted (the wizard then finds the file it was given).
    bool propertiesWritten = true;

    // Every path empty (set one by one: an initializer of the whole arrays
    // would be a copy of a template as large as they are).
    JvmInUse() { program[0] = provedHome[0] = home[0] = madeDir[0] = '\0'; }

    // Takes the JVM the JVM classes accepted: its program and its home.
    void take(const JvmFound& jvm);
    // Takes the home of the program (the one it reported of itself when it
    // was accepted, else the one its path gives) and traces it; traced:
    // traced even when it is the home taken before.
    void takeHome(bool traced);
    // Writes "native.properties" for the JVM; jvmDir: where it was placed
    // ("predefinedJvmInstallDir"), which tells whether that is the package's
    // temporary directory.
    void tellWizard(bool installed, const char* jvmDir, bool configureRegistry);
};

#endif
