// Install: the search-path lookup of the home directory on the real file
// system of the test prefix, native.properties as the wizard reads it, and
// the size of the wizard's argument list. The launch itself is shown end to
// end (tests/e2e/test_happy_path.py).
#include "install/installer.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <ctype.h>
#include <stdlib.h>
#include <memory>
#include <string>
#include <vector>

static std::string lower(std::string text) {
    for (char& c : text) c = (char)tolower((unsigned char)c);
    return text;
}

static std::string withCrLf(const std::string& text) {
    std::string result;
    for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}

// Sets PATH for the test and puts the previous value back afterwards.
class PathVariable {
public:
    PathVariable() {
        const char* value = getenv("PATH");
        had = value != nullptr;
        if (had) saved = value;
    }
    ~PathVariable() { set(had ? saved.c_str() : nullptr); }
    void set(const char* value) {
        _putenv_s("PATH", value ? value : "");
        SetEnvironmentVariableA("PATH", value);
    }

private:
    bool had;
    std::string saved;
};

TEST(InstallHome, DirInPathMatchesElementEndingInNameInLowerCase) {
    ScratchDir dir;
    PathVariable path;
    _mkdir(dir.file("JDK").c_str());
    _mkdir(dir.file("JDK\\BIN").c_str());
    _mkdir(dir.file("bin").c_str());
    _mkdir(dir.file("bin\\x").c_str());
    _mkdir(dir.file("bin\\x\\bin").c_str());
    std::unique_ptr<Install> install(new Install);
    char found[InstallPathSize];

    struct Case {
        std::string path;
        bool found;
        std::string dir;
    } cases[] = {
        {dir.file("JDK\\BIN"), true, lower(dir.file("JDK\\BIN"))},
        // the first occurrence of bin is not at the element's end
        {dir.file("bin\\x\\bin"), false, ""},
        {dir.file("missing\\bin") + ";;" + dir.file("bin\\x\\bin") + ";" + dir.file("JDK\\BIN"),
         true, lower(dir.file("JDK\\BIN"))},
        {";;", false, ""},
        // Regression: only the first 5000 bytes of a long search path were
        // looked at; a match after them is found now.
        {std::string(6000, ';') + "C:\\nowhere\\bin;" + dir.file("JDK\\BIN"), true,
         lower(dir.file("JDK\\BIN"))},
        // an element too long for the result is passed over, not cut
        {dir.file(std::string(5100, 'b').c_str()) + "\\bin", false, ""},
    };
    for (const Case& c : cases) {
        path.set(c.path.c_str());
        found[0] = '\0';
        EXPECT_EQ(install->isDirInPath("BIN", found), c.found) << c.path.substr(0, 200);
        if (c.found) {
            EXPECT_EQ(std::string(found), c.dir);
        }
    }
    path.set(nullptr);
    EXPECT_FALSE(install->isDirInPath("bin", found));
}

TEST(WizardLaunch, NativePropertiesLines) {
    ScratchDir dir;
    struct Case {
        const char* jvmCommand;
        const char* javaHomeDir;  // what an earlier step left there
        bool installed;
        const char* jvmDir;
        bool configure;
        const char* expected;
    } cases[] = {
        {"C:\\Program Files\\Java\\jre6\\bin\\javaw.exe", "C:\\Program Files\\Java\\jre6", false,
         "", true,
         "nativeJvmHomeDir=C:/Program Files/Java/jre6\nnativeJvmInstalled=false\n"
         "nativeJvmInstalledInTemp=false\nconfigureWinRegistry=true\n"},
        {"C:\\pkg\\jre\\bin\\java.exe", "C:\\pkg\\jre", true, "[$AppDir]\\jre", false,
         "nativeJvmHomeDir=C:/pkg/jre\nnativeJvmInstalled=true\n"
         "nativeJvmInstalledInTemp=true\nconfigureWinRegistry=false\n"},
        {"C:\\Java\\bin\\java.exe", "C:\\Java", true, "C:\\Java", true,
         "nativeJvmHomeDir=C:/Java\nnativeJvmInstalled=true\n"
         "nativeJvmInstalledInTemp=false\nconfigureWinRegistry=true\n"},
        // an installed JVM without a directory: the temporary line is left out
        {"C:\\Java\\bin\\java.exe", "C:\\Java", true, "",  true,
         "nativeJvmHomeDir=C:/Java\nnativeJvmInstalled=true\nconfigureWinRegistry=true\n"},
        // Regression: after a JVM installer program had run, or when an
        // existing JVM directory was taken, the wizard was told the home of
        // an earlier step (or none); it is derived from the program now.
        {"C:\\new jvm\\bin\\javaw.exe", "C:\\old", false, "", true,
         "nativeJvmHomeDir=C:/new jvm\nnativeJvmInstalled=false\n"
         "nativeJvmInstalledInTemp=false\nconfigureWinRegistry=true\n"},
        {"C:\\new\\jre.exe", "", false, "", true,
         "nativeJvmHomeDir=C:/new\nnativeJvmInstalled=false\n"
         "nativeJvmInstalledInTemp=false\nconfigureWinRegistry=true\n"},
        // no JVM at all: nothing to derive from
        {"", "", false, "", true,
         "nativeJvmHomeDir=\nnativeJvmInstalled=false\n"
         "nativeJvmInstalledInTemp=false\nconfigureWinRegistry=true\n"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Install> install(new Install);
        install->setJvm(c.jvmCommand, c.javaHomeDir);
        // A second write replaces the first.
        install->logJvmLocation(!c.installed, "[$AppDir]\\x", !c.configure);
        install->logJvmLocation(c.installed, c.jvmDir, c.configure);
        EXPECT_EQ(readFile(dir.file("native.properties")), withCrLf(c.expected)) << c.jvmCommand;
    }
}

TEST(WizardLaunch, ArgumentListSize) {
    ScratchDir dir;
    struct Case {
        const char* extra;
        const char* command;
        bool quiet;
        bool properties;
        const char* argument;
        unsigned count;
    } cases[] = {
        {"-Xmx256m -Dx=1", "Install arg", false, false, "", 9},
        {"-Xmx256m -Dx=1", "Install arg", true, false, "C:\\My Dir\\a.txt", 11},
        {"-Xmx256m -Dx=1", "Install arg", false, true, "C:\\My Dir\\a.txt", 11},
        {"-Xmx256m -Dx=1", "Install arg", true, true, "x", 11},
        {"-Xmx256m -Dx=1", "Install arg", true, false, "", 9},
        {"", "", false, false, "", 5},
        {"a  b", "Install", false, false, "", 9},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Install> install(new Install);
        writeFile(dir.file("kiv.control"), std::string("jvmExtraParameters=") + c.extra +
                                               "\nloaderJavaCommand=" + c.command + "\n");
        install->setMode(c.quiet, c.properties);
        ASSERT_TRUE(install->getParams());
        char argument[100];
        strcpy(argument, c.argument);
        EXPECT_EQ(install->countParameters(argument), c.count) << c.extra << "|" << c.command;
    }
}
