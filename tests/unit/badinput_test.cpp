// Bad input for every reader of a file the package, the wizard or the test
// class leaves in the work directory: the control file, "native.properties",
// the manifest, "startdir.txt" and the test class's results line. A small
// fuzzer with a fixed seed builds a few thousand files from the pieces that
// matter to these readers (keys, line ends of every kind, Ctrl-Z, byte-order
// marks, NULs, long lines and continuations, paths that climb out or name
// the protected directories) and holds each reader to the same rules: it
// does not crash, it writes nothing outside the work directory (a canary
// directory beside it, which is also the start directory, stays as it was),
// it writes no setting past its field, and the file it reads is unchanged.
#include "config/getparam.h"
#include "install/installer.h"
#include "install/startdir.h"
#include "jvm/jvmok.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <string.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// xorshift64*: the same cases on every run and every machine.
class Random {
public:
    explicit Random(unsigned long long seed) : state(seed) {}
    unsigned next(unsigned bound) {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return (unsigned)((state * 2685821657736338717ULL) >> 33) % bound;
    }
    bool chance(unsigned percent) { return next(100) < percent; }

private:
    unsigned long long state;
};

const char* const LineEnds[] = {"\n", "\r\n", "\r", "\r\r\n", "\n\r", ""};

// A work directory with a canary directory beside it that no reader may
// touch; "startdir.txt" names the canary (the installation's start).
class Sandbox {
public:
    Sandbox() : work(scratch.file("work")), canary(scratch.file("canary")) {
        _mkdir(work.c_str());
        _mkdir(canary.c_str());
        _mkdir((canary + "\\canary-subdirectory").c_str());
        writeFile(canary + "\\keep.txt", "keep");
        writeFile(canary + "\\canary-subdirectory\\keep.txt", "keep too");
        _chdir(work.c_str());
    }
    ~Sandbox() { _chdir(scratch.path().c_str()); }

    bool canaryIntact() const {
        return readFile(canary + "\\keep.txt") == "keep" &&
               readFile(canary + "\\canary-subdirectory\\keep.txt") == "keep too";
    }

    // A path piece: the directories that matter and the spellings that try
    // to reach them.
    std::string pathPiece(Random& random) const {
        const std::string pieces[] = {work, canary, scratch.path(), "C:\\", "C:\\windows",
                                      "C:/WINDOWS/", "..", "..\\canary", "\\\\?\\C:\\", "C:",
                                      "jvm", "bin", "a b", "\\", "/", "//", ".", "x:stream",
                                      upper(canary), canary + "\\", canary + "\\.",
                                      scratch.path() + "\\CANARY"};
        return pieces[random.next(dimof(pieces))];
    }

    std::string noise(Random& random, size_t most) const {
        std::string text;
        size_t length = random.next((unsigned)most + 1);
        for (size_t i = 0; i < length; ++i) {
            switch (random.next(12)) {
            case 0: text += '\0'; break;
            case 1: text += '\x1a'; break;
            case 2: text += '\r'; break;
            case 3: text += (char)(0x80 + random.next(128)); break;
            case 4: text += "\\u00e9"; break;
            case 5: text += "\xEF\xBB\xBF"; break;
            case 6: text += ' '; break;
            default: text += (char)('a' + random.next(26)); break;
            }
        }
        return text;
    }

    // One file of lines, each a key (or not), a separator and a value of
    // path pieces and noise; sometimes a byte-order mark, a long line, a
    // long run of continuation lines.
    std::string lines(Random& random, const std::vector<std::string>& keys) const {
        std::string text;
        if (random.chance(10)) text += "\xEF\xBB\xBF";
        unsigned count = random.next(12);
        for (unsigned i = 0; i < count; ++i) {
            if (random.chance(80)) text += keys[random.next((unsigned)keys.size())];
            if (random.chance(85)) text += random.chance(80) ? "=" : ":";
            unsigned pieces = random.next(4);
            for (unsigned p = 0; p < pieces; ++p)
                text += random.chance(60) ? pathPiece(random) : noise(random, 8);
            if (random.chance(3)) text += std::string(900 + random.next(5000), 'v');
            if (random.chance(3))
                for (unsigned c = random.next(300); c > 0; --c) text += "\r\n " + noise(random, 4);
            text += LineEnds[random.next(dimof(LineEnds))];
        }
        return text;
    }

    static std::string upper(std::string text) {
        for (char& c : text) c = (char)toupper((unsigned char)c);
        return text;
    }

    ScratchDir scratch;
    std::string work;
    std::string canary;
};

// The settings between two guards that must stay untouched.
struct GuardedSettings {
    char before[64];
    ControlSettings settings;
    char after[64];
    GuardedSettings() {
        memset(before, 0x5A, sizeof before);
        memset(after, 0x5A, sizeof after);
    }
    bool intact() const {
        for (size_t i = 0; i < sizeof before; ++i)
            if (before[i] != 0x5A || after[i] != 0x5A) return false;
        return true;
    }
};

void setReadOnly(const char* name) { SetFileAttributesA(name, FILE_ATTRIBUTE_READONLY); }
void setWritable(const char* name) { SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL); }

enum { Seed = 20261207, Cases = 400 };

}  // namespace

TEST(BadInput, ReadersKeepTheirFilesAndTheirBounds) {
    Sandbox sandbox;
    Random random(Seed);
    const std::vector<std::string> controlKeys = {
        "jvmRequiredVersion", "jvmMinVersion", "jvmMaxVersion", "jvmVersion", "jvmName",
        "jvmCommandName", "jvmExtraParameters", "jvmClasspathSwitch", "loaderJavaCommand",
        "loaderClasspath", "predefinedJvmInstallDir", "jvmHomeDir", "searchForJvm",
        "keystoreFilename", "configureWinRegistry", "# comment", ""};
    const std::vector<std::string> propertyKeys = {
        "nativeJvmHomeDir", "nativeJvmInstalledInTemp=true\nnativeTempJvmDir",
        "nativeJvmInstalledInTemp", "nativeTempJvmDir", "configureWinRegistry", ""};
    const std::vector<std::string> manifestKeys = {"Name: ", "Name: ..\\", "Name:", " ",
                                                   "Manifest-Version: 1.0", ""};
    const std::vector<std::string> resultKeys = {"java version ", "1.6.0_31", "", "version"};

    std::unique_ptr<Install> install(new (std::nothrow) Install);
    ASSERT_TRUE(install);
    install->setQuietMode(true);
    install->setHomeDirectory("C:\\windows");
    JvmOk jvmOk;
    char commandName[JvmWanted::CommandNameSize] = "javaw.exe";
    JvmWanted wanted{"", "1.4", "", commandName};

    for (unsigned n = 0; n < Cases; ++n) {
        SCOPED_TRACE(n);
        writeFile("startdir.txt", sandbox.canary + "\r\n");

        // The control file, read whole by its reader.
        std::string control = sandbox.lines(random, controlKeys);
        writeFile("kiv.control", control);
        {
            GetParameters reader;
            reader.setQuietMode(true);
            std::unique_ptr<GuardedSettings> guarded(new GuardedSettings);
            reader.getParameters(guarded->settings);
            EXPECT_TRUE(guarded->intact());
        }
        EXPECT_EQ(readFile("kiv.control"), control);

        // native.properties at clean-up, which may delete the temporary JVM
        // it names but never the start directory.
        std::string properties = sandbox.lines(random, propertyKeys);
        writeFile("native.properties", properties);
        setReadOnly("native.properties");
        install->cleanUpJvmDir();
        setWritable("native.properties");
        EXPECT_EQ(readFile("native.properties"), properties);

        // The manifest's names, deleted only inside the work directory.
        _mkdir("META-INF");
        std::string manifest = sandbox.lines(random, manifestKeys);
        writeFile("META-INF\\MANIFEST.MF", manifest);
        setReadOnly("META-INF\\MANIFEST.MF");
        install->cleanUpManifest(false);
        setWritable("META-INF\\MANIFEST.MF");
        EXPECT_EQ(readFile("META-INF\\MANIFEST.MF"), manifest);

        // startdir.txt: a start directory has no trailing blanks or line
        // ends, and blanks alone are none.
        std::string start = sandbox.lines(random, {" ", "\t", sandbox.canary, ""});
        writeFile("startdir.txt", start);
        char startDir[PathBufferSize];
        if (readStartDir(startDir, sizeof startDir)) {
            size_t length = strlen(startDir);
            EXPECT_GT(length, 0u);
            EXPECT_EQ(strchr(" \r\n", startDir[length - 1]), nullptr) << startDir;
            EXPECT_NE(strspn(startDir, " \t\r\n"), length) << startDir;
        }
        EXPECT_EQ(readFile("startdir.txt"), start);

        // The test class's results line.
        std::string results = sandbox.lines(random, resultKeys);
        writeFile("jvmGood.txt", results);
        jvmOk.checkVersion("jvmGood.txt", wanted);
        EXPECT_EQ(readFile("jvmGood.txt"), results);

        ASSERT_TRUE(sandbox.canaryIntact());
        remove("errors.log");
    }
}
