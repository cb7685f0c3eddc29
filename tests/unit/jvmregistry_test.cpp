// Registration of a new JVM under SOFTWARE\JavaSoft, and the control-file
// switch that allows it. The registry is a private stand-in for
// HKEY_LOCAL_MACHINE that is deleted after each test.
#include "jvm/extractjvm.h"
#include "jvm/runjvminstaller.h"
#include "base/strbuf.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A work directory with a Windows directory "win"; registers the JVM whose
// java.exe lies in jvmDir (the JVM home, or its bin directory).
struct Registration {
    ScratchDir dir;
    RegistrySandbox registry;
    Registration() { makeDirs(dir.file("win")); }
    bool configure(const std::string& jvmDir) {
        makeDirs(jvmDir);
        writeFile(jvmDir + "\\java.exe", "");
        char v[VersionBufferSize] = "1.6.0", n[VersionBufferSize] = "JRE";
        char c[PathBufferSize] = "java.exe", d[PathBufferSize];
        copyText(d, jvmDir.c_str());
        return ExtractJvm().configureJvm(v, n, c, d, dir.file("win").c_str(), true);
    }
};

const std::string Jre16 = std::string(JreKey) + "\\1.6";

}  // namespace

TEST(JvmRegistry, ValueTooLongToReadIsNotOverwritten) {
    // Regression: a value longer than the read buffer read as absent and
    // was overwritten.
    Registration r;
    std::string longHome(6000, 'h');
    r.registry.set(Jre16, "JavaHome", longHome);
    ASSERT_TRUE(r.configure(r.dir.file("jre\\bin")));
    EXPECT_EQ(r.registry.get(Jre16, "JavaHome"), longHome);
    EXPECT_EQ(r.registry.get(Jre16, "MicroVersion"), "0");
}

TEST(JvmRegistry, HomeLosesOnlyAWholeBinLevel) {
    // Regression: the home was cut before the last "\bin" anywhere in the
    // path, so that ...\binaries\jre or ...\bin\jre lost its last levels.
    struct Case {
        const char* jvmDir;
        const char* home;
    } cases[] = {{"binaries\\jre", "binaries\\jre"}, {"jre\\bin", "jre"},
                 {"bin\\jre", "bin\\jre"}, {"jre\\bin\\", "jre"}};
    for (const Case& c : cases) {
        Registration r;
        ASSERT_TRUE(r.configure(r.dir.file(c.jvmDir))) << c.jvmDir;
        std::string expected = r.dir.file(c.home);
        for (char& ch : expected) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(r.registry.get(Jre16, "JavaHome"), expected) << c.jvmDir;
    }
}

TEST(JvmRegistry, RelativeJvmDirectoryIsEnteredByItsFullPath) {
    // Regression: a JVM directory from a relative fall-back was entered into
    // the registry as it stood, to be resolved later against another
    // (temporary) work directory.
    Registration r;
    makeDirs(r.dir.file("jvm\\jre1.6"));
    writeFile(r.dir.file("jvm\\jre1.6\\java.exe"), "");
    char v[VersionBufferSize] = "1.6.0", n[VersionBufferSize] = "JRE";
    char c[PathBufferSize] = "java.exe", d[PathBufferSize] = "jvm\\jre1.6";
    ASSERT_TRUE(ExtractJvm().configureJvm(v, n, c, d, r.dir.file("win").c_str(), true));
    std::string expected = r.dir.file("jvm\\jre1.6");
    for (char& ch : expected) ch = (char)tolower((unsigned char)ch);
    EXPECT_EQ(r.registry.get(Jre16, "JavaHome"), expected);
}

TEST(JvmRegistry, ConfigureWinRegistrySetting) {
    struct Case {
        const char* control;     // null: no control file
        const char* properties;  // null: no properties file
        bool answer;
    } cases[] = {
        {"configureWinRegistry=false\n", nullptr, false},
        {"configureWinRegistry=no\n", nullptr, false},
        {"configureWinRegistry=0\n", nullptr, false},
        {"configureWinRegistry=\n", nullptr, false},
        {"configureWinRegistry=TRUE\n", nullptr, true},
        {"a=b\nconfigureWinRegistry=Yes\n", nullptr, true},
        {"jvmVersion=1.6.0\n", nullptr, true},
        {nullptr, nullptr, true},
        {nullptr, "configureWinRegistry=no\n", false},
        {"configureWinRegistry=yes\nconfigureWinRegistry=no\n", nullptr, true},
        // Regression: the key alone made the reader look past the line's end.
        {"configureWinRegistry\n", nullptr, false},
        // The rest of an overlong line is not a line of its own.
        {nullptr, nullptr, true},
    };
    std::string overlong = "comment=" + std::string(990, 'x') + "configureWinRegistry=no\n";
    cases[11].control = overlong.c_str();
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.control) writeFile(dir.file("kiv.control"), c.control);
        if (c.properties) writeFile(dir.file("native.properties"), c.properties);
        std::string label = c.control ? c.control : (c.properties ? c.properties : "none");
        EXPECT_EQ(ExtractJvm().configureWinReg(), c.answer) << label;
        EXPECT_EQ(RunJvmInstaller().configureWinReg(), c.answer) << label;
    }
}
