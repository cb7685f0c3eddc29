// Install: the steps that call the control-file reader, the JVM search, the
// JVM provisioning and the security setup.
//
// Until those are part of the launcher, every step here fails: the control
// file is never read, so each run takes the failure path of the sequence.
#include "install/installer.h"

#include <string.h>

static const char TraceFilename[] = "jinstall.log";

bool Install::getParams() { return false; }

bool Install::isJvmInstalled() {
    if (searchForJvm[0] &&
        (_stricmp(searchForJvm, "no") == 0 || _stricmp(searchForJvm, "none") == 0)) {
        traceMessage(TraceFilename, "Search for JVM:", searchForJvm);
        return false;
    }
    showStatusMessage(3);
    traceMessage(TraceFilename, "Correct version of JVM was not found in common locations");
    return false;
}
