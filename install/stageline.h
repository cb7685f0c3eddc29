// StageLine: the stage a run has reached, as "stage: ..." in the trace (in
// English) and as the status line in the user's language unless the run is
// quiet.
#ifndef INSTALL_STAGELINE_H
#define INSTALL_STAGELINE_H

#include "base/userchannel.h"
#include "base/usertext.h"
#include "config/runcontext.h"

class StageLine {
public:
    // context: whether the run is quiet, as it stands when a stage is shown.
    StageLine(UserChannel& channel, const RunContext& context)
        : channel(channel), context(context) {}
    void show(UserText stage, const char* first = nullptr, const char* second = nullptr) const;

private:
    UserChannel& channel;
    const RunContext& context;
};

#endif
