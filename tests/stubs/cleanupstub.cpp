// A stand-in clean-up program: appends "RUN" and an "ARG" line per argument to cleanupstub.runs.
#include "stubini.h"

int main(int argc, char** argv) {
    const char* path = beside("cleanupstub.runs");
    bool ok = writeText(path, "ab", "RUN\n");
    for (int i = 1; i < argc; ++i) ok = writeText(path, "ab", "ARG %s\n", argv[i]) && ok;
    return ok ? 0 : 1;
}
