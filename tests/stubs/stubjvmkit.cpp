// A stand-in for the package's compressed JVM and for its JVM installer program: it puts a stub JVM
// down, registers it if asked, and records its runs. Settings ("-config <file>", else the .ini
// beside it): jvm (the stub JVM), version (the one it reports), home (absolute, or below the
// current directory), programs, msvcrt=1 (the system's beside them), files (each holding
// "expanded <name>"), register=<version>, record (default: the .runs beside it).
#include "stubini.h"
#include <shlobj.h>

int main(int argc, char** argv) {
    char self[MAX_PATH], ini[MAX_PATH * 2], runs[MAX_PATH + 8];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    *strrchr(self, '.') = '\0';
    snprintf(ini, sizeof ini, "%s.ini", self);
    snprintf(runs, sizeof runs, "%s.runs", self);
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-config") == 0) snprintf(ini, sizeof ini, "%s", argv[i + 1]);

    char jvm[MAX_PATH], version[128], home[MAX_PATH], programs[512], files[1024], reg[128],
        record[MAX_PATH + 8];
    iniSetting(ini, "jvm", jvm, sizeof jvm, "");
    iniSetting(ini, "version", version, sizeof version, "1.6.0");
    iniSetting(ini, "home", home, sizeof home, "");
    iniSetting(ini, "programs", programs, sizeof programs, "java.exe,javaw.exe");
    iniSetting(ini, "files", files, sizeof files, "");
    iniSetting(ini, "register", reg, sizeof reg, "");
    iniSetting(ini, "record", record, sizeof record, runs);
    recordRun(record, nullptr, argc, argv);

    char cwd[MAX_PATH], target[MAX_PATH * 2], bin[MAX_PATH * 2 + 8], path[MAX_PATH * 3];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    if (home[0] && home[1] == ':') snprintf(target, sizeof target, "%s", home);
    else snprintf(target, sizeof target, "%s%s%s", cwd, *home ? "\\" : "", home);
    snprintf(bin, sizeof bin, "%s\\bin", target);
    SHCreateDirectoryExA(nullptr, bin, nullptr);
    if (GetFileAttributesA(bin) == INVALID_FILE_ATTRIBUTES) return 2;
    for (char* name = strtok(programs, ","); name; name = strtok(nullptr, ",")) {
        snprintf(path, sizeof path, "%s\\%s", bin, name);
        if (!CopyFileA(jvm, path, FALSE)) return 3;
    }
    snprintf(path, sizeof path, "%s\\stubjvm.ini", bin);
    if (!writeText(path, "w", "version=%s\n", version)) return 3;
    if (iniNumber(ini, "msvcrt") == 1) {
        snprintf(path, sizeof path, "%s\\msvcrt.dll", bin);
        CopyFileA("C:\\windows\\system32\\msvcrt.dll", path, FALSE);
    }
    for (char* name = strtok(files, ","); name; name = strtok(nullptr, ",")) {
        snprintf(path, sizeof path, "%s\\%s", target, name);
        *strrchr(path, '\\') = '\0';
        SHCreateDirectoryExA(nullptr, path, nullptr);
        snprintf(path, sizeof path, "%s\\%s", target, name);
        writeText(path, "w", "expanded %s\n", name);
    }
    if (!*reg) return 0;
    // Entered as the registry search reads it: <entry>\<base> with JavaHome and MicroVersion.
    char* last = strrchr(reg, '.');
    bool split = last && last != strchr(reg, '.');  // <base>.<micro>
    if (split) *last = '\0';
    const char* micro = split ? last + 1 : "0";
    snprintf(path, sizeof path, "SOFTWARE\\JavaSoft\\Java Runtime Environment\\%s", reg);
    bool ok = RegSetKeyValueA(HKEY_LOCAL_MACHINE, path, "JavaHome", REG_SZ, target,
                              (DWORD)strlen(target) + 1) == ERROR_SUCCESS;
    ok = ok && RegSetKeyValueA(HKEY_LOCAL_MACHINE, path, "MicroVersion", REG_SZ, micro,
                               (DWORD)strlen(micro) + 1) == ERROR_SUCCESS;
    return ok ? 0 : 4;
}
