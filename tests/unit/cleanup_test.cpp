// Install's readers on the real file system of the test prefix: the home directory's lookup in the
// search path, and the clean-up's lines that must never lead to a wrong deletion or copy (a
// temporary JVM named only in part, start directories that get no log copies).
#include "install/installer.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ctype.h>
#include <stdlib.h>

#include <memory>

static std::unique_ptr<Install> quietInstall() {
    std::unique_ptr<Install> install(new Install);
    install->setQuietMode(true);
    return install;
}

TEST(InstallHome, DirInPathMatchesElementEndingInNameInLowerCase) {
    ScratchDir dir;
    const std::string saved = getenv("PATH") ? getenv("PATH") : "";
    makeDirs(dir.file("JDK\\BIN"));
    makeDirs(dir.file("bin\\x\\bin"));
    std::string jdk = dir.file("JDK\\BIN");
    for (char& c : jdk) c = (char)tolower((unsigned char)c);
    const struct {
        std::string path, found;  // found "": none
    } cases[] = {
        {dir.file("JDK\\BIN"), jdk},
        {dir.file("bin\\x\\bin"), ""},  // the first occurrence of bin is not at the element's end
        {dir.file("missing\\bin") + ";;" + dir.file("bin\\x\\bin") + ";" + dir.file("JDK\\BIN"),
         jdk},
        {";;", ""},
        {"", ""},  // no search path at all
        // Regression: only the first 5000 bytes of a long search path were looked at; a match after
        // them is found now.
        {std::string(6000, ';') + "C:\\nowhere\\bin;" + dir.file("JDK\\BIN"), jdk},
        // an element too long for the result is passed over, not cut
        {dir.file(std::string(5100, 'b').c_str()) + "\\bin", ""},
    };
    for (const auto& c : cases) {
        _putenv_s("PATH", c.path.c_str());
        char found[InstallPathSize] = "";
        EXPECT_EQ(quietInstall()->isDirInPath("BIN", found), !c.found.empty())
            << c.path.substr(0, 200);
        EXPECT_EQ(std::string(found), c.found);
    }
    _putenv_s("PATH", saved.c_str());
}

TEST(CleanUpJvmDir, TemporaryJvmStaysUnlessNamedInFull) {
    const std::string cases[] = {
        "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=true \n",  // trailing blank
        // Regression: a properties line longer than the line buffer was read in pieces, and a piece
        // could pass for a key of its own.
        "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=false\n" + std::string(998, 'x') +
            "nativeJvmInstalledInTemp=true\n",
    };
    for (std::string text : cases) {
        ScratchDir work;
        makeDirs(work.file("jvm\\bin"));
        writeFile(work.file("jvm\\bin\\java.exe"), "MZ");
        std::string slashed = work.path();
        for (char& c : slashed) c = c == '\\' ? '/' : c;
        for (size_t at; (at = text.find("$S")) != std::string::npos;) text.replace(at, 2, slashed);
        writeFile(work.file("native.properties"), text);
        quietInstall()->cleanUpJvmDir();
        EXPECT_TRUE(exists(work.file("jvm\\bin\\java.exe"))) << text.substr(0, 80);
    }
}

TEST(CleanUpLogFiles, StartDirectoriesThatGetNoCopies) {
    ScratchDir start;
    ScratchDir work;  // current
    std::string upper = work.path();
    for (char& c : upper) c = (char)toupper((unsigned char)c);
    char shortWork[MAX_PATH] = "";
    GetShortPathNameA(work.path().c_str(), shortWork, MAX_PATH);
    const std::string lines[] = {
        upper + "\r\n", work.path() + "\\\r\n", shortWork, start.file("missing") + "\r\n", "",
        "\r\n",
        // Regression: a first line longer than the buffer was cut, and the cut text named another
        // directory (here the start directory, once the cut blanks are trimmed).
        start.path() + std::string(5200, ' ') + "x",
    };
    for (const std::string& line : lines) {
        writeFile(work.file("startdir.txt"), line);
        writeFile(work.file("install.log"), "run\r\n");
        quietInstall()->cleanUpLogFiles();
        EXPECT_EQ(readFile(work.file("install.log")), "run\r\n") << line.substr(0, 80);
        EXPECT_FALSE(exists(start.file("install.log"))) << line.substr(0, 80);
        EXPECT_FALSE(exists(work.file("..\\install.log"))) << line.substr(0, 80);
    }
}
