// launchbench: what the launcher adds to the JVM runs it has to make.
//
// Inside Windows (Wine on the build machine) it builds a package in a work
// directory and stub JVMs registered under HKLM\SOFTWARE\JavaSoft, then
// times, side by side and alternately:
//   launcher:N  "installer.exe -q x" in the work directory, N registered JVMs
//               of which only the oldest is acceptable (N test runs and the
//               wizard run);
//   floor:N     floor.exe making the same N test runs and the wizard run and
//               nothing else;
//   stub        the stub JVM's test run started directly by this runner.
// Every program is started with CreateProcess and waited for, and timed with
// QueryPerformanceCounter, so that the platform's start cost is the same on
// both sides. Each figure is the median of several runs.
//
// The peak working set of each program comes from GetProcessMemoryInfo on
// its process handle after it has ended (or, where the platform no longer
// answers then, from sampling it while it runs, in runs of their own).
//
// After every launcher run the stub JVMs' records are counted: a run that
// made other JVM runs than the floor's is reported, so that a launcher
// that fails (and so does less) is never taken for a fast one.
//
// Usage: launchbench.exe <scratch directory> <installer.exe> <floor.exe>
//          <stubjvm.exe> <TestJvm.class> <install.jar>
//          [--runs N] [--candidates N] [--quick]
// Output: "RESULT <name> <seconds> <count>", "MEMORY <name> <bytes>",
// "RUNS <name> <test runs> <wizard runs> <marker left>" lines.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MaxRuns = 31, MaxCandidates = 20, PathSize = 1024, CommandSize = 8192 };

static const char JreKey[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
static const char* const ProductKeys[] = {"SOFTWARE\\JavaSoft\\Java Runtime Environment",
                                          "SOFTWARE\\JavaSoft\\Java Development Kit",
                                          "SOFTWARE\\JavaSoft\\Java Plug-in"};
// The lock the tests hold while they change the JavaSoft keys of a prefix.
static const char RegistryLock[] = "launcher-tests-javasoft-registry";
static const char WizardArguments[] = "-classpath .;install.jar SampleWizard -q x";
static const char ControlText[] =
    "jvmRequiredVersion=1.4.0\n"
    "jvmCommandName=javaw.exe\n"
    "jvmClasspathSwitch=-classpath\n"
    "loaderClasspath=.;install.jar\n"
    "loaderJavaCommand=SampleWizard\n";

struct Options {
    const char* scratch = nullptr;
    const char* installer = nullptr;
    const char* floor = nullptr;
    const char* stub = nullptr;
    const char* testClass = nullptr;
    const char* jar = nullptr;
    unsigned runs = 7;
    unsigned candidates = 10;
    bool quick = false;
};

static bool failed = false;
static void check(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "launchbench: check failed: %s\n", what);
    failed = true;
}

static double now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

static int compareDoubles(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

static double median(const double* values, unsigned count) {
    double sorted[MaxRuns];
    memcpy(sorted, values, count * sizeof *values);
    qsort(sorted, count, sizeof *sorted, compareDoubles);
    return count % 2 ? sorted[count / 2] : (sorted[count / 2 - 1] + sorted[count / 2]) / 2;
}

static bool writeText(const char* path, const char* text) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fputs(text, f) >= 0;
    return fclose(f) == 0 && ok;
}

// Everything in a directory (not below it) deleted, read-only files too.
static void emptyDirectory(const char* dir) {
    char pattern[PathSize], path[PathSize];
    snprintf(pattern, sizeof pattern, "%s\\*", dir);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        snprintf(path, sizeof path, "%s\\%s", dir, found.cFileName);
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

static void clearJavaSoftKeys() {
    for (const char* key : ProductKeys) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
}

static bool registerJvm(const char* version, const char* home) {
    char path[PathSize];
    snprintf(path, sizeof path, "%s\\%s", JreKey, version);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG a = RegSetValueExA(key, "MicroVersion", 0, REG_SZ, (const BYTE*)"0", 2);
    LONG b = RegSetValueExA(key, "JavaHome", 0, REG_SZ, (const BYTE*)home,
                            (DWORD)strlen(home) + 1);
    RegCloseKey(key);
    return a == ERROR_SUCCESS && b == ERROR_SUCCESS;
}

// The bench's layout under the scratch directory.
struct Layout {
    char work[PathSize];                       // the package's work directory
    char home[MaxCandidates][PathSize];        // JVM homes, oldest first
    char program[MaxCandidates][PathSize];     // home\bin\javaw.exe
    char version[MaxCandidates][32];           // 1.4.0, 1.4.1, ...
};

static bool makeLayout(const Options& o, Layout& layout) {
    char dir[PathSize];
    CreateDirectoryA(o.scratch, nullptr);
    snprintf(layout.work, PathSize, "%s\\package", o.scratch);
    CreateDirectoryA(layout.work, nullptr);
    snprintf(dir, sizeof dir, "%s\\jvm", o.scratch);
    CreateDirectoryA(dir, nullptr);
    for (unsigned i = 0; i < o.candidates; ++i) {
        snprintf(layout.version[i], sizeof layout.version[i], "1.4.%u", i);
        snprintf(layout.home[i], PathSize, "%s\\jvm\\%s", o.scratch, layout.version[i]);
        CreateDirectoryA(layout.home[i], nullptr);
        snprintf(dir, sizeof dir, "%s\\bin", layout.home[i]);
        CreateDirectoryA(dir, nullptr);
        snprintf(layout.program[i], PathSize, "%s\\javaw.exe", dir);
        if (!CopyFileA(o.stub, layout.program[i], FALSE)) return false;
        char ini[PathSize], text[64];
        snprintf(ini, sizeof ini, "%s\\stubjvm.ini", dir);
        snprintf(text, sizeof text, "version=%s\nwizard=1\n", layout.version[i]);
        if (!writeText(ini, text)) return false;
    }
    return true;
}

// The package as it arrives: control file, test class, wizard; the stub
// JVMs' records of earlier runs gone.
static bool freshPackage(const Options& o, const Layout& layout, unsigned candidates) {
    char path[PathSize];
    emptyDirectory(layout.work);
    snprintf(path, sizeof path, "%s\\kiv.control", layout.work);
    bool ok = writeText(path, ControlText);
    snprintf(path, sizeof path, "%s\\TestJvm.class", layout.work);
    ok = CopyFileA(o.testClass, path, FALSE) && ok;
    snprintf(path, sizeof path, "%s\\install.jar", layout.work);
    ok = CopyFileA(o.jar, path, FALSE) && ok;
    for (unsigned i = 0; i < candidates; ++i) {
        snprintf(path, sizeof path, "%s\\bin\\stubjvm.runs", layout.home[i]);
        DeleteFileA(path);
    }
    return ok;
}

struct RunCount {
    unsigned tests = 0, wizards = 0;
    bool markerLeft = false;
};

static unsigned countLines(const char* path, const char* line) {
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    unsigned count = 0;
    char buffer[4096];
    size_t length = strlen(line);
    while (fgets(buffer, sizeof buffer, f))
        if (strncmp(buffer, line, length) == 0 && (buffer[length] == '\n' || buffer[length] == '\r'))
            ++count;
    fclose(f);
    return count;
}

static RunCount countRuns(const Layout& layout, unsigned candidates) {
    RunCount count;
    char path[PathSize];
    for (unsigned i = 0; i < candidates; ++i) {
        snprintf(path, sizeof path, "%s\\bin\\stubjvm.runs", layout.home[i]);
        count.tests += countLines(path, "RUN test");
        count.wizards += countLines(path, "RUN wizard");
    }
    snprintf(path, sizeof path, "%s\\__kivwizard.sem", layout.work);
    count.markerLeft = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    return count;
}

// One run of a program: its time and its peak working set.
struct Run {
    double seconds = -1;
    SIZE_T peak = 0;  // 0: not known
};

// Starts the program in the directory and waits for it. With sample set,
// the working set is read every millisecond while it runs (for platforms
// that no longer answer once a process has ended); such runs are not timed.
static Run runProgram(const char* program, const char* commandLine, const char* directory,
                      bool sample) {
    Run run;
    char line[CommandSize];
    snprintf(line, sizeof line, "%s", commandLine);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    double start = now();
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                        &process)) {
        fprintf(stderr, "launchbench: cannot start %s (%lu)\n", program, GetLastError());
        failed = true;
        return run;
    }
    PROCESS_MEMORY_COUNTERS counters;
    if (sample) {
        while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
            memset(&counters, 0, sizeof counters);
            if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) &&
                counters.PeakWorkingSetSize > run.peak)
                run.peak = counters.PeakWorkingSetSize;
        }
    } else {
        WaitForSingleObject(process.hProcess, INFINITE);
        run.seconds = now() - start;
    }
    memset(&counters, 0, sizeof counters);
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) &&
        counters.PeakWorkingSetSize > run.peak)
        run.peak = counters.PeakWorkingSetSize;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

static const char* fileName(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// The two sides of one scenario: n registered JVMs, the oldest acceptable.
struct Sides {
    char launcherLine[CommandSize];
    char floorLine[CommandSize];
};

static void commandLines(const Options& o, const Layout& layout, unsigned n, Sides& sides) {
    snprintf(sides.launcherLine, sizeof sides.launcherLine, "\"%s\" -q x", o.installer);
    int used = snprintf(sides.floorLine, sizeof sides.floorLine, "\"%s\" \"%s\" \"%s\"", o.floor,
                        layout.work, WizardArguments);
    // The launcher tries the most recent first: the floor does the same.
    for (unsigned i = n; i-- > 0 && used > 0 && (size_t)used < sizeof sides.floorLine;)
        used += snprintf(sides.floorLine + used, sizeof sides.floorLine - used, " \"%s\"",
                         layout.program[i]);
}

static Run launcherRun(const Options& o, const Layout& layout, unsigned n, const Sides& sides,
                       bool sample, RunCount* count) {
    check(freshPackage(o, layout, n), "package written");
    Run run = runProgram(o.installer, sides.launcherLine, layout.work, sample);
    if (count) *count = countRuns(layout, n);
    return run;
}

static Run floorRun(const Options& o, const Layout& layout, unsigned n, const Sides& sides,
                    bool sample, RunCount* count) {
    check(freshPackage(o, layout, n), "package written");
    Run run = runProgram(o.floor, sides.floorLine, layout.work, sample);
    if (count) *count = countRuns(layout, n);
    return run;
}

static void report(const char* name, unsigned n, double seconds) {
    printf("RESULT %s:%u %.6f %u\n", name, n, seconds, n);
}

static void reportRuns(const char* name, unsigned n, const RunCount& c) {
    printf("RUNS %s:%u %u %u %d\n", name, n, c.tests, c.wizards, c.markerLeft ? 1 : 0);
}

// Times the launcher and the floor with n registered JVMs, alternately,
// after one untimed run of each. Returns the launcher's median peak working
// set (0 when unknown) through peak, the floor's through floorPeak.
static void scenario(const Options& o, const Layout& layout, unsigned n, SIZE_T* peak,
                     SIZE_T* floorPeak) {
    clearJavaSoftKeys();
    for (unsigned i = 0; i < n; ++i)
        check(registerJvm(layout.version[i], layout.home[i]), "JVM registered");
    Sides sides;
    commandLines(o, layout, n, sides);

    RunCount launcherCount, floorCount;
    if (!o.quick) {
        launcherRun(o, layout, n, sides, false, nullptr);
        floorRun(o, layout, n, sides, false, nullptr);
    }
    double launcherTimes[MaxRuns], floorTimes[MaxRuns];
    SIZE_T launcherPeak = 0, floorPeakMax = 0;
    for (unsigned r = 0; r < o.runs; ++r) {
        Run a, b;
        RunCount ca, cb;
        if (r % 2 == 0) {
            a = launcherRun(o, layout, n, sides, false, &ca);
            b = floorRun(o, layout, n, sides, false, &cb);
        } else {
            b = floorRun(o, layout, n, sides, false, &cb);
            a = launcherRun(o, layout, n, sides, false, &ca);
        }
        launcherTimes[r] = a.seconds;
        floorTimes[r] = b.seconds;
        if (a.peak > launcherPeak) launcherPeak = a.peak;
        if (b.peak > floorPeakMax) floorPeakMax = b.peak;
        if (r == 0) {
            launcherCount = ca;
            floorCount = cb;
        }
        check(ca.tests == launcherCount.tests && ca.wizards == launcherCount.wizards,
              "every launcher run makes the same JVM runs");
    }
    report("launcher", n, median(launcherTimes, o.runs));
    report("floor", n, median(floorTimes, o.runs));
    reportRuns("launcher", n, launcherCount);
    reportRuns("floor", n, floorCount);
    check(floorCount.tests == n && floorCount.wizards == 1, "the floor makes every JVM run");
    *peak = launcherPeak;
    *floorPeak = floorPeakMax;
}

static bool parse(int argc, char** argv, Options& o) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (strcmp(a, "--quick") == 0) {
            o.quick = true;
            o.runs = 1;
            o.candidates = 3;
        } else if (strcmp(a, "--runs") == 0 && i + 1 < argc) {
            o.runs = (unsigned)atoi(argv[++i]);
        } else if (strcmp(a, "--candidates") == 0 && i + 1 < argc) {
            o.candidates = (unsigned)atoi(argv[++i]);
        } else if (a[0] != '-' && positional < 6) {
            const char** slots[] = {&o.scratch, &o.installer, &o.floor,
                                    &o.stub,    &o.testClass, &o.jar};
            *slots[positional++] = a;
        } else {
            return false;
        }
    }
    return positional == 6 && o.runs >= 1 && o.runs <= MaxRuns && o.candidates >= 2 &&
           o.candidates <= MaxCandidates;
}

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        fprintf(stderr,
                "usage: launchbench.exe <scratch dir> <installer.exe> <floor.exe> <stubjvm.exe> "
                "<TestJvm.class> <install.jar> [--runs N] [--candidates N] [--quick]\n");
        return 2;
    }
    Layout* layout = (Layout*)calloc(1, sizeof(Layout));
    if (!layout || !makeLayout(o, *layout)) {
        fprintf(stderr, "launchbench: cannot set up %s\n", o.scratch);
        return 1;
    }
    HANDLE lock = CreateMutexA(nullptr, FALSE, RegistryLock);
    if (lock) WaitForSingleObject(lock, INFINITE);

    SIZE_T peak1 = 0, floorPeak1 = 0, peakN = 0, floorPeakN = 0;
    scenario(o, *layout, 1, &peak1, &floorPeak1);
    scenario(o, *layout, o.candidates, &peakN, &floorPeakN);

    // The stub's own start cost: its test run started from here.
    char stubLine[CommandSize];
    snprintf(stubLine, sizeof stubLine, "%s -cp . TestJvm %s", fileName(layout->program[0]),
             layout->work);
    double stubTimes[MaxRuns];
    SIZE_T stubPeak = 0;
    for (unsigned r = 0; r < o.runs; ++r) {
        freshPackage(o, *layout, 1);
        Run run = runProgram(layout->program[0], stubLine, layout->work, false);
        stubTimes[r] = run.seconds;
        if (run.peak > stubPeak) stubPeak = run.peak;
    }
    printf("RESULT stub:1 %.6f 1\n", median(stubTimes, o.runs));

    // Peak working sets: where the platform forgets them when a process
    // ends, sampled while it runs (runs of their own, not timed).
    if (!peak1 || !floorPeak1 || !stubPeak) {
        clearJavaSoftKeys();
        registerJvm(layout->version[0], layout->home[0]);
        Sides sides;
        commandLines(o, *layout, 1, sides);
        if (!peak1) peak1 = launcherRun(o, *layout, 1, sides, true, nullptr).peak;
        if (!floorPeak1) floorPeak1 = floorRun(o, *layout, 1, sides, true, nullptr).peak;
        if (!stubPeak) {
            freshPackage(o, *layout, 1);
            stubPeak = runProgram(layout->program[0], stubLine, layout->work, true).peak;
        }
        printf("MEMORYMODE sampled\n");
    }
    printf("MEMORY launcher:1 %llu\n", (unsigned long long)peak1);
    printf("MEMORY floor:1 %llu\n", (unsigned long long)floorPeak1);
    printf("MEMORY launcher:%u %llu\n", o.candidates, (unsigned long long)peakN);
    printf("MEMORY stub:1 %llu\n", (unsigned long long)stubPeak);

    clearJavaSoftKeys();
    if (lock) {
        ReleaseMutex(lock);
        CloseHandle(lock);
    }
    free(layout);
    return failed ? 1 : 0;
}
