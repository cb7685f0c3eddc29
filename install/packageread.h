// Reading the package: the control file into the settings of the run.
#ifndef INSTALL_PACKAGEREAD_H
#define INSTALL_PACKAGEREAD_H

#include "config/settings.h"
#include "install/runfailure.h"

// Reads "kiv.control" into settings (cleared first). userTracing: the user
// switched the trace on. The failure says what the reader could name.
RunFailure readPackage(bool userTracing, ControlSettings& settings);

#endif
