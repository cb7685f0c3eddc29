// JvmOk: the version rule, reading the test class's results, and test runs
// of real processes (the stub JVM, and the host's own Java under Wine).
#include "base/fexists.h"
#include "jvm/jvmok.h"
#include "jvmhome.h"
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
        EXPECT_EQ(jvmOk.verifyVersion(c.required, c.minimum, c.maximum, c.version), c.accepted)
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
        jvmOk.testLine(line, "", "", "");
        EXPECT_STREQ(line, c.version) << c.line;
    }
    char line[100] = "no digits";
    EXPECT_FALSE(jvmOk.testLine(line, "", "1.3", ""));
}

TEST(JvmOkResults, FirstLineOfTheResultsFileIsRead) {
    ScratchDir dir;
    JvmOk jvmOk;
    EXPECT_FALSE(jvmOk.checkVersion("jvmGood.txt", "", "", ""));  // missing

    writeFile("jvmGood.txt", "java version \"1.4.2_19\"\n1.6.0\n");
    EXPECT_TRUE(jvmOk.checkVersion("jvmGood.txt", "1.4", "", ""));
    EXPECT_FALSE(jvmOk.checkVersion("jvmGood.txt", "1.6", "", ""));

    writeFile("jvmGood.txt", "");
    EXPECT_TRUE(jvmOk.checkVersion("jvmGood.txt", "", "", ""));
    EXPECT_FALSE(jvmOk.checkVersion("jvmGood.txt", "", "1.3", ""));

    // A first line far longer than the line buffer: only its start is read.
    writeFile("jvmGood.txt", "v 1.5.0 " + std::string(5000, 'x') + " 9\n");
    EXPECT_TRUE(jvmOk.checkVersion("jvmGood.txt", "1.5.0", "", ""));
}

// A work directory with a blank in its name, made current for the test.
struct WorkDir {
    ScratchDir scratch;
    std::string path;
    WorkDir() : path(scratch.file("work dir")) {
        CreateDirectoryA(path.c_str(), nullptr);
        _chdir(path.c_str());
    }
    std::string file(const char* name) const { return path + "\\" + name; }
};

TEST(JvmOkTestRun, StubJvmRunsTheTestClassInTheWorkDirectory) {
    WorkDir work;
    std::string home = work.scratch.file("jre");
    installStubJvm(home, "bin\\javaw.exe", "1.4.2_19");
    placeTestClass();
    writeFile("jinstall.log", "");
    putenv("CLASSPATH=C:\\elsewhere");

    JvmOk jvmOk;
    char command[100] = "javaw.exe";
    char path[5001] = "";
    ASSERT_TRUE(jvmOk.jvmCorrectVersion("", "1.4", "1.4", home.c_str(), command, path));
    EXPECT_EQ(std::string(path), home + "\\bin\\javaw.exe");
    EXPECT_STREQ(command, "javaw.exe");
    EXPECT_FALSE(fexists("jvmGood.txt"));  // deleted after the run

    // Unquoted arguments: the directory arrives in words. No CLASSPATH.
    std::string record = runRecord(home + "\\bin");
    EXPECT_NE(record.find("ARG -cp\nARG .\nARG TestJvm\nARG " +
                          work.scratch.file("work") + "\nARG dir\n"),
              std::string::npos)
        << record;
    EXPECT_EQ(record.find("ENV CLASSPATH"), std::string::npos) << record;
    EXPECT_EQ(getenv("CLASSPATH"), nullptr);
    std::string trace = logText("jinstall.log");
    EXPECT_NE(trace.find("testing  " + home + "\\bin\\javaw.exe"), std::string::npos) << trace;
    EXPECT_NE(trace.find("test jvm ok: true"), std::string::npos) << trace;

    // A reported version that misses the limits refuses the JVM and says so.
    EXPECT_FALSE(jvmOk.jvmCorrectVersion("1.6", "", "", home.c_str(), command, path));
    EXPECT_STREQ(command, "javaw.exe");
    EXPECT_NE(logText("errors.log").find("Jvm isn't installed properly."), std::string::npos);
    EXPECT_FALSE(fexists("jvmGood.txt"));

    // The known version must meet the limits too.
    EXPECT_FALSE(jvmOk.jvmCorrectVersion("", "1.4", "", "1.3.1.0", home.c_str(), command, path));
    EXPECT_NE(logText("jinstall.log").find("jvm doesn't meet criteria"), std::string::npos);
    EXPECT_TRUE(jvmOk.jvmCorrectVersion("", "1.4", "", "1.4.2_19.0", home.c_str(), command, path));
    EXPECT_EQ(testRuns(home + "\\bin"), 4);
}

TEST(JvmOkTestRun, OldCommandNameFallsBackToJavaOrJavaw) {
    const struct {
        const char* command;
        bool traceFile;
        const char* found;
    } cases[] = {
        {"jre.exe", true, "javaw.exe"},
        {"jrew.exe", true, "javaw.exe"},
        {"jre.exe", false, "java.exe"},
        {"jrew.exe", false, "java.exe"},
    };
    for (const auto& c : cases) {
        WorkDir work;
        std::string home = work.scratch.file("jre");
        installStubJvm(home, "bin\\java.exe", "1.6.0_31");
        installStubJvm(home, "bin\\javaw.exe", "1.6.0_31");
        placeTestClass();
        if (c.traceFile) writeFile("jinstall.log", "");
        JvmOk jvmOk;
        char command[100];
        strcpy(command, c.command);
        char path[5001] = "";
        ASSERT_TRUE(jvmOk.jvmCorrectVersion("", "1.3", "", home.c_str(), command, path))
            << c.command;
        EXPECT_STREQ(command, c.found);
        EXPECT_EQ(std::string(path), home + "\\bin\\" + c.found);
    }

    // Found under its own name: not rewritten. Not found at all: restored.
    WorkDir work;
    std::string home = work.scratch.file("jre");
    installStubJvm(home, "jrew.exe", "1.3.1");
    placeTestClass();
    JvmOk jvmOk;
    char command[100] = "jrew.exe";
    char path[5001] = "";
    EXPECT_TRUE(jvmOk.jvmCorrectVersion("", "", "", home.c_str(), command, path));
    EXPECT_STREQ(command, "jrew.exe");
    EXPECT_EQ(std::string(path), home + "\\jrew.exe");
    std::string empty = work.scratch.file("empty");
    CreateDirectoryA(empty.c_str(), nullptr);
    strcpy(command, "jre.exe");
    EXPECT_FALSE(jvmOk.jvmCorrectVersion("", "", "", empty.c_str(), command, path));
    EXPECT_STREQ(command, "jre.exe");
    EXPECT_FALSE(fexists("errors.log"));  // not found is no failure to log
}

TEST(JvmOkTestRun, WithoutTestClassAnExistingProgramPassesUntested) {
    WorkDir work;
    std::string home = work.scratch.file("jre");
    installStubJvm(home, "bin\\java.exe", "1.1");
    JvmOk jvmOk;
    char command[100] = "java.exe";
    char path[5001] = "";
    EXPECT_TRUE(jvmOk.jvmCorrectVersion("1.6", "", "", home.c_str(), command, path));
    EXPECT_EQ(testRuns(home + "\\bin"), 0);
    // only the known version is then held against the limits
    EXPECT_FALSE(jvmOk.jvmCorrectVersion("1.6", "", "", "1.5.0.0", home.c_str(), command, path));
}

TEST(JvmOkTestRun, ProgramThatCannotStartIsLoggedWithItsReason) {
    WorkDir work;
    std::string home = work.scratch.file("jre");
    CreateDirectoryA(home.c_str(), nullptr);
    writeFile(home + "\\java.exe", "not a program");
    placeTestClass();
    JvmOk jvmOk;
    char command[100] = "java.exe";
    char path[5001] = "";
    EXPECT_FALSE(jvmOk.jvmCorrectVersion("", "", "", home.c_str(), command, path));
    std::string errors = logText("errors.log");
    EXPECT_EQ(errors.find("Error running JVM: "), 0u) << errors;
    EXPECT_NE(errors.find(": false\n"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("Jvm isn't installed properly."), std::string::npos) << errors;
}
