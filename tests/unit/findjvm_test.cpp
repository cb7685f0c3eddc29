// FindJvm and JvmWin on the real registry of the Wine prefix: the JavaSoft
// keys are seeded for each test, their JVM homes hold the stub JVM, and the
// stubs' record of runs shows which candidates were tried.
#include "base/fexists.h"
#include "jvm/findjvm.h"
#include "jvm/jvmwin.h"
#include "jvmhome.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

static const char Jre[] = "Java Runtime Environment";
static const char Jdk[] = "Java Development Kit";
static const char Plugin[] = "Java Plug-in";

// A work directory with the test class and tracing on, the JavaSoft keys
// held, and JVM homes made on request.
struct Search {
    ScratchDir dir;
    JavaSoftKeys keys;
    char command[100] = "javaw.exe";
    char path[5001] = "";
    Search() {
        placeTestClass();
        writeFile("jinstall.log", "");
    }
    // A JVM home whose bin\javaw.exe reports version, listed in the registry.
    std::string jvm(const char* product, const std::string& subkey, const std::string& reported,
                    const std::string& micro = "0") {
        std::string home = dir.file((std::string(product) + " " + subkey).c_str());
        installStubJvm(home, "bin\\javaw.exe", reported);
        keys.add(product, subkey, micro, home);
        return home;
    }
    bool find(const char* required, const char* minimum, const char* maximum,
              const char* kind = "JRE") {
        FindJvm findJvm;
        return findJvm.isJvmInstalled(required, minimum, maximum, kind, command, path);
    }
    static int runs(const std::string& home) { return testRuns(home + "\\bin"); }
    std::string trace() const { return logText("jinstall.log"); }
};

TEST(FindJvm, GreatestVersionFirstUntilOneIsAccepted) {
    Search search;
    std::string v13 = search.jvm(Jre, "1.3.1_20", "1.3.1_20");
    std::string v14 = search.jvm(Jre, "1.4.2_19", "1.4.2_19");
    std::string v16 = search.jvm(Jre, "1.6.0_31", "1.6.0_31");
    ASSERT_TRUE(search.find("", "", "1.4"));
    EXPECT_EQ(std::string(search.path), v14 + "\\bin\\javaw.exe");
    EXPECT_STREQ(search.command, "javaw.exe");
    EXPECT_EQ(Search::runs(v16), 1);
    EXPECT_EQ(Search::runs(v14), 1);
    EXPECT_EQ(Search::runs(v13), 0);

    std::string trace = search.trace();
    size_t tried16 = trace.find("                 version 1.6.0_31\n");
    size_t tried14 = trace.find("                 version 1.4.2_19\n");
    EXPECT_LT(tried16, tried14) << trace;
    EXPECT_NE(tried14, std::string::npos) << trace;
    EXPECT_EQ(trace.find("version 1.3.1_20"), std::string::npos) << trace;
    EXPECT_NE(trace.find("available versions: 3\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("jvm version 1.4.2_19.0\n"), std::string::npos) << trace;  // registry's
    EXPECT_NE(trace.find("JRE registry entry had correct jvm info: true\n"), std::string::npos);
    EXPECT_NE(trace.find("found jvm " + v14 + "\\bin\\javaw.exe\n"), std::string::npos);
}

TEST(FindJvm, VersionsAreOrderedByteByByte) {
    const char* names[] = {"1.6", "1.10", "1.4.2_03", "1.4.2_B1", "1.4.2_b1", "1.4"};
    qsort(names, dimof(names), sizeof(char*), compareStrings);
    const char* sorted[] = {"1.10", "1.4", "1.4.2_03", "1.4.2_B1", "1.4.2_b1", "1.6"};
    for (size_t i = 0; i < dimof(names); ++i) EXPECT_STREQ(names[i], sorted[i]) << i;

    Search search;
    std::string v110 = search.jvm(Jre, "1.10", "1.10.0");
    std::string v16 = search.jvm(Jre, "1.6", "1.6.0");
    ASSERT_TRUE(search.find("", "", ""));
    EXPECT_EQ(std::string(search.path), v16 + "\\bin\\javaw.exe");
    EXPECT_EQ(Search::runs(v110), 0);
}

TEST(FindJvm, DevelopmentKitIsFoundAfterTheRuntimeKeyWasTriedInFull) {
    Search search;
    std::string jre16 = search.jvm(Jre, "1.6.0_31", "1.6.0_31");
    std::string jre15 = search.jvm(Jre, "1.5.0_22", "1.5.0_22");
    std::string jdk14 = search.jvm(Jdk, "1.4.2_19", "1.4.2_19");
    std::string plugin = search.jvm(Plugin, "1.4.2_18", "1.4.2_18");
    ASSERT_TRUE(search.find("1.4", "", ""));
    EXPECT_EQ(std::string(search.path), jdk14 + "\\bin\\javaw.exe");
    EXPECT_EQ(Search::runs(jre16), 1);
    EXPECT_EQ(Search::runs(jre15), 1);
    EXPECT_EQ(Search::runs(plugin), 0);
    std::string trace = search.trace();
    EXPECT_LT(trace.find("JRE registry entry had correct jvm info: false\n"),
              trace.find("JDK registry entry had correct jvm info: true\n"))
        << trace;
    // refused candidates leave their reason in the error log
    EXPECT_NE(logText("errors.log").find("Jvm isn't installed properly."), std::string::npos);
}

TEST(FindJvm, PluginKindSearchesOnlyThePluginKeyInAnyCase) {
    for (const char* kind : {"Java Plug-in", "java plug-in", "JAVA PLUG-IN"}) {
        Search search;
        std::string jre = search.jvm(Jre, "1.4.2_03", "1.4.2_03");
        // The plug-in's version keys carry no MicroVersion: the required
        // version's own micro part completes the registry's version.
        std::string plugin = search.jvm(Plugin, "1.4", "1.4.2_03", "");
        ASSERT_TRUE(search.find("1.4.2_03", "", "", kind)) << kind;
        EXPECT_EQ(std::string(search.path), plugin + "\\bin\\javaw.exe");
        EXPECT_EQ(Search::runs(jre), 0) << kind;
        std::string trace = search.trace();
        EXPECT_EQ(trace.find("JRE registry entry"), std::string::npos) << trace;
        EXPECT_NE(trace.find("no known minor version for SOFTWARE\\JavaSoft\\Java Plug-in\n"),
                  std::string::npos)
            << trace;
        EXPECT_NE(trace.find("jvm version 1.4.2_03\n"), std::string::npos) << trace;
    }
}

TEST(FindJvm, MissingMicroVersionWithoutLimitsCountsAsZero) {
    Search search;
    std::string plugin = search.jvm(Plugin, "1.6", "1.6.0", "");
    ASSERT_TRUE(search.find("", "", "", "Java Plug-in"));
    EXPECT_NE(search.trace().find("jvm version 1.6.0\n"), std::string::npos);
    // a minimum's micro part stands in when no version is required
    Search second;
    second.jvm(Plugin, "1.6", "1.6.0_31", "");
    ASSERT_TRUE(second.find("", "1.6.0_31", "", "Java Plug-in"));
    EXPECT_NE(second.trace().find("jvm version 1.6.0_31\n"), std::string::npos);
}

TEST(FindJvm, HomeDirectoryFromHomeValueOrCandidatePassedOver) {
    Search search;
    // 1.6: no home at all, passed over; 1.5: home under the value Home.
    std::string v16 = search.dir.file("v16");
    installStubJvm(v16, "bin\\javaw.exe", "1.6.0");
    search.keys.add(Jre, "1.6.0", "0", "");
    std::string v15 = search.dir.file("v15");
    installStubJvm(v15, "bin\\javaw.exe", "1.5.0");
    search.keys.add(Jre, "1.5.0", "0", v15, "Home");
    ASSERT_TRUE(search.find("", "", ""));
    EXPECT_EQ(std::string(search.path), v15 + "\\bin\\javaw.exe");
    EXPECT_NE(search.trace().find("no home directory for jvm "
                                  "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.6.0\n"),
              std::string::npos)
        << search.trace();
}

TEST(FindJvm, NothingRegisteredLeavesTheCommandNameAlone) {
    Search search;
    strcpy(search.command, "jre.exe");
    EXPECT_FALSE(search.find("", "", ""));
    EXPECT_STREQ(search.command, "jre.exe");
    std::string trace = search.trace();
    int unable = 0;
    for (size_t at = trace.find("unable to find a compatible Jvm\n"); at != std::string::npos;
         at = trace.find("unable to find a compatible Jvm\n", at + 1))
        ++unable;
    EXPECT_EQ(unable, 3) << trace;
    EXPECT_FALSE(fexists("errors.log"));

    // An unacceptable candidate under the old name: the name comes back too.
    search.jvm(Jre, "1.3.1", "1.3.1");
    EXPECT_FALSE(search.find("1.4", "", ""));
    EXPECT_STREQ(search.command, "jre.exe");
}

TEST(FindJvm, OldCommandNameIsRewrittenToTheNewerOneFound) {
    Search search;
    std::string home = search.jvm(Jre, "1.6.0_31", "1.6.0_31");
    strcpy(search.command, "jre.exe");
    ASSERT_TRUE(search.find("", "1.3", ""));
    EXPECT_STREQ(search.command, "javaw.exe");
    EXPECT_EQ(std::string(search.path), home + "\\bin\\javaw.exe");
}
