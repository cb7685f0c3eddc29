// Shared by the stub programs: where they are, the "key=value" settings files that configure them
// (the last line of a key wins), and the records of their runs.
#pragma once

#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The path of the file name beside the program (never freed: a stub ends soon).
static inline char* beside(const char* name) {
    char path[MAX_PATH * 2];
    snprintf(path, sizeof path, "%.*s\\%s", (int)(strrchr(_pgmptr, '\\') - _pgmptr), _pgmptr, name);
    return _strdup(path);
}

// The key's value in the settings file ini, else fallback (never freed either).
static inline char* iniSetting(const char* ini, const char* key, const char* fallback = "") {
    char line[1024], prefix[64], *value = _strdup(fallback);
    snprintf(prefix, sizeof prefix, "%s=", key);
    FILE* f = fopen(ini, "r");
    while (f && fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (strncmp(line, prefix, strlen(prefix)) == 0) value = _strdup(line + strlen(prefix));
    }
    if (f) fclose(f);
    return value;
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
    if (kind) fprintf(f, "RUN %s\n", kind);
    fprintf(f, "PROGRAM %s\n", argv[0]);
    for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
    fprintf(f, "CWD %s\n", _getcwd(nullptr, 0));
    for (char** e = _environ; kind && *e; ++e) fprintf(f, "ENV %s\n", *e);
    fprintf(f, "END\n");
    fclose(f);
}
