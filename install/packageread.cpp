// Reading the package: GetParameters reads the control file into the
// settings; when it fails, its own message is the one the box shows (with
// the pointer to the logs), while errors.log gets the general lines after
// the reader's own.
#include "install/packageread.h"
#include "base/report.h"
#include "config/getparam.h"

RunFailure readPackage(bool userTracing, ControlSettings& settings) {
    RunFailure failure;
    GetParameters parameters(userTracing);
    if (parameters.getParameters(settings)) return failure;
    reportError("unable to get parameters");
    failure.outcome = RunOutcome::PackageFaulty;
    if (parameters.failure != UserTextCount) failure.box.add(parameters.failure);
    return failure;
}
