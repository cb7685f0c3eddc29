// File and path utilities on the real Win32 file system.
#include "base/clib.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <stdlib.h>
#include <string.h>

static std::string pattern(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = (char)(i * 7 + i / 251);
    return s;
}

TEST(FileCopy, CopiesExactlyAcrossBlockBoundaries) {
    ScratchDir dir;
    // empty, one block, exactly one block (second reads nothing), a pass of
    // 20 blocks and more than one pass
    for (size_t size : {0u, 1u, 29999u, 30000u, 30001u, 600000u, 2 * 1024 * 1024u + 3}) {
        std::string content = pattern(size);
        writeFile(dir.file("src"), content);
        ASSERT_TRUE(copyFile(dir.file("src").c_str(), dir.file("dst").c_str())) << size;
        EXPECT_EQ(readFile(dir.file("dst")), content) << size;
    }
}

TEST(FileCopy, FailureLeavesNoPartialOrDamagedDestination) {
    ScratchDir dir;
    writeFile(dir.file("dst"), "earlier");
    EXPECT_FALSE(copyFile(dir.file("missing").c_str(), dir.file("dst").c_str()));
    EXPECT_FALSE(copyFile(dir.path().c_str(), dir.file("dst").c_str()));
    EXPECT_EQ(readFile(dir.file("dst")), "earlier");

    writeFile(dir.file("src"), "data");
    EXPECT_FALSE(copyFile(dir.file("src").c_str(), dir.file("nodir\\dst").c_str()));
    EXPECT_FALSE(fexists(dir.file("nodir").c_str()));

    // A read-only destination cannot be replaced: it stays as it was and no
    // temporary file is left beside it.
    SetFileAttributesA(dir.file("dst").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(copyFile(dir.file("src").c_str(), dir.file("dst").c_str()));
    EXPECT_EQ(readFile(dir.file("dst")), "earlier");
    EXPECT_FALSE(fexists(dir.file("dst.__kivcopy").c_str()));
}

TEST(FileCopy, OntoItselfKeepsTheContent) {
    // Regression: opening the destination for writing truncated a source
    // that was the same file.
    ScratchDir dir;
    writeFile(dir.file("same"), "precious");
    copyFile(dir.file("same").c_str(), dir.file("same").c_str());
    EXPECT_EQ(readFile(dir.file("same")), "precious");
}

static void makeTree(const std::string& root) {
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\bin").c_str(), nullptr);
    CreateDirectoryA((root + "\\lib").c_str(), nullptr);
    CreateDirectoryA((root + "\\lib\\deep").c_str(), nullptr);
    writeFile(root + "\\release", "r");
    writeFile(root + "\\bin\\java.exe", "j");
    writeFile(root + "\\lib\\rt.jar", "x");
    writeFile(root + "\\lib\\deep\\a.txt", "a");
    writeFile(root + "\\lib\\deep\\b.txt", "b");
}

TEST(DelDirTree, NeverDeletesOutsideTheGivenDirectory) {
    // Regression: a path that could not be entered made the walk empty the
    // current directory (the work directory), and a bare drive named the
    // drive's current directory.
    ScratchDir dir;
    writeFile(dir.file("keep.txt"), "k");
    CreateDirectoryA(dir.file("sub").c_str(), nullptr);
    writeFile(dir.file("sub\\keep2.txt"), "k");
    std::string drive = dir.path().substr(0, 2);  // "C:"
    const std::string root = drive + "\\";
    const std::string missing = dir.file("does-not-exist");
    const std::string dotted = dir.path() + "\\sub\\..";
    const char* refused[] = {"sub", ".", "", drive.c_str(), root.c_str(),
                             missing.c_str(), dotted.c_str(), "\\\\server"};
    for (const char* path : refused) {
        EXPECT_FALSE(delDirTree(path)) << path;
        EXPECT_TRUE(fexists(dir.file("keep.txt").c_str())) << path;
        EXPECT_TRUE(fexists(dir.file("sub\\keep2.txt").c_str())) << path;
    }
    EXPECT_FALSE(delDirTree(nullptr));
}

TEST(DelDirTree, AbsolutePathRule) {
    struct { const char* path; bool ok; } cases[] = {
        {"C:\\jvm", true}, {"c:/jvm/x", true}, {"\\\\server\\share", true},
        {"\\\\server\\share\\dir", true}, {"C:", false}, {"C:\\", false}, {"C:jvm", false},
        {"jvm", false}, {"\\jvm", false}, {"\\\\server", false}, {"\\\\server\\", false},
        {"C:\\jvm\\..", false}, {"C:\\.\\", false}, {"C:\\jvm\\.\\x", false},
    };
    for (auto& c : cases) EXPECT_EQ(isAbsoluteDirPath(c.path), c.ok) << c.path;
}

TEST(DelDirTree, SubdirectoryThatCannotGoEndsTheWalk) {
    // Regression: a subdirectory whose contents could be deleted but which
    // itself could not be removed (held open elsewhere) was found again on
    // every pass, and the deletion never returned.
    ScratchDir dir;
    makeTree(dir.file("jvm"));
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
    // Regression: the runtime's stat refused a directory named with a
    // trailing separator, so a control-file directory written "MyVm/" was
    // taken for one that could not be created.
    ScratchDir dir;
    writeFile(dir.file("file"), "x");
    EXPECT_TRUE(isDir(dir.path().c_str()));
    EXPECT_TRUE(isDir((dir.path() + "\\").c_str()));
    EXPECT_TRUE(isDir((dir.path() + "/").c_str()));
    EXPECT_TRUE(isDir("C:\\"));
    EXPECT_FALSE(isDir(dir.file("file").c_str()));
    EXPECT_FALSE(isDir(dir.file("missing\\").c_str()));
}

TEST(GetJavaHomeDirectory, OnlyAWholeBinLevelIsCut) {
    // Regression: the home was cut at the last "bin" anywhere in the path,
    // so a JVM program in C:\cabinet was given the home C:\ca.
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
