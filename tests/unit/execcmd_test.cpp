// Command execution with real child processes: the stub "echoargs.exe" writes the arguments that
// its C runtime split from its command line, so a vector goes out through _spawnv and comes back as
// the child saw it.
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

// The lines of echoargs.out that begin with tag, the tag dropped.
std::vector<std::string> echoed(const char* tag) {
    std::vector<std::string> found;
    std::string content = readFile("echoargs.out");
    size_t length = strlen(tag);
    for (size_t start = 0, end; start < content.size(); start = end + 1) {
        end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        if (content.compare(start, length, tag) == 0)
            found.push_back(content.substr(start + length, end - start - length));
    }
    return found;
}

std::string argsString(char** argv) {
    ExecCommand exec;
    char* text = exec.argsString(argv);
    std::string result = text ? text : "<null>";
    free(text);
    return result;
}

}  // namespace

TEST(ExecCommand, ExitCodeDoesNotCount) {
    // Regression: a child that ended with exit code -1 was taken for a program that could not be
    // started (the 32-bit runtime hands that exit code back as -1, the failure value; the 64-bit
    // one as 4294967295).
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
        EXPECT_EQ(echoed("ARGC "), std::vector<std::string>({"1", "1"})) << code;
    }
    _putenv("ECHOARGS_EXIT=");
    EXPECT_FALSE(fexists("errors.log"));
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
        EXPECT_EQ(echoed("ARG "), c.received) << (c.args ? c.args : "null");
    }
}

TEST(ExecCommand, LongArgumentsStayBounded) {
    // Far beyond the system's command-line limit: the vector is joined whole and handed on without
    // an overflow (Wine starts the child with the line cut).
    ScratchDir dir;
    std::string huge(100000, 'a');
    Argv argv({"echoargs.exe", huge, huge});
    std::string program = echoArgsPath();
    char error[ExecCommand::ErrorTextSize + 16];
    memset(error, 'Z', sizeof error);
    ExecCommand exec;
    EXPECT_EQ(argsString(argv.get()).size(), 12 + 2 * 100001);
    exec.spawnAndWait(&program[0], argv.get(), error);
    std::string missing = dir.file("missing.exe");
    EXPECT_FALSE(exec.spawnAndWait(&missing[0], argv.get(), error));
    EXPECT_GT(strlen(error), 0u);
    EXPECT_LT(strlen(error), (size_t)ExecCommand::ErrorTextSize);
    EXPECT_EQ(std::string(error + ExecCommand::ErrorTextSize, 16), std::string(16, 'Z'));
    std::string longName(6000, 'n');
    exec.setTraceFilename(longName.c_str());  // cut, not overflowing
    exec.setErrorsFilename(longName.c_str());
    EXPECT_FALSE(exec.execCommand(("missing " + huge).c_str(), huge.c_str(), 1));
}
