// File and path utilities of base/clib on the real Win32 file system.
#include "base/clib.h"
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
        writeFile(dir.file("src"), content);
        ASSERT_TRUE(copyFile(dir.file("src").c_str(), dir.file("dst").c_str())) << size;
        EXPECT_EQ(readFile(dir.file("dst")), content) << size;
    }
    writeFile(dir.file("dst"), "earlier");
    EXPECT_FALSE(copyFile(dir.file("missing").c_str(), dir.file("dst").c_str()));
    EXPECT_FALSE(copyFile(dir.path().c_str(), dir.file("dst").c_str()));
    EXPECT_EQ(readFile(dir.file("dst")), "earlier");
    EXPECT_FALSE(copyFile(dir.file("src").c_str(), dir.file("nodir\\dst").c_str()));
    EXPECT_FALSE(fexists(dir.file("nodir").c_str()));
    // A read-only destination stays as it was, no temporary file beside it.
    SetFileAttributesA(dir.file("dst").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(copyFile(dir.file("src").c_str(), dir.file("dst").c_str()));
    EXPECT_EQ(readFile(dir.file("dst")), "earlier");
    EXPECT_FALSE(fexists(dir.file("dst.__kivcopy").c_str()));
    // Regression: opening the destination for writing truncated a source that was the same file.
    writeFile(dir.file("same"), "precious");
    copyFile(dir.file("same").c_str(), dir.file("same").c_str());
    EXPECT_EQ(readFile(dir.file("same")), "precious");
}

TEST(DelDirTree, NeverDeletesOutsideTheGivenDirectory) {
    // Regression: a path that could not be entered made the walk empty the current directory (the
    // work directory), and a bare drive named the drive's current directory.
    ScratchDir dir;
    makeDirs(dir.file("sub"));
    writeFile(dir.file("sub\\keep.txt"), "k");
    const std::string drive = dir.path().substr(0, 2);
    const std::string refused[] = {
        "sub", ".", "", drive, drive + "\\", drive + "jvm", "\\jvm", "\\\\server",
        "\\\\server\\", dir.file("does-not-exist"), dir.file("sub\\.."), dir.file(".\\sub"),
    };
    for (const std::string& path : refused) {
        EXPECT_FALSE(delDirTree(path.c_str())) << path;
        EXPECT_TRUE(fexists(dir.file("sub\\keep.txt").c_str())) << path;
    }
    EXPECT_FALSE(delDirTree(nullptr));
    for (const char* path : {"C:\\jvm", "c:/jvm/x", "\\\\server\\share", "\\\\server\\share\\d"})
        EXPECT_TRUE(isAbsoluteDirPath(path)) << path;
}

TEST(DelDirTree, SubdirectoryThatCannotGoEndsTheWalk) {
    // Regression: a subdirectory whose contents could be deleted but which itself could not be
    // removed (held open elsewhere) was found again on every pass, and the deletion never returned.
    ScratchDir dir;
    makeDirs(dir.file("jvm\\lib\\deep"));
    writeFile(dir.file("jvm\\release"), "r");
    writeFile(dir.file("jvm\\lib\\deep\\a.txt"), "a");
    HANDLE held = CreateFileA(dir.file("jvm\\lib\\deep").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(delDirTree(dir.file("jvm").c_str()));
    CloseHandle(held);
    EXPECT_TRUE(delDirTree(dir.file("jvm").c_str()));
    EXPECT_FALSE(fexists(dir.file("jvm").c_str()));
}

TEST(IsDir, TrailingSeparatorStillNamesTheDirectory) {
    // Regression: the runtime's stat refused a directory named with a trailing separator, so a
    // control-file directory written "MyVm/" was taken for one that could not be created.
    ScratchDir dir;
    writeFile(dir.file("file"), "x");
    for (const std::string& path : {dir.path(), dir.path() + "\\", dir.path() + "/",
                                    std::string("C:\\")})
        EXPECT_TRUE(isDir(path.c_str())) << path;
    EXPECT_FALSE(isDir(dir.file("file").c_str()));
    EXPECT_FALSE(isDir(dir.file("missing\\").c_str()));
}

TEST(GetJavaHomeDirectory, OnlyAWholeBinLevelIsCut) {
    // Regression: the home was cut at the last "bin" anywhere in the path, so a JVM program in
    // C:\cabinet was given the home C:\ca.
    struct { const char* exe; const char* home; } cases[] = {
        {"C:\\jdk1.6\\jre\\bin\\java.exe", "C:\\jdk1.6\\jre"},
        {"C:\\JDK\\BIN\\javaw.exe", "C:\\JDK"},
        {"C:\\jdk\\bin\\client\\java.exe", "C:\\jdk"},
        {"C:\\java\\java.exe", "C:\\java"},
        {"C:\\cabinet\\java.exe", "C:\\cabinet"},
        {"C:\\robin\\binaries\\java.exe", "C:\\robin\\binaries"},
        {"java.exe", "java.exe"},
    };
    for (auto& c : cases) {
        char home[PathBufferSize];
        getJavaHomeDirectory(c.exe, home);
        EXPECT_STREQ(home, c.home) << c.exe;
    }
}
