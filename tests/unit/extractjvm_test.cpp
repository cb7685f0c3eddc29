// Installing the package's compressed JVM: the stub compressed JVM
// (stubjvmarchive) expands a stub JVM into the directory it runs in, which
// is then located, registered, copied into the Windows directory and proved.
// The Windows folders and JavaSoft entries live in a private stand-in for
// HKEY_LOCAL_MACHINE.
#include "jvm/extractjvm.h"
#include "base/strbuf.h"
#include "provision_support.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>

#include <string>

namespace {

struct Package {
    ScratchDir dir;
    RegistrySandbox registry;
    std::string programFiles;
    std::string windows;
    Package() : programFiles(dir.file("pf")), windows(dir.file("win")) {
        placeTestClass();
        writeFile(dir.file("jinstall.log"), "");
        makeDirs(programFiles);
        makeDirs(windows + "\\system");
        registry.set(WindowsKey, "ProgramFilesDir", programFiles);
    }
    // The compressed JVM "jre-win.exe" in the work directory and its settings.
    void archive(const std::string& settings, const char* name = "jre-win.exe") {
        CopyFileA(stubProgram("stubjvmarchive").c_str(), dir.file(name).c_str(), FALSE);
        std::string ini = dir.file(name);
        ini = ini.substr(0, ini.size() - 4) + ".ini";
        writeFile(ini, "jvm=" + stubProgram("stubjvm") + "\n" + settings);
    }
    std::string runs() const { return readFile(dir.file("jre-win.runs")); }
    std::string trace() const { return logText(dir.file("jinstall.log").c_str()); }
};

struct Extraction {
    bool ok;
    bool installed;
    bool discovered;
    std::string path;
    std::string command;
};

Extraction extract(Package& package, const std::string& predefined = "",
                   const std::string& jvmHomeDir = "", const char* command = "java.exe",
                   const char* selfExtractor = "jvm/jre-win.exe") {
    char required[VersionBufferSize] = "1.6", none[VersionBufferSize] = "";
    char version[VersionBufferSize] = "1.6.0", name[VersionBufferSize] = "JRE";
    char commandName[PathBufferSize], extractor[PathBufferSize], predefinedDir[PathBufferSize];
    char homeDir[PathBufferSize], path[PathBufferSize] = "";
    copyText(commandName, command);
    copyText(extractor, selfExtractor);
    copyText(predefinedDir, predefined.c_str());
    copyText(homeDir, jvmHomeDir.c_str());
    ExtractJvm extractJvm;
    bool ok = extractJvm.extractJvm(required, none, none, version, name, commandName, extractor,
                                    predefinedDir, homeDir, path, package.windows.c_str());
    return {ok, extractJvm.isJvmInstalled(), extractJvm.isJvmDiscovered(), path, commandName};
}

std::string currentDir() {
    char cwd[MAX_PATH];
    return _getcwd(cwd, MAX_PATH) ? cwd : "";
}

}  // namespace

TEST(ExtractJvm, ExpandsRegistersCopiesAndProves) {
    Package package;
    package.archive("version=1.6.0_31\nmsvcrt=1\n");
    Extraction result = extract(package);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.installed);
    EXPECT_FALSE(result.discovered);
    std::string jvmDir = package.programFiles + "\\JavaSoft\\JRE1.6\\1.6.0";
    EXPECT_EQ(result.path, jvmDir + "\\bin\\java.exe");
    // The compressed JVM ran in the JVM directory; the work directory is
    // current again.
    EXPECT_EQ(package.runs(), "CWD " + jvmDir + "\r\n");
    EXPECT_STRCASEEQ(currentDir().c_str(), package.dir.path().c_str());
    EXPECT_FALSE(exists(package.dir.file("__temp.log")));

    std::string home = jvmDir;
    for (char& c : home) c = (char)tolower((unsigned char)c);
    EXPECT_EQ(package.registry.get(JreKey, "CurrentVersion"), "1.6");
    EXPECT_EQ(package.registry.get(std::string(JreKey) + "\\1.6", "JavaHome"), home);
    EXPECT_EQ(package.registry.get(std::string(JreKey) + "\\1.6.0", "MicroVersion"), "0");
    // The programs and the runtime library in the Windows directory.
    EXPECT_TRUE(exists(package.windows + "\\java.exe"));
    EXPECT_TRUE(exists(package.windows + "\\javaw.exe"));
    EXPECT_EQ(readFile(package.windows + "\\system\\msvcrt.dll"),
              readFile(jvmDir + "\\bin\\msvcrt.dll"));
    EXPECT_FALSE(readFile(jvmDir + "\\bin\\msvcrt.dll").empty());
    std::string trace = package.trace();
    EXPECT_NE(trace.find("issued command to expand:"), std::string::npos);
    EXPECT_NE(trace.find("extractJvm ok: true"), std::string::npos);
}

TEST(ExtractJvm, ExistingFilesInTheWindowsDirectoryStay) {
    Package package;
    package.archive("version=1.6.0_31\nmsvcrt=1\n");
    writeFile(package.windows + "\\javaw.exe", "mine");
    writeFile(package.windows + "\\system\\msvcrt.dll", "system's own");
    ASSERT_TRUE(extract(package).ok);
    EXPECT_EQ(readFile(package.windows + "\\javaw.exe"), "mine");
    EXPECT_EQ(readFile(package.windows + "\\system\\msvcrt.dll"), "system's own");
    EXPECT_TRUE(exists(package.windows + "\\java.exe"));
}

TEST(ExtractJvm, NoCopiesWhenAnotherVersionIsCurrent) {
    Package package;
    package.archive("version=1.6.0_31\n");
    package.registry.set(JreKey, "CurrentVersion", "1.5");
    ASSERT_TRUE(extract(package).ok);
    EXPECT_FALSE(exists(package.windows + "\\java.exe"));
    EXPECT_EQ(package.registry.get(JreKey, "CurrentVersion"), "1.5");
}

TEST(ExtractJvm, JvmHomeInsideTheDirectory) {
    Package package;
    package.archive("version=1.6.0\nhome=jre\n");
    Extraction result = extract(package, "", "./jre");
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.path, package.programFiles + "\\JavaSoft\\JRE1.6\\1.6.0\\jre\\bin\\java.exe");
}

TEST(ExtractJvm, OldProgramNameBecomesTheNewOne) {
    // jre.exe asked for, only java.exe and javaw.exe expanded: javaw.exe
    // while the launcher's own trace marker exists, java.exe otherwise.
    for (bool marker : {true, false}) {
        Package package;
        package.archive("version=1.6.0\n");
        if (marker) writeFile(package.dir.file("jinstall.sem"), "");
        Extraction result = extract(package, "", "", "jre.exe");
        ASSERT_TRUE(result.ok) << marker;
        const char* expected = marker ? "javaw.exe" : "java.exe";
        EXPECT_EQ(result.command, expected);
        EXPECT_EQ(result.path,
                  package.programFiles + "\\JavaSoft\\JRE1.6\\1.6.0\\bin\\" + expected);
    }
}

TEST(ExtractJvm, AppDirJvmIsNeitherRegisteredNorCopied) {
    Package package;
    package.archive("version=1.6.0\n");
    Extraction result = extract(package, "[$AppDir]\\anything");
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.installed);
    EXPECT_EQ(result.path, package.dir.file("jvm\\bin\\java.exe"));
    EXPECT_FALSE(package.registry.hasKey("SOFTWARE\\JavaSoft"));
    EXPECT_FALSE(exists(package.windows + "\\java.exe"));
}

TEST(ExtractJvm, DiscoveredJvmIsUsedWithoutExpanding) {
    Package package;
    package.archive("version=1.6.0\n");
    installJvmHome(package.programFiles + "\\JavaSoft\\JRE1.6\\1.6.0", "1.6.0_31");
    Extraction result = extract(package);
    ASSERT_TRUE(result.ok);
    EXPECT_FALSE(result.installed);
    EXPECT_TRUE(result.discovered);
    EXPECT_EQ(package.runs(), "");
}

TEST(ExtractJvm, ExpandedJvmOfAnotherVersionIsRefused) {
    Package package;
    package.archive("version=1.5.0_22\n");
    Extraction result = extract(package);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.installed);
    EXPECT_NE(package.runs(), "");
    EXPECT_NE(package.trace().find("extractJvm ok: false"), std::string::npos);
}

TEST(ExtractJvm, MissingCompressedJvm) {
    Package package;
    Extraction result = extract(package);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(package.trace().find("Compressed JVM does *not* exist:  " +
                                   package.dir.file("jre-win.exe")),
              std::string::npos);
    EXPECT_NE(package.trace().find("unable to expand"), std::string::npos);
    EXPECT_STRCASEEQ(currentDir().c_str(), package.dir.path().c_str());
}

TEST(ExtractJvm, ExpandedJvmWithoutItsProgram) {
    Package package;
    package.archive("version=1.6.0\nprograms=other.exe\n");
    EXPECT_FALSE(extract(package).ok);
    std::string errors = logText(package.dir.file("errors.log").c_str());
    EXPECT_NE(errors.find("Unable to find JVM executable"), std::string::npos);
    EXPECT_NE(errors.find("Unable to configure JVM in"), std::string::npos);
}

TEST(ExtractJvm, CompressedJvmCommand) {
    ScratchDir dir;
    writeFile(dir.file("jre-win.exe"), "");
    ExtractJvm extractJvm;
    char command[PathBufferSize];
    // Only "/" separates: the file is looked for in the work directory.
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jvm/jre-win.exe", command));
    EXPECT_EQ(std::string(command), dir.file("jre-win.exe"));
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jre-win.exe", command));
    EXPECT_FALSE(extractJvm.getJvmInstallerCommand("jvm/missing.exe", command));

    // A work directory with a blank: the short form, without blanks.
    makeDirs(dir.file("with blank"));
    writeFile(dir.file("with blank\\jre-win.exe"), "");
    _chdir(dir.file("with blank").c_str());
    EXPECT_TRUE(extractJvm.getJvmInstallerCommand("jvm/jre-win.exe", command));
    _chdir(dir.path().c_str());
    EXPECT_EQ(std::string(command).find(' '), std::string::npos) << command;
    EXPECT_TRUE(exists(command)) << command;

    // Regression: a path that kept its blank was put in double quotes, and
    // a quoted program path cannot be started. (The short form has no blank
    // under Wine; a missing file has no short form and keeps it.)
    _chdir(dir.file("with blank").c_str());
    EXPECT_FALSE(extractJvm.getJvmInstallerCommand("jvm/missing.exe", command));
    _chdir(dir.path().c_str());
    EXPECT_EQ(std::string(command), dir.file("with blank\\missing.exe"));
}
