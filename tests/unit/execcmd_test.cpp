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

TEST(ExecCommand, WordsExitCodesAndLongArguments) {
    const struct {
        const char* args;
        unsigned count;
        const char* exit;
        const char* echoed;  // what the child wrote after its command line
    } cases[] = {
        {nullptr, 0, "0", "ARGC 1\n"},
        {"-d C:\\dir -q", 3, "3", "ARGC 4\nARG -d\nARG C:\\dir\nARG -q\n"},
        {"a  b", 3, "255", "ARGC 3\nARG a\nARG b\n"},  // the child does not see the empty word
        // Regression: a count smaller than the words overran the vector.
        {"a b c d e f", 1, "0", "ARGC 7\nARG a\nARG b\nARG c\nARG d\nARG e\nARG f\n"},
        // Regression: a child that ended with exit code -1 was taken for a program that could not
        // be started (the 32-bit runtime hands that exit code back as -1, the failure value).
        {"-x", 1, "-1", "ARGC 2\nARG -x\n"},
    };
    ScratchDir dir;
    char path[MAX_PATH];  // build\<arch>\tests\unit_tests.exe; the stub is in build\<arch>\stubs
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program = path, directory = program.substr(0, program.rfind('\\'));
    program = directory.substr(0, directory.rfind('\\')) + "\\stubs\\echoargs.exe";
    for (const auto& c : cases) {
        _putenv(("ECHOARGS_EXIT=" + std::string(c.exit)).c_str());
        remove("echoargs.out");
        ExecCommand child;
        EXPECT_TRUE(child.execCommand(program.c_str(), c.args, c.count)) << c.exit;
        EXPECT_EQ(child.lastExitCode(), (unsigned long)(DWORD)atoi(c.exit));
        EXPECT_EQ(readFile("echoargs.out"), c.echoed);
    }
    _putenv("ECHOARGS_EXIT=");
    EXPECT_FALSE(fexists("errors.log"));
    // Far beyond the system's command-line limit: the vector is joined whole and handed on without
    // an overflow (Wine starts the child with the line cut).
    std::string huge(100000, 'a'), missing = dir.file("missing.exe");
    char* argv[] = {&program[0], &huge[0], &huge[0], nullptr};
    char error[ExecCommand::ErrorTextSize + 16];
    memset(error, 'Z', sizeof error);
    ExecCommand exec;
    char* joined = exec.argsString(argv);
    EXPECT_EQ(strlen(joined), program.size() + 2 * 100001);
    free(joined);
    exec.spawnAndWait(&program[0], argv, error);
    EXPECT_FALSE(exec.spawnAndWait(&missing[0], argv, error));
    EXPECT_GT(strlen(error), 0u);
    EXPECT_EQ(std::string(error + ExecCommand::ErrorTextSize, 16), std::string(16, 'Z'));
    EXPECT_FALSE(exec.execCommand(("missing " + huge).c_str(), huge.c_str(), 1));
}
