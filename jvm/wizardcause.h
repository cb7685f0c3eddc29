// Why the wizard's JVM ended without starting the wizard, as far as the last
// lines of its standard error tell.
#ifndef JVM_WIZARDCAUSE_H
#define JVM_WIZARDCAUSE_H

#include <stddef.h>

enum WizardCause {
    WizardCauseUnknown,    // nothing the JVM wrote names a cause
    WizardMainClassMissing,  // the main class was not found on the class path
    WizardJarMissing       // the archive to run is not there
};

// The cause that lines (a JVM's standard error, lines separated by line
// feeds) name; name (cap bytes) then holds the class or the archive as the
// JVM wrote it, and is "" otherwise.
WizardCause wizardCause(const char* lines, char* name, size_t cap);

#endif
