// TemporaryJvm: at the end of a run, the JVM that "native.properties" names
// as installed into a temporary directory only is entered into the registry
// when it stays (the control file's switch and the properties' both on) and
// removed when it was this run's own.
#ifndef INSTALL_TEMPJVM_H
#define INSTALL_TEMPJVM_H

#include "config/settings.h"

class TemporaryJvm {
public:
    // madeDir: the folder this run placed the JVM it provided in (empty:
    // none); windowsDir: the run's Windows directory.
    TemporaryJvm(const ControlSettings& settings, bool ownTrace, const char* madeDir,
                 const char* windowsDir)
        : settings(settings), ownTrace(ownTrace), madeDir(madeDir), windowsDir(windowsDir) {}

    void cleanUp() const;

private:
    void enterInRegistry(const char* jvmHome) const;

    const ControlSettings& settings;
    bool ownTrace;
    const char* madeDir;
    const char* windowsDir;
};

#endif
