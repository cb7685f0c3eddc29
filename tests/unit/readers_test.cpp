// The readers of the work directory's files: the control file's rules, and bad input for every
// reader (files built with a fixed seed): no reader crashes, writes outside the work directory or
// past a setting's field, or changes the file it reads. The machine field of a program header.
#include "base/bitness.h"
#include "config/controlkeys.h"
#include "config/getparam.h"
#include "install/cleanup.h"
#include "install/tempjvm.h"
#include "config/startdir.h"
#include "jvm/jvmprobe.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <random>

namespace {

// The keys of the one table with a field of their own, so that a key added there is read here too.
const std::vector<ControlKey> Fields = [] {
    std::vector<ControlKey> keys;
    for (const ControlKey& key : ControlKeys)
        if (key.capacity) keys.push_back(key);
    return keys;
}();

typedef std::map<std::string, std::string> Values;

struct Guarded {
    char before[64];
    ControlSettings settings;
    char after[64];
};

// Reads content as the control file into settings filled with guard bytes between guard bytes;
// gives every value, and fails when one is not terminated inside its field or a guard changed.
Values read(const std::string& content) {
    std::unique_ptr<Guarded> guarded(new Guarded);
    memset(guarded.get(), 0x5a, sizeof *guarded);
    writeFile(ControlFile, content);
    GetParameters reader(false);  // tracing on, yet not the user's own: javaw stays the choice
    EXPECT_TRUE(reader.getParameters(guarded->settings));
    EXPECT_EQ(std::string(guarded->before, 64) + std::string(guarded->after, 64),
              std::string(128, 0x5a));
    Values values;
    for (const ControlKey& field : Fields) {
        const char* value = reinterpret_cast<char*>(&guarded->settings) + field.offset;
        EXPECT_TRUE(memchr(value, '\0', field.capacity)) << field.name;
        values[field.name] = std::string(value, strnlen(value, field.capacity));
    }
    values["configureWinRegistry"] = guarded->settings.configureWinRegistry ? "on" : "off";
    return values;
}

// A Latin-1 text as UTF-16 with its byte-order mark, as PowerShell 5's ">" writes it.
std::string unicode(const std::string& text, bool bigEndian = false) {
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return wide;
}

typedef std::vector<std::string> Pieces;

// Whether the file name holds content still after read (read-only meanwhile for a clean-up).
bool keeps(const char* name, const std::string& content, const std::function<void()>& read,
           bool cleanUp = false) {
    writeFile(name, content);
    if (cleanUp) SetFileAttributesA(name, FILE_ATTRIBUTE_READONLY);
    read();
    SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
    return readFile(name) == content;
}

}  // namespace

TEST(GetParameters, ReadsTheControlFile) {
    // The values of an empty file; a case names the values that differ, and whether one was cut.
    const Values defaults = {{"jvmRequiredVersion", "1.4"}, {"jvmVersion", "1.4"},
                             {"jvmName", "JRE"}, {"jvmCommandName", "jrew.exe"},
                             {"loaderClasspath", ".;install.jar"}, {"configureWinRegistry", "on"}};
    auto v = [](size_t length) { return std::string(length, 'v'); };
    // Every key at once, tagged with its place in the table, as the reader leaves " <tag>\:\\d/x ":
    // a directory's escapes undone, a switch list's extra backslashes dropped, a number's (an
    // address's, a hash's) blanks trimmed; any other key, a new one too, keeps it as written.
    const std::map<std::string, ControlValuePost> processed = {
        {"predefinedJvmInstallDir", PostDirectory}, {"jvmExtraParameters", PostSwitches},
        {"jvmTestTimeout", PostNumber},             {"reportFailureByExitCode", PostNumber},
        {"jvmDownloadUrl", PostNumber},             {"jvmDownloadSha256", PostNumber}};
    std::string everyKey;
    Values own;
    for (size_t i = 0; i < Fields.size(); ++i) {
        const std::string name = Fields[i].name, tag = std::to_string(i);
        auto post = processed.count(name) ? processed.at(name) : PostNone;
        const std::string written = name == "jvmCommandName" ? "six.exe"  // its own rules
                                                             : " " + tag + "\\:\\\\d/x ";
        everyKey += name + "=" + written + "\n";
        own[name] = name == "jvmCommandName" ? written
                    : post == PostDirectory  ? " " + tag + ":\\d\\x "
                    : post == PostSwitches   ? " " + tag + ":\\d/x "
                    : post == PostNumber     ? tag + "\\:\\\\d/x"
                                             : written;
    }
    const struct { std::string content; Values changed; bool cut = false; } cases[] = {
        {"", {}},
        {"jvmVersion=1.6\n", {{"jvmRequiredVersion", "1.6"}, {"jvmVersion", "1.6"}}},
        {"jvmRequiredVersion=1.5\n", {{"jvmRequiredVersion", "1.5"}, {"jvmVersion", "1.5"}}},
        {"jvmCommandName=Java\n", {{"jvmCommandName", "javaw.exe"}}},
        {"jvmCommandName=myjvm.cmd\n", {{"jvmCommandName", "myjvm.exe"}}},
        {"jvmCommandName=a.exe.exe\n", {{"jvmCommandName", "a.exe"}}},
        {"jvmCommandName=Tool.COM\n", {{"jvmCommandName", "tool.com"}}},
        // A mark's first byte alone is text, and so is the byte after it: no key follows them.
        {"\xEFjvmName=X\n", {}},
        {"\xEFxjvmName=X\n", {}},
        // A key alone is an empty value; leading blanks, comments and other keys are no keys.
        {"jvmName\njvmMaxVersion\n jvmName=X\n# jvmName=X\n\nconfigureWinRegistry=no\nx=1\n",
         {{"configureWinRegistry", "off"}}},
        // The registry switch: its first line decides, on with true or yes in any case.
        {"configureWinRegistry=false\n", {{"configureWinRegistry", "off"}}},
        // Regression: the key alone made the reader look past its end.
        {"configureWinRegistry\n", {{"configureWinRegistry", "off"}}},
        {"configureWinRegistry=TRUE\n", {}},
        {"a=b\nconfigureWinRegistry=Yes\nconfigureWinRegistry=no\n", {}},
        {"comment=" + std::string(5200, 'x') + "configureWinRegistry=no\n", {}},
        // The install directory and the switches are unescaped, no other value.
        {"predefinedJvmInstallDir=C\\:\\\\Program Files\\\\App/jre\n"
         "jvmExtraParameters=-Dx=C\\:\\\\dir -\\\\\\\\server\njvmHomeDir=C\\:\\\\jre/x\n",
         {{"predefinedJvmInstallDir", "C:\\Program Files\\App\\jre"},
          {"jvmExtraParameters", "-Dx=C:\\dir -\\server"}, {"jvmHomeDir", "C\\:\\\\jre/x"}}},
        {"jvmName=A\r\r\njvmMinVersion=1.2\r\njvmMaxVersion=2\rjvmHomeDir=h\n",
         {{"jvmName", "A"}, {"jvmMinVersion", "1.2"}, {"jvmMaxVersion", "2"}, {"jvmHomeDir", "h"},
          {"jvmRequiredVersion", ""}, {"jvmVersion", ""}}},
        // Any separator, the last line of a key counts, blanks belong to the value, no last LF.
        {"jvmName=First\njvmName:Second\njvmClasspathSwitch= -cp \njvmHomeDir=Last",
         {{"jvmName", "Second"}, {"jvmClasspathSwitch", " -cp "}, {"jvmHomeDir", "Last"}}},
        {"jvmHomeDir=" + v(5000), {{"jvmHomeDir", v(5000)}}},
        {"jvmHomeDir=" + v(5001), {{"jvmHomeDir", v(5000)}}, true},
        // The rest of a line over 5100 characters is no line; a command name keeps its extension.
        {"jvmCommandName=" + v(5085) + "jvmName=BAD" + v(900) + "\njvmMaxVersion=9\n",
         {{"jvmCommandName", v(4996) + ".exe"}, {"jvmMaxVersion", "9"}}, true},
        // UTF-16 is read as such (into code page 1252), a line too long cut as in bytes.
        {unicode("jvmName=\xDC\r\njvmMaxVersion=9\r"),
         {{"jvmName", "\xDC"}, {"jvmMaxVersion", "9"}}},
        {unicode("jvmName=A\njvmMaxVersion=9", true), {{"jvmName", "A"}, {"jvmMaxVersion", "9"}}},
        {unicode("jvmHomeDir=" + v(5001)), {{"jvmHomeDir", v(5000)}}, true},
        {unicode("jvmCommandName=" + v(5085) + "jvmName=BAD" + v(900) + "\njvmMaxVersion=9\n"),
         {{"jvmCommandName", v(4996) + ".exe"}, {"jvmMaxVersion", "9"}}, true},
        {everyKey, own},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        Values expected = c.changed;
        expected.insert(defaults.begin(), defaults.end());
        for (const ControlKey& field : Fields) expected.insert({field.name, ""});
        std::string label = c.content.substr(0, 80);
        writeFile(TraceLog, "");
        EXPECT_EQ(read(c.content), expected) << label;
        EXPECT_EQ(logText(TraceLog).find("control file value cut:") != std::string::npos,
                  c.cut) << label;
    }
}

TEST(BadInput, ReadersKeepTheirFilesAndTheirBounds) {
    // A canary directory beside the work directory, also the start directory, must stay.
    ScratchDir scratch;
    const std::string work = scratch.file("work"), canary = scratch.file("canary");
    makeDirs(canary + "\\sub");
    for (const char* name : {"\\keep.txt", "\\sub\\keep.txt"}) writeFile(canary + name, "keep");
    makeDirs(work + "\\META-INF");
    SetCurrentDirectoryA(work.c_str());
    std::mt19937 random{20261207};  // the same files on every run and every machine
    std::string continued;
    for (int i = 0; i < 300; ++i) continued += "\r\n x";
    const Pieces pieces = {
        work, canary, scratch.path(), "C:\\", "C:\\windows", "C:/WINDOWS/", "..", "..\\canary",
        "\\\\?\\C:\\", "C:", "jvm", "a b", "\\", "/", "//", ".", "x:stream", canary + "\\",
        canary + "\\.", scratch.path() + "\\CANARY", std::string(1, '\0'), "\x1a", "\r", "\x80\xff",
        "\\u00e9", "\xEF\xBB\xBF", " ", "abc", std::string(900 + random() % 5000, 'v'), continued};
    auto pick = [&](const Pieces& from) { return from[random() % from.size()]; };
    // A file of up to a dozen lines: a key or none, a separator, pieces and a line end.
    auto lines = [&](const Pieces& keys) {
        std::string text = pick({"", "", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"});
        for (unsigned n = random() % 12; n > 0; --n) {
            text += pick(keys) + pick({"=", "=", ":", ""});
            for (unsigned p = random() % 4; p > 0; --p) text += pick(pieces);
            text += pick({"\n", "\r\n", "\r", "\r\r\n", "\n\r", ""});
        }
        return text;
    };
    Pieces controlKeys = {"configureWinRegistry", "# comment", ""};
    for (const ControlKey& field : Fields) controlKeys.push_back(field.name);
    const Pieces propertyKeys = {"nativeJvmInstalledInTemp=true\nnativeTempJvmDir",
                                 "nativeJvmInstalledInTemp", "nativeTempJvmDir",
                                 "nativeJvmHomeDir", "configureWinRegistry", ""};
    const Pieces manifestKeys = {"Name: ", "Name: ..\\", "Name:", " ", "Manifest-Version: 1.0", ""};
    ControlSettings settings;
    settings.clear();
    TemporaryJvm temporary(settings, false, "", "C:\\windows");
    JvmWanted wanted{"", "1.4", "", "javaw.exe"};
    for (unsigned n = 0; n < 400; ++n) {
        SCOPED_TRACE(n);
        writeFile(StartDirFile, canary + "\r\n");
        std::string control = lines(controlKeys);
        read(control);
        EXPECT_EQ(readFile(ControlFile), control);
        // The temporary JVM named may go, but never the start directory.
        EXPECT_TRUE(keeps(NativePropertiesFile, lines(propertyKeys),
                          [&] { temporary.cleanUp(); }, true));
        EXPECT_TRUE(keeps("META-INF\\MANIFEST.MF", lines(manifestKeys),
                          [] { removePackageFiles(false); }, true));
        // A start directory has no trailing blanks or line ends, and blanks alone are none.
        EXPECT_TRUE(keeps(StartDirFile, lines({" ", "\t", canary, ""}), [] {
            char start[PathBufferSize];
            if (!readStartDir(start, sizeof start)) return;
            size_t length = strlen(start);
            EXPECT_TRUE(length && !strchr(" \r\n", start[length - 1]) &&
                        start[strspn(start, " \t\r\n")]) << start;
        }));
        EXPECT_TRUE(keeps(TestJvmResultsFile, lines({"java version ", "1.6.0_31", "", "version"}),
                          [&] { JvmProbe().resultsMeetLimits(TestJvmResultsFile, wanted); }));
        ASSERT_EQ(readFile(canary + "\\keep.txt") + readFile(canary + "\\sub\\keep.txt"),
                  "keepkeep");
        remove(ErrorsLog);
    }
}

TEST(ProgramHeader, MachineReadWithinTheFileOnlyAndRunsWhatItsProcessorRuns) {
    ScratchDir dir;
    auto header = [](unsigned lfanew, const std::string& tail) {
        std::string dos(64, '\0');
        dos[0] = 'M', dos[1] = 'Z';
        for (int i = 0; i < 4; ++i) dos[0x3C + i] = (char)(lfanew >> (8 * i));
        return dos + tail;
    };
    const std::string pe("PE\0\0", 4);
    const struct { std::string content; bool read; unsigned bits; } cases[] = {  // "": no file
        {header(64, pe + "\x64\x86"), true, 64},  {header(64, pe + "\x4c\x01"), true, 32},
        {header(64, pe + "\x34\x12"), true, 0},   {header(64, pe + "\x64"), false, 0},
        {header(4096, pe + "\x64\x86"), false, 0}, {header(0xFFFFFFFF, ""), false, 0},
        {header(64, std::string("NE\0\0\x64\x86", 6)), false, 0}, {"MZ", false, 0},  {"", false, 0},
        {header(64, pe + "\x64\xAA"), true, 64},  // an ARM64 JVM is a 64-bit program
    };
    for (const auto& c : cases) {
        if (!c.content.empty()) writeFile(dir.file("program.exe"), c.content);
        PeMachine machine = readPeMachine(dir.file("program.exe").c_str());
        EXPECT_EQ(machine.read, c.read) << c.content.size();
        EXPECT_EQ(machine.bits, c.bits) << c.content.size();
        DeleteFileA(dir.file("program.exe").c_str());
    }
    EXPECT_EQ(readPeMachine(_pgmptr).bits, ownBits());
    enum : unsigned short { X86 = 0x014C, X64 = 0x8664, Arm64 = 0xAA64, Unknown = 0x1234 };
    const MachineAnswer x64 = {0, X64, false}, arm64 = {0, Arm64, true},
                        arm64Windows10 = {X86, Arm64, false};
    const char* const arm64OnX64 = "its program is for ARM64 machines, this machine is x64";
    const struct { const MachineAnswer* machine; unsigned short program; const char* why; }
        machines[] = {  // why null: it runs
        {&x64, X86, nullptr}, {&x64, Arm64, arm64OnX64}, {&arm64, X64, nullptr},
        {&x64, Unknown, nullptr},  // not judged here: its start says
        {&arm64Windows10, X86, nullptr}, {&arm64Windows10, Arm64, nullptr},
        {&arm64Windows10, X64,
         "its program is for x64 machines, this machine is ARM64 (without x64 emulation)"},
    };
    for (const auto& c : machines) {
        char why[120] = "";
        EXPECT_EQ(machineRuns(*c.machine, c.program, why, sizeof why), c.why == nullptr)
            << c.program << " on " << c.machine->nativeMachine;
        EXPECT_STREQ(why, c.why ? c.why : "");
    }
    // Through the seam: 64-bit Windows and its view for the machine answered, whatever our bitness.
    setMachineAnswer(&arm64Windows10);
    EXPECT_TRUE(windowsIs64Bit());
    EXPECT_EQ(registryViewFor(64), (REGSAM)KEY_WOW64_64KEY);
    const MachineAnswer x86Windows = {0, X86, false};
    setMachineAnswer(&x86Windows);
    EXPECT_EQ(windowsIs64Bit(), ownBits() == 64);
    setMachineAnswer(nullptr);
    // This machine, as Windows (Wine) answers: x64, the 32-bit build under WOW64.
    EXPECT_EQ(machineAnswer().nativeMachine, X64);
    EXPECT_EQ(machineAnswer().processMachine, ownBits() == 32 ? X86 : 0);
}
