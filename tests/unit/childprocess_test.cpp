// Child processes for real: the stub "echoargs.exe" writes the arguments that its C runtime split
// from its command line, so a vector goes out through argsString and comes back as the child saw
// it; with ECHOARGS_STDERR it also writes them to its standard error, which a ChildProcess keeps.
// The start that may ask for administrator rights runs it through a starter that plays Windows'
// refusal (Wine never asks for elevation) and records the shell's start.
#include "exec/childprocess.h"
#include "exec/elevatable.h"
#include "jvm/wizardcause.h"
#include "base/fexists.h"
#include "base/winerror.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

static std::string stubProgram(const char* name) {
    char path[MAX_PATH];  // build\<arch>\tests\unit_tests.exe; the stub is in build\<arch>\stubs
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program = path, directory = program.substr(0, program.rfind('\\'));
    return directory.substr(0, directory.rfind('\\')) + "\\stubs\\" + name;
}

TEST(ChildProcess, ExitCodesLongArgumentsAndStartFailures) {
    ScratchDir dir;
    std::string program = stubProgram("echoargs.exe");
    // Regression: a child that ended with exit code -1 was taken for a program that could not be
    // started (the 32-bit runtime hands that exit code back as -1, the failure value).
    for (const char* exit : {"0", "3", "-1"}) {
        _putenv(("ECHOARGS_EXIT=" + std::string(exit)).c_str());
        remove("echoargs.out");
        std::string option = "-x";
        char* argv[] = {&program[0], &option[0], nullptr};
        ChildProcess child;
        EXPECT_EQ(child.run(program.c_str(), argv, ChildStart()), 0ul) << exit;
        EXPECT_EQ(child.exitCode(), (unsigned long)(DWORD)atoi(exit));
        EXPECT_EQ(readFile("echoargs.out"), "ARGC 2\nARG -x\n");
    }
    _putenv("ECHOARGS_EXIT=");
    EXPECT_FALSE(fexists(ErrorsLog));
    // Far beyond the system's command-line limit: the vector is joined whole and handed on without
    // an overflow (Wine starts the child with the line cut, or refuses it).
    std::string huge(100000, 'a'), missing = dir.file("missing.exe");
    char* argv[] = {&program[0], &huge[0], &huge[0], nullptr};
    char* joined = argsString(argv);
    EXPECT_EQ(strlen(joined), program.size() + 2 * 100001);
    free(joined);
    ChildProcess child;
    child.run(program.c_str(), argv, ChildStart());
    // A start that fails hands back the Windows error, put into words by the one text of a
    // Windows error: the same for the JVM test run and the wizard.
    unsigned long error = child.run(missing.c_str(), argv, ChildStart());
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
    char text[200];
    windowsErrorText(error, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("Windows error " + std::to_string(error) + ": ", 0), 0u)
        << text;
    EXPECT_EQ(child.wait(), ChildLost);
}

// Kiv*.tmp files in the temporary folder: the caught standard error leaves none behind.
static int caughtFiles() {
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "kiv*.tmp").c_str(), &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do ++count;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return count;
}

TEST(ChildProcess, StandardErrorKept) {
    ScratchDir dir;
    int filesBefore = caughtFiles();
    std::string program = stubProgram("echoargs.exe");
    std::string noExtension = program.substr(0, program.size() - 4);
    std::string missing = dir.file("missing.exe");
    const char* const mainClass = "Error: Could not find or load main class com.example.Wizrd";
    const struct {
        std::string program;
        std::vector<std::string> args;
        const char* exit;
        bool started;
        std::string lines;  // the last lines caught
    } cases[] = {
        {program,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "with blank", mainClass},
         "1", true, std::string("4\n5\n6\n7\n8\n9\n10\n11\nwith blank\n") + mainClass},
        {noExtension, {"-x"}, "0", true, "-x"},
        {program, {}, "-1", true, ""},
        {missing, {"-x"}, "0", false, ""},
    };
    _putenv("ECHOARGS_STDERR=1");
    for (const auto& c : cases) {
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
        ChildStart keep;
        keep.keepErrors = true;
        EXPECT_EQ(child.run(c.program.c_str(), argv.data(), keep) == 0, c.started) << c.program;
        EXPECT_EQ(child.errorLines(), c.lines);
        if (!c.started) continue;
        EXPECT_TRUE(child.errorsCaught());
        EXPECT_EQ(child.exitCode(), (unsigned long)(DWORD)atoi(c.exit));
        EXPECT_EQ(readFile("echoargs.out"), echoed);
    }
    _putenv("ECHOARGS_STDERR=");
    _putenv("ECHOARGS_EXIT=");
    EXPECT_EQ(caughtFiles(), filesBefore);
}

TEST(ChildProcess, LastLinesAndTheirCause) {
    const struct {
        const char* text;
        bool partial;
        const char* lines;  // the last three
    } tails[] = {
        {"a\r\nb\r\n\r\nc\r\nd\r\n", false, "b\nc\nd"},
        {"ece of a line\nx\ry\n", true, "x\ny"},
        {"only a piece", true, "only a piece"},
        {"\n\n", false, ""},
    };
    for (const auto& t : tails) {
        char out[64];
        lastLinesOf(t.text, strlen(t.text), t.partial, 3, out, sizeof out);
        EXPECT_STREQ(out, t.lines) << t.text;
    }
    const struct {
        const char* lines;
        WizardCause cause;
        const char* name;
    } causes[] = {
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
// manifest asks for administrator rights (Wine's never does), and the elevated one is recorded.
// Unless it is to answer otherwise or be the real one, the elevated start runs the program as the
// shell would: its file, then the parameters, in the directory.
struct RecordingStarter : ProgramStarter {
    unsigned long plainAnswer = 0;     // 0: the real start
    unsigned long elevatedAnswer = 0;  // 0: a start
    bool realElevated = false;         // through the real ShellExecuteExW
    bool noProcess = false;            // a start that gives no process
    int elevatedStarts = 0;
    SHELLEXECUTEINFOW seen;
    std::wstring verb, file, parameters, dir;

    unsigned long start(const wchar_t* program, wchar_t* commandLine, const wchar_t* directory,
                        ChildProcess& child) override {
        if (plainAnswer) return plainAnswer;
        return systemStarter().start(program, commandLine, directory, child);
    }
    unsigned long startElevated(SHELLEXECUTEINFOW& info) override {
        ++elevatedStarts;
        seen = info;
        verb = info.lpVerb ? info.lpVerb : L"";
        file = info.lpFile ? info.lpFile : L"";
        parameters = info.lpParameters ? info.lpParameters : L"";
        dir = info.lpDirectory ? info.lpDirectory : L"";
        if (elevatedAnswer) return elevatedAnswer;
        if (realElevated) return systemStarter().startElevated(info);
        if (noProcess) return 0;
        std::wstring line = L"\"" + file + L"\" " + parameters;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child;
        if (!CreateProcessW(info.lpFile, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                            info.lpDirectory, &startup, &child))
            return GetLastError();
        CloseHandle(child.hThread);
        info.hProcess = child.hProcess;
        return 0;
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
    const std::string echoed = "ARGC 3\nARG /s\nARG " + target + "\n";
    _putenv("ECHOARGS_EXIT=7");

    // A program that needs no elevation: started plainly, never through the shell.
    {
        writeFile(TraceLog, "");
        RecordingStarter starter;
        ElevatableRun run;
        EXPECT_TRUE(startAndWaitElevatable(name.c_str(), argv, jvmDir.c_str(), run, starter));
        EXPECT_TRUE(run.started);
        EXPECT_FALSE(run.elevated);
        EXPECT_FALSE(run.declined);
        EXPECT_EQ(run.exitCode, 7u);
        EXPECT_STREQ(run.reason, "");
        EXPECT_EQ(starter.elevatedStarts, 0);
        EXPECT_EQ(readFile(out), echoed);
        EXPECT_EQ(logText(TraceLog).find("runas"), std::string::npos);
        EXPECT_FALSE(exists(ErrorsLog));
    }
    // Refused with ERROR_ELEVATION_REQUIRED: started again with runas, in the directory, the
    // parameters quoted as on the command line, and waited for.
    {
        remove(out.c_str());
        writeFile(TraceLog, "");
        RecordingStarter starter;
        starter.plainAnswer = ERROR_ELEVATION_REQUIRED;
        ElevatableRun run;
        EXPECT_TRUE(startAndWaitElevatable(name.c_str(), argv, jvmDir.c_str(), run, starter));
        EXPECT_TRUE(run.started);
        EXPECT_TRUE(run.elevated);
        EXPECT_FALSE(run.declined);
        EXPECT_EQ(run.exitCode, 7u);
        EXPECT_EQ(starter.elevatedStarts, 1);
        EXPECT_EQ(starter.verb, L"runas");
        EXPECT_EQ(starter.seen.fMask, (ULONG)SEE_MASK_NOCLOSEPROCESS);
        EXPECT_EQ(starter.seen.nShow, SW_SHOWNORMAL);
        EXPECT_EQ(starter.file, wide(installer));
        EXPECT_EQ(starter.dir, wide(jvmDir));
        EXPECT_EQ(starter.parameters, L"/s \"INSTALLDIR=C:\\Program Files\\Java\\\\\"");
        EXPECT_EQ(readFile(out), echoed);
        EXPECT_NE(logText(TraceLog).find(
                      "the program needs elevation, starting it with runas: " + installer + "\n"),
                  std::string::npos);
        EXPECT_FALSE(exists(ErrorsLog));
    }
    // Refused after the prompt: declined, said so; another refusal carries the Windows error and
    // its text, never an errno's; a start that gives no process cannot be waited for.
    const struct {
        unsigned long answer;  // 0: a start without a process
        const char* reason;    // how it begins
        std::string log;       // errors.log, the reason following
    } refusals[] = {
        {ERROR_CANCELLED, "the elevation prompt was declined",
         installer + " was not allowed to run as administrator (the elevation prompt was declined)"},
        {ERROR_ACCESS_DENIED, "Windows error 5", "Unable to start " + installer + " as administrator: "},
        {0, "the elevated start gave no process to wait for", "Unable to wait for " + installer + ": "},
    };
    for (const auto& r : refusals) {
        RecordingStarter starter;
        starter.plainAnswer = ERROR_ELEVATION_REQUIRED;
        starter.elevatedAnswer = r.answer;
        starter.noProcess = !r.answer;
        ElevatableRun run;
        EXPECT_FALSE(startAndWaitElevatable(name.c_str(), argv, jvmDir.c_str(), run, starter));
        EXPECT_FALSE(run.started);
        EXPECT_TRUE(run.elevated);
        EXPECT_EQ(run.declined, r.answer == ERROR_CANCELLED);
        EXPECT_EQ(std::string(run.reason).rfind(r.reason, 0), 0u) << run.reason;
        EXPECT_EQ(logText(ErrorsLog),
                  r.log + (r.answer == ERROR_CANCELLED ? "" : run.reason) + "\n");
        remove(ErrorsLog);
    }
    {
        RecordingStarter starter;
        std::string missing = "missing.exe";
        char* none[] = {&missing[0], nullptr};
        ElevatableRun run;
        EXPECT_FALSE(startAndWaitElevatable(missing.c_str(), none, jvmDir.c_str(), run, starter));
        EXPECT_FALSE(run.started);
        EXPECT_FALSE(run.elevated);
        EXPECT_EQ(starter.elevatedStarts, 0);
        std::string reason = run.reason;
        EXPECT_EQ(reason.rfind("Windows error 2: ", 0), 0u) << reason;
        EXPECT_EQ(logText(ErrorsLog),
                  "Unable to start " + jvmDir + "\\missing.exe: " + reason + "\n");
        remove(ErrorsLog);
    }
    _putenv("ECHOARGS_EXIT=");
}

// The real ShellExecuteExW with runas (under Wine it runs the program as it is): the program gets
// its arguments and directory, and its exit code comes back through the process handle.
TEST(ElevatableStart, RealRunasStart) {
    ScratchDir scratch;
    std::string jvmDir = scratch.file("jvm dir");
    makeDirs(jvmDir);
    std::string installer = jvmDir + "\\echoargs.exe";
    CopyFileA(stubProgram("echoargs.exe").c_str(), installer.c_str(), FALSE);
    std::string name = "echoargs.exe", option = "/s", target = "INSTALLDIR=C:\\Program Files\\Java";
    char* argv[] = {&name[0], &option[0], &target[0], nullptr};
    _putenv("ECHOARGS_EXIT=-1");
    RecordingStarter starter;
    starter.plainAnswer = ERROR_ELEVATION_REQUIRED;
    starter.realElevated = true;
    ElevatableRun run;
    EXPECT_TRUE(startAndWaitElevatable(name.c_str(), argv, jvmDir.c_str(), run, starter))
        << run.reason;
    _putenv("ECHOARGS_EXIT=");
    EXPECT_TRUE(run.elevated);
    EXPECT_EQ(starter.elevatedStarts, 1);
    EXPECT_EQ(run.exitCode, 0xFFFFFFFFul);
    EXPECT_EQ(readFile(jvmDir + "\\echoargs.out"), "ARGC 3\nARG /s\nARG " + target + "\n");
    EXPECT_FALSE(exists(ErrorsLog));
}
