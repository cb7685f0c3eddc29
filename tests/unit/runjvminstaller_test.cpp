// The package's JVM installer program: the directory it leaves empty, and its copy.
#include "jvm/runjvminstaller.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>

#include <string>

// Regression: the emptied JVM directory stayed behind when the installer program's console host
// (under Wine, started in the same directory) had not quite ended when the removal was made.
static DWORD WINAPI releaseLater(void* handle) {
    Sleep(300);
    CloseHandle((HANDLE)handle);
    return 0;
}

TEST(RunJvmInstaller, EmptyDirectoryHeldForAMomentIsStillRemoved) {
    ScratchDir dir;
    writeFile(dir.file("jinstall.log"), "");
    std::string held = dir.file("held dir");
    makeDirs(held);
    HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_NE(_rmdir(held.c_str()), 0);  // the handle does keep it
    HANDLE thread = CreateThread(nullptr, 0, releaseLater, handle, 0, nullptr);
    ASSERT_NE(thread, nullptr);

    RunJvmInstaller runner;
    runner.removeEmptyDir(held.c_str());
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(exists(held));
    EXPECT_NE(logText(dir.file("jinstall.log").c_str()).find("removed: " + held),
              std::string::npos);

    std::string full = dir.file("full dir");
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
    RunJvmInstaller runner;
    EXPECT_FALSE(runner.copyInstaller("setup.exe", dir.file("chosen").c_str()));
    EXPECT_EQ(readFile(dir.file("chosen\\setup.exe")), "user's own file");
}
