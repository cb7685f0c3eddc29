// Command execution with real child processes: the stub "echoargs.exe"
// writes the arguments that its C runtime split from its command line, so a
// vector goes out through _spawnv and comes back as the child saw it.
#include "exec/execcmd.h"
#include "base/fexists.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// build\<arch>\stubs\echoargs.exe, beside the tests directory of this program.
std::string echoArgsPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir = dir.substr(0, dir.rfind('\\'));  // ...\tests
    dir = dir.substr(0, dir.rfind('\\'));  // the build directory
    return dir + "\\stubs\\echoargs.exe";
}

// A vector of the entries, terminated; the strings live in the holder.
struct Argv {
    std::vector<std::string> text;
    std::vector<char*> pointers;
    explicit Argv(const std::vector<std::string>& entries) : text(entries) {
        for (std::string& entry : text) pointers.push_back(&entry[0]);
        pointers.push_back(nullptr);
    }
    char** get() { return pointers.data(); }
};

struct Echo {
    std::string commandLine;
    std::vector<std::string> args;  // after the program's own name
    int argc = -1;
};

Echo readEcho(const std::string& path) {
    Echo echo;
    std::string content = readFile(path);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (line.compare(0, 8, "CMDLINE ") == 0) echo.commandLine = line.substr(8);
        else if (line.compare(0, 5, "ARGC ") == 0) echo.argc = atoi(line.c_str() + 5);
        else if (line.compare(0, 4, "ARG ") == 0) echo.args.push_back(line.substr(4));
        start = end + 1;
    }
    return echo;
}

std::string argsString(char** argv) {
    ExecCommand exec;
    char* text = exec.argsString(argv);
    std::string result = text ? text : "<null>";
    free(text);
    return result;
}

}  // namespace

TEST(ExecCommand, ArgsStringQuotesEntriesWithBlanks) {
    struct Case {
        std::vector<std::string> entries;
        const char* expected;
    };
    const Case cases[] = {
        {{"java.exe", "-cp", ".;install.jar", "C:\\Program Files\\x"},
         "java.exe -cp .;install.jar \"C:\\Program Files\\x\""},
        {{"a", "-Dp=\"x y\""}, "a -Dp=\"x y\""},          // carries its own quotes
        {{"a", "\"C:\\my dir\\x\""}, "a \"C:\\my dir\\x\""},
        {{"my prog.exe", "x"}, "\"my prog.exe\" x"},         // the first entry too
        {{"a", "C:\\dir with blank\\"}, "a \"C:\\dir with blank\\\\\""},  // closing quote stays one
        {{"a", "tab\there"}, "a \"tab\there\""},
        {{"a", "", "b"}, "a  b"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        Argv argv(c.entries);
        EXPECT_EQ(argsString(argv.get()), c.expected);
    }
}

TEST(ExecCommand, ChildReceivesTheVectorAsGiven) {
    // Round trip through the child's own command-line splitting: every
    // entry arrives as one argument, and the command line the child got is
    // argsString of the vector.
    ScratchDir dir;
    const std::vector<std::vector<std::string>> vectors = {
        {"echoargs.exe"},
        {"echoargs.exe", "-cp", ".;install.jar", "Main"},
        {"echoargs.exe", "C:\\Program Files\\x", "two  blanks", " lead", "trail "},
        {"echoargs.exe", "C:\\dir with blank\\", "C:\\plain\\", "a\\\\b", "tab\tin"},
        {"echo args.exe", "x"},
    };
    for (const auto& entries : vectors) {
        remove("echoargs.out");
        Argv argv(entries);
        std::string program = echoArgsPath();
        char error[500] = "";
        ExecCommand exec;
        ASSERT_TRUE(exec.spawnAndWait(&program[0], argv.get(), error)) << error;
        Echo echo = readEcho("echoargs.out");
        EXPECT_EQ(echo.argc, (int)entries.size());
        EXPECT_EQ(echo.args, std::vector<std::string>(entries.begin() + 1, entries.end()));
        EXPECT_EQ(echo.commandLine, argsString(argv.get()));
    }
}

TEST(ExecCommand, PreQuotedEntriesReachTheChildUnquoted) {
    // The wizard's classpath and switches come with their own quotes.
    ScratchDir dir;
    Argv argv({"javaw.exe", "-Dp=\"x y\"", ".;\"C:\\my dir\\a.jar\"", "\"C:\\start dir\""});
    std::string program = echoArgsPath();
    char error[500] = "";
    ExecCommand exec;
    ASSERT_TRUE(exec.spawnAndWait(&program[0], argv.get(), error)) << error;
    Echo echo = readEcho("echoargs.out");
    EXPECT_EQ(echo.args,
              (std::vector<std::string>{"-Dp=x y", ".;C:\\my dir\\a.jar", "C:\\start dir"}));
}

TEST(ExecCommand, ProgramPathWithBlanks) {
    ScratchDir dir;
    CreateDirectoryA("with blank", nullptr);
    std::string copy = dir.file("with blank\\echo args.exe");
    ASSERT_TRUE(CopyFileA(echoArgsPath().c_str(), copy.c_str(), FALSE));
    Argv argv({"echo args.exe", "one"});
    char error[500] = "";
    ExecCommand exec;
    ASSERT_TRUE(exec.spawnAndWait(&copy[0], argv.get(), error)) << error;
    EXPECT_EQ(readEcho("echoargs.out").args, std::vector<std::string>{"one"});
}

TEST(ExecCommand, ExitCodeDoesNotCount) {
    // Regression: a child that ended with exit code -1 was taken for a
    // program that could not be started (the 32-bit runtime hands that exit
    // code back as -1, the failure value; the 64-bit one as 4294967295).
    ScratchDir dir;
    for (const char* code : {"0", "3", "-1", "255"}) {
        std::string setting = std::string("ECHOARGS_EXIT=") + code;
        _putenv(setting.c_str());
        remove("echoargs.out");
        Argv argv({"echoargs.exe"});
        std::string program = echoArgsPath();
        char error[500] = "";
        ExecCommand exec;
        EXPECT_TRUE(exec.spawnAndWait(&program[0], argv.get(), error)) << code;
        EXPECT_STREQ(error, "") << code;
        EXPECT_TRUE(exec.execCommand(program.c_str(), nullptr, 0)) << code;
        EXPECT_EQ(readEcho("echoargs.out").argc, 1) << code;
    }
    _putenv("ECHOARGS_EXIT=");
    EXPECT_FALSE(fexists("errors.log"));
}

TEST(ExecCommand, MissingProgram) {
    ScratchDir dir;
    writeFile("jinstall.log", "");
    std::string missing = dir.file("missing.exe");
    Argv argv({"missing.exe", "x"});
    char error[500];
    memset(error, 'x', sizeof error);
    ExecCommand exec;
    EXPECT_FALSE(exec.spawnAndWait(&missing[0], argv.get(), error));
    EXPECT_STREQ(error, "File or path is not found");
    // spawnAndWait leaves the reporting to its caller.
    EXPECT_FALSE(fexists("errors.log"));
    std::string trace = readFile("jinstall.log");
    EXPECT_NE(trace.find(" Command: " + missing + "\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find(" Args: missing.exe x\r\n"), std::string::npos) << trace;

    EXPECT_FALSE(exec.execCommand(missing.c_str(), nullptr, 0));
    std::string errors = readFile("errors.log");
    EXPECT_NE(errors.find(" Unable to execute command: " + missing + "\r\n"), std::string::npos);
    EXPECT_NE(errors.find("                    result -1\r\n"), std::string::npos) << errors;
    EXPECT_NE(errors.find("                     errno 2\r\n"), std::string::npos) << errors;
    trace = readFile("jinstall.log");
    EXPECT_NE(trace.find("                     errno 2\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find(" Command started ok: false\r\n"), std::string::npos) << trace;
}

TEST(ExecCommand, ErrnoTexts) {
    const std::pair<int, const char*> texts[] = {
        {2, "File or path is not found"},
        {7, "Argument list exceeds 1024 bytes"},
        {8, "Specified file is not executable or has invalid executable-file format"},
        {12, "Not enough memory is available to execute new process"},
        {22, "Mode argument is invalid"},
        {0, "Unknown error"},
        {13, "Unknown error"},
    };
    for (const auto& t : texts) {
        EXPECT_STREQ(execErrorText(t.first), t.second) << t.first;
        // Every text fits the smallest buffer a caller may give.
        EXPECT_LT(strlen(t.second), (size_t)ExecCommand::ErrorTextSize);
    }
}

TEST(ExecCommand, NotAProgram) {
    ScratchDir dir;
    writeFile("notaprogram.exe", "this is text, not a program");
    std::string path = dir.file("notaprogram.exe");
    Argv argv({"notaprogram.exe"});
    char error[500] = "";
    ExecCommand exec;
    EXPECT_FALSE(exec.spawnAndWait(&path[0], argv.get(), error));
    EXPECT_STRNE(error, "");
    EXPECT_LT(strlen(error), (size_t)ExecCommand::ErrorTextSize);
}

TEST(ExecCommand, ExecCommandSplitsAtEveryBlank) {
    struct Case {
        const char* args;
        unsigned count;
        std::vector<std::string> received;
    };
    const Case cases[] = {
        {nullptr, 0, {}},
        {"-x", 1, {"-x"}},
        {"-d C:\\dir -q", 3, {"-d", "C:\\dir", "-q"}},
        // adjacent blanks give an empty word, which the child does not see
        {"a  b", 3, {"a", "b"}},
        // regression: a count smaller than the words overran the vector
        {"a b c d e f", 1, {"a", "b", "c", "d", "e", "f"}},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        writeFile("jinstall.log", "");
        ExecCommand exec;
        std::string program = echoArgsPath();
        ASSERT_TRUE(exec.execCommand(program.c_str(), c.args, c.count));
        Echo echo = readEcho("echoargs.out");
        EXPECT_EQ(echo.args, c.received) << (c.args ? c.args : "null");
        std::string trace = readFile("jinstall.log");
        EXPECT_NE(trace.find(" formattedCommand: " + program + "\r\n"), std::string::npos);
        EXPECT_NE(trace.find(" # of args: " + std::to_string(c.count) + "\r\n"),
                  std::string::npos);
        EXPECT_NE(trace.find(" Command started ok: true\r\n"), std::string::npos);
    }
}

TEST(ExecCommand, AbsoluteLogNamesSurviveADirectoryChange) {
    ScratchDir dir;
    writeFile("jinstall.log", "");
    CreateDirectoryA("elsewhere", nullptr);
    ExecCommand exec;
    exec.setErrorsFilename(dir.file("errors.log").c_str());
    exec.setTraceFilename(dir.file("jinstall.log").c_str());
    SetCurrentDirectoryA("elsewhere");
    EXPECT_FALSE(exec.execCommand("missing.exe", "a b", 2));
    SetCurrentDirectoryA(dir.path().c_str());
    EXPECT_FALSE(fexists("elsewhere\\errors.log"));
    EXPECT_NE(readFile("errors.log").find(" Unable to execute command: missing.exe\r\n"),
              std::string::npos);
    EXPECT_NE(readFile("jinstall.log").find(" about to execute command: missing.exe\r\n"),
              std::string::npos);
}

TEST(ExecCommand, LongArgumentsStayBounded) {
    // Far beyond the system's command-line limit: no buffer overflows, and
    // the failure is explained with one of the known texts.
    ScratchDir dir;
    std::string huge(100000, 'a');
    Argv argv({"echoargs.exe", huge, huge});
    std::string program = echoArgsPath();
    char error[ExecCommand::ErrorTextSize];
    ExecCommand exec;
    EXPECT_EQ(argsString(argv.get()).size(), 12 + 2 * 100001);
    if (!exec.spawnAndWait(&program[0], argv.get(), error)) {
        EXPECT_LT(strlen(error), sizeof error);
    }
    std::string longName(6000, 'n');
    exec.setTraceFilename(longName.c_str());  // cut, not overflowing
    exec.setErrorsFilename(longName.c_str());
    EXPECT_FALSE(exec.execCommand(("missing " + huge).c_str(), huge.c_str(), 1));
}
