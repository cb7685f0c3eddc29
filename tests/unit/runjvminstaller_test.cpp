// Installing a JVM with the package's installer program: the stub installer
// (stubjvmsetup) installs a stub JVM into a subdirectory of the directory it
// runs in, or elsewhere with a registry entry, as its settings say. The
// Windows folders and JavaSoft entries live in a private stand-in for
// HKEY_LOCAL_MACHINE, which the stub writes to by name.
#include "jvm/runjvminstaller.h"
#include "base/strbuf.h"
#include "provision_support.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

struct Package {
    ScratchDir dir;
    RegistrySandbox registry;
    std::string programFiles;
    std::string jvmDir;
    Package()
        : programFiles(dir.file("pf")), jvmDir(programFiles + "\\JavaSoft\\JRE1.6\\1.6.0") {
        placeTestClass();
        writeFile(dir.file("jinstall.log"), "");
        makeDirs(programFiles);
        registry.set(WindowsKey, "ProgramFilesDir", programFiles);
        CopyFileA(stubProgram("stubjvmsetup").c_str(), dir.file("jvmsetup.exe").c_str(), FALSE);
    }
    // The installer's settings, in a file named on its command line.
    void settings(const std::string& text) {
        writeFile(dir.file("setup settings.ini"),
                  "jvm=" + stubProgram("stubjvm") + "\nrecord=" + dir.file("setup.runs") + "\n" +
                      text);
    }
    std::string commandLine() const {
        return "jvmsetup.exe/*/*/*-config/*/*/*" + dir.file("setup settings.ini");
    }
    std::string runs() const { return readFile(dir.file("setup.runs")); }
    std::string trace() const { return logText(dir.file("jinstall.log").c_str()); }
};

struct Outcome {
    bool ok;
    std::string path;
};

Outcome run(Package& package, const std::string& commandLine, const char* binary = "jvmsetup.exe",
            const char* required = "1.6") {
    char req[VersionBufferSize], none[VersionBufferSize] = "", version[VersionBufferSize] = "1.6.0";
    char name[VersionBufferSize] = "JRE", command[PathBufferSize] = "java.exe";
    char installer[PathBufferSize], line[PathBufferSize], path[PathBufferSize] = "";
    copyText(req, required);
    copyText(installer, binary);
    copyText(line, commandLine.c_str());
    RunJvmInstaller runner;
    bool ok = runner.run(req, none, none, version, name, command, installer, line, path,
                         package.dir.file("win").c_str());
    return {ok, path};
}

std::vector<std::string> split(const char* commandLine, std::string* program = nullptr) {
    RunJvmInstaller runner;
    char* text = nullptr;
    char** args = runner.splitCommandLine(commandLine, &text);
    std::vector<std::string> result;
    for (char** arg = args; arg && *arg; ++arg) result.push_back(*arg);
    if (program) *program = text ? text : "";
    runner.freeArgs(args);
    free(text);
    return result;
}

typedef std::vector<std::string> Args;

}  // namespace

TEST(RunJvmInstaller, CommandLineSplitting) {
    struct Case {
        const char* line;
        const char* program;
        Args args;
    } cases[] = {
        {"setup.exe/*/*/*-s/*/*/*C:\\Program Files\\x", "setup.exe",
         {"setup.exe", "-s", "C:\\Program Files\\x"}},
        {"C:\\kit\\setup.exe/*/*/*/q", "C:\\kit\\setup.exe", {"setup.exe", "/q"}},
        // A trailing separator gives an empty last argument.
        {"setup.exe/*/*/*x/*/*/*", "setup.exe", {"setup.exe", "x", ""}},
        // Regression: without a separator the whole line was passed once
        // more as the program's only argument.
        {"C:\\kit\\setup.exe", "C:\\kit\\setup.exe", {"setup.exe"}},
        {"setup.exe -s", "setup.exe -s", {"setup.exe -s"}},
    };
    for (const Case& c : cases) {
        std::string program;
        EXPECT_EQ(split(c.line, &program), c.args) << c.line;
        EXPECT_EQ(program, c.program) << c.line;
    }
    RunJvmInstaller runner;
    EXPECT_EQ(runner.getStartNextArg(nullptr), nullptr);
    const char* text = "a/*/*/*b";
    EXPECT_STREQ(runner.getStartNextArg(text + 1), "b");
    EXPECT_FALSE(runner.runInstaller("", "C:\\"));
    EXPECT_FALSE(runner.runInstaller(nullptr, "C:\\"));
}

TEST(RunJvmInstaller, JvmInstalledIntoASubdirectoryIsFoundThere) {
    Package package;
    package.settings("version=1.6.0_31\nsubdir=jre\n");
    Outcome outcome = run(package, package.commandLine());
    ASSERT_TRUE(outcome.ok) << package.trace();
    EXPECT_EQ(outcome.path, package.jvmDir + "\\jre\\bin\\java.exe");
    // The program ran in the JVM directory with its own arguments, one of
    // them a path with a blank; its copy is gone again.
    std::string runs = package.runs();
    EXPECT_NE(runs.find("ARG -config\r\nARG " + package.dir.file("setup settings.ini") +
                        "\r\nCWD " + package.jvmDir + "\r\n"),
              std::string::npos)
        << runs;
    EXPECT_FALSE(exists(package.jvmDir + "\\jvmsetup.exe"));
    EXPECT_TRUE(exists(package.dir.file("jvmsetup.exe")));
    char cwd[MAX_PATH];
    EXPECT_STRCASEEQ(_getcwd(cwd, MAX_PATH), package.dir.path().c_str());
    EXPECT_NE(package.trace().find("runJvmInstaller ok: true"), std::string::npos)
        << package.trace();
}

TEST(RunJvmInstaller, JvmRegisteredElsewhereIsFoundThroughTheRegistry) {
    Package package;
    std::string home = package.dir.file("elsewhere\\jre");
    package.settings("version=1.6.0_31\nhome=" + home + "\nregister=1.6.0\nroot=" +
                     package.registry.root() + "\n");
    Outcome outcome = run(package, package.commandLine());
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.path, home + "\\bin\\java.exe");
    EXPECT_EQ(package.registry.get(std::string(JreKey) + "\\1.6", "JavaHome"), home);
    // Nothing was left in the chosen directory: it is removed.
    EXPECT_FALSE(exists(package.jvmDir));
    EXPECT_NE(package.trace().find("Found correct version of JVM:"), std::string::npos);
}

TEST(RunJvmInstaller, JvmOfAnotherVersionIsRefused) {
    // The installation's own limits would take 1.5 (required 1.5), but the
    // package says it installs 1.6.0.
    Package package;
    package.settings("version=1.5.0_22\nsubdir=jre\n");
    Outcome outcome = run(package, package.commandLine(), "jvmsetup.exe", "1.5");
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(package.runs(), "");
    EXPECT_NE(package.trace().find("Correct version of JVM was not found in common locations"),
              std::string::npos);
}

TEST(RunJvmInstaller, InstallerThatInstallsNothingLeavesNoDirectory) {
    Package package;
    package.settings("");
    EXPECT_FALSE(run(package, package.commandLine()).ok);
    EXPECT_FALSE(exists(package.jvmDir));
}

TEST(RunJvmInstaller, DiscoveredJvmNeedsNoInstaller) {
    Package package;
    package.settings("version=1.6.0_31\nsubdir=jre\n");
    installJvmHome(package.jvmDir, "1.6.0_31");
    Outcome outcome = run(package, package.commandLine());
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.path, package.jvmDir + "\\bin\\java.exe");
    EXPECT_EQ(package.runs(), "");
}

TEST(RunJvmInstaller, MissingInstallerProgram) {
    Package package;
    package.settings("subdir=jre\n");
    EXPECT_FALSE(run(package, package.commandLine(), "missing.exe").ok);
    EXPECT_EQ(package.runs(), "");
    EXPECT_FALSE(exists(package.jvmDir));
    EXPECT_NE(package.trace().find("copy ok: false"), std::string::npos);
}

TEST(RunJvmInstaller, ProgramThatCannotBeStarted) {
    Package package;
    package.settings("subdir=jre\n");
    EXPECT_FALSE(run(package, "nosuch.exe/*/*/*-s/*/*/*a b").ok);
    std::string errors = logText(package.dir.file("errors.log").c_str());
    EXPECT_NE(errors.find("Error running JVM installer: File or path is not found: false"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("Unable to start  nosuch.exe nosuch.exe -s \"a b\""), std::string::npos)
        << errors;
    EXPECT_FALSE(exists(package.jvmDir + "\\jvmsetup.exe"));
}

// Regression: the emptied JVM directory stayed behind when the installer
// program's console host (under Wine, started in the same directory) had not
// quite ended when the removal was made. A directory held for a moment is
// removed once it is free; a directory with content is left alone.
static DWORD WINAPI releaseLater(void* handle) {
    Sleep(300);
    CloseHandle((HANDLE)handle);
    return 0;
}

TEST(RunJvmInstaller, EmptyDirectoryHeldForAMomentIsStillRemoved) {
    ScratchDir dir;
    writeFile(dir.file("jinstall.log"), "");
    std::string held = dir.file("held dir");
    makeDirs(held);
    HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_NE(_rmdir(held.c_str()), 0);  // the handle does keep it
    HANDLE thread = CreateThread(nullptr, 0, releaseLater, handle, 0, nullptr);
    ASSERT_NE(thread, nullptr);

    RunJvmInstaller runner;
    runner.removeEmptyDir(held.c_str());
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(exists(held));
    EXPECT_NE(logText(dir.file("jinstall.log").c_str()).find("removed: " + held),
              std::string::npos);

    std::string full = dir.file("full dir");
    makeDirs(full);
    writeFile(full + "\\jre.txt", "x");
    runner.removeEmptyDir(full.c_str());
    EXPECT_TRUE(exists(full + "\\jre.txt"));
}
