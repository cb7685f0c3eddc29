// Install: the environment of the run and the wizard's launch.
//
// For now only the environment step is real: it switches tracing on when
// the trace file is missing (creating "jinstall.log" and the marker
// "jinstall.sem"), determines the Windows family and the home directory.
// The wizard's launch always fails cleanly, with nothing started.
#include "install/installer.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "base/winvers.h"

#include <stdio.h>

static const char TraceFilename[] = "jinstall.log";
static const char TempTraceFilename[] = "jinstall.sem";

static void touch(const char* name) {
    FILE* file = fopen(name, "at");
    if (file) fclose(file);
}

bool Install::getEnvironmentSetup() {
    if (!fexists(TraceFilename)) {
        touch(TraceFilename);
        touch(TempTraceFilename);
    }
    getWinEnvironmentSetup();
    getHomeDirectory();
    return true;
}

bool Install::getWinEnvironmentSetup() {
    WinVersion version;
    winNT = version.winNT();
    return true;
}

void Install::getJavaHomeDir(char* buffer) { buffer[0] = '\0'; }

void Install::logJvmLocation(bool, const char*, bool) {}

bool Install::runJavaInstaller(char* argument) { return runInstaller(argument); }

bool Install::runInstaller(char*) { return false; }

bool Install::_runInstaller(char**) { return false; }

unsigned Install::countParameters(char*) { return 5; }

void Install::addClassElement(char*, char*) {}
