// JvmOk: the version rule and reading the test class's results. Test runs
// of the stub JVM and of real Java are shown end to end (tests/e2e).
#include "base/fexists.h"
#include "jvm/jvmok.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <direct.h>
#include <stdlib.h>
#include <string.h>

struct VersionCase {
    const char* required;
    const char* minimum;
    const char* maximum;
    const char* version;
    bool accepted;
};

TEST(JvmOkVersionRule, LimitsStandForEveryVersionThatBeginsWithThem) {
    const VersionCase cases[] = {
        // a required version decides alone, over its own length
        {"1.4", "1.5", "1.3", "1.4", true},
        {"1.4", "1.5", "1.3", "1.4.2_03", true},
        {"1.4", "", "", "1.40", true},
        {"1.4", "", "", "1.3.1", false},
        {"1.4", "1.0", "9", "1.5.0", false},
        {"1.4.2", "", "", "1.4", false},  // shorter: compared whole
        {"1.4.2_B01", "", "", "1.4.2_b01", true},  // letters in any case
        // minimum only
        {"", "1.3", "", "1.3.1", true},
        {"", "1.3", "", "1.6.0_31", true},
        {"", "1.3", "", "1.2.2", false},
        {"", "1.3", "", "1.10.0", false},  // 1.1 sorts before 1.3
        {"", "1.4.2", "", "1.4", false},
        // minimum and maximum
        {"", "1.3", "1.5", "1.5.0_22", true},
        {"", "1.3", "1.5", "1.6.0", false},
        {"", "", "1.4", "1.4.2_19", true},
        {"", "", "1.4", "1.6.0_31", false},
        // no limits
        {"", "", "", "1.1", true},
        {"", "", "", "", true},
        {"", "1.3", "", "", false},
        {"1.4", "", "", "", false},
    };
    ScratchDir dir;
    JvmOk jvmOk;
    for (const VersionCase& c : cases)
        EXPECT_EQ(jvmOk.verifyVersion(JvmWanted{c.required, c.minimum, c.maximum, nullptr},
                                      c.version),
                  c.accepted)
            << "required " << c.required << " min " << c.minimum << " max " << c.maximum
            << " version " << c.version;
}

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
