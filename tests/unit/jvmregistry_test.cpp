// Registration of a new JVM under SOFTWARE\JavaSoft, in a private stand-in for HKEY_LOCAL_MACHINE
// that is deleted after each test.
#include "jvm/extractjvm.h"
#include "base/strbuf.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <ctype.h>

#include <string>

namespace {

const std::string Jre16 = std::string(JreKey) + "\\1.6";

// Registers the JVM whose java.exe lies in jvmDir (absolute or relative to the work directory),
// with a Windows directory "win".
bool configure(const ScratchDir& dir, const std::string& jvmDir) {
    makeDirs(dir.file("win"));
    makeDirs(jvmDir[1] == ':' ? jvmDir : dir.file(jvmDir.c_str()));
    writeFile((jvmDir[1] == ':' ? jvmDir : dir.file(jvmDir.c_str())) + "\\java.exe", "");
    char v[VersionBufferSize] = "1.6.0", n[VersionBufferSize] = "JRE";
    char c[PathBufferSize] = "java.exe", d[PathBufferSize];
    copyText(d, jvmDir.c_str());
    return ExtractJvm().configureJvm(v, n, c, d, dir.file("win").c_str(), true);
}

std::string lower(std::string text) {
    for (char& c : text) c = (char)tolower((unsigned char)c);
    return text;
}

}  // namespace

TEST(JvmRegistry, HomeIsTheFullPathLessOnlyAFinalBinLevel) {
    // Regressions: the home was cut before the last "\bin" anywhere in the path (...\binaries\jre
    // or ...\bin\jre lost their last levels), and a relative JVM directory was entered as it stood,
    // to be resolved later against another (temporary) work directory.
    const struct {
        const char* jvmDir;
        bool absolute;
        const char* home;
    } cases[] = {{"binaries\\jre", true, "binaries\\jre"}, {"jre\\bin", true, "jre"},
                 {"jre\\bin\\", true, "jre"}, {"bin\\jre", false, "bin\\jre"},
                 {"jvm\\jre1.6", false, "jvm\\jre1.6"}};
    for (const auto& c : cases) {
        ScratchDir dir;
        RegistrySandbox registry;
        ASSERT_TRUE(configure(dir, c.absolute ? dir.file(c.jvmDir) : c.jvmDir)) << c.jvmDir;
        EXPECT_EQ(registry.get(Jre16, "JavaHome"), lower(dir.file(c.home))) << c.jvmDir;
    }
}

TEST(JvmRegistry, ValueTooLongToReadIsNotOverwritten) {
    // Regression: a value longer than the read buffer read as absent and was overwritten.
    ScratchDir dir;
    RegistrySandbox registry;
    std::string longHome(6000, 'h');
    registry.set(Jre16, "JavaHome", longHome);
    ASSERT_TRUE(configure(dir, dir.file("jre\\bin")));
    EXPECT_EQ(registry.get(Jre16, "JavaHome"), longHome);
    EXPECT_EQ(registry.get(Jre16, "MicroVersion"), "0");
}
