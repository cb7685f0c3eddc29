// The command of the package's compressed JVM. Expanding, registering and
// proving the JVM are shown end to end (tests/e2e/test_provision.py).
#include "jvm/extractjvm.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>

#include <string>

TEST(ExtractJvm, CompressedJvmCommand) {
    ScratchDir dir;
    writeFile(dir.file("jre-win.exe"), "");
    ExtractJvm extractJvm;
    char command[PathBufferSize];
    // The path as written in the work directory, else its last name there.
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jvm/jre-win.exe", command));
    EXPECT_EQ(std::string(command), dir.file("jre-win.exe"));
    makeDirs(dir.file("jvm"));
    writeFile(dir.file("jvm\\jre-win.exe"), "");
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jvm/jre-win.exe", command));
    EXPECT_EQ(std::string(command), dir.file("jvm\\jre-win.exe"));
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jre-win.exe", command));
    EXPECT_EQ(std::string(command), dir.file("jre-win.exe"));
    EXPECT_FALSE(extractJvm.getJvmInstallerCommand("jvm/missing.exe", command));

    // A work directory with a blank: the short form, without blanks.
    makeDirs(dir.file("with blank"));
    writeFile(dir.file("with blank\\jre-win.exe"), "");
    _chdir(dir.file("with blank").c_str());
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jvm/jre-win.exe", command));
    _chdir(dir.path().c_str());
    EXPECT_EQ(std::string(command).find(' '), std::string::npos) << command;
    EXPECT_TRUE(exists(command)) << command;
}
