// StageLine: the stage reached, to the trace and to the status line.
#include "install/stageline.h"
#include "base/report.h"
#include "base/strbuf.h"

void StageLine::show(UserText stage, const char* first, const char* second) const {
    char text[200];
    englishText(text, sizeof text, stage, first, second);
    trace("stage:", text);
    if (!context.silent()) channel.showStage(stage, first, second);
}
