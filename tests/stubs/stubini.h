// Shared by the stub programs: their own location and the "key=value" settings file that configures
// each of them (the last line of a key wins).
#ifndef TESTS_STUBS_STUBINI_H
#define TESTS_STUBS_STUBINI_H

#include <windows.h>
#include <stdio.h>
#include <string.h>

// The program's own path, its directory, and its path with the extension replaced by suffix (e.g.
// ".ini", ".runs").
static inline void ownLocation(char* path, char* dir, size_t size) {
    GetModuleFileNameA(nullptr, path, (DWORD)size);
    snprintf(dir, size, "%s", path);
    char* slash = strrchr(dir, '\\');
    if (slash) *slash = '\0';
}

static inline void besideWithSuffix(const char* path, const char* suffix, char* out, size_t size) {
    snprintf(out, size, "%s", path);
    char* dot = strrchr(out, '.');
    if (dot) *dot = '\0';
    strncat(out, suffix, size - strlen(out) - 1);
}

// value = the setting key of the file ini, or fallback when it has none.
static inline void iniSetting(const char* ini, const char* key, char* value, size_t size,
                       const char* fallback) {
    snprintf(value, size, "%s", fallback);
    FILE* f = fopen(ini, "r");
    if (!f) return;
    char line[1024];
    size_t keyLength = strlen(key);
    while (fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (strncmp(line, key, keyLength) == 0 && line[keyLength] == '=')
            snprintf(value, size, "%s", line + keyLength + 1);
    }
    fclose(f);
}

// The stub JVM a stand-in puts down and the version it reports: the settings "jvm" (default:
// stubjvm.exe beside the program) and "version" (default 1.6.0) of the file ini; both buffers hold
// MAX_PATH characters.
static inline void stubJvmSettings(const char* ini, const char* ownDir, char* jvm, char* version) {
    char fallback[MAX_PATH + 16];
    snprintf(fallback, sizeof fallback, "%s\\stubjvm.exe", ownDir);
    iniSetting(ini, "jvm", jvm, MAX_PATH, fallback);
    iniSetting(ini, "version", version, MAX_PATH, "1.6.0");
}

// Makes every missing level of the directory path; true when it exists.
static inline bool makeDirs(const char* path) {
    char work[MAX_PATH * 2];
    snprintf(work, sizeof work, "%s", path);
    for (char* c = work + 1; *c; ++c) {
        if (*c != '\\' || c[-1] == ':') continue;
        *c = '\0';
        CreateDirectoryA(work, nullptr);
        *c = '\\';
    }
    CreateDirectoryA(work, nullptr);
    return GetFileAttributesA(work) != INVALID_FILE_ATTRIBUTES;
}

// Puts the stub JVM jvm into the directory bin under each name of the comma-separated list
// programs, with a stubjvm.ini that makes it report version.
static inline bool putStubJvm(const char* jvm, const char* bin, char* programs,
                              const char* version) {
    char path[MAX_PATH * 3];
    for (char* name = strtok(programs, ","); name; name = strtok(nullptr, ",")) {
        snprintf(path, sizeof path, "%s\\%s", bin, name);
        if (!CopyFileA(jvm, path, FALSE)) return false;
    }
    snprintf(path, sizeof path, "%s\\stubjvm.ini", bin);
    FILE* f = fopen(path, "w");
    if (!f) return false;
    fprintf(f, "version=%s\n", version);
    fclose(f);
    return true;
}

#endif
