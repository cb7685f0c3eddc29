// The directory for a new JVM: the directory variables (the Windows folders come from a private
// stand-in for HKEY_LOCAL_MACHINE), and what may be made or deleted there.
#include "jvm/jvminstaller.h"
#include "base/strbuf.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <string.h>

#include <string>

namespace {

// A work directory with tracing on and its own Windows folders.
struct Place {
    ScratchDir dir;
    RegistrySandbox registry;
    Place() { writeFile(dir.file("jinstall.log"), ""); }
    std::string trace() const { return logText(dir.file("jinstall.log").c_str()); }
};

}  // namespace

TEST(JvmInstallerVariables, ResolvedAtTheStartOnly) {
    Place place;
    place.registry.set(WindowsKey, "ProgramFilesDir", place.dir.file("pf"));
    makeDirs(place.dir.file("pf"));
    place.registry.set(WindowsNtKey, "SystemRoot", place.dir.file("win"));
    struct Case {
        std::string requested;
        bool ok;
        std::string out;
        const char* traced;
    } cases[] = {
        {"[$ProgFilesDir]\\MyVm", true, place.dir.file("pf\\MyVm"), "trying to install JVM into"},
        {"[$WinDir]\\Vm\\jre", true, place.dir.file("win\\Vm\\jre"), "installing JVM in"},
        {"[$AppDir]\\anything", true, place.dir.file("jvm"), "installing JVM in"},
        {"[$AppDir]", true, place.dir.file("jvm"), "installing JVM in"},
        {"D:\\plain\\dir", true, "D:\\plain\\dir", "installing JVM in"},
        {"[$ProgFilesDir]\\", false, "", "invalid default jvm install directory"},
        {"[$WinDir]Vm", false, "", "invalid predefined directory for JVM"},
        {"[$Other]\\x", false, "", "unknown variable used to install the JVM"},
        {"[$progfilesdir]\\x", false, "", "unknown variable used to install the JVM"},
    };
    for (const Case& c : cases) {
        JvmInstaller installer;
        char out[PathBufferSize];
        EXPECT_EQ(installer.getNewJvmInstallerTo(c.requested.c_str(), out), c.ok) << c.requested;
        EXPECT_EQ(std::string(out), c.out) << c.requested;
        EXPECT_NE(place.trace().find(c.traced), std::string::npos) << c.requested;
    }
}

TEST(JvmInstallerDirectories, AFileIsNotADirectory) {
    // Regression: a file of the wanted name counted as a created directory, and the JVM would have
    // been installed "into" the file.
    ScratchDir dir;
    writeFile(dir.file("taken"), "");
    JvmInstaller installer;
    char path[PathBufferSize];
    copyText(path, dir.path().c_str());
    EXPECT_FALSE(installer.addDirectory(path, "taken"));
    EXPECT_EQ(std::string(path), dir.path());
    EXPECT_TRUE(installer.addDirectory(path, "made"));
    EXPECT_EQ(std::string(path), dir.file("made"));
    appendText(path, "\\");  // a trailing backslash is not doubled
    EXPECT_TRUE(installer.addDirectory(path, "again"));
    EXPECT_EQ(std::string(path), dir.file("made\\again"));
    // A path that would not fit a path buffer is refused, not cut.
    std::string longName(PathBufferSize, 'x');
    copyText(path, dir.path().c_str());
    EXPECT_FALSE(installer.addDirectory(path, longName.c_str()));
    EXPECT_EQ(std::string(path), dir.path());
}

TEST(JvmInstallerDirectories, DeletesOnlyAnOrdinaryTemporaryJvmTree) {
    // Regression: the old jvm tree was deleted whatever it held, the work directory included (every
    // refused directory: dirguard_test).
    ScratchDir dir;
    JvmInstaller installer;
    makeDirs(dir.file("a\\jvm\\sub"));
    writeFile(dir.file("a\\jvm\\sub\\f.txt"), "");
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));
    EXPECT_FALSE(exists(dir.file("a\\jvm")));
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));  // nothing there
    makeDirs(dir.file("b\\jvm\\work"));
    _chdir(dir.file("b\\jvm\\work").c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("b").c_str()));
    _chdir(dir.path().c_str());
    EXPECT_TRUE(exists(dir.file("b\\jvm\\work")));

    // The package keeps its compressed JVM in the tree (jvm/jre-win.exe): deleting the tree lost
    // the file that was to be run next.
    makeDirs(dir.file("d\\jvm"));
    std::string archive = dir.file("d\\jvm\\jre-win.exe");
    writeFile(archive, "");
    installer.keepFile(archive.c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("d").c_str()));
    EXPECT_TRUE(exists(archive));
    installer.keepFile(nullptr);
}
