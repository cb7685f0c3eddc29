// Providing a JVM when no installed one fits, through the kind the package
// names (jvm/jvmprovider.h), and the security setup of a JVM the launcher
// placed itself.
#ifndef INSTALL_JVMPROVISION_H
#define INSTALL_JVMPROVISION_H

#include "base/progress.h"
#include "config/runcontext.h"
#include "config/settings.h"
#include "install/runfailure.h"
#include "install/stageline.h"
#include "jvm/jvmprovider.h"

// Provides a JVM; on success provided holds it (and whether this run placed
// it, and where). windowsDir: where a pre-9 JVM's program copies go;
// progress: where a download shows its progress (null: nowhere).
RunFailure provideJvm(const ControlSettings& settings, const RunContext& context,
                      const char* windowsDir, Progress* progress, const StageLine& stages,
                      ProvisionResult& provided);

// The package's Java security files for a JVM this run placed at home (with
// backups for the Java Plug-in). Best effort: nothing comes of a failure.
void secureProvidedJvm(ControlSettings& settings, const char* language, const char* home,
                       const char* windowsDir);

#endif
