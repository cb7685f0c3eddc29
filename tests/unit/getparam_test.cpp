// The control-file reader on real files: line ends, parsing, defaults, unescaping and cut values.
// Every reader is quiet, so a failure shows no box.
#include "config/getparam.h"
#include "base/fexists.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <stddef.h>
#include <string.h>

#include <map>
#include <string>

namespace {

#define FIELD(name) {#name, offsetof(ControlSettings, name), sizeof ControlSettings::name}
const struct Field {
    const char* key;
    size_t offset, capacity;
} Fields[] = {
    FIELD(jvmRequiredVersion), FIELD(jvmMinVersion), FIELD(jvmMaxVersion),
    FIELD(jvmVersion), FIELD(jvmName), FIELD(jvmCommandName),
    FIELD(jvmInstallerType), FIELD(jvmSelfExtractor), FIELD(jvmInstallerBinary),
    FIELD(jvmInstallerCommand), FIELD(predefinedJvmInstallDir), FIELD(jvmHomeDir),
    FIELD(jvmExtraParameters), FIELD(jvmClasspathSwitch), FIELD(loaderClasspath),
    FIELD(loaderJavaCommand), FIELD(systemSecurityPolicyFilename),
    FIELD(userSecurityPolicyFilename), FIELD(keystoreFilename), FIELD(appletUrl),
    FIELD(searchForJvm), FIELD(jvmTestTimeout),
};

typedef std::map<std::string, std::string> Values;

// Reads content as the control file into settings filled with guard bytes and followed by guard
// bytes; gives every value, or fails when a value is not terminated inside its field or anything
// after the settings was written.
Values read(const std::string& content) {
    struct {
        ControlSettings settings;
        char guard[64];
    } guarded;
    memset(&guarded, 0x5a, sizeof guarded);
    writeFile("kiv.control", content);
    GetParameters reader;
    reader.setQuietMode(true);
    EXPECT_TRUE(reader.getParameters(guarded.settings));
    EXPECT_EQ(std::string(guarded.guard, 64), std::string(64, 0x5a));
    Values values;
    for (const Field& field : Fields) {
        const char* value = reinterpret_cast<char*>(&guarded.settings) + field.offset;
        EXPECT_TRUE(memchr(value, '\0', field.capacity)) << field.key;
        values[field.key] = std::string(value, strnlen(value, field.capacity));
    }
    return values;
}

}  // namespace

TEST(GetParameters, ReadsTheControlFile) {
    // The values of an empty file (tracing off); a case names the values that differ.
    const Values defaults = {{"jvmRequiredVersion", "1.4"}, {"jvmVersion", "1.4"},
                             {"jvmName", "JRE"}, {"jvmCommandName", "jrew.exe"},
                             {"loaderClasspath", ".;install.jar"}};
    const struct {
        std::string content;
        Values changed;
    } cases[] = {
        {"", {}},
        {"jvmMinVersion=1.3\n",
         {{"jvmMinVersion", "1.3"}, {"jvmRequiredVersion", ""}, {"jvmVersion", ""}}},
        {"jvmVersion=1.6\n", {{"jvmRequiredVersion", "1.6"}, {"jvmVersion", "1.6"}}},
        {"jvmRequiredVersion=1.5\n", {{"jvmRequiredVersion", "1.5"}, {"jvmVersion", "1.5"}}},
        {"jvmCommandName=Java\n", {{"jvmCommandName", "javaw.exe"}}},
        {"jvmCommandName=myjvm.cmd\n", {{"jvmCommandName", "myjvm.exe"}}},
        {"jvmCommandName=a.exe.exe\n", {{"jvmCommandName", "a.exe"}}},
        {"jvmCommandName=Tool.COM\n", {{"jvmCommandName", "tool.com"}}},
        // A key alone is an empty value; leading blanks, comments and other keys are no keys.
        {"jvmName\njvmMaxVersion\n jvmName=X\n# jvmName=X\n\nconfigureWinRegistry=no\nother=1\n", {}},
        // Any separator, the last line of a key counts, blanks belong to the value, no last LF.
        {"jvmName=First\njvmName:Second\njvmClasspathSwitch= -cp \njvmHomeDir=Last",
         {{"jvmName", "Second"}, {"jvmClasspathSwitch", " -cp "}, {"jvmHomeDir", "Last"}}},
        // The install directory and the switches are unescaped, no other value.
        {"predefinedJvmInstallDir=C\\:\\\\Program Files\\\\App/jre\n"
         "jvmExtraParameters=-Dx=C\\:\\\\dir -\\\\\\\\server\njvmHomeDir=C\\:\\\\jre/x\n",
         {{"predefinedJvmInstallDir", "C:\\Program Files\\App\\jre"},
          {"jvmExtraParameters", "-Dx=C:\\dir -\\server"}, {"jvmHomeDir", "C\\:\\\\jre/x"}}},
        {"jvmName=A\r\r\njvmMinVersion=1.2\r\njvmMaxVersion=2\rjvmHomeDir=h\n",
         {{"jvmName", "A"}, {"jvmMinVersion", "1.2"}, {"jvmMaxVersion", "2"}, {"jvmHomeDir", "h"},
          {"jvmRequiredVersion", ""}, {"jvmVersion", ""}}},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        Values expected = c.changed;
        expected.insert(defaults.begin(), defaults.end());
        for (const Field& field : Fields) expected.insert({field.key, ""});
        EXPECT_EQ(read(c.content), expected) << c.content;
    }
    // Every key lands in its own field.
    std::string content;
    Values expected;
    for (const Field& field : Fields) {
        expected[field.key] = field.key == std::string("jvmCommandName") ? "six.exe" : field.key;
        content += std::string(field.key) + "=" + expected[field.key] + "\n";
    }
    EXPECT_EQ(read(content), expected);
}

TEST(GetParameters, ValuesLongerThanTheirFieldsAreCut) {
    const struct {
        const char* key;
        size_t length, kept;  // of the value written, that arrive in the field
    } cases[] = {
        {"jvmRequiredVersion", 300, 200}, {"searchForJvm", 150, 99},
        {"jvmClasspathSwitch", 1200, 999}, {"appletUrl", 4999, 4999},
        {"appletUrl", 7000, 4999}, {"jvmHomeDir", 5000, 5000}, {"jvmHomeDir", 5001, 5000},
        {"jvmCommandName", 6000, 5000},  // cut to 4996 characters, then ".exe"
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeFile("jinstall.log", "");
        // The line after the long one is still read as a line of its own, and no part of the long
        // line is taken for another one.
        std::string value = std::string(c.length, 'v').replace(c.length / 2, 11, "jvmName=BAD");
        Values values = read(std::string(c.key) + "=" + value + "\njvmMaxVersion=9\n");
        std::string label = c.key + (" " + std::to_string(c.length));
        EXPECT_EQ(values[c.key].size(), c.kept) << label;
        if (c.key == std::string("jvmCommandName")) {
            EXPECT_EQ(values[c.key].substr(4996), ".exe");
        }
        EXPECT_EQ(values["jvmMaxVersion"], "9") << label;
        EXPECT_EQ(values["jvmName"], "JRE") << label;
        bool traced = logText("jinstall.log").find("control file value cut: " + std::string(c.key))
                      != std::string::npos;
        EXPECT_EQ(traced, c.length > c.kept) << label;
    }
}
