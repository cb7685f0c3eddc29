// A child program for the command-execution tests.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    const char* out = getenv("ECHOARGS_OUT");
    FILE* f = fopen(out && *out ? out : "echoargs.out", "ab");
    if (f) {
        fprintf(f, "CMDLINE %s\n", GetCommandLineA());
        fprintf(f, "ARGC %d\n", argc);
        for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
        fclose(f);
    }
    const char* code = getenv("ECHOARGS_EXIT");
    return code && *code ? atoi(code) : 0;
}
