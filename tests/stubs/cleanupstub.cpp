// A stand-in clean-up program for the tests. Installed as "cleanup.exe" in
// a work directory; every run appends its arguments to "cleanupstub.runs"
// beside the program ("RUN", then one "ARG <text>" line per argument).
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    char path[MAX_PATH + 32];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* slash = strrchr(path, '\\');
    if (!slash) return 1;
    strcpy(slash + 1, "cleanupstub.runs");
    FILE* f = fopen(path, "ab");
    if (!f) return 1;
    fprintf(f, "RUN\n");
    for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
    fclose(f);
    return 0;
}
