// FindJvm: the small entry point through which the installation sequence and
// the JVM provisioning look for an acceptable JVM in the registry.
#include "jvm/findjvm.h"

#include "base/strbuf.h"
#include "jvm/jvmwin.h"

#include <string.h>

// The command name takes at most 99 characters.
enum { CommandNameSize = PathBufferSize };

bool FindJvm::isJvmInstalled(const char* required, const char* minimum, const char* maximum,
                             const char* jvmKind, char* commandName, char* jvmPath) {
    size_t commandCapacity = strlen(commandName) + 1;
    char kept[CommandNameSize];
    copyText(kept, commandName);
    bool found;
    {
        JvmWin jvmWin;
        found = jvmWin.searchWindowsForJvm(required, minimum, maximum, jvmKind, commandName,
                                           jvmPath);
    }
    if (found) return true;
    copyText(commandName, commandCapacity, kept);
    return false;
}
