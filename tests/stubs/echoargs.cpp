// A child program for the command-execution tests: appends "ARGC <count>" and an "ARG" line per
// argument to ECHOARGS_OUT (default: echoargs.out); ends with the exit code ECHOARGS_EXIT (or 0).
// With ECHOARGS_STDERR=1 each argument is also a line on its standard error.
#include "stubini.h"

int main(int argc, char** argv) {
    const char* out = getenv("ECHOARGS_OUT");
    if (FILE* f = fopen(out && *out ? out : "echoargs.out", "ab")) {
        fprintf(f, "ARGC %d\n", argc);
        for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
        fclose(f);
    }
    if (getenv("ECHOARGS_STDERR") && atoi(getenv("ECHOARGS_STDERR")) == 1)
        for (int i = 1; i < argc; ++i) fprintf(stderr, "%s\n", argv[i]);
    return atoi(getenv("ECHOARGS_EXIT") ? getenv("ECHOARGS_EXIT") : "0");
}
