// Install clean-up on real files: the package manifest, the trace file after
// good and failed runs, the temporary JVM of "native.properties" (and the
// directories it must never delete), the error log, the write probe and the
// copies of the logs in the start directory.
//
// Each test works in "work" below a scratch directory, so that files
// outside the work directory can be planted beside it.
#include "install/installer.h"
#include "base/strbuf.h"
#include "provision_support.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <string.h>
#include <new>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string slashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string upper(std::string text) {
    for (char& c : text) c = (char)toupper((unsigned char)c);
    return text;
}

// The work directory of one test, current while the test runs.
class WorkDir {
public:
    WorkDir() : work(scratch.file("work")) {
        _mkdir(work.c_str());
        _chdir(work.c_str());
    }
    ~WorkDir() { _chdir(scratch.path().c_str()); }
    std::string file(const std::string& name) const { return work + "\\" + name; }
    std::string outside(const std::string& name) const { return scratch.file(name.c_str()); }
    const std::string& path() const { return work; }
    const std::string& parent() const { return scratch.path(); }
    void write(const std::string& name, const std::string& content) const {
        writeFile(file(name), content);
    }
    std::vector<std::string> trace() const {
        std::vector<std::string> texts;
        std::string content = readFile(file("jinstall.log"));
        size_t start = 0;
        while (start < content.size()) {
            size_t end = content.find("\r\n", start);
            if (end == std::string::npos) end = content.size();
            std::string line = content.substr(start, end - start);
            texts.push_back(line.size() >= 25 ? line.substr(25) : line);
            start = end + 2;
        }
        return texts;
    }
    bool traced(const std::string& text) const {
        for (const std::string& t : trace())
            if (t == text) return true;
        return false;
    }

private:
    ScratchDir scratch;
    std::string work;
};

std::unique_ptr<Install> makeInstall() {
    std::unique_ptr<Install> install(new (std::nothrow) Install);
    if (install) install->setQuietMode(true);
    return install;
}

// A small JVM tree: home\bin\java.exe, home\lib\rt.jar, home\lib\ext\x.jar.
void makeJvm(const std::string& home) {
    _mkdir(home.c_str());
    _mkdir((home + "\\bin").c_str());
    _mkdir((home + "\\lib").c_str());
    _mkdir((home + "\\lib\\ext").c_str());
    writeFile(home + "\\bin\\java.exe", "MZ");
    writeFile(home + "\\lib\\rt.jar", "PK");
    writeFile(home + "\\lib\\ext\\x.jar", "PK");
}

}  // namespace

TEST(CleanUpManifest, DeletesNamedFilesInsideTheWorkDirectoryOnly) {
    WorkDir work;
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    _mkdir(work.file("META-INF").c_str());
    _mkdir(work.file("sub").c_str());
    _mkdir(work.file("long").c_str());
    struct Case {
        std::string line;    // as written in the manifest
        std::string file;    // planted before
        bool deleted;
    } cases[] = {
        {"Name: plain.txt\r\n", work.file("plain.txt"), true},
        {"Name: sub/slashed.txt\r\n", work.file("sub\\slashed.txt"), true},
        {"Name: sub\\back.txt\n", work.file("sub\\back.txt"), true},
        {"Name: blanks.txt   \r\n", work.file("blanks.txt"), true},
        {"Name:tight.txt\r\n", work.file("tight.txt"), false},
        {"name: lower.txt\r\n", work.file("lower.txt"), false},
        // A long name wrapped onto a continuation line (one leading blank).
        {"Name: long/wrapped-na\r\n me.txt\r\n", work.file("long\\wrapped-name.txt"), true},
        {"", work.file("long\\wrapped-na"), false},
        // Names that leave the work directory are refused.
        {"Name: ../outside1.txt\r\n", work.outside("outside1.txt"), false},
        {"Name: sub/../../outside2.txt\r\n", work.outside("outside2.txt"), false},
        {"Name: " + work.outside("outside3.txt") + "\r\n", work.outside("outside3.txt"), false},
        {"Name: " + slashes(work.outside("outside4.txt")) + "\r\n", work.outside("outside4.txt"),
         false},
        {"Name: " + work.outside("outside5.txt").substr(0, 2) +
             work.outside("outside5.txt").substr(3) + "\r\n",
         work.outside("outside5.txt"), false},
        {"Name: \\\\?\\" + work.outside("outside6.txt") + "\r\n", work.outside("outside6.txt"),
         false},
        {"Name: " + work.outside("outside7.txt").substr(2) + "\r\n", work.outside("outside7.txt"),
         false},
        {"Name: .. /outside8.txt\r\n", work.outside("outside8.txt"), false},
        {"Name: plain.txt:stream\r\n", work.file("kept.txt"), false},
        // Regression: a line longer than the line buffer was read in pieces,
        // and a piece that began with "Name: " deleted the file it named.
        {std::string(999, 'x') + "Name: victim.txt\r\n", work.file("victim.txt"), false},
        {"Name: " + std::string(1200, 'v') + "\r\n", work.file("kept2.txt"), false},
    };
    std::string manifest;
    for (const Case& c : cases) {
        manifest += c.line;
        writeFile(c.file, "x");
    }
    manifest += "Name: last.txt";  // no line end at all
    writeFile(work.file("last.txt"), "x");
    work.write("META-INF\\MANIFEST.MF", manifest);
    work.write("install.jar", "PK");

    install->cleanUpManifest(0);
    for (const Case& c : cases) EXPECT_EQ(exists(c.file), !c.deleted) << c.line.substr(0, 80);
    EXPECT_FALSE(exists(work.file("last.txt")));
    EXPECT_FALSE(exists(work.file("META-INF")));
    EXPECT_FALSE(exists(work.file("install.jar")));
    EXPECT_FALSE(exists(work.file("jinstall.log")));  // tracing was off: nothing traced
}

TEST(CleanUpManifest, NonEmptyManifestDirectoryStaysAndNoManifestStillDeletesTheWizard) {
    WorkDir work;
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    _mkdir(work.file("META-INF").c_str());
    work.write("META-INF\\MANIFEST.MF", "Manifest-Version: 1.0\r\n");
    work.write("META-INF\\INDEX.LIST", "x");
    work.write("install.jar", "PK");
    install->cleanUpManifest(1);
    EXPECT_FALSE(exists(work.file("META-INF\\MANIFEST.MF")));
    EXPECT_TRUE(exists(work.file("META-INF\\INDEX.LIST")));
    EXPECT_FALSE(exists(work.file("install.jar")));

    work.write("install.jar", "PK");
    remove(work.file("META-INF\\INDEX.LIST").c_str());
    install->cleanUpManifest(1);
    EXPECT_FALSE(exists(work.file("META-INF")));
    EXPECT_FALSE(exists(work.file("install.jar")));
}

// The trace file goes only when the launcher made it and the run went well;
// a kept launcher trace ends with the run's outcome.
TEST(CleanUpManifest, TraceFileByOriginAndOutcome) {
    struct Case {
        bool marker;
        unsigned char succeeded;
        bool traceKept;
        bool outcomeTraced;
    } cases[] = {
        {true, 1, false, false},
        {true, 0, true, true},
        {false, 1, true, false},
        {false, 0, true, false},
    };
    for (const Case& c : cases) {
        WorkDir work;
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        work.write("jinstall.log", "");
        if (c.marker) work.write("jinstall.sem", "");
        install->cleanUpManifest(c.succeeded);
        EXPECT_FALSE(exists(work.file("jinstall.sem")));
        EXPECT_EQ(exists(work.file("jinstall.log")), c.traceKept) << c.marker << c.succeeded;
        std::vector<std::string> trace = work.trace();
        EXPECT_EQ(!trace.empty() && trace.back() == "install ok: false", c.outcomeTraced)
            << c.marker << (int)c.succeeded;
    }
}

TEST(CleanUpJvmDir, DeletesTemporaryJvmTree) {
    struct Case {
        const char* name;
        std::string properties;  // $W stands for the work directory, $S with slashes
        bool homeDeleted;
        bool tempDeleted;
    } cases[] = {
        {"home, slashes, TRUE", "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=TRUE\n", true,
         false},
        {"escaped colon", "nativeJvmHomeDir=$E/jvm\r\nnativeJvmInstalledInTemp=true\r\n", true,
         false},
        {"temp dir apart from home",
         "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=true\nnativeTempJvmDir=$S/temp\n",
         false, true},
        {"later line overrides",
         "nativeJvmInstalledInTemp=true\nnativeJvmHomeDir=$S/none\nnativeJvmHomeDir=$S/jvm\n", true,
         false},
        {"not in temp", "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=false\n", false, false},
        {"no temp flag", "nativeJvmHomeDir=$S/jvm\n", false, false},
        {"trailing blank", "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=true \n", false,
         false},
        // Doubled backslashes are dropped, leaving a drive-relative path.
        {"doubled backslashes", "nativeJvmHomeDir=$D\\\\jvm\nnativeJvmInstalledInTemp=true\n",
         false, false},
        {"relative", "nativeJvmHomeDir=jvm\nnativeJvmInstalledInTemp=true\n", false, false},
        // Regression: a properties line longer than the line buffer was
        // read in pieces, and a piece could pass for a key of its own.
        {"long line", "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=false\n" +
                          std::string(998, 'x') + "nativeJvmInstalledInTemp=true\n",
         false, false},
    };
    for (const Case& c : cases) {
        WorkDir work;
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        work.write("jinstall.log", "");
        makeJvm(work.file("jvm"));
        makeJvm(work.file("temp"));
        std::string text = c.properties;
        auto replace = [&](const std::string& from, const std::string& to) {
            for (size_t at; (at = text.find(from)) != std::string::npos;)
                text.replace(at, from.size(), to);
        };
        std::string escaped = slashes(work.path());
        escaped.insert(1, "\\");
        replace("$S", slashes(work.path()));
        replace("$E", escaped);
        replace("$D", [&] {
            std::string d;
            for (char ch : work.path()) d += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
            return d;
        }());
        work.write("native.properties", text);
        install->cleanUpJvmDir();
        EXPECT_EQ(!exists(work.file("jvm")), c.homeDeleted) << c.name;
        EXPECT_EQ(!exists(work.file("temp")), c.tempDeleted) << c.name;
        EXPECT_TRUE(exists(work.file("native.properties"))) << c.name;
    }
}

TEST(CleanUpJvmDir, TracesWhatItReadAndAnUndeletableDirectory) {
    WorkDir work;
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    work.write("jinstall.log", "");
    std::string missing = work.file("missing");
    work.write("native.properties",
               "nativeJvmHomeDir=" + slashes(work.file("jvm")) + "\nnativeJvmInstalledInTemp=TRUE\n"
               "nativeTempJvmDir=" + slashes(missing) + "\nconfigureWinRegistry=no\n");
    install->cleanUpJvmDir();
    std::vector<std::string> trace = work.trace();
    std::vector<std::string> expected = {
        "jvmLocation " + work.file("jvm"),
        "jvmInstalledInTemp TRUE",
        "tempJvmDir " + missing,
        "configureReg: false",
        "Warning: Unable to delete " + missing,
    };
    EXPECT_EQ(trace, expected);
}

// The directories a temporary JVM directory must never be: the work
// directory (however it is spelt) and any directory above it, a drive root,
// the Windows directory and any directory above it.
TEST(CleanUpJvmDir, RefusesProtectedDirectories) {
    WorkDir work;
    std::string home = work.outside("windows");
    makeJvm(home);
    makeJvm(work.file("jvm"));
    char shortWork[MAX_PATH] = "";
    GetShortPathNameA(work.path().c_str(), shortWork, MAX_PATH);
    std::string workSlashes = slashes(work.path());
    std::string doubled = workSlashes;
    doubled.insert(3, "/");
    const std::string temps[] = {
        workSlashes,
        upper(workSlashes) + "/",
        doubled,
        slashes(shortWork),
        workSlashes + "/.",
        workSlashes + "/jvm/..",
        slashes(work.parent()),
        "C:/",
        "C:",
        "//server/share",
        slashes(home),
        slashes(home) + "/",
    };
    for (const std::string& temp : temps) {
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        copyText(install->homeDirectory, home.c_str());
        work.write("jinstall.log", "");
        work.write("marker.txt", "x");
        work.write("native.properties", "nativeJvmHomeDir=" + slashes(work.file("jvm")) +
                                            "\nnativeJvmInstalledInTemp=true\n"
                                            "nativeTempJvmDir=" + temp + "\n");
        install->cleanUpJvmDir();
        EXPECT_TRUE(exists(work.file("marker.txt"))) << temp;
        EXPECT_TRUE(exists(work.file("jvm\\bin\\java.exe"))) << temp;
        EXPECT_TRUE(exists(home + "\\lib\\ext\\x.jar")) << temp;
        std::vector<std::string> trace = work.trace();
        bool refused = false;
        for (const std::string& line : trace)
            if (line.rfind("not deleting temporary jvm directory ", 0) == 0) refused = true;
        EXPECT_TRUE(refused) << temp;
        remove(work.file("jinstall.log").c_str());
    }
}

// The JVM that "native.properties" names is configured (and entered into a
// stand-in registry) before the temporary directory goes, unless the
// properties or the control file say otherwise.
TEST(CleanUpJvmDir, RegistrationOnlyForAJvmThatStays) {
    static const char Configured[] = "about to configure jvm 1.6.0";
    struct Case {
        const char* name;
        std::string properties;  // $S: the work directory with slashes
        const char* predefined;  // predefinedJvmInstallDir
        std::string expected;    // trace line of the decision; $W: the work directory
    } cases[] = {
        {"temp dir apart", "nativeJvmHomeDir=$S/jvm\nnativeTempJvmDir=$S/temp\n", "",
         Configured},
        {"registry yes",
         "nativeJvmHomeDir=$S/jvm\nnativeTempJvmDir=$S/temp\nconfigureWinRegistry=YES\n", "",
         Configured},
        {"registry no",
         "nativeJvmHomeDir=$S/jvm\nnativeTempJvmDir=$S/temp\nconfigureWinRegistry=no\n", "",
         "configureReg: false"},
        {"work directory jvm", "nativeJvmHomeDir=$S/jvm\nnativeTempJvmDir=$S/temp\n",
         "[$AppDir]\\jre", "not adding reg entries [$AppDir]\\jre"},
        // The JVM is the temporary one itself, or lies in it: entries for it
        // would point at a deleted directory.
        {"home is temp", "nativeJvmHomeDir=$S/jvm\n", "",
         "not adding reg entries for a jvm being deleted $W\\jvm"},
        {"home inside temp", "nativeJvmHomeDir=$S/temp/lib\nnativeTempJvmDir=$S/temp\n",
         "C:\\Java", "not adding reg entries for a jvm being deleted $W\\temp\\lib"},
        // Regression: without a version (the control file unread) the JVM
        // was entered under an empty version key.
        {"no version", "nativeJvmHomeDir=$S/jvm\nnativeTempJvmDir=$S/temp\n", "",
         "not adding reg entries without a jvm version $W\\jvm"},
    };
    for (const Case& c : cases) {
        WorkDir work;
        RegistrySandbox registry;
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        copyText(install->predefinedJvmInstallDir, c.predefined);
        copyText(install->jvmVersion, strcmp(c.name, "no version") == 0 ? "" : "1.6.0");
        copyText(install->jvmName, "JRE");
        copyText(install->jvmCommandName, "java.exe");
        _mkdir(work.outside("win").c_str());
        copyText(install->homeDirectory, work.outside("win").c_str());
        work.write("jinstall.log", "");
        makeJvm(work.file("jvm"));
        makeJvm(work.file("temp"));
        auto fill = [&](std::string text) {
            for (size_t at; (at = text.find("$S")) != std::string::npos;)
                text.replace(at, 2, slashes(work.path()));
            for (size_t at; (at = text.find("$W")) != std::string::npos;)
                text.replace(at, 2, work.path());
            return text;
        };
        work.write("native.properties", "nativeJvmInstalledInTemp=true\n" + fill(c.properties));
        install->cleanUpJvmDir();
        EXPECT_TRUE(work.traced(fill(c.expected))) << c.name << ": " << fill(c.expected);
        bool configured = c.expected == Configured;
        EXPECT_EQ(work.traced("configureJvm ok: true"), configured) << c.name;
        std::string jre = std::string(JreKey) + "\\1.6";
        EXPECT_EQ(registry.hasKey(jre), configured) << c.name;
        EXPECT_EQ(registry.hasKey(JreKey), configured) << c.name;
        if (configured) {
            std::string home = work.file("jvm");
            for (char& ch : home) ch = (char)tolower((unsigned char)ch);
            EXPECT_EQ(registry.get(jre, "JavaHome"), home) << c.name;
        }
        bool homeIsTemp = c.properties.find("nativeTempJvmDir") == std::string::npos;
        EXPECT_FALSE(exists(work.file(homeIsTemp ? "jvm" : "temp"))) << c.name;
    }
}

TEST(CleanUpErrorsLog, EmptyLogIsDeleted) {
    WorkDir work;
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    install->cleanUpErrorsLog();
    EXPECT_FALSE(exists(work.file("errors.log")));
    work.write("errors.log", "");
    install->cleanUpErrorsLog();
    EXPECT_FALSE(exists(work.file("errors.log")));
    work.write("errors.log", "x\r\n");
    install->cleanUpErrorsLog();
    EXPECT_EQ(readFile(work.file("errors.log")), "x\r\n");
}

TEST(CleanUpLogFiles, WriteProtectionProbe) {
    WorkDir work;
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    _mkdir(work.file("open").c_str());
    _mkdir(work.file("blocked").c_str());
    _mkdir(work.file("blocked\\__kivtest.zos").c_str());
    work.write("file.txt", "x");
    struct Case {
        std::string dir;
        bool writeProtected;
    } cases[] = {
        {"", true},
        {work.file("open"), false},
        {work.file("open") + "\\", false},
        {work.file("missing"), true},
        {work.file("file.txt"), true},
        {work.file("blocked"), true},
        {work.file(std::string(6000, 'd')), true},
    };
    for (const Case& c : cases) {
        std::vector<char> dir(c.dir.begin(), c.dir.end());
        dir.push_back('\0');
        EXPECT_EQ(install->isDirWriteProtected(dir.data()), c.writeProtected)
            << c.dir.substr(0, 80);
    }
    EXPECT_FALSE(exists(work.file("open\\__kivtest.zos")));
    EXPECT_TRUE(exists(work.file("blocked\\__kivtest.zos")));
}

TEST(CleanUpLogFiles, AppendsLogsToStartDirectory) {
    WorkDir work;
    std::string start = work.outside("start");
    _mkdir(start.c_str());
    writeFile(start + "\\install.log", "earlier\r\n");
    for (int run = 0; run < 2; ++run) {
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        work.write("startdir.txt", start + "  \r\n");
        work.write("install.log", "run\r\n");
        work.write("errors.log", "failure\r\n");
        work.write("kivpand.log", "");
        work.write("notes.txt", "x");
        install->cleanUpLogFiles();
    }
    EXPECT_EQ(readFile(start + "\\install.log"), "earlier\r\nrun\r\nrun\r\n");
    EXPECT_EQ(readFile(start + "\\errors.log"), "failure\r\nfailure\r\n");
    EXPECT_FALSE(exists(start + "\\kivpand.log"));
    EXPECT_FALSE(exists(start + "\\notes.txt"));
    EXPECT_FALSE(exists(start + "\\jinstall.log"));  // no trace file in this work directory
    EXPECT_TRUE(exists(work.file("startdir.txt")));  // deleted by cleanUp, not here

    std::unique_ptr<Install> install = makeInstall();
    work.write("kivpand.log", "expanded\r\n");
    install->cleanUpLogFiles();
    EXPECT_EQ(readFile(start + "\\kivpand.log"), "expanded\r\n");
}

TEST(CleanUpLogFiles, StartDirectoriesThatGetNoCopies) {
    WorkDir work;
    std::string start = work.outside("start");
    _mkdir(start.c_str());
    char shortWork[MAX_PATH] = "";
    GetShortPathNameA(work.path().c_str(), shortWork, MAX_PATH);
    const std::string lines[] = {
        upper(work.path()) + "\r\n",
        work.path() + "\\\r\n",
        shortWork,
        work.outside("missing") + "\r\n",
        "",
        "\r\n",
        // Regression: a first line longer than the buffer was cut, and the
        // cut text named another directory.
        start + "\\" + std::string(5200, 'x'),
    };
    for (const std::string& line : lines) {
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        work.write("startdir.txt", line);
        work.write("install.log", "run\r\n");
        install->cleanUpLogFiles();
        EXPECT_EQ(readFile(work.file("install.log")), "run\r\n") << line.substr(0, 80);
        EXPECT_FALSE(exists(start + "\\install.log")) << line.substr(0, 80);
        EXPECT_FALSE(exists(work.outside("install.log"))) << line.substr(0, 80);
    }
}

TEST(CleanUpLogFiles, WriteProtectedStartDirectorySendsLogsHome) {
    WorkDir work;
    std::string start = work.outside("start");
    std::string home = work.outside("home");
    _mkdir(start.c_str());
    _mkdir((start + "\\__kivtest.zos").c_str());
    _mkdir(home.c_str());
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    copyText(install->homeDirectory, home.c_str());
    work.write("startdir.txt", start + "\r\n");
    work.write("jinstall.log", "");
    work.write("errors.log", "failure\r\n");
    install->cleanUpLogFiles();
    EXPECT_EQ(readFile(home + "\\errors.log"), "failure\r\n");
    EXPECT_TRUE(exists(home + "\\jinstall.log"));
    EXPECT_FALSE(exists(start + "\\errors.log"));
    EXPECT_TRUE(work.traced("copying log files to " + home));

    // Both write-protected: the copy goes to the start directory (here a
    // file, so it fails).
    _mkdir((home + "\\__kivtest.zos").c_str());
    writeFile(work.outside("plainfile"), "x");
    work.write("startdir.txt", work.outside("plainfile") + "\r\n");
    install->cleanUpLogFiles();
    EXPECT_TRUE(work.traced("copying log files to " + work.outside("plainfile")));
    EXPECT_TRUE(work.traced("unable to copy log file " + work.outside("plainfile") +
                            "\\errors.log"));
}

// A good run whose trace file the launcher created leaves no trace file
// anywhere, and the whole clean-up leaves only what the package keeps.
TEST(CleanUp, SuccessfulRunLeavesNoTraceFile) {
    WorkDir work;
    std::string start = work.outside("start");
    _mkdir(start.c_str());
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    work.write("jinstall.log", "");
    work.write("jinstall.sem", "");
    work.write("errors.log", "");
    work.write("kivpand.log", "expanded\r\n");
    work.write("startdir.txt", start + "\r\n");
    work.write("changes.txt", "C:\\windows\\x\r\n");
    work.write("native.properties", "nativeJvmHomeDir=C:/jre\nnativeJvmInstalledInTemp=false\n");
    work.write("install.jar", "PK");
    work.write("kiv.control", "x=y\n");
    install->cleanUp(1);
    for (const char* name : {"jinstall.log", "jinstall.sem", "errors.log", "startdir.txt",
                             "changes.txt", "native.properties", "install.jar"})
        EXPECT_FALSE(exists(work.file(name))) << name;
    EXPECT_TRUE(exists(work.file("kiv.control")));
    EXPECT_TRUE(exists(work.file("kivpand.log")));
    EXPECT_FALSE(exists(start + "\\jinstall.log"));
    EXPECT_FALSE(exists(start + "\\errors.log"));
    EXPECT_EQ(readFile(start + "\\kivpand.log"), "expanded\r\n");
}

TEST(CleanUp, FailedRunKeepsAndCopiesItsTrace) {
    WorkDir work;
    std::string start = work.outside("start");
    _mkdir(start.c_str());
    std::unique_ptr<Install> install = makeInstall();
    ASSERT_TRUE(install);
    work.write("jinstall.log", "");
    work.write("jinstall.sem", "");
    work.write("errors.log", "failure\r\n");
    work.write("startdir.txt", start + "\r\n");
    install->cleanUp(0);
    EXPECT_FALSE(exists(work.file("jinstall.sem")));
    EXPECT_FALSE(exists(work.file("startdir.txt")));
    std::vector<std::string> trace = work.trace();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], "install ok: false");
    EXPECT_EQ(trace[1], "copying log files to " + start);
    EXPECT_EQ(readFile(start + "\\jinstall.log"), readFile(work.file("jinstall.log")));
    EXPECT_EQ(readFile(start + "\\errors.log"), "failure\r\n");
}
