// WorkDirCleanup: the end of every run in the work directory: the package's
// files, a temporary JVM, the logs handed on, the launcher's own files.
#ifndef INSTALL_CLEANUP_H
#define INSTALL_CLEANUP_H

#include "install/tempjvm.h"

// The whole clean-up of a run that succeeded or not; windowsDir: where the
// logs go when the start directory cannot be written. False when errors.log
// could not be saved.
bool cleanUpWorkDir(bool succeeded, const TemporaryJvm& jvm, const char* windowsDir);

// The files the package manifest names inside the work directory, the
// manifest and the wizard's archive; the report records the run's end.
void removePackageFiles(bool succeeded);

#endif
