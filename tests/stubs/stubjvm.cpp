// A stand-in JVM (bin\javaw.exe and the like) that appends each run to "stubjvm.runs" beside it. A
// "-version" run prints java version "<version>" on its standard error, as real JVMs do. A test
// run ("-cp . TestJvm <dir...>") writes "jvmGood.txt" into <dir>; a wizard run copies the work
// directory's "native.properties" and "changes.txt" beside it as "stubjvm.properties" and
// "stubjvm.changes" and makes "__kivwizard.sem". "stubjvm.ini" beside it: version, javaHome (the
// home a test run reports as the test class does), records (a directory for the records instead),
// wizard=0 (no marker), answer=0 (no -version answer), delay (ms), hang=1 (a test run and a copy it
// starts, which makes "stubjvm.child", wait for ever), testUntil=<file> and wizardUntil=<file> (a
// run of that kind waits, two minutes at most, until the file exists; a wizard run then records
// "JAR 1" or "JAR 0": install.jar still there or not), fill=<file> and free=<bytes> (a test run fills the disk of
// <file> but for free bytes; "<file>.keep", a second name of jvmGood.txt, keeps that file's room),
// missingClass=<name> (a wizard run says the JVM's "could not find or load main class" and exits 1),
// wizardExit=<n> (a wizard run ends with exit code n, after its marker), breaks=1 (a test run moves
// its program to "stubjvm.old" and leaves a file that is no program in its place).
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

// The record file name in the records directory, else beside the program.
static char* record(const char* ini, const char* name) {
    const char* dir = iniSetting(ini, "records");
    if (!*dir) return beside(name);
    char path[MAX_PATH * 2];
    snprintf(path, sizeof path, "%s\\%s", dir, name);
    return _strdup(path);
}

int main(int argc, char** argv) {
    const char *ini = beside("stubjvm.ini"), *runs = record(ini, "stubjvm.runs");
    bool testRun = argc >= 4 && strcmp(argv[1], "-cp") == 0 && strcmp(argv[2], ".") == 0 &&
                   strcmp(argv[3], "TestJvm") == 0;
    if (argc == 2 && strcmp(argv[1], "-version") == 0) {
        recordRun(runs, "version", argc, argv);
        if (atoi(iniSetting(ini, "answer", "1")) == 1)
            fprintf(stderr, "java version \"%s\"\n", iniSetting(ini, "version", "1.6.0"));
        return 0;
    }
    bool copy = getenv("STUBJVM_COPY") != nullptr;  // started by a hung test run
    if (!copy) recordRun(runs, testRun ? "test" : "wizard", argc, argv);

    if (testRun && atoi(iniSetting(ini, "hang")) == 1) {
        SetEnvironmentVariableA("STUBJVM_COPY", "1");
        if (copy) writeText(beside("stubjvm.child"), "w", "");
        else WinExec(GetCommandLineA(), SW_SHOWNORMAL);
        Sleep(INFINITE);
    }
    if (testRun) {
        char dir[MAX_PATH * 2] = "", results[MAX_PATH * 2 + 16], path[MAX_PATH + 8];
        for (int i = 4; i < argc; ++i)
            snprintf(dir + strlen(dir), sizeof dir - strlen(dir), i > 4 ? " %s" : "%s", argv[i]);
        snprintf(results, sizeof results, "%s%sjvmGood.txt", dir, *dir ? "\\" : "");
        writeText(results, "w", "java version %s\n", iniSetting(ini, "version", "1.6.0"));
        const char* home = iniSetting(ini, "javaHome");
        if (*home) writeText(results, "ab", "java.home=%s\n", home);
        const char* fill = iniSetting(ini, "fill");
        if (*fill) {
            snprintf(path, sizeof path, "%s.keep", fill);
            CreateHardLinkA(path, results, nullptr);
            snprintf(path, sizeof path, "%s.free", fill);
            writeUntilFull(path, (DWORD)atoi(iniSetting(ini, "free")));
            writeUntilFull(fill, 0xFFFFFFFF);
            DeleteFileA(path);
        }
        if (atoi(iniSetting(ini, "breaks")) == 1) {
            GetModuleFileNameA(nullptr, path, MAX_PATH);
            MoveFileA(path, beside("stubjvm.old"));
            writeText(path, "w", "not a program");
        }
    } else {
        CopyFileA("native.properties", record(ini, "stubjvm.properties"), FALSE);
        const char* changes = record(ini, "stubjvm.changes");
        if (!CopyFileA("changes.txt", changes, FALSE)) DeleteFileA(changes);
        const char* missing = iniSetting(ini, "missingClass");
        if (missing[0]) {
            fprintf(stderr, "Error: Could not find or load main class %s\n", missing);
            fprintf(stderr, "Caused by: java.lang.ClassNotFoundException: %s\n", missing);
            return 1;
        }
        if (atoi(iniSetting(ini, "wizard", "1")) == 1) writeText("__kivwizard.sem", "w", "");
    }
    Sleep((DWORD)atoi(iniSetting(ini, "delay")));
    const char* until = iniSetting(ini, testRun ? "testUntil" : "wizardUntil");
    for (int i = 0; *until && i < 2400 && GetFileAttributesA(until) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    bool jar = GetFileAttributesA("install.jar") != INVALID_FILE_ATTRIBUTES;
    if (!testRun && *until) writeText(runs, "ab", "JAR %s\n", jar ? "1" : "0");
    return testRun ? 0 : atoi(iniSetting(ini, "wizardExit"));
}
