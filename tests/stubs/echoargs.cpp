// A child program for the command-execution tests: appends its command line and arguments to
// ECHOARGS_OUT (default: echoargs.out) and ends with the exit code ECHOARGS_EXIT (default: 0).
#include "stubini.h"

int main(int argc, char** argv) {
    const char* out = getenv("ECHOARGS_OUT");
    FILE* f = fopen(out && *out ? out : "echoargs.out", "ab");
    if (f) {
        fprintf(f, "CMDLINE %s\nARGC %d\n", GetCommandLineA(), argc);
        for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
        fclose(f);
    }
    return atoi(getenv("ECHOARGS_EXIT") ? getenv("ECHOARGS_EXIT") : "0");
}
