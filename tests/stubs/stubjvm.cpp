// A stand-in JVM for the tests. Copied into a JVM home (bin\javaw.exe and
// the like) beside a file "stubjvm.ini" that configures it:
//   version=1.6.0_31   the version it reports to the test class
//   wizard=1           a wizard run creates "__kivwizard.sem" (0: it does not)
//   exit=0             its exit code
//   delay=0            milliseconds to wait before it ends
//   hang=1             a test run never answers: it starts a second copy of
//                      itself (argument --hang-child, which creates
//                      "stubjvm.child" beside the program); both wait for ever
//   wizardDelay=0      milliseconds a wizard run waits more; then it records
//                      "JAR 1" (or "JAR 0") in "stubjvm.runs" when the work
//                      directory's install.jar is still (no longer) there
//   fill=T:\filler     a test run then fills the disk of that file to the
//                      last byte (jvmGood.txt keeps its room: a second name
//                      of it, "<fill>.keep", outlives the launcher's delete)
//   free=0             bytes the filling leaves free
// Run as "<name> -cp . TestJvm <dir>" it writes "jvmGood.txt" into <dir>
// (a directory with blanks arrives split over several arguments). Every run
// appends its argument list, current directory and environment to
// "stubjvm.runs" beside the program; a wizard run also copies the work
// directory's "native.properties" byte for byte to "stubjvm.properties"
// beside the program, and "changes.txt" (when there is one) to
// "stubjvm.changes" (the launcher's clean-up deletes the originals).
#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "stubini.h"

static char ownDir[MAX_PATH];

static void readSetting(const char* key, char* value, size_t size, const char* fallback) {
    char ini[MAX_PATH + 16];
    snprintf(ini, sizeof ini, "%s\\stubjvm.ini", ownDir);
    iniSetting(ini, key, value, size, fallback);
}

// Writes path until its disk takes no more.
static void writeUntilFull(const char* path, DWORD most) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    static char block[65536];
    DWORD total = 0;
    for (DWORD size = sizeof block; size > 0; size /= 8) {
        DWORD written;
        while (total + size <= most && WriteFile(file, block, size, &written, nullptr) &&
               written == size)
            total += size;
    }
    CloseHandle(file);
}

static void fillDisk(const char* path, const char* results, DWORD free) {
    char keep[MAX_PATH + 8], reserve[MAX_PATH + 8];
    snprintf(keep, sizeof keep, "%s.keep", path);
    snprintf(reserve, sizeof reserve, "%s.free", path);
    CreateHardLinkA(keep, results, nullptr);
    if (free) writeUntilFull(reserve, free);
    writeUntilFull(path, 0xFFFFFFFF);
    DeleteFileA(reserve);
}

static bool isTestRun(int argc, char** argv) {
    return argc >= 4 && strcmp(argv[1], "-cp") == 0 && strcmp(argv[2], ".") == 0 &&
           strcmp(argv[3], "TestJvm") == 0;
}

static void record(int argc, char** argv, bool testRun) {
    char path[MAX_PATH + 16];
    snprintf(path, sizeof path, "%s\\stubjvm.runs", ownDir);
    FILE* f = fopen(path, "ab");
    if (!f) return;
    fprintf(f, "RUN %s\n", testRun ? "test" : "wizard");
    fprintf(f, "PROGRAM %s\n", argv[0]);
    for (int i = 1; i < argc; ++i) fprintf(f, "ARG %s\n", argv[i]);
    char cwd[MAX_PATH];
    fprintf(f, "CWD %s\n", _getcwd(cwd, MAX_PATH) ? cwd : "");
    char* env = GetEnvironmentStringsA();
    for (char* e = env; e && *e; e += strlen(e) + 1) fprintf(f, "ENV %s\n", e);
    if (env) FreeEnvironmentStringsA(env);
    fprintf(f, "END\n");
    fclose(f);
}

int main(int argc, char** argv) {
    char ownPath[MAX_PATH];
    ownLocation(ownPath, ownDir, MAX_PATH);

    if (argc >= 2 && strcmp(argv[1], "--hang-child") == 0) {
        char mark[MAX_PATH + 24];
        snprintf(mark, sizeof mark, "%s\\stubjvm.child", ownDir);
        FILE* f = fopen(mark, "w");
        if (f) fclose(f);
        Sleep(INFINITE);
    }

    char version[128], wizard[16], exitCode[16], delay[16], hang[16], wizardDelay[16],
        fill[MAX_PATH], free[16];
    readSetting("version", version, sizeof version, "1.6.0");
    readSetting("wizard", wizard, sizeof wizard, "1");
    readSetting("exit", exitCode, sizeof exitCode, "0");
    readSetting("delay", delay, sizeof delay, "0");
    readSetting("hang", hang, sizeof hang, "0");
    readSetting("wizardDelay", wizardDelay, sizeof wizardDelay, "0");
    readSetting("fill", fill, sizeof fill, "");
    readSetting("free", free, sizeof free, "0");

    bool testRun = isTestRun(argc, argv);
    record(argc, argv, testRun);

    if (testRun && strcmp(hang, "1") == 0) {
        char self[MAX_PATH], line[MAX_PATH + 32];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        snprintf(line, sizeof line, "\"%s\" --hang-child", self);
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child;
        if (CreateProcessA(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &child)) {
            CloseHandle(child.hThread);
            CloseHandle(child.hProcess);
        }
        Sleep(INFINITE);
    }
    if (testRun) {
        char dir[MAX_PATH * 2] = "";
        for (int i = 4; i < argc; ++i) {
            if (i > 4) strncat(dir, " ", sizeof dir - strlen(dir) - 1);
            strncat(dir, argv[i], sizeof dir - strlen(dir) - 1);
        }
        char results[MAX_PATH * 2 + 16];
        snprintf(results, sizeof results, "%s%sjvmGood.txt", dir, *dir ? "\\" : "");
        FILE* f = fopen(results, "w");
        if (f) {
            fprintf(f, "java version %s\n", version);
            fclose(f);
        }
        if (*fill) fillDisk(fill, results, (DWORD)atoi(free));
    } else {
        char copy[MAX_PATH + 24];
        snprintf(copy, sizeof copy, "%s\\stubjvm.properties", ownDir);
        CopyFileA("native.properties", copy, FALSE);
        // The change record too, as the wizard finds it (absent: no copy).
        snprintf(copy, sizeof copy, "%s\\stubjvm.changes", ownDir);
        DeleteFileA(copy);
        CopyFileA("changes.txt", copy, FALSE);
    }
    if (!testRun && strcmp(wizard, "1") == 0) {
        FILE* f = fopen("__kivwizard.sem", "w");
        if (f) fclose(f);
    }
    if (atoi(delay) > 0) Sleep((DWORD)atoi(delay));
    if (!testRun && atoi(wizardDelay) > 0) {
        Sleep((DWORD)atoi(wizardDelay));
        char path[MAX_PATH + 16];
        snprintf(path, sizeof path, "%s\\stubjvm.runs", ownDir);
        FILE* f = fopen(path, "ab");
        if (f) {
            fprintf(f, "JAR %d\n", GetFileAttributesA("install.jar") != INVALID_FILE_ATTRIBUTES);
            fclose(f);
        }
    }
    return atoi(exitCode);
}
