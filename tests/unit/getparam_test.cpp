// The control-file reader on real files: normalisation of line ends,
// parsing, defaults, unescaping, cut values and the failure cases. Every
// test sets quiet mode on the reader, so a failure shows no box.
#include "config/getparam.h"
#include "base/fexists.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

namespace {

const char* const Keys[22] = {
    "jvmRequiredVersion", "jvmMinVersion", "jvmMaxVersion", "jvmVersion", "jvmName",
    "jvmCommandName", "jvmInstallerType", "jvmSelfExtractor", "jvmInstallerBinary",
    "jvmInstallerCommand", "predefinedJvmInstallDir", "jvmHomeDir", "jvmExtraParameters",
    "jvmClasspathSwitch", "loaderClasspath", "loaderJavaCommand",
    "systemSecurityPolicyFilename", "userSecurityPolicyFilename", "keystoreFilename",
    "appletUrl", "searchForJvm", "controlFilename"};
const size_t Capacities[22] = {201,  201,  201,  201,  201,  5001, 5000, 5000,
                               5000, 5000, 5000, 5001, 5000, 1000, 5000, 5000,
                               5001, 5001, 5001, 5000, 100,  5001};
const size_t GuardSize = 64;
const char Guard = 0x5a;

// The 22 buffers of the installation driver, exactly as large as it makes
// them, each followed by guard bytes that must stay untouched.
struct Params {
    std::vector<char> storage[22];
    Params() {
        for (int i = 0; i < 22; ++i) {
            storage[i].assign(Capacities[i] + GuardSize, Guard);
            storage[i][0] = '\0';
        }
    }
    char* p(int i) { return storage[i].data(); }
    std::string operator[](const std::string& key) {
        for (int i = 0; i < 22; ++i)
            if (key == Keys[i]) return p(i);
        ADD_FAILURE() << "no key " << key;
        return "";
    }
    bool guardsIntact() {
        for (int i = 0; i < 22; ++i)
            for (size_t j = Capacities[i]; j < Capacities[i] + GuardSize; ++j)
                if (storage[i][j] != Guard) return false;
        return true;
    }
    bool get(GetParameters& reader) {
        return reader.getParameters(p(0), p(1), p(2), p(3), p(4), p(5), p(6), p(7), p(8), p(9),
                                    p(10), p(11), p(12), p(13), p(14), p(15), p(16), p(17),
                                    p(18), p(19), p(20), p(21));
    }
    bool parse(GetParameters& reader) {
        return reader.parseParameters(p(0), p(1), p(2), p(3), p(4), p(5), p(6), p(7), p(8),
                                      p(9), p(10), p(11), p(12), p(13), p(14), p(15), p(16),
                                      p(17), p(18), p(19), p(20), p(21));
    }
};

typedef std::map<std::string, std::string> Values;

// The values of an empty file (tracing off).
Values defaults() {
    Values v;
    for (int i = 0; i < 21; ++i) v[Keys[i]] = "";
    v["jvmRequiredVersion"] = "1.4";
    v["jvmVersion"] = "1.4";
    v["jvmName"] = "JRE";
    v["jvmCommandName"] = "jrew.exe";
    v["loaderClasspath"] = ".;install.jar";
    v["controlFilename"] = "kiv.control";
    return v;
}

Values with(Values v, const Values& changes) {
    for (const auto& change : changes) v[change.first] = change.second;
    return v;
}

bool readParameters(const std::string& content, Params& params) {
    writeFile("kiv.control", content);
    GetParameters reader;
    reader.setQuietMode(true);
    return params.get(reader);
}

struct ParseCase {
    const char* name;
    std::string content;
    Values expected;
};

}  // namespace

TEST(GetParameters, ReadsTheControlFile) {
    const Values d = defaults();
    const ParseCase cases[] = {
        {"empty file", "", d},
        {"minimum only", "jvmMinVersion=1.3\n",
         with(d, {{"jvmMinVersion", "1.3"}, {"jvmRequiredVersion", ""}, {"jvmVersion", ""}})},
        {"package version only", "jvmVersion=1.6\n",
         with(d, {{"jvmRequiredVersion", "1.6"}, {"jvmVersion", "1.6"}})},
        {"required version names the package version", "jvmRequiredVersion=1.5\n",
         with(d, {{"jvmRequiredVersion", "1.5"}, {"jvmVersion", "1.5"}})},
        {"Java", "jvmCommandName=Java\n", with(d, {{"jvmCommandName", "javaw.exe"}})},
        {"JAVA.EXE", "jvmCommandName=JAVA.EXE\n", with(d, {{"jvmCommandName", "javaw.exe"}})},
        {"myjvm.cmd", "jvmCommandName=myjvm.cmd\n", with(d, {{"jvmCommandName", "myjvm.exe"}})},
        {"a.exe.exe", "jvmCommandName=a.exe.exe\n", with(d, {{"jvmCommandName", "a.exe"}})},
        {"run.bat", "jvmCommandName=run.bat\n", with(d, {{"jvmCommandName", "run.bat"}})},
        {"Tool.COM", "jvmCommandName=Tool.COM\n", with(d, {{"jvmCommandName", "tool.com"}})},
        {"jre", "jvmCommandName=jre\n", with(d, {{"jvmCommandName", "jrew.exe"}})},
        {"any separator", "jvmName:Java Plug-in\n", with(d, {{"jvmName", "Java Plug-in"}})},
        {"leading blank ignored", " jvmName=Java Plug-in\n", d},
        {"comments and other keys ignored",
         "# jvmName=X\n\nconfigureWinRegistry=no\nother=1\n", d},
        {"last line counts", "jvmName=First\njvmName=Second\n", with(d, {{"jvmName", "Second"}})},
        {"blanks belong to the value", "jvmClasspathSwitch= -cp \n",
         with(d, {{"jvmClasspathSwitch", " -cp "}})},
        {"key without separator is empty", "jvmName\njvmMaxVersion\n", d},
        {"key with separator only is empty", "jvmName=\n", d},
        {"no line feed at the end", "jvmName=Last", with(d, {{"jvmName", "Last"}})},
        {"searchForJvm", "searchForJvm=none\n", with(d, {{"searchForJvm", "none"}})},
        {"install directory unescaped",
         "predefinedJvmInstallDir=C\\:\\\\Program Files\\\\App/jre\n",
         with(d, {{"predefinedJvmInstallDir", "C:\\Program Files\\App\\jre"}})},
        {"switches unescaped", "jvmExtraParameters=-Dx=C\\:\\\\dir -\\\\\\\\server\n",
         with(d, {{"jvmExtraParameters", "-Dx=C:\\dir -\\server"}})},
        {"other values not unescaped", "jvmHomeDir=C\\:\\\\jre/x\n",
         with(d, {{"jvmHomeDir", "C\\:\\\\jre/x"}})},
        {"CR CR LF line ends", "jvmName=A\r\r\njvmMinVersion=1.2\r\r\n",
         with(d, {{"jvmName", "A"}, {"jvmMinVersion", "1.2"}, {"jvmRequiredVersion", ""},
                  {"jvmVersion", ""}})},
        {"CR LF line ends", "jvmName=A\r\njvmVersion=1.5\r\n",
         with(d, {{"jvmName", "A"}, {"jvmVersion", "1.5"}, {"jvmRequiredVersion", "1.5"}})},
        {"lone CR joins lines", "jvmName=A\rjvmVersion=1.5\n",
         with(d, {{"jvmName", "AjvmVersion=1.5"}})},
        {"every key in its own buffer",
         "jvmRequiredVersion=1\njvmMinVersion=2\njvmMaxVersion=3\njvmVersion=4\n"
         "jvmName=5\njvmCommandName=six.exe\njvmInstallerType=7\njvmSelfExtractor=8\n"
         "jvmInstallerBinary=9\njvmInstallerCommand=10\npredefinedJvmInstallDir=11\n"
         "jvmHomeDir=12\njvmExtraParameters=13\njvmClasspathSwitch=14\n"
         "loaderClasspath=15\nloaderJavaCommand=16\nsystemSecurityPolicyFilename=17\n"
         "userSecurityPolicyFilename=18\nkeystoreFilename=19\nappletUrl=20\n"
         "searchForJvm=21\n",
         {{"jvmRequiredVersion", "1"}, {"jvmMinVersion", "2"}, {"jvmMaxVersion", "3"},
          {"jvmVersion", "4"}, {"jvmName", "5"}, {"jvmCommandName", "six.exe"},
          {"jvmInstallerType", "7"}, {"jvmSelfExtractor", "8"}, {"jvmInstallerBinary", "9"},
          {"jvmInstallerCommand", "10"}, {"predefinedJvmInstallDir", "11"},
          {"jvmHomeDir", "12"}, {"jvmExtraParameters", "13"}, {"jvmClasspathSwitch", "14"},
          {"loaderClasspath", "15"}, {"loaderJavaCommand", "16"},
          {"systemSecurityPolicyFilename", "17"}, {"userSecurityPolicyFilename", "18"},
          {"keystoreFilename", "19"}, {"appletUrl", "20"}, {"searchForJvm", "21"},
          {"controlFilename", "kiv.control"}}},
    };
    for (const ParseCase& c : cases) {
        ScratchDir dir;
        Params params;
        ASSERT_TRUE(readParameters(c.content, params)) << c.name;
        for (const auto& expected : c.expected)
            EXPECT_EQ(params[expected.first], expected.second) << c.name << ": " << expected.first;
        EXPECT_TRUE(params.guardsIntact()) << c.name;
        EXPECT_FALSE(fexists("__kiv.control")) << c.name;
    }
}

TEST(GetParameters, RewritesTheFileWithoutStrayCarriageReturns) {
    ScratchDir dir;
    Params params;
    ASSERT_TRUE(readParameters("a=1\r\r\nb=2\rc=3\r\nd=4\n", params));
    EXPECT_EQ(readFile("kiv.control"), "a=1\r\nb=2c=3\r\nd=4\r\n");
}

TEST(GetParameters, ValuesLongerThanTheirBuffersAreCut) {
    struct CutCase {
        const char* key;
        size_t length;  // of the value written
        size_t kept;    // characters that arrive in the buffer
    };
    const CutCase cases[] = {
        {"jvmRequiredVersion", 300, 200}, {"searchForJvm", 150, 99},
        {"jvmClasspathSwitch", 1200, 999}, {"loaderClasspath", 4000, 4000},
        {"appletUrl", 4999, 4999}, {"appletUrl", 7000, 4999},
        {"jvmHomeDir", 5000, 5000}, {"jvmHomeDir", 5001, 5000},
        {"jvmCommandName", 6000, 5000},  // cut to 4996 characters, then ".exe"
    };
    for (const CutCase& c : cases) {
        ScratchDir dir;
        writeFile("jinstall.log", "");
        std::string value(c.length, 'v');
        Params params;
        // The line after the long one is still read as a line of its own, and
        // no part of the long line is taken for another one.
        std::string tail = std::string(c.length, 'v').replace(c.length / 2, 11, "jvmName=BAD");
        ASSERT_TRUE(readParameters(std::string(c.key) + "=" + tail + "\njvmMaxVersion=9\n",
                                   params)) << c.key << " " << c.length;
        std::string got = params[c.key];
        EXPECT_EQ(got.size(), c.kept) << c.key << " " << c.length;
        if (c.key == std::string("jvmCommandName")) {
            EXPECT_EQ(got.substr(got.size() - 4), ".exe");
        }
        EXPECT_EQ(params["jvmMaxVersion"], "9") << c.key << " " << c.length;
        EXPECT_EQ(params["jvmName"], "JRE") << c.key << " " << c.length;
        EXPECT_TRUE(params.guardsIntact()) << c.key << " " << c.length;
        std::string trace = readFile("jinstall.log");
        bool traced = trace.find(std::string("control file value cut: ") + c.key) != std::string::npos;
        EXPECT_EQ(traced, c.length > c.kept) << c.key << " " << c.length;
    }
}

TEST(GetParameters, ConsoleJvmOnlyWhenTheUserSwitchedTracingOn) {
    struct TraceCase {
        bool traceFile, launcherMarker;
        const char* given;
        const char* expected;
    };
    const TraceCase cases[] = {
        {false, false, "", "jrew.exe"},       {false, false, "java", "javaw.exe"},
        {true, false, "", "jre.exe"},         {true, false, "java.exe", "java.exe"},
        {true, true, "", "jrew.exe"},         {true, true, "JAVA", "javaw.exe"},
        {false, true, "jre.exe", "jrew.exe"},
    };
    for (const TraceCase& c : cases) {
        ScratchDir dir;
        if (c.traceFile) writeFile("jinstall.log", "");
        if (c.launcherMarker) writeFile("jinstall.sem", "");
        Params params;
        std::string content = *c.given ? std::string("jvmCommandName=") + c.given + "\n" : "";
        ASSERT_TRUE(readParameters(content, params));
        EXPECT_EQ(params["jvmCommandName"], c.expected)
            << c.traceFile << c.launcherMarker << " " << c.given;
    }
}

TEST(GetParameters, TracesEveryValueAndTheSummary) {
    struct SummaryCase {
        std::string content;
        const char* summary;
    };
    const SummaryCase cases[] = {
        {"", " Valid version of jre.exe: 1.4\r\n"},
        {"jvmMinVersion=1.3\n", " Valid versions of jre.exe: 1.3 through \r\n"},
        {"jvmMinVersion=1.3\njvmMaxVersion=1.6\n", " Valid versions of jre.exe: 1.3 through 1.6\r\n"},
        {"jvmRequiredVersion=1.5\njvmMinVersion=1.3\n", " Valid version of jre.exe: 1.5\r\n"},
    };
    for (const SummaryCase& c : cases) {
        ScratchDir dir;
        writeFile("jinstall.log", "");
        Params params;
        ASSERT_TRUE(readParameters(c.content, params));
        std::string trace = readFile("jinstall.log");
        EXPECT_NE(trace.find(c.summary), std::string::npos) << trace;
    }

    ScratchDir dir;
    writeFile("jinstall.log", "");
    Params params;
    ASSERT_TRUE(readParameters("jvmName:Java Plug-in\njvmExtraParameters=-a\\\\b\n", params));
    std::string trace = readFile("jinstall.log");
    EXPECT_NE(trace.find(" jvmName Java Plug-in\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find(" initial jvm switches for installer -a\\\\b\r\n"), std::string::npos);
    EXPECT_NE(trace.find(" final jvm switches for installer -a\\b\r\n"), std::string::npos);
    EXPECT_NE(trace.find(" jvmExtraParameters -a\\b\r\n"), std::string::npos);
    EXPECT_FALSE(fexists("errors.log"));
}

TEST(GetParameters, FailuresAreLoggedAndReported) {
    {
        // No control file: nothing to rewrite.
        ScratchDir dir;
        writeFile("jinstall.log", "");
        GetParameters reader;
        reader.setQuietMode(true);
        Params params;
        EXPECT_FALSE(params.get(reader));
        EXPECT_NE(readFile("errors.log").find(" Unable to open kiv.control\r\n"), std::string::npos);
        EXPECT_EQ(readFile("jinstall.log"), "");
    }
    {
        // The temporary file cannot be created.
        ScratchDir dir;
        writeFile("kiv.control", "jvmName=A\n");
        CreateDirectoryA("__kiv.control", nullptr);
        GetParameters reader;
        reader.setQuietMode(true);
        Params params;
        EXPECT_FALSE(params.get(reader));
        EXPECT_NE(readFile("errors.log").find(" Unable to convert line endings for kiv.control\r\n"),
                  std::string::npos);
        EXPECT_EQ(readFile("kiv.control"), "jvmName=A\n");
    }
    {
        // parseParameters on a missing file.
        ScratchDir dir;
        writeFile("jinstall.log", "");
        GetParameters reader;
        reader.setQuietMode(true);
        Params params;
        strcpy(params.p(21), "missing.control");
        strcpy(params.p(4), "stale");
        EXPECT_FALSE(params.parse(reader));
        EXPECT_EQ(params["jvmName"], "");
        EXPECT_NE(readFile("errors.log").find(" Unable to open file missing.control\r\n"),
                  std::string::npos);
        EXPECT_NE(readFile("jinstall.log").find(" Unable to open file missing.control\r\n"),
                  std::string::npos);
    }
}

TEST(GetParameters, ReadOnlyControlFileIsReadAsItIs) {
    // The file cannot be replaced; it is read anyway and the temporary copy
    // does not stay behind.
    ScratchDir dir;
    writeFile("kiv.control", "jvmName=A\r\njvmVersion=1.5\r\n");
    SetFileAttributesA("kiv.control", FILE_ATTRIBUTE_READONLY);
    Params params;
    GetParameters reader;
    reader.setQuietMode(true);
    EXPECT_TRUE(params.get(reader));
    EXPECT_EQ(params["jvmName"], "A");
    EXPECT_EQ(params["jvmVersion"], "1.5");
    EXPECT_FALSE(fexists("__kiv.control"));
    SetFileAttributesA("kiv.control", FILE_ATTRIBUTE_NORMAL);
}

TEST(GetParameters, UnescapingTables) {
    ScratchDir dir;  // keeps the traces away from the build directory
    GetParameters reader;
    const std::pair<const char*, const char*> switches[] = {
        {"", ""},
        {"-Dx=C\\:\\\\dir", "-Dx=C:\\dir"},
        {"\\\\\\\\server", "\\server"},
        {"\\\\\\server", "\\server"},
        {"\\\\x", "\\x"},
        {"\\x", "\\x"},
        {"end\\", "end\\"},
        {"end\\\\", "end\\"},
        {"q\\\"x\\\"", "q\"x\""},
        {"\\\\\\:", ":"},
        {"a\\*b\\?c\\<d\\>e\\|f\\/g", "a*b?c<d>e|f/g"},
    };
    for (const auto& c : switches) {
        char text[100];
        strcpy(text, c.first);
        reader.removeExtraBackSlashes(text);
        EXPECT_STREQ(text, c.second) << c.first;
    }
    const std::pair<const char*, const char*> directories[] = {
        {"C\\:\\\\Program Files\\\\App/jre", "C:\\Program Files\\App\\jre"},
        {"\\\\\\\\", "\\\\"},
        {"a\\b", "a\\b"},
        {"a\\", "a\\"},
        {"[$AppDir]/jre", "[$AppDir]\\jre"},
        {"", ""},
    };
    for (const auto& c : directories) {
        char text[100];
        strcpy(text, c.first);
        reader.unescapeDirectory(text);
        EXPECT_STREQ(text, c.second) << c.first;
    }
    for (char c : std::string("\\/:*?\"<>|")) EXPECT_FALSE(reader.isfilenameChar(c)) << c;
    for (char c : std::string("aZ09 .-_=$[]'")) EXPECT_TRUE(reader.isfilenameChar(c)) << c;
    EXPECT_TRUE(reader.isfilenameChar('\0'));
}
