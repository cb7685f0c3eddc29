// A stand-in for the package's compressed JVM and for its JVM installer program: it puts a stub JVM
// down, registers it if asked, and records its runs. Settings ("-config <file>", else the .ini of
// its own name): jvm (the stub JVM), version (the one it reports), javaHome and records (the stub
// JVM's), home (absolute, or below the current directory), bin=0 (the programs at the home, not in
// its bin), programs, msvcrt=1 (the system's beside them), files (each holding "expanded <name>"),
// register=<base>.<micro>, record (default: the .runs of its own name), exit (an exit code other
// than 0: it fails at once, putting nothing down).
#include "stubini.h"
#include <shlobj.h>

int main(int argc, char** argv) {
    char ini[MAX_PATH * 2], runs[MAX_PATH + 8];
    int stem = (int)(strrchr(_pgmptr, '.') - _pgmptr);  // the program's path less ".exe"
    snprintf(ini, sizeof ini, "%.*s.ini", stem, _pgmptr);
    snprintf(runs, sizeof runs, "%.*s.runs", stem, _pgmptr);
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "-config") == 0) snprintf(ini, sizeof ini, "%s", argv[i + 1]);
    recordRun(iniSetting(ini, "record", runs), nullptr, argc, argv);
    if (int code = atoi(iniSetting(ini, "exit"))) return code;

    char target[MAX_PATH], path[MAX_PATH * 2];
    GetFullPathNameA(iniSetting(ini, "home", "."), MAX_PATH, target, nullptr);
    snprintf(path, sizeof path, atoi(iniSetting(ini, "bin", "1")) ? "%s\\bin" : "%s", target);
    SHCreateDirectoryExA(nullptr, path, nullptr);
    SetCurrentDirectoryA(path);  // the settings file is named by its full path
    char* programs = iniSetting(ini, "programs", "java.exe,javaw.exe");
    for (char* name = strtok(programs, ","); name; name = strtok(nullptr, ","))
        if (!CopyFileA(iniSetting(ini, "jvm"), name, FALSE)) return 3;
    const char* version = iniSetting(ini, "version", "1.6.0");
    if (!writeText("stubjvm.ini", "w", "version=%s\n", version)) return 3;
    static const char* const passed[] = {"javaHome", "records"};
    for (const char* key : passed) {
        snprintf(path, sizeof path, "%s=%s\n", key, iniSetting(ini, key));
        if (!writeText("stubjvm.ini", "ab", "%s", path)) return 3;
    }
    if (atoi(iniSetting(ini, "msvcrt")) == 1)
        CopyFileA("C:\\windows\\system32\\msvcrt.dll", "msvcrt.dll", FALSE);
    for (char* name = strtok(iniSetting(ini, "files"), ","); name; name = strtok(nullptr, ",")) {
        snprintf(path, sizeof path, "%s\\%s", target, name);
        *strrchr(path, '\\') = '\0';
        SHCreateDirectoryExA(nullptr, path, nullptr);
        snprintf(path, sizeof path, "%s\\%s", target, name);
        writeText(path, "w", "expanded %s\n", name);
    }
    // Entered as the registry search reads it: <entry>\<base> with JavaHome and MicroVersion.
    char* base = iniSetting(ini, "register");
    char* micro = strrchr(base, '.');
    if (!micro) return 0;
    *micro++ = '\0';
    snprintf(path, sizeof path, "SOFTWARE\\JavaSoft\\Java Runtime Environment\\%s", base);
    auto set = [&](const char* name, const char* value) {
        return !RegSetKeyValueA(HKEY_LOCAL_MACHINE, path, name, REG_SZ, value, strlen(value) + 1);
    };
    return set("JavaHome", target) && set("MicroVersion", micro) ? 0 : 4;
}
