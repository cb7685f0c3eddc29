// A new JVM: its folder (the package's, the default), its stage (a killed run's leftover, the move,
// what a failure leaves), its registration under SOFTWARE\JavaSoft (HKEY_LOCAL_MACHINE: sandbox.h),
// the reader of base/regkey.h.
#include "base/bitness.h"
#include "base/regkey.h"
#include "base/strbuf.h"
#include "base/winfolders.h"
#include "jvm/jvmplaces.h"
#include "jvm/jvmregistration.h"
#include "jvm/jvmstage.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <ctype.h>
#include <direct.h>
#include <string.h>

TEST(JvmPlaces, ThePackagesFolderElseTheDefaultOneNeverAFolderMadeOfWhatIsLeft) {
    ScratchDir dir;
    RegistrySandbox registry;
    registry.set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", dir.file("pf"));
    makeDirs(dir.file("pf"));
    registry.set(WindowsNtKey, "SystemRoot", dir.file("win"));
    const std::string jre = dir.file("pf\\JavaSoft\\JRE1.6\\1.6.0");
    // Regression: an invalid form went into the Windows directory's system32.
    const std::string cases[][3] = {  // predefined folder, kind, folder
        {"[$ProgFilesDir]\\MyVm", "JRE", dir.file("pf\\MyVm")},
        {"[$WinDir]\\Vm\\jre", "JRE", dir.file("win\\Vm\\jre")},
        {"[$AppDir]\\anything", "JRE", dir.file("jvm")},  {"[$AppDir]", "JRE", dir.file("jvm")},
        {"D:\\plain\\dir", "JRE", "D:\\plain\\dir"},   {"", "JRE", jre},
        {"", "Zulu", dir.file("pf\\JVM1.6\\1.6.0")},
        {"[$ProgFilesDir]\\", "JRE", jre},  {"[$WinDir]Vm", "JRE", jre},
        {"[$Other]\\x", "JRE", jre},  {"[$progfilesdir]\\x", "JRE", jre},
    };
    for (const auto& c : cases) {
        JvmPlaces places(c[0].c_str(), c[1].c_str(), "1.6.0");
        char out[PathBufferSize];
        EXPECT_TRUE(places.folderFor(ownBits(), out)) << c[0];
        EXPECT_EQ(std::string(out), c[2]) << c[0];
        EXPECT_EQ(places.temporary(), c[0].rfind("[$AppDir]", 0) == 0) << c[0];
    }
}

TEST(JvmStage, KilledRunsStagesGoALiveOneStaysAFailureLeavesNothing) {
    ScratchDir dir;
    makeDirs(dir.file("a\\~kivstage-1-1"));  // killed before its lock
    makeDirs(dir.file("a\\~kivstage-1-2"));  // another run's, under way
    writeFile(dir.file("a\\~kivstage-1-2\\java.exe"), "live");
    makeDirs(dir.file("a\\~kivstage-1-1\\bin"));
    writeFile(dir.file("a\\~kivstage-1-1\\bin\\java.exe"), "left");
    HANDLE held = CreateFileA(dir.file("a\\~kivstage-1-2\\stage.lock").c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    unsigned long error = 0;
    std::string staged;
    {
        JvmStage stage;
        ASSERT_TRUE(stage.make(dir.file("a").c_str(), error));
        staged = stage.dir();
        EXPECT_FALSE(exists(dir.file("a\\~kivstage-1-1")));
        EXPECT_EQ(readFile(dir.file("a\\~kivstage-1-2\\java.exe")), "live");
        makeDirs(staged + "\\bin");
        writeFile(staged + "\\bin\\java.exe", "new");
    }
    EXPECT_FALSE(exists(staged));  // not placed: gone
    CloseHandle(held);
    {
        // The levels made for it go too; a placed one stays where it was moved.
        JvmStage stage;
        ASSERT_TRUE(stage.make(dir.file("b\\c").c_str(), error));
        makeDirs(std::string(stage.dir()) + "\\bin");
        writeFile(std::string(stage.dir()) + "\\bin\\java.exe", "new");
        ASSERT_TRUE(stage.placeAt(dir.file("a\\jre").c_str(), error));
    }
    EXPECT_EQ(readFile(dir.file("a\\jre\\bin\\java.exe")), "new");
    EXPECT_FALSE(exists(dir.file("a\\jre\\stage.lock")));
    EXPECT_FALSE(exists(dir.file("b")));
    // A level that cannot be made: a file in its place.
    writeFile(dir.file("f"), "");
    JvmStage stage;
    EXPECT_FALSE(stage.make(dir.file("f\\x").c_str(), error));
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
        JvmRegistration(dir.file("win").c_str(), true)
            .enter({"1.6.0", "JRE", "java.exe", c[0].c_str(), ownBits()});
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
        JvmRegistration(dir.file("win").c_str(), true)
            .enter({"1.8.0_401", "JRE", "java.exe", home.c_str(), ownBits()});
        std::string lib = c[2].empty() ? "" : home + "\\bin\\" + c[2] + "\\jvm.dll";
        for (char& ch : lib) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(registry.get("SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.8", "RuntimeLib"),
                  lib) << c[0];
    }
}
