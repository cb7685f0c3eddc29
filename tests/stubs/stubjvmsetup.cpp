// A stand-in JVM installer program for the tests. It installs a stub JVM
// into a subdirectory of its current directory, or into another directory
// that it then registers under SOFTWARE\JavaSoft, as its configuration says.
// The configuration is the file named by the arguments "-config <file>", or
// else the file beside it with its own name and the extension ".ini":
//   jvm=C:\...\stubjvm.exe   the stub JVM to copy (default: stubjvm.exe beside it)
//   version=1.6.0            the version the installed JVM reports
//   subdir=jre               install into <current directory>\jre
//   home=C:\elsewhere\jre    install there instead (absolute)
//   register=1.6.0           register the home under the JRE key <key> of
//                            HKLM\SOFTWARE\JavaSoft with MicroVersion "micro"
//                            (key = base of the version)
//   record=C:\...\runs.txt   append the arguments and current directory there
#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <string.h>

#include "stubini.h"

static char config[MAX_PATH * 2];

static bool setValue(HKEY key, const char* name, const char* value) {
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1) ==
           ERROR_SUCCESS;
}

int main(int argc, char** argv) {
    char ownPath[MAX_PATH], ownDir[MAX_PATH];
    ownLocation(ownPath, ownDir, MAX_PATH);
    besideWithSuffix(ownPath, ".ini", config, sizeof config);
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-config") == 0) snprintf(config, sizeof config, "%s", argv[i + 1]);

    char jvm[MAX_PATH], version[MAX_PATH], subdir[MAX_PATH], home[MAX_PATH], reg[128],
        record[MAX_PATH], cwd[MAX_PATH];
    stubJvmSettings(config, ownDir, jvm, version);
    iniSetting(config, "subdir", subdir, sizeof subdir, "");
    iniSetting(config, "home", home, sizeof home, "");
    iniSetting(config, "register", reg, sizeof reg, "");
    iniSetting(config, "record", record, sizeof record, "");
    if (!_getcwd(cwd, MAX_PATH)) cwd[0] = '\0';

    if (*record) {
        FILE* f = fopen(record, "a");
        if (f) {
            fprintf(f, "PROGRAM %s\n", argv[0]);
            for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
            fprintf(f, "CWD %s\nEND\n", cwd);
            fclose(f);
        }
    }

    char target[MAX_PATH * 2];
    if (*home) snprintf(target, sizeof target, "%s", home);
    else if (*subdir) snprintf(target, sizeof target, "%s\\%s", cwd, subdir);
    else return 0;  // installs nothing

    char bin[MAX_PATH * 2 + 8], programs[] = "java.exe,javaw.exe";
    snprintf(bin, sizeof bin, "%s\\bin", target);
    if (!makeDirs(bin)) return 2;
    if (!putStubJvm(jvm, bin, programs, version)) return 3;

    if (*reg) {
        // The registry search's layout: <entry>\<base> with JavaHome and
        // MicroVersion.
        char base[128], micro[128] = "0";
        snprintf(base, sizeof base, "%s", reg);
        char* first = strchr(base, '.');
        char* last = strrchr(base, '.');
        if (first && last != first) {
            snprintf(micro, sizeof micro, "%s", last + 1);
            *last = '\0';
        }
        char keyName[1024];
        snprintf(keyName, sizeof keyName, "SOFTWARE\\JavaSoft\\Java Runtime Environment\\%s",
                 base);
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return 4;
        setValue(key, "JavaHome", target);
        setValue(key, "MicroVersion", micro);
        RegCloseKey(key);
    }
    return 0;
}
