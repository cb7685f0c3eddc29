// The clean-up's readers: the Windows directory's lookup in the search path, and what must never
// lead to a wrong deletion or copy (the guard before deleting a tree, a JVM named in part, logs).
#include "base/dirguard.h"
#include "install/cleanup.h"
#include "install/logcopy.h"
#include "install/runfailure.h"
#include "install/tempjvm.h"
#include "install/windowsdir.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <random>

TEST(InstallHome, DirInPathMatchesElementEndingInNameInLowerCase) {
    ScratchDir dir;
    makeDirs(dir.file("JDK\\BIN"));
    makeDirs(dir.file("bin\\x\\bin"));
    std::string jdk = dir.file("JDK\\BIN");
    for (char& c : jdk) c = (char)tolower((unsigned char)c);
    const std::string cases[][2] = {  // search path, directory found ("": none)
        {dir.file("JDK\\BIN"), jdk},
        {dir.file("bin\\x\\bin"), ""},  // the first occurrence of bin is not at the element's end
        {dir.file("missing\\bin") + ";;" + dir.file("bin\\x\\bin") + ";" + dir.file("JDK\\BIN"),
         jdk},
        {";;", ""}, {"", ""},  // the latter: no search path at all
        // Regression: a match after the first 5000 bytes of the search path was not found.
        {std::string(6000, ';') + "C:\\nowhere\\bin;" + dir.file("JDK\\BIN"), jdk},
        // an element too long for the result is passed over, not cut
        {dir.file(std::string(5100, 'b').c_str()) + "\\bin", ""},
    };
    for (const auto& c : cases) {
        _putenv_s("PATH", c[0].c_str());
        char found[InstallPathSize] = "";
        EXPECT_EQ(isDirInPath("BIN", found), !c[1].empty()) << c[0].substr(0, 200);
        EXPECT_EQ(std::string(found), c[1]);
    }
}

// A temporary JVM named only in part stays; the work directory in every spelling is refused for
// deletion and, as the start directory, gets no log copies (nor a missing or cut one).
TEST(CleanUp, NothingDeletedOrCopiedThatMustNotBe) {
    ScratchDir other;  // holds the home (Windows) directory; the start directory of log copies
    ScratchDir work;   // current while the test runs
    const std::string home = other.file("windows dir");
    makeDirs(home);
    makeDirs(work.file("jvm\\bin"));
    writeFile(work.file("jvm\\bin\\java.exe"), "MZ");
    std::string upper = work.path(), doubled = work.path(), slashes = work.path();
    for (char& c : upper) c = (char)toupper((unsigned char)c);
    doubled.insert(3, "\\");
    for (char& c : slashes) c = c == '\\' ? '/' : c;
    char windows[MAX_PATH], shortWork[MAX_PATH] = "", shortHome[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetShortPathNameA(work.path().c_str(), shortWork, MAX_PATH);
    GetShortPathNameA(home.c_str(), shortHome, MAX_PATH);
    ASSERT_NE(shortWork, work.path());

    makeDirs(work.file("other"));
    const std::string properties[] = {  // a temporary JVM that stays: not named in full
        "nativeJvmHomeDir=" + slashes + "/jvm\nnativeJvmInstalledInTemp=true \n",
        // nor one the run did not make, nor the run's own when another is named
        "nativeJvmHomeDir=" + slashes + "/other\nnativeJvmInstalledInTemp=true\n",
        // Regression: a piece of a line longer than the line buffer passed for a key of its own.
        "nativeJvmHomeDir=" + slashes + "/jvm\nnativeJvmInstalledInTemp=false\n" +
            std::string(998, 'x') + "nativeJvmInstalledInTemp=true\n",
    };
    ControlSettings settings;
    settings.clear();
    for (const std::string& text : properties) {
        writeFile(work.file(NativePropertiesFile), text);
        TemporaryJvm(settings, false, work.file("jvm").c_str(), "").cleanUp();
        EXPECT_TRUE(exists(work.file("jvm\\bin\\java.exe"))) << text.substr(0, 80);
        EXPECT_TRUE(exists(work.file("other"))) << text.substr(0, 80);
    }

    // Regression: a first line longer than the buffer was cut, and the cut text named another
    // directory (here the start directory, once the cut blanks are trimmed).
    std::vector<std::string> notes = {other.file("missing") + "\r\n", "", "\r\n",
                                      other.path() + std::string(5200, ' ') + "x"};
    const std::string spellings[] = {work.path(), work.path() + "\\", upper, upper + "\\", doubled,
                                     slashes + "/", shortWork, work.path() + "\\.",
                                     work.file("jvm\\..")};
    for (const std::string& dir : spellings) notes.push_back(dir + "\r\n");
    for (const std::string& line : notes) {
        writeFile(work.file(StartDirFile), line);
        writeFile(work.file("install.log"), "run\r\n");
        copyLogs("");
        EXPECT_EQ(readFile(work.file("install.log")), "run\r\n") << line.substr(0, 80);
        EXPECT_FALSE(exists(other.file("install.log"))) << line.substr(0, 80);
        EXPECT_FALSE(exists(work.file("..\\install.log"))) << line.substr(0, 80);
    }

    // Refused besides: above the work directory, roots, relative paths, the home (Windows)
    // directory and what holds it; an ordinary directory beside them is not.
    std::vector<std::string> refused = {work.path().substr(0, work.path().rfind('\\')), "C:\\",
                                        "C:", "jvm", "\\\\server\\share", "", home, home + "\\",
                                        shortHome, other.path(), windows};
    refused.insert(refused.end(), std::begin(spellings), std::end(spellings));
    for (const std::string& dir : refused)
        EXPECT_NE(deletionRefusal(dir.c_str(), home.c_str()), nullptr) << dir;
    for (const std::string& dir :
         {work.file("jvm"), other.file("jvm"), std::string("\\\\server\\share\\jvm")})
        EXPECT_EQ(deletionRefusal(dir.c_str(), home.c_str()), nullptr) << dir;
}

// Manifest names leading out of the work directory in every way Windows reads a path (climbing
// with the dots and blanks it drops, absolute, root- and drive-relative, UNC, \\?\ and \\.\,
// streams, short names) delete nothing, while the package's own file named beside them goes.
TEST(CleanUp, ManifestNamesLeadingOutsideDeleteNothing) {
    ScratchDir scratch;
    const std::string top = scratch.path(), work = scratch.file("work");
    makeDirs(work + "\\lib");
    const std::string victims[] = {"victim.txt", "a long victim name.txt"};
    for (const std::string& victim : victims) writeFile(top + "\\" + victim, "keep");
    char shortTop[MAX_PATH] = "", shortVictim[MAX_PATH] = "";
    GetShortPathNameA(top.c_str(), shortTop, MAX_PATH);
    GetShortPathNameA((top + "\\" + victims[1]).c_str(), shortVictim, MAX_PATH);
    const std::string drive = top.substr(0, 2), rooted = top.substr(2);  // "C:", "\...\scratch"
    const std::string ways[] = {  // each leads to the scratch directory
        "..", ". .", "..  ", ".. .", "...", "lib\\..\\..", "lib\\.\\..\\..", ".\\..",
        top, shortTop, rooted, drive + "..", drive + rooted, "\\\\?\\" + top,
        "\\\\.\\" + top, "\\\\?\\UNC\\localhost\\" + drive.substr(0, 1) + "$" + rooted,
        "\\\\localhost\\" + drive.substr(0, 1) + "$" + rooted, "\\\\?\\GLOBALROOT\\..",
    };
    std::vector<std::string> leaves = {"victim.txt", "victim.txt.", "victim.txt ", "victim.txt. .",
                                       "VICTIM.TXT", "victim.txt::$DATA", "victim.txt:x",
                                       "a long victim name.txt"};
    leaves.push_back(strrchr(shortVictim, '\\') ? strrchr(shortVictim, '\\') + 1 : "victim.txt");
    std::mt19937 random{20261208};  // the same names on every run
    std::string manifest = "Manifest-Version: 1.0\r\n\r\nName: lib\\inside.txt\r\n";
    unsigned names = 0;
    for (std::string way : ways)
        for (const std::string& leaf : leaves) {
            std::string name = way + "\\" + leaf;
            if (random() % 2)  // forward slashes, doubled separators
                for (char& c : name) c = c == '\\' ? '/' : c;
            if (random() % 3 == 0) name.insert(name.find_first_of("\\/", 3) + 1, "\\");
            manifest += "Name: " + name + (random() % 2 ? "\r\n" : "  \r\n");
            ++names;
        }
    ASSERT_GT(names, 150u);
    writeFile(work + "\\lib\\inside.txt", "package");
    makeDirs(work + "\\META-INF");
    writeFile(work + "\\META-INF\\MANIFEST.MF", manifest);
    SetCurrentDirectoryA(work.c_str());
    removePackageFiles(false);
    EXPECT_FALSE(exists(work + "\\lib\\inside.txt"));
    for (const std::string& victim : victims) EXPECT_TRUE(exists(top + "\\" + victim)) << victim;
    SetCurrentDirectoryA(top.c_str());
}
