// The package check over small packages: each case a control file and the files beside it, the
// findings expected (parts of their lines, in order) and whether the package is sound.
#include "install/packagecheck.h"
#include "install/checklog.h"
#include "testdir.h"

#include <gtest/gtest.h>

namespace {

struct Collected : CheckFindings {
    std::string all, verdict;  // the lines, ended by "\n" and as check.log ends them
    void found(bool error, const char* line) override {
        EXPECT_EQ(error, std::string(line).rfind("error: ", 0) == 0) << line;
        all += line + std::string("\n");
        verdict += line + std::string("\r\n");
    }
};

const char Sound[] = "jvmMinVersion=1.8\njvmClasspathSwitch=-cp\nloaderJavaCommand=Wizard\n";

struct Case {
    const char* name;
    std::string control;  // "" : no kiv.control at all
    std::vector<std::string> files;
    bool sound;
    std::vector<std::string> findings;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PackageCheck : public testing::TestWithParam<Case> {};

TEST_P(PackageCheck, Findings) {
    const Case& c = GetParam();
    ScratchDir dir;
    if (!c.control.empty()) writeFile(dir.file(ControlFile), c.control);
    for (const std::string& file : c.files) {
        if (file.back() == '\\') makeDirs(dir.file(file.c_str()));
        else writeFile(dir.file(file.c_str()), "x");
    }
    Collected found;
    EXPECT_EQ(checkPackage(dir.path().c_str(), found), c.sound);
    size_t at = 0;
    for (const std::string& part : c.findings) {
        at = found.all.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << " in\n" << found.all;
        at += part.size();
    }
    EXPECT_TRUE(!c.findings.empty() || found.all.empty()) << found.all;
    // The same findings in check.log, and the verdict after them.
    CheckLog log(dir.path().c_str(), nullptr);
    log.close(checkPackage(dir.path().c_str(), log));
    const std::string written = readFile(dir.file(PackageCheckLog));
    EXPECT_EQ(written.substr(0, found.verdict.size()), found.verdict);
    EXPECT_EQ(written.rfind(c.sound ? "the package is sound: 0 errors" : "the package is faulty"),
              found.verdict.size());
}

const std::vector<std::string> Jar = {WizardJarFile, TestJvmClassFile};

INSTANTIATE_TEST_SUITE_P(
    Packages, PackageCheck,
    testing::Values(
        Case{"sound", std::string("# a comment\n\r\n") + Sound + "jvmInstallerType=" +
                          "SELFextratorJvmInstaller\r\njvmSelfExtractor=jvm/jre.exe\r\njvmTestTimeout= 30 \r\n"
                          "productName=Example Suite\r\n",
             {WizardJarFile, TestJvmClassFile, "jre.exe"}, true, {}},
        Case{"noControlFile", "", Jar, false, {"error: kiv.control is missing"}},
        Case{"misspeltKey", std::string(Sound) + "loaderJavaComand=Other\nJvmVersion=1.8\n" +
                                "Fancy words are not a key\nextraKey = 1\n  jvmName=JDK\n",
             Jar, false,
             {"line 4: unknown key \"loaderJavaComand\"", "did you mean \"loaderJavaCommand\"?",
              "line 5: unknown key \"JvmVersion\"", "\"jvmVersion\"?",
              "line 7: unknown key \"extraKey\"",
              "line 8: jvmName does not begin in the first column"}},
        Case{"keyRunOn", std::string(Sound) + "jvmVersionX=1.8\njvmName =JDK\n", Jar, false,
             {"line 4: \"jvmVersionX\" is no key; a run reads it as jvmVersion with the value "
              "\"=1.8\"",
              "line 5: a blank stands between jvmName and its \"=\""}},
        Case{"installerType",
             std::string(Sound) + "jvmInstallerType=selfExtractorJvmInstaller\n"
                                  "jvmSelfExtractor=jre.exe\n",
             {WizardJarFile, TestJvmClassFile, "jre.exe"}, false,
             {"error: jvmInstallerType \"selfExtractorJvmInstaller\" is no installer type",
              "did you mean \"selfExtratorJvmInstaller\"?",
              "note: jvmSelfExtractor is not used"}},
        Case{"missingFiles",
             std::string(Sound) + "loaderClasspath=.;install.jar;lib/extra.jar;classes;lib/*\n"
                                  "jvmInstallerType=selfExtratorJvmInstaller\n"
                                  "jvmSelfExtractor=jvm/jre.exe\n",
             {"classes\\"}, false,
             {"error: the self-extractor jvm/jre.exe (jvmSelfExtractor) is missing",
              "error: the class-path entry install.jar (loaderClasspath) is missing",
              "error: the class-path entry lib/extra.jar", "note: TestJvm.class is missing"}},
        Case{"thirdPartyAndDownload",
             "jvmClasspathSwitch=-cp\njvmInstallerType=thirdPartyJvmInstaller\n"
             "jvmInstallerBinary=setup.exe\njvmDownloadUrl=ftp://x\njvmDownloadSha256=abc\n",
             Jar, false,
             {"error: jvmDownloadUrl \"ftp://x\" is no http or https address",
              "error: jvmDownloadSha256 \"abc\" is no SHA-256 sum",
              "note: jvmDownloadUrl is not used", "error: the JVM installer setup.exe",
              "error: jvmInstallerType is thirdPartyJvmInstaller, but jvmInstallerCommand is "
              "empty",
              "error: loaderJavaCommand is empty"}},
        Case{"download", std::string(Sound) + "jvmInstallerType=downloadJvm\n"
                                              "jvmDownloadUrl=https://example.test/jre.zip\n",
             Jar, false, {"error: jvmInstallerType is downloadJvm, but jvmDownloadSha256 is empty"}},
        // A sum in capitals after "sha256:", blanks around it, is the sum a run checks.
        Case{"downloadSum", std::string(Sound) + "jvmInstallerType=downloadJvm\n"
                            "jvmDownloadUrl= https://example.test/jre.zip \njvmDownloadSha256= "
                            "SHA256:" + std::string(64, 'E') + " \n",
             Jar, true, {}},
        Case{"downloadSumMalformed", std::string(Sound) + "jvmInstallerType=downloadJvm\n"
                                     "jvmDownloadUrl=https://example.test/jre.zip\n"
                                     "jvmDownloadSha256=md5:" + std::string(64, 'e') + "\n",
             Jar, false, {"error: jvmDownloadSha256 \"md5:eeee", "is no SHA-256 sum"}},
        Case{"values",
             "jvmMinVersion=11\njvmMaxVersion=1.8\njvmVersion=latest\njvmRequiredVersion=jdk-17 \n"
             "searchForJvm=false\nconfigureWinRegistry=on\nconfigureWinRegistry=yes\n"
             "reportFailureByExitCode=yes\njvmTestTimeout=0\nloaderJavaCommand=W\n"
             "loaderJavaCommand=Wizard\n",
             Jar, false,
             {"line 7: configureWinRegistry is given again; line 6 counts",
              "line 11: loaderJavaCommand is given again; line 11 counts",
              "note: jvmRequiredVersion \"jdk-17 \" holds more than a version",
              "error: jvmVersion \"latest\" is no Java version",
              "error: searchForJvm \"false\" is neither yes nor no",
              "error: jvmTestTimeout \"0\" is no number of seconds",
              "error: configureWinRegistry \"on\" is neither true nor false",
              "error: reportFailureByExitCode \"yes\" is neither true nor false",
              "error: jvmMinVersion 11 is above jvmMaxVersion 1.8",
              "error: jvmClasspathSwitch is empty"}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(PackageCheck, LikelyNames) {
    const char* names[] = {"jvmVersion", "jvmName", "loaderJavaCommand"};
    EXPECT_EQ(wordDistance("jvmVresion", "JVMVERSION"), 1u);  // a swap, any case
    EXPECT_STREQ(likelyName("loaderJavaComand", names, 3), "loaderJavaCommand");
    EXPECT_STREQ(likelyName("jvmNmae", names, 3), "jvmName");
    EXPECT_EQ(likelyName("Fancy", names, 3), nullptr);
    EXPECT_EQ(likelyName("jvmType", names, 3), nullptr);
}

}  // namespace
