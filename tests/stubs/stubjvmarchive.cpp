// A stand-in compressed JVM for the tests. Run without arguments, it
// "expands" a stub JVM into its current directory, configured by the file
// beside it with its own name and the extension ".ini":
//   jvm=C:\...\stubjvm.exe   the stub JVM to copy (default: stubjvm.exe beside it)
//   version=1.6.0            the version the expanded JVM reports
//   home=jre                 subdirectory of the current directory that
//                            becomes the JVM home (default: the directory itself)
//   programs=java.exe,javaw.exe   the programs put into home\bin
//   msvcrt=1                 also home\bin\msvcrt.dll (a copy of the system's)
//   files=lib\security\java.policy,...   also these files below home, each
//                            holding the line "expanded <name>"
// Every run appends "CWD <current directory>" to "<name>.runs" beside it.
#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <string.h>

#include "stubini.h"

static char ownPath[MAX_PATH];

static void writeText(const char* path, const char* text) {
    FILE* f = fopen(path, "w");
    if (f) {
        fputs(text, f);
        fclose(f);
    }
}

int main() {
    char ownDir[MAX_PATH];
    ownLocation(ownPath, ownDir, MAX_PATH);

    char runs[MAX_PATH + 8], cwd[MAX_PATH];
    besideWithSuffix(ownPath, ".runs", runs, sizeof runs);
    FILE* record = fopen(runs, "a");
    if (record) {
        fprintf(record, "CWD %s\n", _getcwd(cwd, MAX_PATH) ? cwd : "");
        fclose(record);
    }

    char ini[MAX_PATH + 8], jvm[MAX_PATH], version[MAX_PATH], home[MAX_PATH], programs[512],
        msvcrt[8], files[1024];
    besideWithSuffix(ownPath, ".ini", ini, sizeof ini);
    stubJvmSettings(ini, ownDir, jvm, version);
    iniSetting(ini, "home", home, sizeof home, "");
    iniSetting(ini, "programs", programs, sizeof programs, "java.exe,javaw.exe");
    iniSetting(ini, "msvcrt", msvcrt, sizeof msvcrt, "0");
    iniSetting(ini, "files", files, sizeof files, "");

    char bin[MAX_PATH * 2];
    if (*home) {
        _mkdir(home);
        snprintf(bin, sizeof bin, "%s\\bin", home);
    } else {
        snprintf(bin, sizeof bin, "bin");
    }
    _mkdir(bin);
    if (!putStubJvm(jvm, bin, programs, version)) return 2;
    char path[MAX_PATH * 3];
    if (strcmp(msvcrt, "1") == 0) {
        // The system's own: the programs beside it load it.
        char system[MAX_PATH], runtime[MAX_PATH + 16];
        GetSystemDirectoryA(system, MAX_PATH);
        snprintf(runtime, sizeof runtime, "%s\\msvcrt.dll", system);
        snprintf(path, sizeof path, "%s\\msvcrt.dll", bin);
        CopyFileA(runtime, path, FALSE);
    }
    for (char* name = strtok(files, ","); name; name = strtok(nullptr, ",")) {
        snprintf(path, sizeof path, "%s%s%s", home, *home ? "\\" : "", name);
        char* slash = strrchr(path, '\\');
        if (slash) {  // every missing level of the file's directory
            *slash = '\0';
            makeDirs(path);
            *slash = '\\';
        }
        char text[MAX_PATH + 16];
        snprintf(text, sizeof text, "expanded %s\n", name);
        writeText(path, text);
    }
    return 0;
}
