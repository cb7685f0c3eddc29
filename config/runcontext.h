// RunContext: the values of one installation that every layer may need,
// made once by the installation driver and handed down by const reference.
#ifndef CONFIG_RUNCONTEXT_H
#define CONFIG_RUNCONTEXT_H

#include "base/strbuf.h"
#include "config/language.h"

struct RunContext {
    char workDir[PathBufferSize];   // the current directory of the run
    char startDir[PathBufferSize];  // where the installation was started ("startdir.txt"), or empty
    char language[LanguageBufferSize];  // one of the nine language words
    bool quiet = false;       // "-q": nothing is shown
    bool properties = false;  // "-s": nothing is shown either
    bool tracing = false;     // the trace file exists for the run
    bool ownTrace = false;    // and the launcher made it (not the user)

    bool silent() const { return quiet || properties; }
    // The user switched tracing on: the console JVM program is kept.
    bool userTracing() const { return tracing && !ownTrace; }
};

// The context of a run in the current directory.
void makeRunContext(RunContext& context, bool quiet, bool properties, bool tracing,
                    bool ownTrace);

#endif
