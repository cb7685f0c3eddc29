// A stand-in JVM in a JVM home (bin\javaw.exe and the like); every run appends itself to
// "stubjvm.runs" beside it. A test run ("<name> -cp . TestJvm <dir>", a <dir> with blanks split in
// words) writes "jvmGood.txt" into <dir>; a wizard run copies the work directory's
// "native.properties" and "changes.txt", which the launcher's clean-up deletes, beside it as
// "stubjvm.properties" and "stubjvm.changes". Settings in "stubjvm.ini" beside it: version (told
// the test class), wizard=0 (no "__kivwizard.sem"), delay (milliseconds before the end), hang=1 (a
// test run starts a second copy, which creates "stubjvm.child", and both wait for ever),
// wizardDelay (milliseconds a wizard run waits more, then records "JAR 1" or "JAR 0" as install.jar
// is still there or not), fill=<file> and free=<bytes> (a test run then fills the disk of <file>
// to the bytes left free; "<file>.keep", a second name of jvmGood.txt, keeps that file's room).
#include "stubini.h"

// Writes path until its disk takes no more, or most bytes.
static void writeUntilFull(const char* path, DWORD most) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    static char block[65536];
    DWORD total = 0, written;
    for (DWORD size = sizeof block; size > 0; size /= 8)
        while (total + size <= most && WriteFile(file, block, size, &written, nullptr) &&
               written == size)
            total += size;
    CloseHandle(file);
}

int main(int argc, char** argv) {
    char path[MAX_PATH + 24], ini[MAX_PATH + 16], runs[MAX_PATH + 16], version[128], fill[MAX_PATH];
    if (argc >= 2 && strcmp(argv[1], "--hang-child") == 0) {
        beside(path, "stubjvm.child");
        writeText(path, "w", "");
        Sleep(INFINITE);
    }
    beside(ini, "stubjvm.ini");
    iniSetting(ini, "version", version, sizeof version, "1.6.0");
    iniSetting(ini, "fill", fill, sizeof fill, "");
    bool testRun = argc >= 4 && strcmp(argv[1], "-cp") == 0 && strcmp(argv[2], ".") == 0 &&
                   strcmp(argv[3], "TestJvm") == 0;
    beside(runs, "stubjvm.runs");
    recordRun(runs, testRun ? "test" : "wizard", argc, argv);

    if (testRun && iniNumber(ini, "hang") == 1) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        snprintf(path, sizeof path, "\"%s\" --hang-child", self);
        WinExec(path, SW_SHOWNORMAL);
        Sleep(INFINITE);
    }
    if (testRun) {
        char dir[MAX_PATH * 2] = "", results[MAX_PATH * 2 + 16];
        for (int i = 4; i < argc; ++i)
            snprintf(dir + strlen(dir), sizeof dir - strlen(dir), i > 4 ? " %s" : "%s", argv[i]);
        snprintf(results, sizeof results, "%s%sjvmGood.txt", dir, *dir ? "\\" : "");
        writeText(results, "w", "java version %s\n", version);
        if (*fill) {
            snprintf(path, sizeof path, "%s.keep", fill);
            CreateHardLinkA(path, results, nullptr);
            snprintf(path, sizeof path, "%s.free", fill);
            writeUntilFull(path, (DWORD)iniNumber(ini, "free"));
            writeUntilFull(fill, 0xFFFFFFFF);
            DeleteFileA(path);
        }
    } else {
        beside(path, "stubjvm.properties");
        CopyFileA("native.properties", path, FALSE);
        beside(path, "stubjvm.changes");
        DeleteFileA(path);
        CopyFileA("changes.txt", path, FALSE);
        if (iniNumber(ini, "wizard", "1") == 1) writeText("__kivwizard.sem", "w", "");
    }
    Sleep((DWORD)iniNumber(ini, "delay"));
    if (!testRun && iniNumber(ini, "wizardDelay") > 0) {
        Sleep((DWORD)iniNumber(ini, "wizardDelay"));
        bool jar = GetFileAttributesA("install.jar") != INVALID_FILE_ATTRIBUTES;
        writeText(runs, "ab", "JAR %s\n", jar ? "1" : "0");
    }
    return 0;
}
