// The launcher's command line: quiet-start test and the worker's reading.
#include "shell/cmdline.h"

#include <gtest/gtest.h>
#include <string>

TEST(CommandLine, QuietStartOnlyForSwitchFollowedByWord) {
    struct Case {
        const char* arguments;
        bool quiet;
    } cases[] = {
        {"", false},        {"-q", false},       {"-s", false},     {"-q x", true},
        {"-s x", true},     {"x -q", false},     {"x -q y", true},  {"-Q x", false},
        {"-q ", true},      {" -q", false},      {"-qx y", false},  {"a  -s  b", true},
    };
    for (const Case& c : cases) EXPECT_EQ(isQuietStart(c.arguments), c.quiet) << c.arguments;
}

TEST(CommandLine, SwitchesAndTheirArgument) {
    struct Case {
        const char* arguments;
        bool quiet, properties;
        const char* argument;
    } cases[] = {
        {"", false, false, ""},
        {"-q", false, false, ""},
        {"-s", false, false, ""},
        {"-s C:\\dir\\x.properties", false, true, "C:\\dir\\x.properties"},
        {"-q \"C:\\My Dir\\x.txt\"", true, false, "C:\\My Dir\\x.txt"},
        {"-q arg1 -s arg2", true, true, "arg1"},
        {"-s -q", false, true, "-q"},
        {"foo -s x", false, true, "x"},
        {"-q x", true, false, "x"},
        {"-s \"a b\" c", false, true, "a b"},
        {"-s \"a b c\" d", false, true, "a b c"},
        {"-s \"ab\" c", false, true, "ab"},
        {"-s a b", false, true, "a"},
        {"-q  x", true, false, "x"},   // an empty word does not start the argument
        {"-q x ", true, false, "x"},
        {"x y", false, false, ""},
    };
    for (const Case& c : cases) {
        bool quiet = true, properties = true;
        char argument[100];
        parseCommandLine(c.arguments, &quiet, &properties, argument, sizeof argument);
        EXPECT_EQ(quiet, c.quiet) << c.arguments;
        EXPECT_EQ(properties, c.properties) << c.arguments;
        EXPECT_STREQ(argument, c.argument) << c.arguments;
    }
}

// Regression: the argument was copied into a fixed buffer without a bound, so a long command line
// overflowed it.
TEST(CommandLine, LongArgumentsAreCutNotOverflowed) {
    std::string word(100000, 'a');
    std::string quoted = "-q \"" + word + " " + word + "\"";
    for (const std::string& arguments : {"-q " + word, quoted}) {
        bool quiet = false, properties = false;
        char buffer[64 + 8];
        memset(buffer, 'Z', sizeof buffer);
        parseCommandLine(arguments.c_str(), &quiet, &properties, buffer, 64);
        EXPECT_TRUE(quiet);
        EXPECT_EQ(strlen(buffer), 63u);
        for (size_t i = 64; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'Z');
    }
}
