// The run's context, read once.
#include "config/runcontext.h"
#include "base/curdir.h"
#include "config/startdir.h"

void makeRunContext(RunContext& context, bool quiet, bool properties, bool tracing,
                    bool ownTrace) {
    getCurrentDir(context.workDir, PathBufferSize - 1);
    readStartDir(context.startDir, sizeof context.startDir);
    getLanguage(context.language);
    context.quiet = quiet;
    context.properties = properties;
    context.tracing = tracing;
    context.ownTrace = ownTrace;
}
