// A stand-in for the package's compressed JVM and for its JVM installer program: it puts a stub
// JVM down as its settings say, registers it when asked, and records each of its runs.
#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <string.h>

#include "stubini.h"

static void setValue(HKEY key, const char* name, const char* value) {
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
}

// Enters home under the registry search's layout: <entry>\<base> with JavaHome and MicroVersion.
static bool registerJvm(const char* version, const char* home) {
    char base[128], micro[128] = "0", keyName[1024];
    snprintf(base, sizeof base, "%s", version);
    char* first = strchr(base, '.');
    char* last = strrchr(base, '.');
    if (first && last != first) {
        snprintf(micro, sizeof micro, "%s", last + 1);
        *last = '\0';
    }
    snprintf(keyName, sizeof keyName, "SOFTWARE\\JavaSoft\\Java Runtime Environment\\%s", base);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    setValue(key, "JavaHome", home);
    setValue(key, "MicroVersion", micro);
    RegCloseKey(key);
    return true;
}

// Settings ("-config <file>", else the .ini beside it): jvm, version, home (absolute, or below the
// current directory), programs, msvcrt=1, files (each holding "expanded <name>"),
// register=<version>, record (default: the .runs beside it).
int main(int argc, char** argv) {
    char ownPath[MAX_PATH], ownDir[MAX_PATH], ini[MAX_PATH * 2], runs[MAX_PATH + 8];
    ownLocation(ownPath, ownDir, MAX_PATH);
    besideWithSuffix(ownPath, ".ini", ini, sizeof ini);
    besideWithSuffix(ownPath, ".runs", runs, sizeof runs);
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-config") == 0) snprintf(ini, sizeof ini, "%s", argv[i + 1]);

    char jvm[MAX_PATH], version[MAX_PATH], home[MAX_PATH], programs[512], msvcrt[8], files[1024],
        reg[128], record[MAX_PATH + 8], cwd[MAX_PATH];
    stubJvmSettings(ini, ownDir, jvm, version);
    iniSetting(ini, "home", home, sizeof home, "");
    iniSetting(ini, "programs", programs, sizeof programs, "java.exe,javaw.exe");
    iniSetting(ini, "msvcrt", msvcrt, sizeof msvcrt, "0");
    iniSetting(ini, "files", files, sizeof files, "");
    iniSetting(ini, "register", reg, sizeof reg, "");
    iniSetting(ini, "record", record, sizeof record, runs);
    if (!_getcwd(cwd, MAX_PATH)) cwd[0] = '\0';

    FILE* f = fopen(record, "a");
    if (f) {
        fprintf(f, "PROGRAM %s\n", argv[0]);
        for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
        fprintf(f, "CWD %s\nEND\n", cwd);
        fclose(f);
    }

    char target[MAX_PATH * 2], bin[MAX_PATH * 2 + 8], path[MAX_PATH * 3];
    if (home[0] && home[1] == ':') snprintf(target, sizeof target, "%s", home);
    else snprintf(target, sizeof target, "%s%s%s", cwd, *home ? "\\" : "", home);
    size_t length = strlen(target);
    if (length && target[length - 1] == '\\') target[length - 1] = '\0';  // a drive root
    snprintf(bin, sizeof bin, "%s\\bin", target);
    if (!makeDirs(bin)) return 2;
    if (!putStubJvm(jvm, bin, programs, version)) return 3;
    if (strcmp(msvcrt, "1") == 0) {
        // The system's own: the programs beside it load it.
        char system[MAX_PATH], runtime[MAX_PATH + 16];
        GetSystemDirectoryA(system, MAX_PATH);
        snprintf(runtime, sizeof runtime, "%s\\msvcrt.dll", system);
        snprintf(path, sizeof path, "%s\\msvcrt.dll", bin);
        CopyFileA(runtime, path, FALSE);
    }
    for (char* name = strtok(files, ","); name; name = strtok(nullptr, ",")) {
        snprintf(path, sizeof path, "%s\\%s", target, name);
        char* slash = strrchr(path, '\\');
        *slash = '\0';
        makeDirs(path);
        *slash = '\\';
        FILE* file = fopen(path, "w");
        if (file) {
            fprintf(file, "expanded %s\n", name);
            fclose(file);
        }
    }
    return *reg && !registerJvm(reg, target) ? 4 : 0;
}
