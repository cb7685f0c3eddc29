// The directory for a new JVM: the directory variables (the Windows folders come from a private
// stand-in for HKEY_LOCAL_MACHINE), what may be made or deleted there, and the copy of the
// package's JVM installer program.
#include "jvm/jvminstaller.h"
#include "jvm/runjvminstaller.h"
#include "base/strbuf.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <direct.h>

TEST(JvmInstallerVariables, ResolvedAtTheStartOnly) {
    ScratchDir dir;
    RegistrySandbox registry;
    registry.set(WindowsKey, "ProgramFilesDir", dir.file("pf"));
    makeDirs(dir.file("pf"));
    registry.set(WindowsNtKey, "SystemRoot", dir.file("win"));
    const std::string cases[][2] = {  // requested, resolved ("": refused)
        {"[$ProgFilesDir]\\MyVm", dir.file("pf\\MyVm")},
        {"[$WinDir]\\Vm\\jre", dir.file("win\\Vm\\jre")},
        {"[$AppDir]\\anything", dir.file("jvm")},  {"[$AppDir]", dir.file("jvm")},
        {"D:\\plain\\dir", "D:\\plain\\dir"},     {"[$ProgFilesDir]\\", ""},
        {"[$WinDir]Vm", ""},  {"[$Other]\\x", ""},  {"[$progfilesdir]\\x", ""},
    };
    for (const auto& c : cases) {
        char out[PathBufferSize];
        EXPECT_EQ(JvmInstaller().getNewJvmInstallerTo(c[0].c_str(), out), !c[1].empty()) << c[0];
        EXPECT_EQ(std::string(out), c[1]) << c[0];
    }
}

TEST(JvmInstallerDirectories, AFileIsNotADirectoryAndOnlyAnOrdinaryJvmTreeIsDeleted) {
    // Regression: a file of the wanted name counted as a created directory, and the JVM would have
    // been installed "into" the file.
    ScratchDir dir;
    writeFile(dir.file("taken"), "");
    JvmInstaller installer;
    char path[PathBufferSize];
    copyText(path, dir.path().c_str());
    EXPECT_FALSE(installer.addDirectory(path, "taken"));
    EXPECT_EQ(std::string(path), dir.path());
    EXPECT_TRUE(installer.addDirectory(path, "made"));
    EXPECT_EQ(std::string(path), dir.file("made"));
    appendText(path, "\\");  // a trailing backslash is not doubled
    EXPECT_TRUE(installer.addDirectory(path, "again"));
    EXPECT_EQ(std::string(path), dir.file("made\\again"));
    // A path that would not fit a path buffer is refused, not cut.
    copyText(path, dir.path().c_str());
    EXPECT_FALSE(installer.addDirectory(path, std::string(PathBufferSize, 'x').c_str()));
    EXPECT_EQ(std::string(path), dir.path());

    // Regression: the old jvm tree was deleted whatever it held, the work directory included (every
    // refused directory: dirguard_test).
    makeDirs(dir.file("a\\jvm\\sub"));
    writeFile(dir.file("a\\jvm\\sub\\f.txt"), "");
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));
    EXPECT_FALSE(exists(dir.file("a\\jvm")));
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));  // nothing there
    makeDirs(dir.file("b\\jvm\\work"));
    _chdir(dir.file("b\\jvm\\work").c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("b").c_str()));
    _chdir(dir.path().c_str());
    EXPECT_TRUE(exists(dir.file("b\\jvm\\work")));
    // The package keeps its compressed JVM in the tree (jvm/jre-win.exe): deleting the tree lost
    // the file that was to be run next.
    makeDirs(dir.file("d\\jvm"));
    std::string archive = dir.file("d\\jvm\\jre-win.exe");
    writeFile(archive, "");
    installer.keepFile(archive.c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("d").c_str()));
    EXPECT_TRUE(exists(archive));
    installer.keepFile(nullptr);
}

TEST(RunJvmInstaller, FileOfTheSameNameInTheDirectoryIsNeitherReplacedNorDeleted) {
    // Regression: the installer's copy overwrote a file of the same name in a JVM directory that
    // already existed, and deleted it after the run.
    ScratchDir dir;
    makeDirs(dir.file("chosen"));
    writeFile(dir.file("setup.exe"), "package installer");
    writeFile(dir.file("chosen\\setup.exe"), "user's own file");
    EXPECT_FALSE(RunJvmInstaller().copyInstaller("setup.exe", dir.file("chosen").c_str()));
    EXPECT_EQ(readFile(dir.file("chosen\\setup.exe")), "user's own file");
}
