// File copies, tree deletion and path rules (filecopy, deltree, jvmhome) on the real file system.
#include "base/deltree.h"
#include "base/filecopy.h"
#include "base/jvmhome.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(FileCopy, CopiesExactlyAndNeverDamagesTheDestination) {
    ScratchDir dir;
    // empty, one block, exactly one block, a pass of 20 blocks, more passes
    for (size_t size : {0u, 1u, 29999u, 30000u, 30001u, 600000u, 2 * 1024 * 1024u + 3}) {
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i) content[i] = (char)(i * 7 + i / 251);
        writeFile("src", content);
        ASSERT_TRUE(copyFile("src", "dst")) << size;
        EXPECT_EQ(readFile("dst"), content) << size;
    }
    writeFile("dst", "earlier");
    EXPECT_FALSE(copyFile("missing", "dst"));
    EXPECT_FALSE(copyFile(dir.path().c_str(), "dst"));
    EXPECT_FALSE(copyFile("src", "nodir\\dst"));
    EXPECT_FALSE(fexists("nodir"));
    // A read-only destination stays as it was, no temporary file beside it.
    SetFileAttributesA("dst", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(copyFile("src", "dst"));
    EXPECT_EQ(readFile("dst"), "earlier");
    EXPECT_FALSE(fexists("dst.__kivcopy"));
    // Regression: opening the destination for writing truncated a source that was the same file.
    writeFile("same", "precious");
    copyFile("same", "same");
    EXPECT_EQ(readFile("same"), "precious");
}

static DWORD WINAPI closeLater(void* file) {
    Sleep(300);
    CloseHandle(file);
    return 0;
}

TEST(DelDirTree, NeverOutsideTheDirectoryAndWaitsOnlyForAFileHeldAMoment) {
    // Regression: a path that could not be entered made the walk empty the current directory (the
    // work directory), and a bare drive named the drive's current directory.
    ScratchDir dir;
    makeDirs(dir.file("sub"));
    writeFile("sub\\keep.txt", "k");
    const std::string drive = dir.path().substr(0, 2);
    for (const std::string& path : {std::string("sub"), drive, drive + "\\",
                                    std::string("\\\\server"), std::string("\\\\server\\"),
                                    dir.file("does-not-exist"), dir.file("sub\\.."),
                                    dir.file(".\\sub")}) {
        EXPECT_FALSE(delDirTree(path.c_str())) << path;
        EXPECT_TRUE(fexists("sub\\keep.txt")) << path;
    }
    EXPECT_FALSE(delDirTree(nullptr));
    for (const char* path : {"C:\\jvm", "c:/jvm/x", "\\\\server\\share", "\\\\server\\share\\d"})
        EXPECT_TRUE(isAbsoluteDirPath(path)) << path;
    const std::string jvm = dir.file("jvm");
    auto makeJvm = [&] {
        makeDirs(jvm + "\\bin\\deep");
        for (auto name : {"\\bin\\java.dll", "\\bin\\jvm.dll", "\\release", "\\bin\\deep\\x"})
            writeFile(jvm + name, "x");
    };
    auto hold = [&](const char* name, DWORD flags) {
        return CreateFileA((jvm + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, flags, nullptr);
    };
    // Regression: a subdirectory held open elsewhere was found again on every pass, without end.
    makeJvm();
    HANDLE held = hold("\\bin\\deep", FILE_FLAG_BACKUP_SEMANTICS);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(delDirTree(jvm.c_str()));
    CloseHandle(held);
    EXPECT_TRUE(delDirTree(jvm.c_str()));
    EXPECT_FALSE(fexists("jvm"));
    // A file held a moment (by a scanner) is waited for.
    makeJvm();
    HANDLE closer = CreateThread(nullptr, 0, closeLater, hold("\\bin\\java.dll", 0), 0, nullptr);
    EXPECT_TRUE(delDirTree(jvm.c_str()));
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    EXPECT_FALSE(fexists("jvm"));
    // One held throughout (by a running JVM) is named and left; everything else goes.
    writeFile(TraceLog, "");
    makeJvm();
    held = hold("\\bin\\jvm.dll", 0);
    DWORD start = GetTickCount();
    EXPECT_FALSE(delDirTree(jvm.c_str()));
    EXPECT_LT(GetTickCount() - start, 3000u);
    CloseHandle(held);
    const std::string trace = logText(TraceLog);
    EXPECT_NE(trace.find("could not delete (error 32): " + jvm + "\\bin\\jvm.dll\n"),
              std::string::npos) << trace;
    EXPECT_EQ(trace.find("could not delete", trace.find("could not delete") + 1), std::string::npos)
        << trace;
    EXPECT_TRUE(fexists("jvm\\bin\\jvm.dll"));
    EXPECT_FALSE(fexists("jvm\\bin\\java.dll"));
    EXPECT_FALSE(fexists("jvm\\release"));
}

TEST(Paths, DirectoriesWithATrailingSeparatorAndJavaHomesOfAFinalBinLevel) {
    // Regression: the runtime's stat refused a directory named with a trailing separator ("MyVm/").
    ScratchDir dir;
    writeFile("file", "x");
    for (const std::string& path : {dir.path(), dir.path() + "\\", dir.path() + "/", {"C:\\"}})
        EXPECT_TRUE(isDir(path.c_str())) << path;
    EXPECT_FALSE(isDir(dir.file("file").c_str()));
    EXPECT_FALSE(isDir(dir.file("missing\\").c_str()));
    // Regressions: the home was cut at the last "bin" anywhere in the path, so a JVM program in
    // C:\cabinet was given the home C:\ca, and one in C:\data\bin\jre the home C:\data.
    const char* const cases[][2] = {
        {"C:\\jdk1.6\\jre\\bin\\java.exe", "C:\\jdk1.6\\jre"},
        {"C:\\JDK\\BIN\\javaw.exe", "C:\\JDK"},
        {"C:\\data\\bin\\jre\\java.exe", "C:\\data\\bin\\jre"},
        {"C:\\bin\\java.exe", "C:\\"},
        {"C:\\cabinet\\java.exe", "C:\\cabinet"},
        {"C:\\robin\\binaries\\java.exe", "C:\\robin\\binaries"},
        {"java.exe", "java.exe"},
    };
    for (const auto& c : cases) {
        char home[PathBufferSize];
        getJavaHomeDirectory(c[0], home, sizeof home);
        EXPECT_STREQ(home, c[1]) << c[0];
    }
}
