// The directory for a new JVM: the directory variables (the Windows folders come from a private
// stand-in for HKEY_LOCAL_MACHINE), what may be made or deleted there, and the package's JVM
// installer program's copy and the directory it leaves empty.
#include "jvm/jvminstaller.h"
#include "jvm/runjvminstaller.h"
#include "base/strbuf.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>

#include <string>

TEST(JvmInstallerVariables, ResolvedAtTheStartOnly) {
    ScratchDir dir;
    RegistrySandbox registry;
    writeFile(dir.file("jinstall.log"), "");
    registry.set(WindowsKey, "ProgramFilesDir", dir.file("pf"));
    makeDirs(dir.file("pf"));
    registry.set(WindowsNtKey, "SystemRoot", dir.file("win"));
    const struct {
        std::string requested, out;  // out "": refused
        const char* traced;
    } cases[] = {
        {"[$ProgFilesDir]\\MyVm", dir.file("pf\\MyVm"), "trying to install JVM into"},
        {"[$WinDir]\\Vm\\jre", dir.file("win\\Vm\\jre"), "installing JVM in"},
        {"[$AppDir]\\anything", dir.file("jvm"), "installing JVM in"},
        {"[$AppDir]", dir.file("jvm"), "installing JVM in"},
        {"D:\\plain\\dir", "D:\\plain\\dir", "installing JVM in"},
        {"[$ProgFilesDir]\\", "", "invalid default jvm install directory"},
        {"[$WinDir]Vm", "", "invalid predefined directory for JVM"},
        {"[$Other]\\x", "", "unknown variable used to install the JVM"},
        {"[$progfilesdir]\\x", "", "unknown variable used to install the JVM"},
    };
    for (const auto& c : cases) {
        char out[PathBufferSize];
        EXPECT_EQ(JvmInstaller().getNewJvmInstallerTo(c.requested.c_str(), out), !c.out.empty())
            << c.requested;
        EXPECT_EQ(std::string(out), c.out) << c.requested;
        EXPECT_NE(logText(dir.file("jinstall.log")).find(c.traced), std::string::npos)
            << c.requested;
    }
}

TEST(JvmInstallerDirectories, AFileIsNotADirectory) {
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
}

TEST(JvmInstallerDirectories, DeletesOnlyAnOrdinaryTemporaryJvmTree) {
    // Regression: the old jvm tree was deleted whatever it held, the work directory included (every
    // refused directory: dirguard_test).
    ScratchDir dir;
    JvmInstaller installer;
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

// Regression: the emptied JVM directory stayed behind when the installer program's console host
// (under Wine, started in the same directory) had not quite ended when the removal was made.
static DWORD WINAPI releaseLater(void* handle) {
    Sleep(300);
    return CloseHandle((HANDLE)handle);
}

TEST(RunJvmInstaller, EmptyDirectoryHeldForAMomentIsStillRemoved) {
    ScratchDir dir;
    writeFile(dir.file("jinstall.log"), "");
    std::string held = dir.file("held dir"), full = dir.file("full dir");
    makeDirs(held);
    HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(_rmdir(held.c_str()), 0);  // the handle does keep it
    HANDLE thread = CreateThread(nullptr, 0, releaseLater, handle, 0, nullptr);
    RunJvmInstaller runner;
    runner.removeEmptyDir(held.c_str());
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(exists(held));
    EXPECT_NE(logText(dir.file("jinstall.log")).find("removed: " + held), std::string::npos);
    makeDirs(full);
    writeFile(full + "\\jre.txt", "x");
    runner.removeEmptyDir(full.c_str());
    EXPECT_TRUE(exists(full + "\\jre.txt"));
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
