// launchbench: what the launcher adds to the JVM runs it has to make.
//
// Inside Windows (Wine on the build machine) it builds a package in a work
// directory and stub JVMs registered over several sources (see Sources), then
// times, side by side and alternately:
//   launcher:N  "installer.exe -q x" in the work directory, N registered JVMs
//               of which only the oldest is acceptable (N test runs and the
//               wizard run);
//   floor:N     floor.exe making the same N test runs and the wizard run and
//               nothing else;
//   floorwin:1  the same floor that first creates one hidden window (what
//               merely having a user interface costs);
//   variant:N   with --variant, another build of the launcher, alike;
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
//          [--runs N] [--candidates N] [--variant EXE] [--quick]
// (--variant: another build of the launcher, timed in the same rounds, to
// weigh a change against the launcher as it is.)
// Output: "RESULT <name> <seconds> <count>" (the median), "SPREAD <name>
// <fastest> <slowest>", "MEMORY <name> <bytes>",
// "RUNS <name> <test runs> <wizard runs> <marker left>" lines.
#include "timing.h"

#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MaxRuns = 31, MaxCandidates = 20, PathSize = 1024, CommandSize = 8192 };

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
    unsigned runs = 11;
    const char* variant = nullptr;  // another build of the launcher, timed alike
    unsigned candidates = 10;
    bool quick = false;
};

static bool failed = false;
static void check(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "launchbench: check failed: %s\n", what);
    failed = true;
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

// The sources the candidates are spread over, in the order the launcher
// searches them: the runtime key in HKLM's 64-bit view, the development-kit
// key in its 32-bit view, a per-user SOFTWARE\JavaSoft\JDK, and last a
// vendor's own key, which holds the one acceptable (oldest) candidate.
struct Source {
    HKEY root;
    REGSAM view;
    const char* key;    // the versions' key
    const char* below;  // under the version's subkey
    const char* homeValue;
    bool microVersion;
};
static const Source Sources[] = {
    {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "SOFTWARE\\JavaSoft\\Java Runtime Environment", "",
     "JavaHome", true},
    {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "SOFTWARE\\JavaSoft\\Java Development Kit", "",
     "JavaHome", true},
    {HKEY_CURRENT_USER, 0, "SOFTWARE\\JavaSoft\\JDK", "", "JavaHome", false},
    {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "SOFTWARE\\Eclipse Adoptium\\JDK", "\\hotspot\\MSI",
     "Path", false},
};
enum { LastSource = sizeof Sources / sizeof Sources[0] - 1 };

static void clearJavaSoftKeys() {
    for (const char* key : ProductKeys) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    for (const Source& source : Sources) {
        HKEY software;
        if (RegOpenKeyExA(source.root, "", 0, KEY_ALL_ACCESS | source.view, &software) !=
            ERROR_SUCCESS)
            continue;
        RegDeleteTreeA(software, source.key);
        RegCloseKey(software);
    }
}

// Candidate index: the oldest (0) in the last source searched, the others
// spread over the sources before it.
static bool registerJvm(unsigned index, const char* version, const char* home) {
    const Source& source = Sources[index == 0 ? (unsigned)LastSource : (index - 1) % LastSource];
    char path[PathSize], value[PathSize];
    snprintf(path, sizeof path, "%s\\%s%s", source.key, version, source.below);
    snprintf(value, sizeof value, "%s%s", home, source.microVersion ? "" : "\\");
    HKEY key;
    if (RegCreateKeyExA(source.root, path, 0, nullptr, 0, KEY_ALL_ACCESS | source.view, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG a = source.microVersion
                 ? RegSetValueExA(key, "MicroVersion", 0, REG_SZ, (const BYTE*)"0", 2)
                 : ERROR_SUCCESS;
    LONG b = RegSetValueExA(key, source.homeValue, 0, REG_SZ, (const BYTE*)value,
                            (DWORD)strlen(value) + 1);
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

// The programs of one scenario: n registered JVMs, the oldest acceptable.
enum Side { LauncherSide, FloorSide, WindowFloorSide, VariantSide, SideCount };
static const char* const SideNames[SideCount] = {"launcher", "floor", "floorwin", "variant"};

struct Sides {
    const char* program[SideCount];
    char line[SideCount][CommandSize];
};

static void commandLines(const Options& o, const Layout& layout, unsigned n, Sides& sides) {
    sides.program[LauncherSide] = o.installer;
    snprintf(sides.line[LauncherSide], CommandSize, "\"%s\" -q x", o.installer);
    sides.program[VariantSide] = o.variant;
    snprintf(sides.line[VariantSide], CommandSize, "\"%s\" -q x", o.variant ? o.variant : "");
    for (int side = FloorSide; side <= WindowFloorSide; ++side) {
        sides.program[side] = o.floor;
        char* line = sides.line[side];
        int used = snprintf(line, CommandSize, "\"%s\"%s \"%s\" \"%s\"", o.floor,
                            side == WindowFloorSide ? " --window" : "", layout.work,
                            WizardArguments);
        // The launcher tries the most recent first: the floor does the same.
        for (unsigned i = n; i-- > 0 && used > 0 && used < CommandSize;)
            used += snprintf(line + used, CommandSize - used, " \"%s\"", layout.program[i]);
    }
}

static Run sideRun(const Options& o, const Layout& layout, unsigned n, const Sides& sides,
                   int side, bool sample, RunCount* count) {
    check(freshPackage(o, layout, n), "package written");
    Run run = runProgram(sides.program[side], sides.line[side], layout.work, sample);
    if (count) *count = countRuns(layout, n);
    return run;
}

// Times the sides with n registered JVMs in rotating order, after one
// untimed run of each; prints their medians and the JVM runs each made.
static void scenario(const Options& o, const Layout& layout, unsigned n, bool withWindow) {
    int active[SideCount], sideCount = 0;
    active[sideCount++] = LauncherSide;
    active[sideCount++] = FloorSide;
    if (withWindow) active[sideCount++] = WindowFloorSide;
    if (o.variant) active[sideCount++] = VariantSide;
    clearJavaSoftKeys();
    for (unsigned i = 0; i < n; ++i)
        check(registerJvm(i, layout.version[i], layout.home[i]), "JVM registered");
    Sides sides;
    commandLines(o, layout, n, sides);

    if (!o.quick)
        for (int k = 0; k < sideCount; ++k) sideRun(o, layout, n, sides, active[k], false, nullptr);
    double times[SideCount][MaxRuns];
    RunCount first[SideCount];
    for (unsigned r = 0; r < o.runs; ++r) {
        for (int k = 0; k < sideCount; ++k) {
            int side = active[(r + k) % sideCount];
            RunCount count;
            times[side][r] = sideRun(o, layout, n, sides, side, false, &count).seconds;
            if (r == 0) first[side] = count;
            check(count.tests == first[side].tests && count.wizards == first[side].wizards,
                  "every run of a program makes the same JVM runs");
        }
    }
    for (int k = 0; k < sideCount; ++k) {
        int side = active[k];
        printf("RESULT %s:%u %.6f %u\n", SideNames[side], n, median(times[side], o.runs), n);
        double low = times[side][0], high = times[side][0];
        for (unsigned r = 1; r < o.runs; ++r) {
            if (times[side][r] < low) low = times[side][r];
            if (times[side][r] > high) high = times[side][r];
        }
        printf("SPREAD %s:%u %.6f %.6f\n", SideNames[side], n, low, high);
        printf("RUNS %s:%u %u %u %d\n", SideNames[side], n, first[side].tests,
               first[side].wizards, first[side].markerLeft ? 1 : 0);
        if (side == FloorSide || side == WindowFloorSide)
            check(first[side].tests == n && first[side].wizards == 1,
                  "the floor makes every JVM run");
    }
}

// Peak working set of each side with one registered JVM. The platform may
// no longer answer for a process that has ended: then the set is sampled
// while it runs, in runs of their own (not timed).
static void memory(const Options& o, const Layout& layout, const char* stubLine) {
    clearJavaSoftKeys();
    registerJvm(0, layout.version[0], layout.home[0]);
    Sides sides;
    commandLines(o, layout, 1, sides);
    bool sampled = false;
    for (int side = 0; side < SideCount; ++side) {
        if (side == VariantSide && !o.variant) continue;
        SIZE_T peak = sideRun(o, layout, 1, sides, side, false, nullptr).peak;
        if (!peak) {
            peak = sideRun(o, layout, 1, sides, side, true, nullptr).peak;
            sampled = true;
        }
        printf("MEMORY %s:1 %llu\n", SideNames[side], (unsigned long long)peak);
    }
    freshPackage(o, layout, 1);
    SIZE_T peak = runProgram(layout.program[0], stubLine, layout.work, false).peak;
    if (!peak) {
        freshPackage(o, layout, 1);
        peak = runProgram(layout.program[0], stubLine, layout.work, true).peak;
    }
    printf("MEMORY stub:1 %llu\n", (unsigned long long)peak);
    printf("MEMORYMODE %s\n", sampled ? "sampled" : "after-exit");
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
        } else if (strcmp(a, "--variant") == 0 && i + 1 < argc) {
            o.variant = argv[++i];
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
                "<TestJvm.class> <install.jar> [--runs N] [--candidates N] [--variant EXE] "
                "[--quick]\n");
        return 2;
    }
    Layout* layout = (Layout*)calloc(1, sizeof(Layout));
    if (!layout || !makeLayout(o, *layout)) {
        fprintf(stderr, "launchbench: cannot set up %s\n", o.scratch);
        return 1;
    }
    HANDLE lock = CreateMutexA(nullptr, FALSE, RegistryLock);
    if (lock) WaitForSingleObject(lock, INFINITE);

    scenario(o, *layout, 1, true);
    scenario(o, *layout, o.candidates, false);

    // The stub's own start cost: its test run started from here.
    char stubLine[CommandSize];
    snprintf(stubLine, sizeof stubLine, "%s -cp . TestJvm %s", fileName(layout->program[0]),
             layout->work);
    double stubTimes[MaxRuns];
    for (unsigned r = 0; r < o.runs; ++r) {
        freshPackage(o, *layout, 1);
        stubTimes[r] = runProgram(layout->program[0], stubLine, layout->work, false).seconds;
    }
    printf("RESULT stub:1 %.6f 1\n", median(stubTimes, o.runs));

    memory(o, *layout, stubLine);

    clearJavaSoftKeys();
    if (lock) {
        ReleaseMutex(lock);
        CloseHandle(lock);
    }
    free(layout);
    return failed ? 1 : 0;
}
