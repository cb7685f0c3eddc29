// The JVM search's rules: versions as Java numbers them (JvmProbe's limits, the candidates' order,
// the ranges registrations name) and the version read from the test class's line.
#include "jvm/jvmprobe.h"
#include "jvm/jvmversion.h"
#include "jvm/jvmsearch.h"
#include "testdir.h"

#include <gtest/gtest.h>

TEST(JvmVersion, ComparedAsJavaNumbersThemAndALimitStandsForEveryVersionBeginningWithIt) {
    struct Case {
        const char *required, *minimum, *maximum, *version;  // the version, or the range named
        bool accepted;
    };
    const Case cases[] = {
        {"1.4", "1.5", "1.3", "1.4", true},       {"1.4", "1.5", "1.3", "1.4.2_03", true},
        {"1.4", "", "", "1.3.1", false},          {"1.4", "1.0", "9", "1.5.0", false},
        {"1.4.2", "", "", "1.4", false},          {"1.4.2_B01", "", "", "1.4.2_b01", true},
        {"", "1.3", "", "1.3.1", true},           {"", "1.3", "", "1.6.0_31", true},
        {"", "1.3", "", "1.2.2", false},          {"", "1.4.2", "", "1.4", false},
        {"", "1.3", "", "1.10.0", true},  // 1.10 is 10
        {"", "1.3", "1.5", "1.5.0_22", true},     {"", "1.3", "1.5", "1.6.0", false},
        {"", "", "1.4", "1.4.2_19", true},        {"", "", "1.4", "1.6.0_31", false},
        {"", "", "", "1.1", true},                {"", "", "", "", true},
        {"", "1.3", "", "", false},               {"1.4", "", "", "", false},
        // Numbers, not characters (each of these was wrong by text).
        {"1.4", "", "", "1.40", false},           {"", "11", "", "9.0.4", false},
        {"", "11", "", "11.0.2", true},           {"", "11", "", "17.0.2", true},
        {"", "1.8.0_91", "", "1.8.0_401", true},  {"", "", "1.8.0_99", "1.8.0_401", false},
        // 1.N up to 8 is N, on either side.
        {"8", "", "", "1.8.0_401", true},         {"", "8", "", "1.8.0_401", true},
        {"", "1.8", "", "17", true},              {"", "9", "", "1.8.0_401", false},
        {"", "", "8", "11.0.21", false},          {"17", "", "", "17.0.9+9", true},
        {"17.0.9", "", "", "17.0.10", false},     {"", "17.0.9", "", "17.0.10", true},
        // Trailing zeros carry no meaning: a GA release reports 17.
        {"", "17.0", "", "17", true},             {"", "17.0.0", "", "17", true},
        {"17.0", "", "", "17", true},             {"17.0.0", "", "", "17.0.10", false},
        {"", "17.0.2", "", "17", false},
        // 1.N is N for every N from 2 (an author's 1.9 or 1.10).
        {"", "", "1.9", "1.8.0_401", true},       {"", "1.10", "", "1.6.0_45", false},
        {"", "1.9", "", "9.0.4", true},           {"", "", "1.10", "11.0.2", false},
        {"1.1", "", "", "1.1.8", true},           {"", "2", "", "1.2.2", true},
        // Pre-release and build: a limit without them stands for all that begin with it.
        {"", "21", "", "21-ea", true},            {"21-ea", "", "", "21", false},
        {"", "21-ea", "", "21", true},            {"", "", "21-ea", "21-rc", false},
        {"", "1.8.0_401", "", "1.8.0_401-b10", true}, {"", "17.0.9+10", "", "17.0.9+9", false},
    };
    ScratchDir dir;
    JvmProbe probe;
    for (const auto& c : cases)
        EXPECT_EQ(probe.meetsLimits({c.required, c.minimum, c.maximum, nullptr}, c.version),
                  c.accepted)
            << c.required << " | " << c.minimum << " | " << c.maximum << " | " << c.version;
    // The test class's line is trimmed to the version first. Regression: with no digit at all the
    // search for the first digit ran past the line's end.
    const char* const lines[][2] = {
        {"java version \"1.6.0_31\"\n", "1.6.0_31"}, {"1.4.2-beta", "1.4.2"}, {"7", "7"}, {"", ""},
        {"version 1.5.0 build 22 final\r\n", "1.5.0 build 22"}, {"x7", "7"}, {"no version\n", ""},
    };
    for (const auto& c : lines) {
        char line[1001];
        strcpy(line, c[0]);
        EXPECT_EQ(probe.lineMeetsLimits(line, JvmWanted{"", "1.3", "", nullptr}), c[1][0] != '\0') << c[0];
        EXPECT_STREQ(line, c[1]) << c[0];
    }
    // The order in which candidates are tried (the limits' table shows more of it).
    const char* const ascending[][2] = {  // each older than the next
        {"1.8", "1.8.0_401"}, {"1.4.2_b01", "1.4.2_01"}, {"zulu-17", "zulu-21"}, {"1.6", "1.10"},
        {"1.9", "10"},        {"21-ea", "21"},           {"1.8.0-ea", "1.8.0"}, {"9-1", "9-ea"},
        {"21-ea", "21-rc"},   {"17.0.9", "17.0.9+9"},    {"17.0.9+9", "17.0.10"}};
    for (const auto& pair : ascending) {
        EXPECT_LT(compareVersionNumbers(pair[0], pair[1]), 0) << pair[0] << " < " << pair[1];
        EXPECT_GT(compareVersionNumbers(pair[1], pair[0]), 0) << pair[1] << " > " << pair[0];
    }
    EXPECT_EQ(compareVersionNumbers("1.4.02", "1.4.2"), 0);
    EXPECT_EQ(compareVersionNumbers("17", "17.0.0"), 0);
    EXPECT_EQ(compareVersionNumbers("1.10", "10"), 0);
    // A registration names a range ("17", "1.8.0"): it can refuse only when none of it fits.
    const Case ranges[] = {
        {"", "17.0.2", "", "17", true},        {"", "1.8.0_402", "", "1.8.0", true},
        {"1.8.0_402", "", "", "1.8", true},    {"", "17", "", "1.8.0", false},
        {"", "", "1.4", "1.6.0_31", false},    {"", "", "17.0.2", "17", true},
        {"11", "", "", "17", false},           {"", "11", "", "hotspot", true},
        {"", "1.3", "1.5", "1.4.2_19", true},  {"", "", "", "", true},
    };
    for (const auto& c : ranges)
        EXPECT_EQ(JvmProbe::rangeMeetsLimits({c.required, c.minimum, c.maximum, nullptr}, c.version),
                  c.accepted)
            << c.required << " | " << c.minimum << " | " << c.maximum << " | range " << c.version;
}
