// A stand-in clean-up program for the tests.
#include "stubini.h"

int main(int argc, char** argv) {
    char path[MAX_PATH + 32], dir[MAX_PATH];
    ownLocation(path, dir, MAX_PATH);
    snprintf(path, sizeof path, "%s\\cleanupstub.runs", dir);
    FILE* f = fopen(path, "ab");
    if (!f) return 1;
    fprintf(f, "RUN\n");
    for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
    fclose(f);
    return 0;
}
