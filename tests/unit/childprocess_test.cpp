// Child processes for real: the stub "echoargs.exe" writes the arguments its C runtime split from
// its command line (so a vector comes back through argsString as the child saw it), with
// ECHOARGS_STDERR to its standard error too, which a ChildProcess keeps.
#include "exec/childprocess.h"
#include "exec/elevatable.h"
#include "jvm/wizardcause.h"
#include "base/fexists.h"
#include "base/winerror.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>

static std::string stubProgram(const char* name) {
    char path[MAX_PATH];  // build\<arch>\tests\unit_tests.exe; the stub is in build\<arch>\stubs
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program = path, directory = program.substr(0, program.rfind('\\'));
    return directory.substr(0, directory.rfind('\\')) + "\\stubs\\" + name;
}

// Kiv*.tmp files in the temporary folder: the caught standard error leaves none behind.
static size_t caughtFiles() {
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    return listing(folder + std::string("kiv*.tmp")).size();
}

TEST(ChildProcess, ExitCodesStandardErrorAndStartFailures) {
    ScratchDir dir;
    size_t filesBefore = caughtFiles();
    std::string program = stubProgram("echoargs.exe"), missing = dir.file("missing.exe");
    const char* const mainClass = "Error: Could not find or load main class com.example.Wizrd";
    // Regression: exit code -1 was taken for a start that failed (the 32-bit runtime's failure
    // value).
    const struct {
        std::string program;
        std::vector<std::string> args;
        const char* exit;
        bool keep, started;
        std::string lines;  // the last lines caught
    } cases[] = {
        {program,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "with blank", mainClass},
         "1", true, true, std::string("4\n5\n6\n7\n8\n9\n10\n11\nwith blank\n") + mainClass},
        {program.substr(0, program.size() - 4), {"-x"}, "0", true, true, "-x"},
        {program, {}, "-1", true, true, ""},
        {program, {"-x"}, "3", false, true, ""},
        {missing, {"-x"}, "0", true, false, ""},
        {missing, {"-x"}, "0", false, false, ""},
    };
    for (const auto& c : cases) {
        _putenv(c.keep ? "ECHOARGS_STDERR=1" : "ECHOARGS_STDERR=");
        _putenv(("ECHOARGS_EXIT=" + std::string(c.exit)).c_str());
        remove("echoargs.out");
        std::vector<char*> argv = {const_cast<char*>(c.program.c_str())};
        std::string echoed = "ARGC " + std::to_string(c.args.size() + 1) + "\n";
        for (const std::string& arg : c.args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
            echoed += "ARG " + arg + "\n";
        }
        argv.push_back(nullptr);
        ChildProcess child;
        ChildStart how;
        how.keepErrors = c.keep;
        unsigned long error = child.run(c.program.c_str(), argv.data(), how);
        EXPECT_EQ(child.errorLines(), c.lines) << c.program;
        if (c.started) {
            EXPECT_EQ(error, 0ul) << c.program;
            EXPECT_EQ(child.errorsCaught(), c.keep);
            EXPECT_EQ(child.exitCode(), (unsigned long)(DWORD)atoi(c.exit));
            EXPECT_EQ(readFile("echoargs.out"), echoed);
            continue;
        }
        // The one text of a Windows error, the same for the JVM test run and the wizard.
        EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
        char text[200];
        windowsErrorText(error, text, sizeof text);
        EXPECT_EQ(std::string(text).rfind("Windows error " + std::to_string(error) + ": ", 0), 0u)
            << text;
        EXPECT_EQ(child.wait(), ChildLost);
    }
    _putenv("ECHOARGS_STDERR=");
    _putenv("ECHOARGS_EXIT=");
    EXPECT_EQ(caughtFiles(), filesBefore);
    EXPECT_FALSE(fexists(ErrorsLog));
    // Far beyond the system's command-line limit: the vector is joined whole and handed on without
    // an overflow (Wine starts the child with the line cut, or refuses it).
    std::string huge(100000, 'a');
    char* argv[] = {&program[0], &huge[0], &huge[0], nullptr};
    char* joined = argsString(argv);
    EXPECT_EQ(strlen(joined), program.size() + 2 * 100001);
    free(joined);
    ChildProcess().run(program.c_str(), argv, ChildStart());
}

TEST(ChildProcess, LastLinesAndTheirCause) {
    const struct { const char* text; bool partial; const char* lines; } tails[] = {  // last three
        {"a\r\nb\r\n\r\nc\r\nd\r\n", false, "b\nc\nd"}, {"ece of a line\nx\ry\n", true, "x\ny"},
        {"only a piece", true, "only a piece"},     {"\n\n", false, ""},
    };
    for (const auto& t : tails) {
        char out[64];
        lastLinesOf(t.text, strlen(t.text), t.partial, 3, out, sizeof out);
        EXPECT_STREQ(out, t.lines) << t.text;
    }
    const struct { const char* lines; WizardCause cause; const char* name; } causes[] = {
        {"Error: Could not find or load main class com.x.W\n"
         "Caused by: java.lang.ClassNotFoundException: com.x.W",
         WizardMainClassMissing, "com.x.W"},
        {"Exception in thread \"main\" java.lang.NoClassDefFoundError: a/W\n"
         "Could not find the main class: a.W.  Program will exit.",
         WizardMainClassMissing, "a.W"},
        {"Error: Unable to access jarfile install.jar", WizardJarMissing, "install.jar"},
        {"Exception in thread \"main\" java.lang.NullPointerException", WizardCauseUnknown, ""},
        {"", WizardCauseUnknown, ""},
    };
    for (const auto& c : causes) {
        char name[16];
        EXPECT_EQ(wizardCause(c.lines, name, sizeof name), c.cause) << c.lines;
        EXPECT_STREQ(name, c.name);
    }
}

// The system's starts, except that the plain one may refuse as Windows refuses a program whose
// manifest asks for administrator rights (Wine's never does), and the elevated one is recorded
// (under Wine the real ShellExecuteExW runs the program as it is, without a prompt).
struct RecordingStarter : ProgramStarter {
    unsigned long plainAnswer = 0;     // 0: the real start
    unsigned long elevatedAnswer = 0;  // 0: the real start
    bool noProcess = false;            // a start that gives no process
    int elevatedStarts = 0;
    std::wstring seen;  // verb|file|parameters|directory|mask|show

    unsigned long start(const wchar_t* program, wchar_t* commandLine, const wchar_t* directory,
                        ChildProcess& child) override {
        if (plainAnswer) return plainAnswer;
        return systemStarter().start(program, commandLine, directory, child);
    }
    unsigned long startElevated(SHELLEXECUTEINFOW& info) override {
        ++elevatedStarts;
        seen = std::wstring(info.lpVerb) + L"|" + info.lpFile + L"|" + info.lpParameters + L"|" +
               info.lpDirectory + L"|" + std::to_wstring(info.fMask) + L"|" +
               std::to_wstring(info.nShow);
        if (elevatedAnswer || noProcess) return elevatedAnswer;
        return systemStarter().startElevated(info);
    }
};

static std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST(ElevatableStart, RunasOnlyWhenWindowsAsksForIt) {
    ScratchDir scratch;
    std::string jvmDir = scratch.file("jvm dir");  // the installer's directory, not the current one
    makeDirs(jvmDir);
    std::string installer = jvmDir + "\\echoargs.exe", out = jvmDir + "\\echoargs.out";
    CopyFileA(stubProgram("echoargs.exe").c_str(), installer.c_str(), FALSE);
    std::string name = "echoargs", option = "/s", target = "INSTALLDIR=C:\\Program Files\\Java\\";
    char* argv[] = {&name[0], &option[0], &target[0], nullptr};
    _putenv("ECHOARGS_EXIT=-1");
    // Started plainly when no elevation is needed; else again with runas, in the directory, the
    // parameters quoted as on the command line, and waited for.
    for (bool elevated : {false, true}) {
        remove(out.c_str());
        writeFile(TraceLog, "");
        RecordingStarter starter;
        starter.plainAnswer = elevated ? ERROR_ELEVATION_REQUIRED : 0;
        ElevatableRun run;
        EXPECT_TRUE(startAndWaitElevatable(name.c_str(), argv, jvmDir.c_str(), run, starter))
            << run.reason;
        EXPECT_TRUE(run.started && !run.declined) << elevated;
        EXPECT_EQ(run.elevated, elevated);
        EXPECT_EQ(run.exitCode, 0xFFFFFFFFul);
        EXPECT_STREQ(run.reason, "");
        EXPECT_EQ(starter.elevatedStarts, elevated);
        EXPECT_EQ(readFile(out), "ARGC 3\nARG /s\nARG " + target + "\n") << elevated;
        EXPECT_EQ(logText(TraceLog).find("the program needs elevation, starting it with runas: " +
                                         installer + "\n") != std::string::npos, elevated);
        EXPECT_FALSE(exists(ErrorsLog));
        if (!elevated) continue;
        const std::wstring parameters = L"/s \"INSTALLDIR=C:\\Program Files\\Java\\\\\"";
        EXPECT_EQ(starter.seen, L"runas|" + wide(installer) + L"|" + parameters + L"|" +
                                    wide(jvmDir) + L"|64|1");  // NOCLOSEPROCESS, SW_SHOWNORMAL
    }
    _putenv("ECHOARGS_EXIT=");
    // Refused after the prompt: declined, said so; another refusal carries the Windows error and
    // its text, never an errno's; a start that gives no process cannot be waited for; a missing
    // program is never started with runas.
    const struct {
        const char* program;
        unsigned long plainAnswer, elevatedAnswer;  // elevated 0: a start without a process
        const char* reason;                         // how it begins
        std::string log;                            // errors.log, the reason following
    } refusals[] = {
        {"echoargs", ERROR_ELEVATION_REQUIRED, ERROR_CANCELLED, "the elevation prompt was declined",
         installer + " was not allowed to run as administrator (the elevation prompt was declined)"},
        {"echoargs", ERROR_ELEVATION_REQUIRED, ERROR_ACCESS_DENIED, "Windows error 5",
         "Unable to start " + installer + " as administrator: "},
        {"echoargs", ERROR_ELEVATION_REQUIRED, 0, "the elevated start gave no process to wait for",
         "Unable to wait for " + installer + ": "},
        {"missing.exe", 0, 0, "Windows error 2: ", "Unable to start " + jvmDir + "\\missing.exe: "},
    };
    for (const auto& r : refusals) {
        RecordingStarter starter;
        starter.plainAnswer = r.plainAnswer;
        starter.elevatedAnswer = r.elevatedAnswer;
        starter.noProcess = !r.elevatedAnswer;
        ElevatableRun run;
        EXPECT_FALSE(startAndWaitElevatable(r.program, argv, jvmDir.c_str(), run, starter));
        EXPECT_FALSE(run.started);
        EXPECT_EQ(run.elevated, r.plainAnswer != 0);
        EXPECT_EQ(starter.elevatedStarts, r.plainAnswer != 0);
        EXPECT_EQ(run.declined, r.elevatedAnswer == ERROR_CANCELLED);
        EXPECT_EQ(std::string(run.reason).rfind(r.reason, 0), 0u) << run.reason;
        EXPECT_EQ(logText(ErrorsLog), r.log + (run.declined ? "" : run.reason) + "\n");
        remove(ErrorsLog);
    }
}
