// Shared by the stub programs: where they are, the "key=value" settings files that configure them
// (the last line of a key wins), and the records of their runs.
#ifndef TESTS_STUBS_STUBINI_H
#define TESTS_STUBS_STUBINI_H

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// out = the path of the file name beside the program.
template <size_t N> void beside(char (&out)[N], const char* name) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    snprintf(out, N, "%.*s\\%s", (int)(strrchr(self, '\\') - self), self, name);
}

static inline void iniSetting(const char* ini, const char* key, char* value, size_t size,
                              const char* fallback) {
    snprintf(value, size, "%s", fallback);
    FILE* f = fopen(ini, "r");
    if (!f) return;
    char line[1024];
    while (fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (strncmp(line, key, strlen(key)) == 0 && line[strlen(key)] == '=')
            snprintf(value, size, "%s", line + strlen(key) + 1);
    }
    fclose(f);
}

static inline int iniNumber(const char* ini, const char* key, const char* fallback = "0") {
    char value[32];
    iniSetting(ini, key, value, sizeof value, fallback);
    return atoi(value);
}

// Writes (mode "w") or appends (mode "ab") format with value filled in to path.
static inline bool writeText(const char* path, const char* mode, const char* format,
                             const char* value = "") {
    FILE* f = fopen(path, mode);
    if (!f) return false;
    fprintf(f, format, value);
    return fclose(f) == 0;
}

// Appends one run to the record path: with a kind, "RUN <kind>" first; "PROGRAM", an "ARG" line per
// argument, "CWD", with a kind an "ENV" line per environment variable, and "END".
static inline void recordRun(const char* path, const char* kind, int argc, char** argv) {
    FILE* f = fopen(path, "ab");
    if (!f) return;
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, cwd);
    if (kind) fprintf(f, "RUN %s\n", kind);
    fprintf(f, "PROGRAM %s\n", argv[0]);
    for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
    fprintf(f, "CWD %s\n", cwd);
    char* block = kind ? GetEnvironmentStringsA() : nullptr;
    for (char* e = block; e && *e; e += strlen(e) + 1) fprintf(f, "ENV %s\n", e);
    if (block) FreeEnvironmentStringsA(block);
    fprintf(f, "END\n");
    fclose(f);
}

#endif
