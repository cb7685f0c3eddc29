// The registry side of a new JVM: its registration under SOFTWARE\JavaSoft (in a private stand-in
// for HKEY_LOCAL_MACHINE), the reader of base/regkey.h, and the control file's
// "configureWinRegistry" switch (native.properties when there is no control file).
#include "base/regkey.h"
#include "base/strbuf.h"
#include "jvm/extractjvm.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <ctype.h>
#include <string.h>

static const std::string Jre16 = std::string(JreKey) + "\\1.6";

// Registers the JVM whose java.exe lies in jvmDir (full or relative to the work directory), with a
// Windows directory "win".
static bool configure(const ScratchDir& dir, const std::string& jvmDir) {
    std::string full = jvmDir[1] == ':' ? jvmDir : dir.file(jvmDir.c_str());
    makeDirs(dir.file("win"));
    makeDirs(full);
    writeFile(full + "\\java.exe", "");
    char v[VersionBufferSize] = "1.6.0", n[VersionBufferSize] = "JRE";
    char c[PathBufferSize] = "java.exe", d[PathBufferSize];
    copyText(d, jvmDir.c_str());
    return ExtractJvm().configureJvm(v, n, c, d, dir.file("win").c_str(), true);
}

TEST(JvmRegistry, HomeIsTheFullPathLessOnlyAFinalBinLevel) {
    // Regressions: the home was cut before the last "\bin" anywhere in the path (...\binaries\jre
    // or ...\bin\jre lost their last levels); a relative JVM directory was entered as it stood, to
    // be resolved later against another (temporary) work directory; a value longer than the read
    // buffer read as absent and was overwritten.
    const std::string longHome(6000, 'h');
    const struct {
        const char *jvmDir, *home;
        bool full;
        const char* before;  // JavaHome already there
    } cases[] = {{"binaries\\jre", "binaries\\jre", true, ""}, {"jre\\bin", "jre", true, ""},
                 {"jre\\bin\\", "jre", true, ""}, {"bin\\jre", "bin\\jre", false, ""},
                 {"jvm\\jre1.6", "jvm\\jre1.6", false, ""},
                 {"jre\\bin", "", true, longHome.c_str()}};
    for (const auto& c : cases) {
        ScratchDir dir;
        RegistrySandbox registry;
        if (c.before[0]) registry.set(Jre16, "JavaHome", c.before);
        ASSERT_TRUE(configure(dir, c.full ? dir.file(c.jvmDir) : c.jvmDir)) << c.jvmDir;
        std::string home = c.before[0] ? c.before : dir.file(c.home);
        for (char& ch : home) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(registry.get(Jre16, "JavaHome"), home) << c.jvmDir;
        EXPECT_EQ(registry.get(Jre16, "MicroVersion"), "0") << c.jvmDir;
    }
}

TEST(RegKey, ValueTooLongForTheBufferCountsAsAbsent) {
    const char* path = "SOFTWARE\\LauncherTest\\RegKey";
    const std::string big(6000, 'v');
    RegSetKeyValueA(HKEY_CURRENT_USER, path, "big", REG_SZ, big.c_str(), (DWORD)big.size() + 1);
    RegSetKeyValueA(HKEY_CURRENT_USER, path, "small", REG_SZ, "C:\\jre", 7);
    // A value stored without its terminator still reads as a terminated text.
    RegSetKeyValueA(HKEY_CURRENT_USER, path, "bare", REG_BINARY, "abc", 3);
    const char* const cases[][3] = {  // key, value, text read ("": none)
        {path, "big", ""}, {path, "small", "C:\\jre"}, {path, "bare", "abc"}, {path, "missing", ""},
        {"SOFTWARE\\LauncherTest\\No", "x", ""},
    };
    for (const auto& c : cases) {
        char buffer[PathBufferSize];
        memset(buffer, 'x', sizeof buffer);
        bool read = readRegistryText(HKEY_CURRENT_USER, c[0], c[1], buffer, sizeof buffer);
        EXPECT_EQ(read, c[2][0] != '\0') << c[1];
        EXPECT_STREQ(buffer, c[2]) << c[1];
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\LauncherTest");
}

#define KEY "configureWinRegistry"

TEST(ConfigureWinRegistry, ReadFromTheControlFile) {
    const std::string overlong = "comment=" + std::string(990, 'x') + KEY "=no\n";
    const struct {
        const char *control, *properties;  // null: no such file
        bool answer;
    } cases[] = {
        {KEY "=false\n", nullptr, false},          {KEY "=no\n", nullptr, false},
        {KEY "=0\n", nullptr, false},              {KEY "=\n", nullptr, false},
        {KEY "=TRUE\n", nullptr, true},            {"a=b\n" KEY "=Yes\n", nullptr, true},
        {"jvmVersion=1.6.0\n", nullptr, true},     {nullptr, nullptr, true},
        {nullptr, KEY "=no\n", false},             {KEY "=yes\n" KEY "=no\n", nullptr, true},
        {KEY "\n", nullptr, false},  // regression: the key alone made the reader look past its end
        {overlong.c_str(), nullptr, true},  // the rest of a long line is no line of its own
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        if (c.control) writeFile(dir.file("kiv.control"), c.control);
        if (c.properties) writeFile(dir.file("native.properties"), c.properties);
        EXPECT_EQ(ExtractJvm().configureWinReg(), c.answer) << (c.control ? c.control : "none");
    }
}
