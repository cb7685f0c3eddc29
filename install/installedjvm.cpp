// The search for an installed JVM: JvmSearch walks the installed JVMs and
// proves each candidate, naming the one being proved as the stage of the
// run; the ones it refuses are kept for the failure report.
#include "install/installedjvm.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "install/jvminuse.h"
#include "jvm/jvmsearch.h"

#include <string.h>

namespace {
// The candidate being proved, as the stage of the run.
class CandidateStages : public SearchStages {
public:
    explicit CandidateStages(const StageLine& stages) : stages(stages) {}
    void checking(unsigned number, unsigned count) override {
        char numberText[16], countText[16];
        formatText(numberText, sizeof numberText, "%u", number);
        formatText(countText, sizeof countText, "%u", count);
        stages.show(TextCheckingJvm, numberText, countText);
    }

private:
    const StageLine& stages;
};
}  // namespace

bool findInstalledJvm(const ControlSettings& settings, bool tracing, const StageLine& stages,
                      RefusalList& refused, JvmFound& jvm) {
    const char* searchFor = settings.searchForJvm;
    if (searchFor[0] && (_stricmp(searchFor, "no") == 0 || _stricmp(searchFor, "none") == 0)) {
        trace("Search for JVM:", settings.searchForJvm);
        return false;
    }
    CandidateStages candidates(stages);
    JvmSearch search;
    search.setRefusals(&refused);
    search.setStages(&candidates);
    stages.show(TextLookingForJvm);
    if (!search.findJvm(jvmWantedBy(settings, tracing), settings.jvmName, jvm)) {
        trace("Correct version of JVM was not found in common locations");
        return false;
    }
    return true;
}
