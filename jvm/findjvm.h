// FindJvm: the entry point of the search for an installed JVM that
// meets the installation's version limits (see JvmWin).
#ifndef JVM_FINDJVM_H
#define JVM_FINDJVM_H

#include "base/report.h"
#include "jvm/jvmwanted.h"
#include "jvm/refusals.h"

#include <windows.h>

class FindJvm {
public:
    FindJvm() {}
    ~FindJvm() {}

    // True when an acceptable JVM was found: jvmPath (PathBufferSize bytes)
    // then holds its program and wanted.commandName the name under which it
    // was found. On false the command name is as it was on entry. The
    // candidates refused go to refused (when given).
    bool isJvmInstalled(const JvmWanted& wanted, const char* jvmKind, char* jvmPath,
                        RefusalList* refused = nullptr);
};

#endif
