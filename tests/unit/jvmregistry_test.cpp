// Registration of a new JVM under SOFTWARE\JavaSoft, and the control-file
// switch that allows it. The registry is a private stand-in for
// HKEY_LOCAL_MACHINE that is deleted after each test.
#include "jvm/extractjvm.h"
#include "jvm/runjvminstaller.h"
#include "base/strbuf.h"
#include "provision_support.h"
#include "testdir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Registration {
    ScratchDir dir;
    RegistrySandbox registry;
    std::string home;
    Registration() : home(dir.file("jvms\\jre")) {
        writeFile(dir.file("jinstall.log"), "");
        makeDirs(dir.file("win"));
        makeDirs(home + "\\bin");
        writeFile(home + "\\bin\\java.exe", "");
        writeFile(home + "\\bin\\javaw.exe", "");
    }
    // Locates the program under jvmDir and registers the JVM.
    bool configure(const char* version, const char* name, const char* command,
                   const std::string& jvmDir) {
        char v[VersionBufferSize], n[VersionBufferSize], c[PathBufferSize], d[PathBufferSize];
        copyText(v, version);
        copyText(n, name);
        copyText(c, command);
        copyText(d, jvmDir.c_str());
        ExtractJvm extract;
        return extract.configureJvm(v, n, c, d, dir.file("win").c_str(), true);
    }
    bool configure(const char* version, const char* name = "JRE") {
        return configure(version, name, "java.exe", home);
    }
    std::string lowerHome() const {
        std::string lower = home;
        for (char& c : lower) c = (char)tolower((unsigned char)c);
        return lower;
    }
    std::string trace() const { return logText(dir.file("jinstall.log").c_str()); }
};

std::string key(const char* entry, const char* version) {
    return std::string(entry) + "\\" + version;
}

}  // namespace

TEST(JvmRegistry, NewJreEntersBaseAndFullVersion) {
    Registration r;
    ASSERT_TRUE(r.configure("1.6.0"));
    EXPECT_EQ(r.registry.get(JreKey, "CurrentVersion"), "1.6");
    for (const char* version : {"1.6", "1.6.0"}) {
        EXPECT_EQ(r.registry.get(key(JreKey, version), "JavaHome"), r.lowerHome()) << version;
        EXPECT_EQ(r.registry.get(key(JreKey, version), "MicroVersion"), "0") << version;
    }
    EXPECT_FALSE(r.registry.hasKey(JdkKey));
    EXPECT_NE(r.trace().find("Added registry value to JavaHome: " + r.lowerHome()),
              std::string::npos);
    EXPECT_NE(r.trace().find("Windows registry configured"), std::string::npos);
}

TEST(JvmRegistry, ExistingValuesAndRegisteredVersionsStay) {
    Registration r;
    r.registry.set(JreKey, "CurrentVersion", "1.5");
    r.registry.set(key(JreKey, "1.6"), "JavaHome", "c:\\old");
    r.registry.set(key(JreKey, "1.6.0"), "JavaHome", "c:\\registered");
    r.registry.set(key(JreKey, "1.6.0"), "MicroVersion", "7");
    ASSERT_TRUE(r.configure("1.6.0"));
    EXPECT_EQ(r.registry.get(JreKey, "CurrentVersion"), "1.5");
    // No MicroVersion yet: the missing value is added, JavaHome stays.
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "JavaHome"), "c:\\old");
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "MicroVersion"), "0");
    // Registered with a MicroVersion: untouched.
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6.0"), "JavaHome"), "c:\\registered");
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6.0"), "MicroVersion"), "7");
    std::string trace = r.trace();
    EXPECT_NE(trace.find("JavaHome already exists in registry"), std::string::npos);
    EXPECT_NE(trace.find("value c:\\old"), std::string::npos);
}

TEST(JvmRegistry, ValueTooLongToReadIsNotOverwritten) {
    // Regression: a value longer than the read buffer read as absent and
    // was overwritten.
    Registration r;
    std::string longHome(6000, 'h');
    r.registry.set(key(JreKey, "1.6"), "JavaHome", longHome);
    ASSERT_TRUE(r.configure("1.6.0"));
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "JavaHome"), longHome);
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "MicroVersion"), "0");
}

TEST(JvmRegistry, KindsAndVersionsChooseTheEntries) {
    struct Case {
        const char* version;
        const char* name;
        const char* present[3];
        const char* absent[2];
    } cases[] = {
        {"1.6.0", "JDK", {"SOFTWARE\\JavaSoft\\Java Development Kit\\1.6"}, {JreKey}},
        {"1.1.8", "JRE", {"SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.1"},
         {"SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.1.8"}},
        {"1.6.0_20", "Java Plug-in",
         {"SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.6",
          "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.6.0_20"},
         {JdkKey}},
        {"1.4", "MyVM",
         {"SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4",
          "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4.0"},
         {JdkKey}},
    };
    for (const Case& c : cases) {
        Registration r;
        ASSERT_TRUE(r.configure(c.version, c.name)) << c.version;
        for (const char* k : c.present) {
            if (!k) continue;
            EXPECT_EQ(r.registry.get(k, "JavaHome"), r.lowerHome()) << c.version << k;
        }
        for (const char* k : c.absent) {
            if (!k) continue;
            EXPECT_FALSE(r.registry.hasKey(k)) << c.version << k;
        }
    }
}

TEST(JvmRegistry, RepeatedRegistrationChangesNothing) {
    Registration r;
    ASSERT_TRUE(r.configure("1.6.0"));
    makeDirs(r.dir.file("other\\bin"));
    writeFile(r.dir.file("other\\bin\\java.exe"), "");
    ASSERT_TRUE(r.configure("1.6.0", "JRE", "java.exe", r.dir.file("other")));
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "JavaHome"), r.lowerHome());
    EXPECT_EQ(r.registry.get(key(JreKey, "1.6.0"), "JavaHome"), r.lowerHome());
}

TEST(JvmRegistry, RuntimeLibForJava12AndLater) {
    struct Case {
        const char* command;
        const char* dll;  // directory below bin, or none
        bool written;
    } cases[] = {
        {"java.exe", "client", true}, {"java", "hotspot", true}, {"javaw.exe", "client", false},
        {"java.exe", nullptr, false},
    };
    for (const Case& c : cases) {
        Registration r;
        std::string dll;
        if (c.dll) {
            dll = r.home + "\\bin\\" + c.dll + "\\jvm.dll";
            makeDirs(r.home + "\\bin\\" + c.dll);
            writeFile(dll, "");
        }
        writeFile(r.home + "\\bin\\java", "");
        ASSERT_TRUE(r.configure("1.6.0", "JRE", c.command, r.home)) << c.command;
        std::string lowerDll = dll;
        for (char& ch : lowerDll) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "RuntimeLib"), c.written ? lowerDll : "")
            << c.command;
    }
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
        std::string jvmDir = r.dir.file(c.jvmDir);
        makeDirs(jvmDir);
        writeFile(jvmDir + "\\java.exe", "");
        ASSERT_TRUE(r.configure("1.6.0", "JRE", "java.exe", jvmDir)) << c.jvmDir;
        std::string expected = r.dir.file(c.home);
        for (char& ch : expected) ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(r.registry.get(key(JreKey, "1.6"), "JavaHome"), expected) << c.jvmDir;
    }
}

TEST(JvmRegistry, SwitchedOffByTheControlFile) {
    Registration r;
    writeFile(r.dir.file("kiv.control"), "jvmVersion=1.6.0\nconfigureWinRegistry=no\n");
    ASSERT_TRUE(r.configure("1.6.0"));
    EXPECT_FALSE(r.registry.hasKey("SOFTWARE\\JavaSoft"));
    EXPECT_NE(r.trace().find("Windows registry unchanged"), std::string::npos);
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
