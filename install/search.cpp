// Install: the search for an installed JVM that meets the control file's
// version limits.
//
// JvmSearch walks the installed JVMs and proves each candidate; the ones it
// refuses are kept for the failure report. When one is accepted, its home
// directory (the one it reported, else its program's) is taken and
// "native.properties" is written for the wizard. The control file can turn
// the search off ("searchForJvm" no or none).
#include "install/installer.h"
#include "jvm/jvmsearch.h"

#include <string.h>

namespace {
// The candidate being proved, as the stage of the run.
class CandidateStages : public SearchStages {
public:
    explicit CandidateStages(Install& install) : install(install) {}
    void checking(unsigned number, unsigned count) override {
        char numberText[16], countText[16];
        formatText(numberText, sizeof numberText, "%u", number);
        formatText(countText, sizeof countText, "%u", count);
        install.showStatusMessage(TextCheckingJvm, numberText, countText);
    }

private:
    Install& install;
};
}  // namespace

bool Install::isJvmInstalled() {
    const char* search = settings.searchForJvm;
    if (search[0] && (_stricmp(search, "no") == 0 || _stricmp(search, "none") == 0)) {
        trace("Search for JVM:", settings.searchForJvm);
        return false;
    }
    bool found;
    JvmFound jvm = {};
    {
        CandidateStages stages(*this);
        JvmSearch search;
        search.setRefusals(&refusedJvms);
        search.setStages(&stages);
        showStatusMessage(TextLookingForJvm);
        found = search.findJvm(jvmWanted(), settings.jvmName, jvm);
    }
    if (!found) {
        trace("Correct version of JVM was not found in common locations");
        return false;
    }
    takeJvm(jvm);
    trace("Found correct version of JVM:", jvmCommand);
    getJavaHomeDir(javaHomeDir);
    writeNativeProperties(false, "", settings.configureWinRegistry);
    return true;
}
