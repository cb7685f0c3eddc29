// Install: reading the control file into the fields of the installation.
//
// GetParameters does the reading into the settings; when it fails, its own
// message is the one the user sees (with the pointer to the logs).
#include "install/installer.h"
#include "base/report.h"
#include "config/getparam.h"

bool Install::getParams() {
    GetParameters parameters(context.userTracing());
    bool read = parameters.getParameters(settings);
    if (!read && parameters.failure != UserTextCount) {
        UserLines message, details;
        message.add(parameters.failure);
        chooseBox(message, details);
    }
    return read;
}
