// The control-file reader on real files: normalisation of line ends,
// parsing, defaults, unescaping and cut values. Every
// test sets quiet mode on the reader, so a failure shows no box.
#include "config/getparam.h"
#include "base/fexists.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <stddef.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Every key with the place and capacity of its field.
struct Field {
    const char* key;
    size_t offset;
    size_t capacity;
};
#define FIELD(name) {#name, offsetof(ControlSettings, name), sizeof ControlSettings::name}
const Field Fields[] = {
    FIELD(jvmRequiredVersion), FIELD(jvmMinVersion), FIELD(jvmMaxVersion),
    FIELD(jvmVersion), FIELD(jvmName), FIELD(jvmCommandName),
    FIELD(jvmInstallerType), FIELD(jvmSelfExtractor), FIELD(jvmInstallerBinary),
    FIELD(jvmInstallerCommand), FIELD(predefinedJvmInstallDir), FIELD(jvmHomeDir),
    FIELD(jvmExtraParameters), FIELD(jvmClasspathSwitch), FIELD(loaderClasspath),
    FIELD(loaderJavaCommand), FIELD(systemSecurityPolicyFilename),
    FIELD(userSecurityPolicyFilename), FIELD(keystoreFilename), FIELD(appletUrl),
    FIELD(searchForJvm), FIELD(jvmTestTimeout),
};
const size_t KeyCount = sizeof Fields / sizeof Fields[0];
const char* key(size_t i) { return Fields[i].key; }
const char Guard = 0x5a;

// The settings, filled with guard bytes before the reading and followed by
// guard bytes that must stay untouched.
struct Params {
    ControlSettings settings;
    char guard[64];
    Params() {
        memset(&settings, Guard, sizeof settings);
        memset(guard, Guard, sizeof guard);
    }
    std::string operator[](const std::string& name) {
        for (const Field& field : Fields)
            if (name == field.key) return reinterpret_cast<char*>(&settings) + field.offset;
        ADD_FAILURE() << "no key " << name;
        return "";
    }
    // Every value is terminated inside its field, nothing after the settings
    // was written.
    bool guardsIntact() {
        for (const Field& field : Fields)
            if (!memchr(reinterpret_cast<char*>(&settings) + field.offset, '\0', field.capacity))
                return false;
        for (char c : guard)
            if (c != Guard) return false;
        return true;
    }
    bool get(GetParameters& reader) { return reader.getParameters(settings); }
};

typedef std::map<std::string, std::string> Values;

// The values of an empty file (tracing off).
Values defaults() {
    Values v;
    for (size_t i = 0; i < KeyCount; ++i) v[key(i)] = "";
    v["jvmRequiredVersion"] = "1.4";
    v["jvmVersion"] = "1.4";
    v["jvmName"] = "JRE";
    v["jvmCommandName"] = "jrew.exe";
    v["loaderClasspath"] = ".;install.jar";
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
        {"myjvm.cmd", "jvmCommandName=myjvm.cmd\n", with(d, {{"jvmCommandName", "myjvm.exe"}})},
        {"a.exe.exe", "jvmCommandName=a.exe.exe\n", with(d, {{"jvmCommandName", "a.exe"}})},
        {"Tool.COM", "jvmCommandName=Tool.COM\n", with(d, {{"jvmCommandName", "tool.com"}})},
        {"any separator", "jvmName:Java Plug-in\n", with(d, {{"jvmName", "Java Plug-in"}})},
        {"leading blank ignored", " jvmName=Java Plug-in\n", d},
        {"comments and other keys ignored",
         "# jvmName=X\n\nconfigureWinRegistry=no\nother=1\n", d},
        {"last line counts", "jvmName=First\njvmName=Second\n", with(d, {{"jvmName", "Second"}})},
        {"blanks belong to the value", "jvmClasspathSwitch= -cp \n",
         with(d, {{"jvmClasspathSwitch", " -cp "}})},
        {"key without separator is empty", "jvmName\njvmMaxVersion\n", d},
        {"no line feed at the end", "jvmName=Last", with(d, {{"jvmName", "Last"}})},
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
        {"lone CR ends a line", "jvmName=A\rjvmVersion=1.5\n",
         with(d, {{"jvmName", "A"}, {"jvmVersion", "1.5"}, {"jvmRequiredVersion", "1.5"}})},
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
    // Every key lands in its own buffer.
    ScratchDir dir;
    auto value = [](size_t i) { return i == 5 ? std::string("six.exe") : std::to_string(i + 1); };
    std::string content;
    for (size_t i = 0; i < KeyCount; ++i) content += std::string(key(i)) + "=" + value(i) + "\n";
    Params params;
    ASSERT_TRUE(readParameters(content, params));
    for (size_t i = 0; i < KeyCount; ++i) EXPECT_EQ(params[key(i)], value(i)) << key(i);
}

TEST(GetParameters, ValuesLongerThanTheirBuffersAreCut) {
    struct CutCase {
        const char* key;
        size_t length;  // of the value written
        size_t kept;    // characters that arrive in the buffer
    };
    const CutCase cases[] = {
        {"jvmRequiredVersion", 300, 200}, {"searchForJvm", 150, 99},
        {"jvmClasspathSwitch", 1200, 999}, {"appletUrl", 4999, 4999},
        {"appletUrl", 7000, 4999}, {"jvmHomeDir", 5000, 5000}, {"jvmHomeDir", 5001, 5000},
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
