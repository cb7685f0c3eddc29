// A child program for the command-execution tests. It appends the arguments
// it received, as the C runtime split its command line, to the file named by
// the environment variable ECHOARGS_OUT ("echoargs.out" when unset): one
// line "CMDLINE <its command line>", one line "ARGC n", then one line
// "ARG <text>" per argument after its own name.
// It ends with the exit code in ECHOARGS_EXIT (0 when unset).
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
