// The launcher's command line: the quiet-start test and the worker's reading of switches and argument.
#include "shell/cmdline.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

TEST(CommandLine, SwitchesCountOnlyWhenAWordFollows) {
    const struct {
        const char* arguments;
        bool quietStart, quiet, properties;
        const char* argument;
    } cases[] = {
        {"", false, false, false, ""},
        {"-q", false, false, false, ""},
        {"-s", false, false, false, ""},
        {" -q", false, false, false, ""},
        {"x -q", false, false, false, ""},
        {"-Q x", false, false, false, ""},
        {"-qx y", false, false, false, ""},
        {"x y", false, false, false, ""},
        {"-q ", true, true, false, ""},
        {"-q x", true, true, false, "x"},
        {"-q x ", true, true, false, "x"},
        {"x -q y", true, true, false, "y"},
        {"-q  x", true, true, false, "x"},  // an empty word does not start the argument
        {"a  -s  b", true, false, true, "b"},
        {"-s C:\\dir\\x.properties", true, false, true, "C:\\dir\\x.properties"},
        {"-q \"C:\\My Dir\\x.txt\"", true, true, false, "C:\\My Dir\\x.txt"},
        {"-q arg1 -s arg2", true, true, true, "arg1"},
        {"-s -q", true, false, true, "-q"},
        {"foo -s x", true, false, true, "x"},
        {"-s \"a b c\" d", true, false, true, "a b c"},
        {"-s \"ab\" c", true, false, true, "ab"},
        {"-s a b", true, false, true, "a"},
    };
    for (const auto& c : cases) {
        bool quiet = !c.quiet, properties = !c.properties;
        char argument[100];
        parseCommandLine(c.arguments, &quiet, &properties, argument, sizeof argument);
        EXPECT_EQ(isQuietStart(c.arguments), c.quietStart) << c.arguments;
        EXPECT_EQ(quiet, c.quiet) << c.arguments;
        EXPECT_EQ(properties, c.properties) << c.arguments;
        EXPECT_STREQ(argument, c.argument) << c.arguments;
    }
}

// Regression: the argument was copied into a fixed buffer without a bound, so a long command line
// overflowed it.
TEST(CommandLine, LongArgumentsAreCutNotOverflowed) {
    std::string word(100000, 'a');
    for (const std::string& arguments : {"-q " + word, "-q \"" + word + " " + word + "\""}) {
        bool quiet = false, properties = false;
        char buffer[64 + 8];
        memset(buffer, 'Z', sizeof buffer);
        parseCommandLine(arguments.c_str(), &quiet, &properties, buffer, 64);
        EXPECT_TRUE(quiet);
        EXPECT_EQ(strlen(buffer), 63u);
        EXPECT_EQ(std::string(buffer + 64, 8), std::string(8, 'Z'));
    }
}
