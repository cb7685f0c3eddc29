// JvmOk: reading the test class's results. The version rule's table is in
// jvmversion_test.cpp; test runs of the stub JVM and of real Java are shown
// end to end (tests/e2e).
#include "base/fexists.h"
#include "jvm/jvmok.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <direct.h>
#include <stdlib.h>
#include <string.h>

TEST(JvmOkVersionRule, ReportedLineIsTrimmedToTheVersion) {
    const struct {
        const char* line;
        const char* version;
    } cases[] = {
        {"java version \"1.6.0_31\"\n", "1.6.0_31"},
        {"1.4.2-beta", "1.4.2"},
        {"version 1.5.0 build 22 final\r\n", "1.5.0 build 22"},
        {"7", "7"},
        {"x7", "7"},
        // no digit at all: no version (regression: the search for the first
        // digit ran past the end of the line)
        {"no version here\n", ""},
        {"", ""},
    };
    ScratchDir dir;
    JvmOk jvmOk;
    for (const auto& c : cases) {
        char line[1001];
        strcpy(line, c.line);
        jvmOk.testLine(line, JvmWanted{"", "", "", nullptr});
        EXPECT_STREQ(line, c.version) << c.line;
    }
    char line[100] = "no digits";
    EXPECT_FALSE(jvmOk.testLine(line, JvmWanted{"", "1.3", "", nullptr}));
}
