// Install: reading the control file into the fields of the installation.
//
// GetParameters does the reading into the settings; this step only hands it
// the settings and the status window. A quiet or properties
// installation shows no box, so the reader is told to stay quiet as well.
#include "install/installer.h"
#include "config/getparam.h"

bool Install::getParams() {
    GetParameters parameters;
    parameters.setQuietMode(quietInstall || propertiesInstall);
    return parameters.getParameters(settings);
}
