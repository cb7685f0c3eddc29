// Install, the wizard's launch: native.properties as the wizard reads it,
// the size of the argument list, and the launches that fail before or at
// the start of the JVM (logged, nothing left behind).
#include "install/installer.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>

#include <memory>
#include <string>

namespace {

std::string withCrLf(const std::string& text) {
    std::string result;
    for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}

// The texts of a log's lines, time stamps dropped.
std::string logTexts(const std::string& path) {
    std::string content = readFile(path);
    std::string texts;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        texts += (line.size() >= 25 ? line.substr(25) : line) + "\n";
        start = end + 2;
    }
    return texts;
}

}  // namespace

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
        strcpy(install->jvmCommand, c.jvmCommand);
        strcpy(install->javaHomeDir, c.javaHomeDir);
        // A second write replaces the first.
        install->logJvmLocation(!c.installed, "[$AppDir]\\x", !c.configure);
        install->logJvmLocation(c.installed, c.jvmDir, c.configure);
        EXPECT_EQ(readFile(dir.file("native.properties")), withCrLf(c.expected)) << c.jvmCommand;
    }
}

TEST(WizardLaunch, HomeDirectoryOfTheProgramIsTraced) {
    ScratchDir dir;
    writeFile(dir.file("jinstall.log"), "");
    std::unique_ptr<Install> install(new Install);
    strcpy(install->jvmCommand, "C:\\jre\\bin\\javaw.exe");
    install->getJavaHomeDir(install->javaHomeDir);
    EXPECT_STREQ(install->javaHomeDir, "C:\\jre");
    // The properties do not trace the same home once more.
    install->logJvmLocation(false, "", true);
    EXPECT_EQ(logTexts(dir.file("jinstall.log")), "jvm home dir C:\\jre\n");
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
        strcpy(install->jvmExtraParameters, c.extra);
        strcpy(install->loaderJavaCommand, c.command);
        install->quietInstall = c.quiet;
        install->propertiesInstall = c.properties;
        char argument[100];
        strcpy(argument, c.argument);
        EXPECT_EQ(install->countParameters(argument), c.count) << c.extra << "|" << c.command;
    }
}

TEST(WizardLaunch, ClasspathElementsWithBlanksAreQuoted) {
    std::unique_ptr<Install> install(new Install);
    strcpy(install->loaderClasspath, ".;C:\\My Dir\\x.jar;install.jar");
    char classpath[200] = "";
    char elements[][40] = {".", "C:\\My Dir\\x.jar", "install.jar"};
    for (char* element : elements) install->addClassElement(classpath, element);
    EXPECT_STREQ(classpath, ".;\"C:\\My Dir\\x.jar\";install.jar");
}

TEST(WizardLaunch, MissingWizardJarStartsNothing) {
    ScratchDir dir;
    writeFile(dir.file("jinstall.log"), "");
    std::unique_ptr<Install> install(new Install);
    strcpy(install->jvmCommand, "C:\\windows\\system32\\cmd.exe");
    strcpy(install->jvmClasspathSwitch, "-cp");
    strcpy(install->loaderClasspath, ".;install.jar;");
    strcpy(install->loaderJavaCommand, "Main");
    char argument[] = "";
    EXPECT_FALSE(install->runJavaInstaller(argument));
    EXPECT_EQ(logTexts(dir.file("errors.log")), "install.jar does not exist.\n");
    std::string trace = logTexts(dir.file("jinstall.log"));
    EXPECT_NE(trace.find("classpath: .;install.jar\n"), std::string::npos);
    EXPECT_EQ(trace.find("launching java installer"), std::string::npos);
}

TEST(WizardLaunch, JvmThatCannotStartIsLogged) {
    ScratchDir dir;
    std::unique_ptr<Install> install(new Install);
    strcpy(install->jvmCommand, "C:\\nowhere\\bin\\javaw.exe");
    strcpy(install->jvmClasspathSwitch, "-cp");
    strcpy(install->loaderClasspath, "C:\\My Dir\\w.jar");
    strcpy(install->loaderJavaCommand, "Main");
    char argument[] = "";
    EXPECT_FALSE(install->runJavaInstaller(argument));
    EXPECT_EQ(logTexts(dir.file("errors.log")),
              "Unable to start  C:\\nowhere\\bin\\javaw.exe javaw.exe -cp \"C:\\My Dir\\w.jar\" "
              "Main\n"
              "Error running JVM installer: File or path is not found: false\n");
    // The class path value itself is kept for a second launch.
    EXPECT_STREQ(install->loaderClasspath, "C:\\My Dir\\w.jar");
}
