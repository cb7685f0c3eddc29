// A stand-in clean-up program: appends "RUN" and an "ARG" line per argument to cleanupstub.runs.
#include "stubini.h"

int main(int argc, char** argv) {
    char path[MAX_PATH + 32];
    beside(path, "cleanupstub.runs");
    FILE* f = fopen(path, "ab");
    if (!f) return 1;
    fprintf(f, "RUN\n");
    for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
    fclose(f);
    return 0;
}
