// FindJvm: the small entry point through which the installation sequence and
// the JVM provisioning look for an acceptable installed JVM.
#include "jvm/findjvm.h"

#include "base/strbuf.h"
#include "jvm/jvmwin.h"

#include <string.h>

bool FindJvm::isJvmInstalled(const JvmWanted& wanted, const char* jvmKind, char* jvmPath,
                             RefusalList* refused) {
    char kept[JvmWanted::CommandNameSize];
    copyText(kept, wanted.commandName);
    bool found;
    {
        JvmWin jvmWin;
        jvmWin.setRefusals(refused);
        found = jvmWin.searchWindowsForJvm(wanted, jvmKind, jvmPath);
    }
    if (found) {
        if (refused) refused->clear();
        return true;
    }
    copyText(wanted.commandName, JvmWanted::CommandNameSize, kept);
    return false;
}
