// The search for an installed JVM that meets the control file's version
// limits.
#ifndef INSTALL_INSTALLEDJVM_H
#define INSTALL_INSTALLEDJVM_H

#include "config/settings.h"
#include "install/stageline.h"
#include "jvm/jvmwanted.h"
#include "jvm/refusals.h"

// True with jvm filled when an installed JVM is accepted; the candidates
// refused, and why, are kept in refused for the failure's lines. The
// control file can turn the search off ("searchForJvm" no or none).
bool findInstalledJvm(const ControlSettings& settings, bool tracing, const StageLine& stages,
                      RefusalList& refused, JvmFound& jvm);

#endif
