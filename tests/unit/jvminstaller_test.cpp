// The directory for a new JVM: the order of places, the directory variables,
// discovery of a JVM already there, and the system-folder lookups. The
// Windows folders come from a private stand-in for HKEY_LOCAL_MACHINE, so
// that every candidate place lies in the test's scratch directory.
#include "jvm/jvminstaller.h"
#include "base/strbuf.h"
#include "provision_support.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <string.h>

#include <string>

namespace {

struct Request {
    std::string required = "1.6";
    std::string minimum;
    std::string maximum;
    std::string version = "1.6.0";
    std::string name = "JRE";
    std::string command = "java.exe";
    std::string predefined;
};

struct Chosen {
    bool ok;
    std::string dir;
    std::string path;
    std::string command;
    bool discovered;
};

struct Buffers {
    char required[VersionBufferSize], minimum[VersionBufferSize], maximum[VersionBufferSize];
    char version[VersionBufferSize], name[VersionBufferSize], command[PathBufferSize];
    char predefined[PathBufferSize], dir[PathBufferSize], path[PathBufferSize];
    explicit Buffers(const Request& r) {
        copyText(required, r.required.c_str());
        copyText(minimum, r.minimum.c_str());
        copyText(maximum, r.maximum.c_str());
        copyText(version, r.version.c_str());
        copyText(name, r.name.c_str());
        copyText(command, r.command.c_str());
        copyText(predefined, r.predefined.c_str());
        dir[0] = path[0] = '\0';
    }
};

Chosen choose(JvmInstaller& installer, const Request& request) {
    Buffers b(request);
    bool ok = installer.createJvmDirectory(b.required, b.minimum, b.maximum, b.version, b.name,
                                           b.command, b.predefined, b.dir, b.path);
    return {ok, b.dir, b.path, b.command, installer.isJvmDiscovered()};
}

Chosen choose(const Request& request, const std::string& home = "") {
    JvmInstaller installer;
    installer.setHomeDirectory(home.c_str());
    return choose(installer, request);
}

// A work directory whose test runs are real: the stub JVMs write the
// version they report when they find the test class.
struct Place {
    ScratchDir dir;
    RegistrySandbox registry;
    Place() {
        placeTestClass();
        writeFile(dir.file("jinstall.log"), "");
    }
    // Program Files (created) and the Windows directory for the lookups.
    void programFiles(const std::string& value, bool create = true) {
        registry.set(WindowsKey, "ProgramFilesDir", value);
        if (create) makeDirs(value);
    }
    void windows(const std::string& value) { registry.set(WindowsNtKey, "SystemRoot", value); }
    std::string trace() const { return logText(dir.file("jinstall.log").c_str()); }
};

}  // namespace

TEST(JvmInstallerFolders, RealSystemFolders) {
    ScratchDir dir;
    JvmInstaller installer;
    char folder[PathBufferSize];
    char expected[MAX_PATH];
    EXPECT_TRUE(installer.isWinNT());
    ASSERT_TRUE(installer.getWindowsDirectory(folder));
    GetWindowsDirectoryA(expected, MAX_PATH);
    EXPECT_STRCASEEQ(folder, expected);
    ASSERT_TRUE(installer.getProgramFilesDirectory(folder));
    EXPECT_STRCASEEQ(folder, "C:\\Program Files");
    ASSERT_TRUE(installer.getDocumentsDirectory(folder));
    EXPECT_TRUE(isDirectory(folder)) << folder;
    // Wine presents itself as Vista or later: Program Files is probed, and the
    // probe does not stay behind.
    EXPECT_TRUE(installer.isVistaOrWindows7());
    ASSERT_TRUE(installer.getProgramsDirectory(folder));
    EXPECT_STRCASEEQ(folder, "C:\\Program Files");
    EXPECT_FALSE(exists("C:\\Program Files\\__test__zos"));
}

TEST(JvmInstallerFolders, WindowsDirectorySourcesInOrder) {
    struct Case {
        const char* key;
        const char* value;
    };
    const char* ntSetup = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SETUP";
    const char* setup = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SETUP";
    // Each row adds a source of higher rank; the newest row's value wins.
    Case rows[] = {{setup, "C:\\from-setup"},
                   {ntSetup, "C:\\from-nt-setup"},
                   {WindowsNtKey, nullptr},  // WinDir
                   {WindowsNtKey, nullptr},  // PathName
                   {WindowsNtKey, nullptr}}; // SystemRoot
    const char* ntNames[] = {"WinDir", "PathName", "SystemRoot"};
    RegistrySandbox registry;
    JvmInstaller installer;
    char dir[PathBufferSize];
    EXPECT_FALSE(installer.getWindowsDirectory(dir));
    EXPECT_STREQ(dir, "");
    for (int i = 0; i < 5; ++i) {
        std::string value = rows[i].value ? rows[i].value : std::string("C:\\nt-") + ntNames[i - 2];
        registry.set(rows[i].key, rows[i].value ? "WinDir" : ntNames[i - 2], value);
        ASSERT_TRUE(installer.getWindowsDirectory(dir)) << i;
        EXPECT_EQ(std::string(dir), value) << i;
    }
}

TEST(JvmInstallerFolders, ProgramFilesFromTheFirstKeyThatOpens) {
    RegistrySandbox registry;
    JvmInstaller installer;
    char dir[PathBufferSize];
    // No key at all: the literal C:\Program Files when it exists.
    ASSERT_TRUE(installer.getProgramFilesDirectory(dir));
    EXPECT_STREQ(dir, "C:\\Program Files");
    // The NT key alone has the value: it is read.
    registry.set(WindowsNtKey, "ProgramFilesDir", "C:\\nt-programs");
    ASSERT_TRUE(installer.getProgramFilesDirectory(dir));
    EXPECT_STREQ(dir, "C:\\nt-programs");
    // The first key opens without the value: the second is not looked at.
    registry.set(WindowsKey, "Other", "x");
    EXPECT_FALSE(installer.getProgramFilesDirectory(dir));
    EXPECT_STREQ(dir, "");
    registry.set(WindowsKey, "ProgramFilesDir", "C:\\programs");
    ASSERT_TRUE(installer.getProgramFilesDirectory(dir));
    EXPECT_STREQ(dir, "C:\\programs");
}

TEST(JvmInstallerFolders, UnwritableProgramFilesGivesTheDocumentsFolder) {
    Place place;
    writeFile(place.dir.file("file"), "");
    place.programFiles(place.dir.file("file\\Program Files"), false);
    JvmInstaller installer;
    char dir[PathBufferSize], documents[PathBufferSize];
    ASSERT_TRUE(installer.getDocumentsDirectory(documents));
    ASSERT_TRUE(installer.getProgramsDirectory(dir));
    EXPECT_STREQ(dir, documents);
    EXPECT_NE(place.trace().find("Ok to use Program files subdirectory for jvm: false"),
              std::string::npos);
}

TEST(JvmInstallerVariables, ResolvedAtTheStartOnly) {
    Place place;
    place.programFiles(place.dir.file("pf"));
    place.windows(place.dir.file("win"));
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

TEST(JvmInstallerOrder, PredefinedDirectoryIsCreatedLevelByLevel) {
    Place place;
    place.programFiles(place.dir.file("pf"));
    Request request;
    request.predefined = "[$ProgFilesDir]\\MyVm\\jre";
    Chosen chosen = choose(request);
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("pf\\MyVm\\jre"));
    EXPECT_TRUE(isDirectory(chosen.dir));
    EXPECT_FALSE(chosen.discovered);

    // A directory without a variable is used as written.
    request.predefined = place.dir.file("plain\\vm");
    chosen = choose(request);
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("plain\\vm"));
}

TEST(JvmInstallerOrder, PredefinedDirectoryWithAnAcceptableJvmIsDiscovered) {
    Place place;
    place.programFiles(place.dir.file("pf"));
    installJvmHome(place.dir.file("pf\\MyVm"), "1.6.0_31");
    installJvmHome(place.dir.file("pf\\OldVm"), "1.5.0_22");
    Request request;
    request.predefined = "[$ProgFilesDir]\\MyVm";
    Chosen chosen = choose(request);
    ASSERT_TRUE(chosen.ok);
    EXPECT_TRUE(chosen.discovered);
    EXPECT_EQ(chosen.path, place.dir.file("pf\\MyVm\\bin\\java.exe"));

    // A JVM of another version: the directory is still used, not discovered.
    request.predefined = "[$ProgFilesDir]\\OldVm";
    chosen = choose(request);
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("pf\\OldVm"));
    EXPECT_FALSE(chosen.discovered);
}

TEST(JvmInstallerOrder, InvalidPredefinedDirectoryFallsBackToProgramFiles) {
    const char* invalid[] = {"[$ProgFilesDir]\\", "[$WinDir]Vm", "[$Unknown]\\x",
                             "[$ProgFilesDir]\\afile\\below-a-file"};
    for (const char* predefined : invalid) {
        Place place;
        place.programFiles(place.dir.file("pf"));
        writeFile(place.dir.file("pf\\afile"), "");
        Request request;
        request.predefined = predefined;
        Chosen chosen = choose(request);
        ASSERT_TRUE(chosen.ok) << predefined;
        EXPECT_EQ(chosen.dir, place.dir.file("pf\\JavaSoft\\JRE1.6\\1.6.0")) << predefined;
    }
}

TEST(JvmInstallerOrder, KindAndVersionDirectoriesUnderProgramFiles) {
    struct Case {
        const char* name;
        const char* version;
        const char* dir;
    } cases[] = {
        {"JRE", "1.6.0", "JavaSoft\\JRE1.6\\1.6.0"},
        {"JDK", "1.6.0_20", "JavaSoft\\JDK1.6\\1.6.0_20"},
        {"Java Plug-in", "1.6.0", "JavaSoft\\Java Plug-in1.6\\1.6.0"},
        {"MyVM", "1.6.0", "JVM1.6\\1.6.0"},
        {"jre", "1.6.0", "JVM1.6\\1.6.0"},  // kinds are compared exactly
        {"JRE", "1.4", "JavaSoft\\JRE1.4\\1.4"},
    };
    for (const Case& c : cases) {
        Place place;
        place.programFiles(place.dir.file("pf"));
        Request request;
        request.name = c.name;
        request.version = c.version;
        request.required = c.version;
        Chosen chosen = choose(request);
        ASSERT_TRUE(chosen.ok) << c.name << c.version;
        EXPECT_EQ(chosen.dir, place.dir.file("pf\\") + c.dir) << c.name << c.version;
        EXPECT_TRUE(isDirectory(chosen.dir));
        EXPECT_FALSE(chosen.discovered);
    }
}

TEST(JvmInstallerOrder, KindDirectoryThatCannotBeMadeGivesJavaBase) {
    Place place;
    place.programFiles(place.dir.file("pf"));
    writeFile(place.dir.file("pf\\JavaSoft"), "a file in the way");
    Chosen chosen = choose(Request());
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("pf\\Java1.6\\1.6.0"));
    EXPECT_NE(place.trace().find("Unable to create:  " + place.dir.file("pf")), std::string::npos);
}

TEST(JvmInstallerOrder, VersionDirectoryWithAnAcceptableJvmIsDiscovered) {
    Place place;
    place.programFiles(place.dir.file("pf"));
    installJvmHome(place.dir.file("pf\\JavaSoft\\JRE1.6\\1.6.0"), "1.6.0_31");
    Request request;
    request.command = "jre.exe";  // found under its newer name
    Chosen chosen = choose(request);
    ASSERT_TRUE(chosen.ok);
    EXPECT_TRUE(chosen.discovered);
    EXPECT_EQ(chosen.dir, place.dir.file("pf\\JavaSoft\\JRE1.6\\1.6.0"));
    EXPECT_EQ(chosen.path, place.dir.file("pf\\JavaSoft\\JRE1.6\\1.6.0\\bin\\javaw.exe"));
    EXPECT_EQ(chosen.command, "javaw.exe");
    std::string trace = place.trace();
    EXPECT_NE(trace.find("found a possible directory"), std::string::npos);
    EXPECT_NE(trace.find("discovered jvm: true"), std::string::npos);
}

// The fall-backs below keep every candidate inside the scratch directory: a
// Programs directory named without a drive makes the "drive root" candidate
// the current directory's jvm subtree.
namespace {
struct BlockedPlace : Place {
    BlockedPlace() {
        // Neither JavaSoft\JRE1.6 nor Java1.6 can be made in Program Files.
        programFiles(dir.file("pf"));
        registry.set(WindowsKey, "ProgramFilesDir", "pf");
        writeFile(dir.file("pf\\JavaSoft"), "");
        writeFile(dir.file("pf\\Java1.6"), "");
    }
};
}  // namespace

TEST(JvmInstallerOrder, RefusedJvmInVersionDirectoryLeadsToTheFallBack) {
    Place place;
    place.programFiles(place.dir.file("pf"));
    place.registry.set(WindowsKey, "ProgramFilesDir", "pf");
    installJvmHome(place.dir.file("pf\\JavaSoft\\JRE1.6\\1.6.0"), "1.5.0_22");
    Chosen chosen = choose(Request());
    ASSERT_TRUE(chosen.ok);
    EXPECT_FALSE(chosen.discovered);
    EXPECT_EQ(chosen.dir, "jvm\\jre1.6\\1.6");
    EXPECT_TRUE(isDirectory(place.dir.file("jvm\\jre1.6\\1.6")));
    EXPECT_NE(place.trace().find("doesn't have correct version"), std::string::npos);
}

TEST(JvmInstallerOrder, DriveRootThenWindowsDirectory) {
    BlockedPlace place;
    Chosen chosen = choose(Request(), place.dir.file("win"));
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, "jvm\\jre1.6\\1.6");

    // The drive's jvm subtree cannot be made: the Windows directory's.
    removeTree(place.dir.file("jvm"));
    writeFile(place.dir.file("jvm"), "a file in the way");
    makeDirs(place.dir.file("win"));
    chosen = choose(Request(), place.dir.file("win"));
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("win\\jvm\\jre1.6\\1.6"));
}

TEST(JvmInstallerOrder, ExistingJvmSubtreeIsReusedOrDiscovered) {
    BlockedPlace place;
    // jvm\jre1.6\1.6 exists without a JVM in jvm\jre1.6: jvm\jre1.6\jre1.6.
    makeDirs(place.dir.file("jvm\\jre1.6\\1.6"));
    Chosen chosen = choose(Request());
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, "jvm\\jre1.6\\jre1.6");
    // Both exist: jvm\jre1.6 itself, not discovered.
    chosen = choose(Request());
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, "jvm\\jre1.6");
    EXPECT_FALSE(chosen.discovered);
    // An acceptable JVM in jvm\jre1.6: discovered there.
    installJvmHome(place.dir.file("jvm\\jre1.6"), "1.6.0_31");
    chosen = choose(Request());
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, "jvm\\jre1.6");
    EXPECT_TRUE(chosen.discovered);
}

TEST(JvmInstallerOrder, SearchPathInItsOrder) {
    BlockedPlace place;
    writeFile(place.dir.file("jvm"), "blocks the drive candidate and the empty element");
    writeFile(place.dir.file("homefile"), "");
    writeFile(place.dir.file("p1"), "a file");
    makeDirs(place.dir.file("p2"));
    makeDirs(place.dir.file("p3"));
    TemporarySearchPath path(place.dir.file("p1") + ";;" + place.dir.file("p2") + ";" +
                    place.dir.file("p3"));
    Chosen chosen = choose(Request(), place.dir.file("homefile"));
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("p2\\jvm\\jre1.6\\1.6"));
    EXPECT_FALSE(exists(place.dir.file("p3\\jvm")));
}

TEST(JvmInstallerOrder, WorkDirectoryLastAfterDeletingItsOldJvmTree) {
    BlockedPlace place;
    // An old jvm tree whose jre1.6 is a file: it blocks every earlier
    // relative candidate until the tree is deleted.
    makeDirs(place.dir.file("jvm\\old"));
    writeFile(place.dir.file("jvm\\old\\left.txt"), "");
    writeFile(place.dir.file("jvm\\jre1.6"), "");
    writeFile(place.dir.file("homefile"), "");
    writeFile(place.dir.file("p1"), "");
    TemporarySearchPath path(place.dir.file("p1"));
    Chosen chosen = choose(Request(), place.dir.file("homefile"));
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, place.dir.file("jvm\\jre1.6\\1.6"));
    EXPECT_FALSE(exists(place.dir.file("jvm\\old")));
}

TEST(JvmInstallerOrder, NoPlaceAtAllIsLogged) {
    BlockedPlace place;
    makeDirs(place.dir.file("jvm"));
    writeFile(place.dir.file("jvm\\jre1.6"), "");
    // Read-only: the old tree cannot be deleted.
    SetFileAttributesA(place.dir.file("jvm\\jre1.6").c_str(), FILE_ATTRIBUTE_READONLY);
    writeFile(place.dir.file("homefile"), "");
    writeFile(place.dir.file("p1"), "");
    TemporarySearchPath path(place.dir.file("p1"));
    Chosen chosen = choose(Request(), place.dir.file("homefile"));
    EXPECT_FALSE(chosen.ok);
    EXPECT_NE(logText(place.dir.file("errors.log").c_str()).find(
                  "Unable to create a new directory to install JVM"),
              std::string::npos);
    EXPECT_NE(place.trace().find("createJvmDirectory ok: false"), std::string::npos);
}

TEST(JvmInstallerOrder, DriveRootOfProgramFiles) {
    // The one candidate outside the scratch directory: C:\jvm.
    if (exists("C:\\jvm")) GTEST_SKIP() << "C:\\jvm exists already";
    Place place;
    place.programFiles(place.dir.file("pf"));
    writeFile(place.dir.file("pf\\JavaSoft"), "");
    writeFile(place.dir.file("pf\\Java1.6"), "");
    Chosen chosen = choose(Request());
    bool created = isDirectory("C:\\jvm\\jre1.6\\1.6");
    removeTree("C:\\jvm");
    ASSERT_TRUE(chosen.ok);
    EXPECT_EQ(chosen.dir, "C:\\jvm\\jre1.6\\1.6");
    EXPECT_TRUE(created);
}

TEST(JvmInstallerDirectories, AFileIsNotADirectory) {
    // Regression: a file of the wanted name counted as a created directory,
    // and the JVM would have been installed "into" the file.
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
    // Regression: the old jvm tree was deleted whatever it held, the work
    // directory or the Windows directory included.
    ScratchDir dir;
    JvmInstaller installer;
    makeDirs(dir.file("a\\jvm\\sub"));
    writeFile(dir.file("a\\jvm\\sub\\f.txt"), "");
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));
    EXPECT_FALSE(exists(dir.file("a\\jvm")));
    EXPECT_TRUE(exists(dir.file("a")));
    EXPECT_TRUE(installer.deleteTempJvmDir(dir.file("a").c_str()));  // nothing there

    // The work directory lies in the tree.
    makeDirs(dir.file("b\\jvm\\work"));
    _chdir(dir.file("b\\jvm\\work").c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("b").c_str()));
    _chdir(dir.file("b\\jvm").c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("b").c_str()));
    _chdir(dir.path().c_str());
    EXPECT_TRUE(exists(dir.file("b\\jvm\\work")));

    // The Windows directory lies in the tree, also when named by its
    // short form.
    makeDirs(dir.file("c\\jvm\\windows dir"));
    installer.setHomeDirectory(dir.file("c\\jvm\\windows dir").c_str());
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("c").c_str()));
    char shortName[MAX_PATH];
    std::string windowsDir = dir.file("c\\jvm\\windows dir");
    ASSERT_NE(GetShortPathNameA(windowsDir.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortName), windowsDir);
    installer.setHomeDirectory(shortName);
    EXPECT_FALSE(installer.deleteTempJvmDir(dir.file("c").c_str()));
    EXPECT_TRUE(exists(dir.file("c\\jvm\\windows dir")));

    // Relative names are never deleted.
    makeDirs(dir.file("jvm"));
    EXPECT_FALSE(installer.deleteTempJvmDir("."));
    installer.deleteTempJvmDir("");  // the root's jvm: refused if there
    EXPECT_TRUE(exists(dir.file("jvm")));
}
