// A new JVM: its directory (variables, what may be made or deleted there), the copy of the JVM
// installer program, its registration under SOFTWARE\JavaSoft (HKEY_LOCAL_MACHINE: sandbox.h), the
// reader of base/regkey.h and the "configureWinRegistry" switch of the control file.
#include "base/regkey.h"
#include "base/strbuf.h"
#include "base/winfolders.h"
#include "config/getparam.h"
#include "jvm/jvmexpander.h"
#include "jvm/jvmdirchooser.h"
#include "jvm/runjvminstaller.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <ctype.h>
#include <direct.h>
#include <string.h>

TEST(JvmDirChooser, NewJvmDirectoryNeverTakesOrLosesWhatIsThere) {
    ScratchDir dir;
    RegistrySandbox registry;
    registry.set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", dir.file("pf"));
    makeDirs(dir.file("pf"));
    registry.set(WindowsNtKey, "SystemRoot", dir.file("win"));
    const std::string variables[][2] = {  // requested, resolved ("": refused)
        {"[$ProgFilesDir]\\MyVm", dir.file("pf\\MyVm")},
        {"[$WinDir]\\Vm\\jre", dir.file("win\\Vm\\jre")},
        {"[$AppDir]\\anything", dir.file("jvm")},  {"[$AppDir]", dir.file("jvm")},
        {"D:\\plain\\dir", "D:\\plain\\dir"},     {"[$ProgFilesDir]\\", ""},
        {"[$WinDir]Vm", ""},  {"[$Other]\\x", ""},  {"[$progfilesdir]\\x", ""},
    };
    for (const auto& c : variables) {
        char out[PathBufferSize];
        EXPECT_EQ(JvmDirChooser().getNewJvmInstallerTo(c[0].c_str(), out), !c[1].empty()) << c[0];
        EXPECT_EQ(std::string(out), c[1]) << c[0];
    }

    // Regression: a file of the wanted name counted as a created directory, and the JVM would have
    // been installed "into" the file.
    writeFile(dir.file("taken"), "");
    const struct {
        std::string in, name, out;  // out == in: refused
    } adds[] = {
        {dir.path(), "taken", dir.path()},
        {dir.path(), "made", dir.file("made")},
        {dir.file("made\\"), "again", dir.file("made\\again")},  // no doubled backslash
        {dir.path(), std::string(PathBufferSize, 'x'), dir.path()},  // refused, not cut
    };
    JvmDirChooser installer;
    for (const auto& c : adds) {
        char path[PathBufferSize];
        copyText(path, c.in.c_str());
        EXPECT_EQ(installer.addDirectory(path, c.name.c_str()), c.out != c.in) << c.name;
        EXPECT_EQ(std::string(path), c.out) << c.name;
    }
    // Regression: the installer's copy overwrote a file of the same name in a JVM directory that
    // already existed, and deleted it after the run.
    writeFile(dir.file("setup.exe"), "package installer");
    writeFile(dir.file("made\\setup.exe"), "user's own file");
    EXPECT_FALSE(RunJvmInstaller().copyInstaller("setup.exe", dir.file("made").c_str()));
    EXPECT_EQ(readFile(dir.file("made\\setup.exe")), "user's own file");

    // Regressions: the old jvm tree was deleted whatever it held: the work directory (every refused
    // directory: cleanup_test), the package's compressed JVM, the file that was to be run next.
    const std::string archive = dir.file("d\\jvm\\jre-win.exe");
    makeDirs(dir.file("a\\jvm\\sub"));
    makeDirs(dir.file("b\\jvm\\work"));
    makeDirs(dir.file("d\\jvm"));
    writeFile(dir.file("a\\jvm\\sub\\f.txt"), "");
    writeFile(archive, "");
    installer.keepFile(archive.c_str());
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));
    EXPECT_FALSE(exists(dir.file("a\\jvm")));
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));  // nothing there
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("d").c_str()));
    EXPECT_TRUE(exists(archive));
    _chdir(dir.file("b\\jvm\\work").c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("b").c_str()));
    EXPECT_TRUE(exists(dir.file("b\\jvm\\work")));
}

TEST(WinFolders, ProgramFilesProbeMakesAndRemovesAFolderOfItsOwn) {
    // Regression: the probe made a folder of one fixed name and took one that an earlier run had
    // left there as proof that it may write Program Files. (Where it may not, a standard user's
    // scenario: e2e.download.)
    ScratchDir dir;
    RegistrySandbox registry;
    registry.set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", dir.file("pf"));
    makeDirs(dir.file("pf\\__test__zos"));
    EXPECT_TRUE(WinFolders().mayWriteProgramFiles());
    EXPECT_TRUE(WinFolders().mayWriteProgramFiles());
    std::string left;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(dir.file("pf\\*").c_str(), &entry);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE);
    do
        if (entry.cFileName[0] != '.') left += std::string(entry.cFileName) + " ";
    while (FindNextFileA(listing, &entry));
    FindClose(listing);
    EXPECT_EQ(left, "__test__zos ");
    // A Program Files that is not there takes no folder.
    registry.set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", dir.file("none"));
    EXPECT_FALSE(WinFolders().mayWriteProgramFiles());
    EXPECT_FALSE(exists(dir.file("none")));
}

static const std::string Jre16 = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.6";

TEST(JvmRegistry, HomeIsTheFullPathLessOnlyAFinalBinLevel) {
    // Regressions: the home was cut before the last "\bin" anywhere in the path (...\binaries\jre
    // or ...\bin\jre lost their last levels); a relative JVM directory was entered as it stood, to
    // be resolved later against another (temporary) work directory; a value longer than the read
    // buffer read as absent and was overwritten.
    ScratchDir dir;
    makeDirs(dir.file("win"));
    const std::string longHome(6000, 'h');
    const std::string cases[][2] = {  // JVM directory, home registered
        {dir.file("binaries\\jre"), dir.file("binaries\\jre")}, {"bin\\jre", dir.file("bin\\jre")},
        {dir.file("jre\\bin"), dir.file("jre")},  {dir.file("jre\\bin\\"), dir.file("jre")},
        {"jvm\\jre1.6", dir.file("jvm\\jre1.6")}, {dir.file("jre\\bin"), longHome},  // there before
    };
    for (const auto& c : cases) {
        RegistrySandbox registry;
        if (c[1] == longHome) registry.set(Jre16, "JavaHome", longHome);
        makeDirs(c[0]);
        writeFile(c[0] + "\\java.exe", "");
        char v[VersionBufferSize] = "1.6.0", n[VersionBufferSize] = "JRE";
        char command[PathBufferSize] = "java.exe", jvmDir[PathBufferSize];
        copyText(jvmDir, c[0].c_str());
        ASSERT_TRUE(JvmExpander().configureJvm(v, n, command, jvmDir, dir.file("win").c_str(), true))
            << c[0];
        std::string home = c[1];
        for (char& ch : home) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(registry.get(Jre16, "JavaHome"), home) << c[0];
        EXPECT_EQ(registry.get(Jre16, "MicroVersion"), "0") << c[0];
    }

    // The reader of base/regkey.h: a value too long for the buffer counts as absent; one stored
    // without its terminator still reads as a terminated text.
    RegistrySandbox registry;
    registry.set("Key", "big", std::string(6000, 'v'));
    registry.set("Key", "small", "C:\\jre");
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Key", "bare", REG_BINARY, "abc", 3);
    const char* const reads[][3] = {  // key, value, text read ("": none)
        {"Key", "big", ""}, {"Key", "small", "C:\\jre"}, {"Key", "bare", "abc"},
        {"Key", "missing", ""}, {"No", "x", ""},
    };
    for (const auto& c : reads) {
        char buffer[PathBufferSize];
        memset(buffer, 'x', sizeof buffer);
        bool read = readRegistryText(HKEY_LOCAL_MACHINE, c[0], c[1], buffer, sizeof buffer);
        EXPECT_EQ(read, c[2][0] != '\0') << c[1];
        EXPECT_STREQ(buffer, c[2]) << c[1];
    }
}

TEST(JvmRegistry, RuntimeLibOfAJava8WhereverItsJvmDllIs) {
    // Regression: a 64-bit Java 8, whose only jvm.dll is in bin\server, got no RuntimeLib.
    ScratchDir dir;
    makeDirs(dir.file("win"));
    const std::string cases[][3] = {  // JVM directory, its jvm.dll folders, the one registered
        {"server", "server", "server"}, {"both", "client server", "client"}, {"none", "", ""}};
    for (const auto& c : cases) {
        RegistrySandbox registry;
        const std::string home = dir.file(c[0].c_str());
        makeDirs(home + "\\bin");
        writeFile(home + "\\bin\\java.exe", "");
        for (const char* kind : {"client", "server"})
            if (c[1].find(kind) != std::string::npos) {
                makeDirs(home + "\\bin\\" + kind);
                writeFile(home + "\\bin\\" + kind + "\\jvm.dll", "");
            }
        char v[VersionBufferSize] = "1.8.0_401", n[VersionBufferSize] = "JRE";
        char command[PathBufferSize] = "java.exe", jvmDir[PathBufferSize];
        copyText(jvmDir, home.c_str());
        ASSERT_TRUE(JvmExpander().configureJvm(v, n, command, jvmDir, dir.file("win").c_str(), true))
            << c[0];
        std::string lib = c[2].empty() ? "" : home + "\\bin\\" + c[2] + "\\jvm.dll";
        for (char& ch : lib) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(registry.get("SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.8", "RuntimeLib"),
                  lib) << c[0];
    }
}

#define KEY "configureWinRegistry"

TEST(ConfigureWinRegistry, ReadFromTheControlFile) {
    const std::string overlong = "comment=" + std::string(5200, 'x') + KEY "=no\n";
    const struct {
        const char* control;
        bool answer;
    } cases[] = {
        {KEY "=false\n", false},          {KEY "=no\n", false},
        {KEY "=0\n", false},              {KEY "=TRUE\n", true},
        {"a=b\n" KEY "=Yes\n", true},     {"jvmVersion=1.6.0\n", true},
        {KEY "=yes\n" KEY "=no\n", true},  // the first line decides
        {KEY "\n", false},  // regression: the key alone made the reader look past its end
        {overlong.c_str(), true},  // the rest of a long line is no line of its own
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeFile(dir.file("kiv.control"), c.control);
        ControlSettings settings;
        ASSERT_TRUE(GetParameters(false).parseParameters(settings, dir.file("kiv.control").c_str()));
        EXPECT_EQ(settings.configureWinRegistry, c.answer) << c.control;
    }
}
