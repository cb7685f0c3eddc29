// Bad input for every reader of a file the package, the wizard or the test class leaves in the
// work directory, in files built with a fixed seed from what matters to these readers (keys, line
// ends of every kind, Ctrl-Z, byte-order marks, NULs, long lines and continuations, paths that
// climb out or name the protected directories). No reader crashes, writes outside the work
// directory (a canary directory beside it, also the start directory, stays), writes a setting past
// its field, or changes the file it reads.
#include "config/getparam.h"
#include "install/installer.h"
#include "install/startdir.h"
#include "jvm/jvmok.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Pieces;

struct Fuzzer {
    ScratchDir scratch;
    std::string work = scratch.file("work"), canary = scratch.file("canary"), continued;
    Pieces pieces;
    std::mt19937 random{20261207};  // the same files on every run and every machine

    Fuzzer() {
        makeDirs(canary + "\\sub");
        writeFile(canary + "\\keep.txt", "keep");
        writeFile(canary + "\\sub\\keep.txt", "keep");
        makeDirs(work + "\\META-INF");
        SetCurrentDirectoryA(work.c_str());
        for (int i = 0; i < 300; ++i) continued += "\r\n x";
        pieces = {work, canary, scratch.path(), "C:\\", "C:\\windows", "C:/WINDOWS/", "..",
                  "..\\canary", "\\\\?\\C:\\", "C:", "jvm", "a b", "\\", "/", "//", ".",
                  "x:stream", canary + "\\", canary + "\\.", scratch.path() + "\\CANARY",
                  std::string(1, '\0'), "\x1a", "\r", "\x80\xff", "\\u00e9", "\xEF\xBB\xBF", " ",
                  "abc", std::string(900 + random() % 5000, 'v'), continued};
    }
    const std::string& pick(const Pieces& from) { return from[random() % from.size()]; }
    // A file of up to a dozen lines: a key or none, a separator, pieces and a line end.
    std::string lines(const Pieces& keys) {
        std::string text = pick({"", "", "", "\xEF\xBB\xBF"});
        for (unsigned n = random() % 12; n > 0; --n) {
            text += pick(keys) + pick({"=", "=", ":", ""});
            for (unsigned p = random() % 4; p > 0; --p) text += pick(pieces);
            text += pick({"\n", "\r\n", "\r", "\r\r\n", "\n\r", ""});
        }
        return text;
    }
};

// Writes content to name, lets read have it and tells whether the file is still the same. Clean-up
// may delete its files: read makes them read-only first.
bool keeps(const char* name, const std::string& content, const std::function<void()>& read) {
    writeFile(name, content);
    read();
    SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
    return readFile(name) == content;
}

struct GuardedSettings {
    char before[64];
    ControlSettings settings;
    char after[64];
};

}  // namespace

TEST(BadInput, ReadersKeepTheirFilesAndTheirBounds) {
    Fuzzer fuzz;
    const Pieces controlKeys = {
        "jvmRequiredVersion", "jvmMinVersion", "jvmMaxVersion", "jvmVersion", "jvmName",
        "jvmCommandName", "jvmExtraParameters", "jvmClasspathSwitch", "loaderJavaCommand",
        "loaderClasspath", "predefinedJvmInstallDir", "jvmHomeDir", "searchForJvm",
        "keystoreFilename", "configureWinRegistry", "# comment", ""};
    const Pieces propertyKeys = {"nativeJvmInstalledInTemp=true\nnativeTempJvmDir",
                                 "nativeJvmInstalledInTemp", "nativeTempJvmDir",
                                 "nativeJvmHomeDir", "configureWinRegistry", ""};
    const Pieces manifestKeys = {"Name: ", "Name: ..\\", "Name:", " ", "Manifest-Version: 1.0", ""};
    std::unique_ptr<Install> install(new Install);
    install->setQuietMode(true);
    install->setHomeDirectory("C:\\windows");
    char commandName[JvmWanted::CommandNameSize] = "javaw.exe";
    JvmWanted wanted{"", "1.4", "", commandName};
    for (unsigned n = 0; n < 400; ++n) {
        SCOPED_TRACE(n);
        writeFile("startdir.txt", fuzz.canary + "\r\n");
        EXPECT_TRUE(keeps("kiv.control", fuzz.lines(controlKeys), [] {
            std::unique_ptr<GuardedSettings> guarded(new GuardedSettings);
            memset(guarded.get(), 0x5a, sizeof *guarded);
            GetParameters reader;
            reader.setQuietMode(true);
            reader.getParameters(guarded->settings);
            EXPECT_EQ(std::string(guarded->before, 64) + std::string(guarded->after, 64),
                      std::string(128, 0x5a));
        }));
        // The temporary JVM named may go, but never the start directory.
        EXPECT_TRUE(keeps("native.properties", fuzz.lines(propertyKeys), [&] {
            SetFileAttributesA("native.properties", FILE_ATTRIBUTE_READONLY);
            install->cleanUpJvmDir();
        }));
        EXPECT_TRUE(keeps("META-INF\\MANIFEST.MF", fuzz.lines(manifestKeys), [&] {
            SetFileAttributesA("META-INF\\MANIFEST.MF", FILE_ATTRIBUTE_READONLY);
            install->cleanUpManifest(false);
        }));
        // A start directory has no trailing blanks or line ends, and blanks alone are none.
        EXPECT_TRUE(keeps("startdir.txt", fuzz.lines({" ", "\t", fuzz.canary, ""}), [] {
            char start[PathBufferSize];
            if (!readStartDir(start, sizeof start)) return;
            size_t length = strlen(start);
            EXPECT_TRUE(length && !strchr(" \r\n", start[length - 1]) &&
                        start[strspn(start, " \t\r\n")]) << start;
        }));
        EXPECT_TRUE(keeps("jvmGood.txt", fuzz.lines({"java version ", "1.6.0_31", "", "version"}),
                          [&] { JvmOk().checkVersion("jvmGood.txt", wanted); }));
        ASSERT_EQ(readFile(fuzz.canary + "\\keep.txt") + readFile(fuzz.canary + "\\sub\\keep.txt"),
                  "keepkeep");
        remove("errors.log");
    }
}
