// Install clean-up on real files, for the lines and names that must never
// lead to a wrong deletion or copy: overlong lines, the directories a
// temporary JVM directory must never be, and start directories that get no
// log copies. The clean-up of a whole run, manifest names included, is shown
// end to end (tests/e2e/test_cleanup.py).
//
// Each test works in "work" below a scratch directory, so that files
// outside the work directory can be planted beside it.
#include "install/installer.h"
#include "base/strbuf.h"
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
    std::vector<std::string> trace() const { return logLines(file("jinstall.log")); }

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

// A temporary JVM is deleted only when the properties say so in full; the
// deletion itself is shown end to end.
TEST(CleanUpJvmDir, TemporaryJvmStaysUnlessNamedInFull) {
    const std::string cases[] = {
        "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=true \n",  // trailing blank
        "nativeJvmHomeDir=jvm\nnativeJvmInstalledInTemp=true\n",      // relative
        // Regression: a properties line longer than the line buffer was
        // read in pieces, and a piece could pass for a key of its own.
        "nativeJvmHomeDir=$S/jvm\nnativeJvmInstalledInTemp=false\n" + std::string(998, 'x') +
            "nativeJvmInstalledInTemp=true\n",
    };
    for (std::string text : cases) {
        WorkDir work;
        std::unique_ptr<Install> install = makeInstall();
        ASSERT_TRUE(install);
        makeJvm(work.file("jvm"));
        for (size_t at; (at = text.find("$S")) != std::string::npos;)
            text.replace(at, 2, slashes(work.path()));
        work.write("native.properties", text);
        install->cleanUpJvmDir();
        EXPECT_TRUE(exists(work.file("jvm\\bin\\java.exe"))) << text.substr(0, 80);
    }
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
        install->setHomeDirectory(home.c_str());
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
