// Versions compared by number: the version rule of JvmOk and the order in
// which candidates are tried.
#include "jvm/jvmok.h"
#include "jvm/jvmversion.h"
#include "testdir.h"

#include <gtest/gtest.h>

TEST(JvmVersion, LimitsStandForEveryVersionThatBeginsWithThemComparedByNumber) {
    const struct {
        const char* required;
        const char* minimum;
        const char* maximum;
        const char* version;
        bool accepted;
    } cases[] = {
        // The old numbering: a limit stands for every version that begins
        // with it, a shorter version is compared whole.
        {"1.4", "1.5", "1.3", "1.4", true},
        {"1.4", "1.5", "1.3", "1.4.2_03", true},
        {"1.4", "", "", "1.3.1", false},
        {"1.4", "1.0", "9", "1.5.0", false},
        {"1.4.2", "", "", "1.4", false},
        {"1.4.2_B01", "", "", "1.4.2_b01", true},
        {"", "1.3", "", "1.3.1", true},
        {"", "1.3", "", "1.6.0_31", true},
        {"", "1.3", "", "1.2.2", false},
        {"", "1.3", "", "1.10.0", false},  // 1.10 is no release of the old numbering
        {"", "1.4.2", "", "1.4", false},
        {"", "1.3", "1.5", "1.5.0_22", true},
        {"", "1.3", "1.5", "1.6.0", false},
        {"", "", "1.4", "1.4.2_19", true},
        {"", "", "1.4", "1.6.0_31", false},
        {"", "", "", "1.1", true},
        {"", "", "", "", true},
        {"", "1.3", "", "", false},
        {"1.4", "", "", "", false},
        // Numbers, not characters (each of these was wrong by text).
        {"1.4", "", "", "1.40", false},
        {"", "11", "", "9.0.4", false},
        {"", "11", "", "11.0.2", true},
        {"", "11", "", "17.0.2", true},
        {"", "1.8.0_91", "", "1.8.0_401", true},
        {"", "", "1.8.0_99", "1.8.0_401", false},
        // 1.N up to 8 is N, on either side.
        {"8", "", "", "1.8.0_401", true},
        {"", "8", "", "1.8.0_401", true},
        {"", "1.8", "", "17", true},
        {"", "9", "", "1.8.0_401", false},
        {"", "", "8", "11.0.21", false},
        {"17", "", "", "17.0.9+9", true},
        {"17.0.9", "", "", "17.0.10", false},
        {"", "17.0.9", "", "17.0.10", true},
    };
    ScratchDir dir;
    JvmOk jvmOk;
    for (const auto& c : cases)
        EXPECT_EQ(jvmOk.verifyVersion(JvmWanted{c.required, c.minimum, c.maximum, nullptr},
                                      c.version),
                  c.accepted)
            << "required " << c.required << " min " << c.minimum << " max " << c.maximum
            << " version " << c.version;
}

TEST(JvmVersion, CandidatesAreOrderedByNumber) {
    // Each older than the next.
    const char* const ascending[][2] = {
        {"1.8.0_91", "1.8.0_401"}, {"9.0.4", "11.0.2"},       {"1.8", "1.8.0_401"},
        {"1.8.0_401", "9"},        {"17.0.9.9", "17.0.10.7"}, {"11.0.21", "17.0.2"},
        {"1.4.2_b01", "1.4.2_01"}, {"zulu-17", "zulu-21"},
        {"1.10", "1.6"},  // 1.10 is no release of the old numbering: it stays 1.10
    };
    for (const auto& pair : ascending) {
        EXPECT_LT(JvmOk::compareVersions(pair[0], pair[1]), 0) << pair[0] << " < " << pair[1];
        EXPECT_GT(JvmOk::compareVersions(pair[1], pair[0]), 0) << pair[1] << " > " << pair[0];
    }
    EXPECT_EQ(compareVersionNumbers("1.4.02", "1.4.2"), 0);
    EXPECT_EQ(compareVersionNumbers("1.4.2_B01", "1.4.2_b01"), 0);
}
