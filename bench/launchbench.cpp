// launchbench: what the launcher adds to the JVM runs it has to make.
//
// Inside Windows (Wine on the build machine) it builds a package in a work
// directory and stub JVMs registered over several sources (see Sources), then
// times, side by side and alternately:
//   launcher:N  "installer.exe -q x" in the work directory, N registered JVMs
//               of which only the oldest is acceptable (N test runs and the
//               wizard run: each other one is registered as 1.4.i, which the
//               limit 1.4 takes, and answers 1.3.i, so that only its test
//               run refuses it);
//   floor:N     floor.exe making the same N test runs and the wizard run and
//               nothing else;
//   launcherdlg:1 "installer.exe" with no arguments: the same run with its
//               status dialog shown;
//   floorwin:N  the same floor that first creates one hidden window (the
//               least a launcher with a status dialog must spend: the
//               reference);
//   variant:N   with --variant, another build of the launcher, alike;
//   stub        the stub JVM's test run started directly by this runner;
//   many:needs17 / many:firstfits  five registered Java 8 (each taking
//               400 ms a run, as real ones) ahead of one Java 17, with a
//               package that needs 17 and with one that the first Java 8
//               fits (the cost of the candidates refused on the way);
//   homes:30 / homes:300  that many registered homes without a JVM ahead
//               of the one that fits (the cost of a home, by the number).
// Every program is started with CreateProcess and waited for, and timed with
// QueryPerformanceCounter, so that the platform's start cost is the same on
// both sides. Each figure is the median of several runs.
//
// The peak working set of each program comes from GetProcessMemoryInfo on
// its process handle after it has ended (or, where the platform no longer
// answers then, from sampling it while it runs, in runs of their own); its
// private bytes (PrivateUsage) are always sampled while it runs, since a
// working set under Wine mostly counts Wine's own libraries.
//
// With --timeline, the launcher's timeline build (installer_timeline.exe)
// runs a few times quietly and with its dialog; its marks are performance
// counter values, one clock with this runner's, so each is printed as
// milliseconds after this runner's CreateProcess, median over the runs.
//
// With --real, a real JVM (the host's, through the hostjava bridge) is
// registered and the launcher's happy path is timed against the floor with
// one window making the same two real JVM runs (the sample wizard writes
// "wizard-received.txt", which proves each run reached it).
//
// After every launcher run the stub JVMs' records are counted: a run that
// made other JVM runs than the floor's is reported, so that a launcher
// that fails (and so does less) is never taken for a fast one.
//
// Usage: launchbench.exe <scratch directory> <installer.exe> <floor.exe>
//          <stubjvm.exe> <TestJvm.class> <install.jar>
//          [--runs N] [--candidates N] [--variant EXE] [--quick]
//          [--timeline EXE] [--real HOSTJAVA.EXE JAVA SUBKEY MICRO]
// (--variant: another build of the launcher, timed in the same rounds, to
// weigh a change against the launcher as it is.)
// Output: "RESULT <name> <seconds> <count>" (the median), "SPREAD <name>
// <fastest> <slowest>", "MEMORY <name> <bytes>",
// "RUNS <name> <test runs> <wizard runs> <marker left>", "PRIVATE <name>
// <bytes>", "TIMELINE <mode> <milliseconds> <thread> <mark>" lines.
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
static const char RealControlFormat[] =
    "jvmRequiredVersion=%s\n"
    "jvmCommandName=javaw.exe\n"
    "jvmClasspathSwitch=-classpath\n"
    "loaderClasspath=.;install.jar\n"
    "loaderJavaCommand=SampleWizard\n";
static const char WizardReceived[] = "wizard-received.txt";
static const char ControlText[] =
    "jvmRequiredVersion=1.4\n"
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
    const char* timeline = nullptr;  // installer_timeline.exe
    const char* hostJava = nullptr;  // the hostjava bridge
    const char* javaPath = nullptr;  // the host's java, for the bridge
    const char* realSubkey = nullptr;
    const char* realMicro = nullptr;
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

// One JVM registered in a source as that source's installers register it.
static bool registerAt(const Source& source, const char* version, const char* home,
                       const char* micro = "0") {
    char path[PathSize], value[PathSize];
    snprintf(path, sizeof path, "%s\\%s%s", source.key, version, source.below);
    snprintf(value, sizeof value, "%s%s", home, source.microVersion ? "" : "\\");
    HKEY key;
    if (RegCreateKeyExA(source.root, path, 0, nullptr, 0, KEY_ALL_ACCESS | source.view, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG a = source.microVersion
                 ? RegSetValueExA(key, "MicroVersion", 0, REG_SZ, (const BYTE*)micro,
                                  (DWORD)strlen(micro) + 1)
                 : ERROR_SUCCESS;
    LONG b = RegSetValueExA(key, source.homeValue, 0, REG_SZ, (const BYTE*)value,
                            (DWORD)strlen(value) + 1);
    RegCloseKey(key);
    return a == ERROR_SUCCESS && b == ERROR_SUCCESS;
}

// Candidate index: the oldest (0) in the last source searched, the others
// spread over the sources before it.
static bool registerJvm(unsigned index, const char* version, const char* home) {
    return registerAt(Sources[index == 0 ? (unsigned)LastSource : (index - 1) % LastSource],
                      version, home);
}

// The bench's layout under the scratch directory.
struct Layout {
    char work[PathSize];                       // the package's work directory
    char home[MaxCandidates][PathSize];        // JVM homes, oldest first
    char program[MaxCandidates][PathSize];     // home\bin\javaw.exe
    char version[MaxCandidates][32];           // registered as 1.4.0, 1.4.1, ...
    char realHome[PathSize];                   // the bridge's JVM home
    char realProgram[PathSize];                // realHome\bin\javaw.exe
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
        snprintf(text, sizeof text, "version=1.%u.%u\nwizard=1\n", i == 0 ? 4 : 3, i);
        if (!writeText(ini, text)) return false;
    }
    if (o.hostJava) {
        snprintf(layout.realHome, PathSize, "%s\\jvm\\real", o.scratch);
        CreateDirectoryA(layout.realHome, nullptr);
        snprintf(dir, sizeof dir, "%s\\bin", layout.realHome);
        CreateDirectoryA(dir, nullptr);
        snprintf(layout.realProgram, PathSize, "%s\\javaw.exe", dir);
        if (!CopyFileA(o.hostJava, layout.realProgram, FALSE)) return false;
        char ini[PathSize], text[PathSize];
        snprintf(ini, sizeof ini, "%s\\hostjava.ini", dir);
        snprintf(text, sizeof text, "java=%s\n", o.javaPath);
        if (!writeText(ini, text)) return false;
    }
    return true;
}

// The package as it arrives: control file, test class, wizard; the stub
// JVMs' records of earlier runs gone.
static bool freshPackage(const Options& o, const Layout& layout, unsigned candidates,
                         const char* control = ControlText) {
    char path[PathSize];
    emptyDirectory(layout.work);
    snprintf(path, sizeof path, "%s\\kiv.control", layout.work);
    bool ok = writeText(path, control);
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

// One run of a program: its time, its start and end on the clock, its peak
// working set and (sampled runs only) its most private bytes.
struct Run {
    double seconds = -1;
    double started = 0, ended = 0;
    SIZE_T peak = 0;  // 0: not known
    SIZE_T privateBytes = 0;
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
    run.started = start;
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                        &process)) {
        fprintf(stderr, "launchbench: cannot start %s (%lu)\n", program, GetLastError());
        failed = true;
        return run;
    }
    PROCESS_MEMORY_COUNTERS counters;
    if (sample) {
        while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
            PROCESS_MEMORY_COUNTERS_EX extended;
            memset(&extended, 0, sizeof extended);
            if (!GetProcessMemoryInfo(process.hProcess, (PROCESS_MEMORY_COUNTERS*)&extended,
                                      sizeof extended))
                continue;
            if (extended.PeakWorkingSetSize > run.peak) run.peak = extended.PeakWorkingSetSize;
            // Wine reports another process's private bytes as its pagefile
            // usage only (Windows gives the same value in both).
            SIZE_T privateBytes = extended.PrivateUsage > extended.PagefileUsage
                                      ? extended.PrivateUsage
                                      : extended.PagefileUsage;
            if (privateBytes > run.privateBytes) run.privateBytes = privateBytes;
        }
    } else {
        WaitForSingleObject(process.hProcess, INFINITE);
        run.ended = now();
        run.seconds = run.ended - start;
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
enum Side { LauncherSide, DialogSide, FloorSide, WindowFloorSide, VariantSide, SideCount };
static const char* const SideNames[SideCount] = {"launcher", "launcherdlg", "floor", "floorwin",
                                                 "variant"};

struct Sides {
    const char* program[SideCount];
    char line[SideCount][CommandSize];
};

static void commandLines(const Options& o, const Layout& layout, unsigned n, Sides& sides) {
    sides.program[LauncherSide] = o.installer;
    snprintf(sides.line[LauncherSide], CommandSize, "\"%s\" -q x", o.installer);
    sides.program[DialogSide] = o.installer;
    snprintf(sides.line[DialogSide], CommandSize, "\"%s\"", o.installer);
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
static void scenario(const Options& o, const Layout& layout, unsigned n, bool withDialog) {
    int active[SideCount], sideCount = 0;
    active[sideCount++] = LauncherSide;
    if (withDialog) active[sideCount++] = DialogSide;
    active[sideCount++] = FloorSide;
    active[sideCount++] = WindowFloorSide;
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
        SIZE_T privateBytes = sideRun(o, layout, 1, sides, side, true, nullptr).privateBytes;
        printf("PRIVATE %s:1 %llu\n", SideNames[side], (unsigned long long)privateBytes);
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

// The launcher's timeline build, quietly and with its dialog: the median of
// each mark over the runs that made it, in milliseconds after
// CreateProcess, then the process's end as this runner saw it. A run with
// its dialog may make fewer marks (a worker that ends before the dialog
// exists leaves it unshown), so marks are matched by name.
enum { MaxMarks = 64, NameLength = 48 };

struct Timeline {
    unsigned count = 0;
    char name[MaxMarks][NameLength];
    char thread[MaxMarks][8];
    double ms[MaxMarks][MaxRuns];
    unsigned runs[MaxMarks];
};

static void addMark(Timeline& t, const char* name, const char* thread, double ms) {
    unsigned i = 0;
    while (i < t.count && strcmp(t.name[i], name) != 0) ++i;
    if (i == t.count) {
        if (t.count == MaxMarks) return;
        snprintf(t.name[i], NameLength, "%s", name);
        snprintf(t.thread[i], sizeof t.thread[i], "%s", thread);
        t.runs[i] = 0;
        ++t.count;
    }
    if (t.runs[i] < MaxRuns) t.ms[i][t.runs[i]++] = ms;
}

static void readMarks(const char* path, const Run& run, Timeline& t) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "launchbench: no timeline in %s\n", path);
        failed = true;
        return;
    }
    char line[256];
    double frequency = 1;
    while (fgets(line, sizeof line, f)) {
        long long value;
        char thread[8], name[NameLength];
        if (sscanf(line, "FREQUENCY %lld", &value) == 1)
            frequency = (double)value;
        else if (sscanf(line, "MARK %lld %7s %47[^\r\n]", &value, thread, name) == 3)
            addMark(t, name, thread, ((double)value / frequency - run.started) * 1000);
    }
    fclose(f);
    addMark(t, "process ended", "-", (run.ended - run.started) * 1000);
}

static void timeline(const Options& o, const Layout& layout) {
    clearJavaSoftKeys();
    registerAt(Sources[0], layout.version[0], layout.home[0]);
    char path[PathSize], line[CommandSize];
    snprintf(path, sizeof path, "%s\\timeline.txt", o.scratch);
    SetEnvironmentVariableA("LAUNCHER_TIMELINE", path);
    const char* const modes[] = {"quiet", "dialog"};
    const char* const arguments[] = {" -q x", ""};
    unsigned runs = o.quick ? 1 : 5;
    Timeline* t = (Timeline*)malloc(sizeof(Timeline));
    for (int m = 0; t && m < 2; ++m) {
        t->count = 0;
        snprintf(line, sizeof line, "\"%s\"%s", o.timeline, arguments[m]);
        for (unsigned r = 0; r < runs; ++r) {
            check(freshPackage(o, layout, 1), "package written");
            DeleteFileA(path);
            Run run = runProgram(o.timeline, line, layout.work, false);
            readMarks(path, run, *t);
        }
        // In the order of their medians.
        double medians[MaxMarks];
        unsigned order[MaxMarks];
        for (unsigned i = 0; i < t->count; ++i) {
            medians[i] = median(t->ms[i], t->runs[i]);
            order[i] = i;
        }
        for (unsigned i = 1; i < t->count; ++i)
            for (unsigned j = i; j > 0 && medians[order[j]] < medians[order[j - 1]]; --j) {
                unsigned k = order[j];
                order[j] = order[j - 1];
                order[j - 1] = k;
            }
        for (unsigned i = 0; i < t->count; ++i) {
            unsigned k = order[i];
            printf("TIMELINE %s %.1f %s %s%s\n", modes[m], medians[k], t->thread[k], t->name[k],
                   t->runs[k] == runs ? "" : " (not in every run)");
        }
    }
    free(t);
    DeleteFileA(path);
    SetEnvironmentVariableA("LAUNCHER_TIMELINE", nullptr);
}

// The happy path on a real JVM: the launcher against the floor with one
// window, each making the same real test run and wizard run.
static void realScenario(const Options& o, const Layout& layout) {
    clearJavaSoftKeys();
    check(registerAt(Sources[0], o.realSubkey, layout.realHome, o.realMicro), "real JVM registered");
    char control[512];
    snprintf(control, sizeof control, RealControlFormat, o.realSubkey);
    const char* program[2] = {o.installer, o.floor};
    char line[2][CommandSize];
    snprintf(line[0], CommandSize, "\"%s\" -q x", o.installer);
    snprintf(line[1], CommandSize, "\"%s\" --window \"%s\" \"%s\" \"%s\"", o.floor, layout.work,
             WizardArguments, layout.realProgram);
    const char* const names[2] = {"real:launcher", "real:floorwin"};
    double times[2][MaxRuns];
    char received[PathSize];
    snprintf(received, sizeof received, "%s\\%s", layout.work, WizardReceived);
    for (unsigned r = 0; r < o.runs; ++r)
        for (int k = 0; k < 2; ++k) {
            int side = (r + k) % 2;
            check(freshPackage(o, layout, 0, control), "package written");
            times[side][r] = runProgram(program[side], line[side], layout.work, false).seconds;
            check(GetFileAttributesA(received) != INVALID_FILE_ATTRIBUTES,
                  "the real JVM ran the wizard");
        }
    for (int side = 0; side < 2; ++side)
        printf("RESULT %s %.6f 1\n", names[side], median(times[side], o.runs));
}

// A stub JVM in dir\bin answering version, each run taking delay ms.
static bool stubAt(const Options& o, const char* dir, const char* version, unsigned delay,
                   char* program) {
    char bin[PathSize], ini[PathSize], text[128];
    CreateDirectoryA(dir, nullptr);
    snprintf(bin, sizeof bin, "%s\\bin", dir);
    CreateDirectoryA(bin, nullptr);
    snprintf(program, PathSize, "%s\\javaw.exe", bin);
    snprintf(ini, sizeof ini, "%s\\stubjvm.ini", bin);
    snprintf(text, sizeof text, "version=%s\nwizard=1\ndelay=%u\n", version, delay);
    return CopyFileA(o.stub, program, FALSE) && writeText(ini, text);
}

// The test and wizard runs the stubs in homes made (their records then go).
static RunCount countAndClear(char (*homes)[PathSize], unsigned count, const char* work) {
    RunCount runs;
    char path[PathSize];
    for (unsigned i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%s\\bin\\stubjvm.runs", homes[i]);
        runs.tests += countLines(path, "RUN test");
        runs.wizards += countLines(path, "RUN wizard");
        DeleteFileA(path);
    }
    snprintf(path, sizeof path, "%s\\__kivwizard.sem", work);
    runs.markerLeft = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    return runs;
}

// Times the launcher on packages with the given controls over the JVMs
// registered now; prints each median and the JVM runs of its first run.
static void timeControls(const Options& o, const Layout& layout, char (*homes)[PathSize],
                         unsigned homeCount, const char* const* names,
                         const char* const* controls, int count, unsigned runs) {
    enum { MostControls = 2 };
    double times[MostControls][MaxRuns];
    RunCount first[MostControls];
    char line[CommandSize];
    snprintf(line, sizeof line, "\"%s\" -q x", o.installer);
    for (unsigned r = 0; r < runs + (o.quick ? 0 : 1); ++r)
        for (int k = 0; k < count; ++k) {
            int c = (int)((r + k) % count);
            check(freshPackage(o, layout, 0, controls[c]), "package written");
            Run run = runProgram(o.installer, line, layout.work, false);
            RunCount made = countAndClear(homes, homeCount, layout.work);
            if (r == 0) first[c] = made;
            if (r == 0 && !o.quick) continue;  // one untimed run of each
            times[c][r - (o.quick ? 0 : 1)] = run.seconds;
        }
    for (int c = 0; c < count; ++c) {
        printf("RESULT %s %.6f 1\n", names[c], median(times[c], runs));
        printf("RUNS %s %u %u %d\n", names[c], first[c].tests, first[c].wizards,
               first[c].markerLeft ? 1 : 0);
    }
}

static const char ManyControl[] =
    "jvmMinVersion=%s\n"
    "jvmCommandName=javaw.exe\n"
    "jvmClasspathSwitch=-classpath\n"
    "loaderClasspath=.;install.jar\n"
    "loaderJavaCommand=SampleWizard\n";

// Five registered Java 8 ahead of one Java 17: a package that needs 17
// against one whose first candidate (the newest Java 8) fits.
static void manyJvms(const Options& o, const Layout& layout) {
    enum { Old = 5 };
    static char homes[Old + 1][PathSize];
    char dir[PathSize], program[PathSize], version[32];
    snprintf(dir, sizeof dir, "%s\\many", o.scratch);
    CreateDirectoryA(dir, nullptr);
    clearJavaSoftKeys();
    for (unsigned i = 0; i <= Old; ++i) {
        if (i < Old) snprintf(version, sizeof version, "1.8.0_%u", 361 + 10 * i);
        else snprintf(version, sizeof version, "17.0.10");
        snprintf(homes[i], PathSize, "%s\\jvm-%s", dir, version);
        check(stubAt(o, homes[i], version, 400, program), "stub JVM made");
        // The Java 8s under the runtime key, searched before the vendor's key of the 17.
        check(i < Old ? registerAt(Sources[0], version, homes[i])
                      : registerAt(Sources[LastSource], "17.0.10.7", homes[i]),
              "JVM registered");
    }
    char controls[2][512];
    snprintf(controls[0], sizeof controls[0], ManyControl, "17");
    snprintf(controls[1], sizeof controls[1], ManyControl, "1.8");
    const char* const names[2] = {"many:needs17", "many:firstfits"};
    const char* const texts[2] = {controls[0], controls[1]};
    timeControls(o, layout, homes, Old + 1, names, texts, 2, o.quick ? 1 : 5);
    clearJavaSoftKeys();
}

// count registered homes without a JVM (newer, so tried first) ahead of
// the one that fits, all under the per-user JDK key.
static void registeredHomes(const Options& o, const Layout& layout, unsigned count) {
    static char fits[1][PathSize];
    char dir[PathSize], home[PathSize], program[PathSize], version[32];
    snprintf(dir, sizeof dir, "%s\\homes", o.scratch);
    CreateDirectoryA(dir, nullptr);
    clearJavaSoftKeys();
    for (unsigned i = 1; i <= count; ++i) {
        snprintf(version, sizeof version, "17.0.%u", i);
        snprintf(home, sizeof home, "%s\\empty-%u", dir, i);
        CreateDirectoryA(home, nullptr);
        check(registerAt(Sources[2], version, home), "home registered");
    }
    snprintf(fits[0], PathSize, "%s\\jvm-17", dir);
    check(stubAt(o, fits[0], "17.0.0", 0, program), "stub JVM made");
    check(registerAt(Sources[2], "17.0.0", fits[0]), "JVM registered");
    char control[512], name[32];
    snprintf(control, sizeof control, ManyControl, "17");
    snprintf(name, sizeof name, "homes:%u", count);
    const char* const names[1] = {name};
    const char* const texts[1] = {control};
    timeControls(o, layout, fits, 1, names, texts, 1, o.quick ? 1 : 3);
    clearJavaSoftKeys();
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
        } else if (strcmp(a, "--timeline") == 0 && i + 1 < argc) {
            o.timeline = argv[++i];
        } else if (strcmp(a, "--real") == 0 && i + 4 < argc) {
            o.hostJava = argv[++i];
            o.javaPath = argv[++i];
            o.realSubkey = argv[++i];
            o.realMicro = argv[++i];
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

    manyJvms(o, *layout);
    registeredHomes(o, *layout, 30);
    registeredHomes(o, *layout, 300);

    memory(o, *layout, stubLine);
    if (o.timeline) timeline(o, *layout);
    if (o.hostJava) realScenario(o, *layout);

    clearJavaSoftKeys();
    if (lock) {
        ReleaseMutex(lock);
        CloseHandle(lock);
    }
    free(layout);
    return failed ? 1 : 0;
}
