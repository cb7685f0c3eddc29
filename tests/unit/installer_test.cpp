// Install: the home directory and its search-path lookup on the real
// registry and file system of the test prefix, the messages of the JVM
// installation routes, the registry answer of the control file, and the
// failure report of a quiet installation.
#include "install/installer.h"
#include "base/regkey.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <ctype.h>
#include <stdlib.h>
#include <memory>
#include <string>
#include <vector>

static std::string lower(std::string text) {
    for (char& c : text) c = (char)tolower((unsigned char)c);
    return text;
}

// Sets PATH for the test and puts the previous value back afterwards.
class PathVariable {
public:
    PathVariable() {
        const char* value = getenv("PATH");
        had = value != nullptr;
        if (had) saved = value;
    }
    ~PathVariable() { set(had ? saved.c_str() : nullptr); }
    void set(const char* value) {
        _putenv_s("PATH", value ? value : "");
        SetEnvironmentVariableA("PATH", value);
    }

private:
    bool had;
    std::string saved;
};

static std::vector<std::string> traceTexts(const ScratchDir& dir) {
    std::vector<std::string> texts;
    std::string content = readFile(dir.file("jinstall.log"));
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

static bool contains(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t == text) return true;
    return false;
}

TEST(InstallHome, DirInPathMatchesElementEndingInNameInLowerCase) {
    ScratchDir dir;
    PathVariable path;
    _mkdir(dir.file("JDK").c_str());
    _mkdir(dir.file("JDK\\BIN").c_str());
    _mkdir(dir.file("bin").c_str());
    _mkdir(dir.file("bin\\x").c_str());
    _mkdir(dir.file("bin\\x\\bin").c_str());
    std::unique_ptr<Install> install(new Install);
    char found[InstallPathSize];

    struct Case {
        std::string path;
        bool found;
        std::string dir;
    } cases[] = {
        {dir.file("JDK\\BIN"), true, lower(dir.file("JDK\\BIN"))},
        // the first occurrence of bin is not at the element's end
        {dir.file("bin\\x\\bin"), false, ""},
        {dir.file("missing\\bin") + ";;" + dir.file("bin\\x\\bin") + ";" + dir.file("JDK\\BIN"),
         true, lower(dir.file("JDK\\BIN"))},
        {";;", false, ""},
        // Regression: only the first 5000 bytes of a long search path were
        // looked at; a match after them is found now.
        {std::string(6000, ';') + "C:\\nowhere\\bin;" + dir.file("JDK\\BIN"), true,
         lower(dir.file("JDK\\BIN"))},
        // an element too long for the result is passed over, not cut
        {dir.file(std::string(5100, 'b').c_str()) + "\\bin", false, ""},
    };
    for (const Case& c : cases) {
        path.set(c.path.c_str());
        found[0] = '\0';
        EXPECT_EQ(install->isDirInPath("BIN", found), c.found) << c.path.substr(0, 200);
        if (c.found) {
            EXPECT_EQ(std::string(found), c.dir);
        }
    }
    path.set(nullptr);
    EXPECT_FALSE(install->isDirInPath("bin", found));
}

TEST(InstallHome, NtFamilyTakesSystemRoot) {
    ScratchDir dir;
    writeFile(dir.file("jinstall.log"), "");
    char systemRoot[InstallPathSize];
    ASSERT_TRUE(readRegistryText(HKEY_LOCAL_MACHINE,
                                 "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                                 systemRoot, sizeof systemRoot));
    std::unique_ptr<Install> install(new Install);
    install->winNT = true;
    EXPECT_TRUE(install->getHomeDirectory());
    EXPECT_STREQ(install->homeDirectory, systemRoot);
    std::vector<std::string> texts = traceTexts(dir);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "got home directory from SystemRoot");
    EXPECT_EQ(texts[1], std::string("home directory ") + systemRoot);
}

// The other family reads only the Setup key. A value too long for the
// 5001-byte field counts as absent; then the search path and the literal
// c:\windows are tried.
TEST(InstallHome, OtherFamilyFallsBackFromRegistryToPathAndLiteral) {
    ScratchDir dir;
    PathVariable path;
    writeFile(dir.file("jinstall.log"), "");
    static const char SetupKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SETUP";
    HKEY key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SetupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    char previous[InstallPathSize];
    bool hadValue = readRegistryText(HKEY_LOCAL_MACHINE, SetupKey, "WinDir", previous,
                                     sizeof previous);
    auto setValue = [&](const std::string& value) {
        RegSetValueExA(key, "WinDir", 0, REG_SZ, (const BYTE*)value.c_str(),
                       (DWORD)value.size() + 1);
    };
    std::unique_ptr<Install> install(new Install);
    install->winNT = false;

    setValue("C:\\SetupWin");
    EXPECT_TRUE(install->getHomeDirectory());
    EXPECT_STREQ(install->homeDirectory, "C:\\SetupWin");

    setValue("C:\\" + std::string(6000, 'w'));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    path.set((std::string("C:\\nowhere;") + windows).c_str());
    writeFile(dir.file("jinstall.log"), "");
    EXPECT_TRUE(install->getHomeDirectory());
    EXPECT_EQ(std::string(install->homeDirectory), lower(windows));
    std::vector<std::string> texts = traceTexts(dir);
    EXPECT_TRUE(contains(texts, "unable to get windows directory from registry"));

    path.set("C:\\nowhere");
    EXPECT_TRUE(install->getHomeDirectory());
    EXPECT_STREQ(install->homeDirectory, "c:\\windows");

    if (hadValue)
        setValue(previous);
    else
        RegDeleteValueA(key, "WinDir");
    RegCloseKey(key);
    if (disposition == REG_CREATED_NEW_KEY) RegDeleteKeyA(HKEY_LOCAL_MACHINE, SetupKey);
}

TEST(InstallSequence, InstallationRouteMessages) {
    ScratchDir dir;
    struct Case {
        const char* type;
        const char* required;
        const char* min;
        const char* max;
        const char* selfExtractor;
        const char* message;
        const char* details;
    } cases[] = {
        {"", "", "1.4", "", "", "The correct version of the JRE was not found on your system.",
         "Please install JRE 1.4 or a later version and then restart this installation program."},
        {"other", "", "1.4", "1.6", "",
         "The correct version of the JRE was not found on your system.",
         "Please install JRE 1.4 - 1.6 and then restart this installation program."},
        {"", "1.5.0", "1.4", "1.6", "",
         "The correct version of the JRE was not found on your system.",
         "Please install JRE 1.5.0 and then restart this installation program."},
        {"SELFEXTRATORJVMINSTALLER", "", "1.4", "", "",
         "The correct version of the JRE was not found on your system.",
         "Please install JRE 1.4 or a later version and then restart this installation program."},
        {"selfextratorjvminstaller", "", "1.4", "", "jre-missing.exe",
         "Unable to find JRE 1.4 or a later version on your system.",
         "Please install the JVM and re-start this installer."},
        {"ThirdPartyJvmInstaller", "1.6", "", "", "",
         "The correct version of the JRE was not found on your system.",
         "Please install JRE 1.6 and then restart this installation program."},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Install> install(new Install);
        strcpy(install->jvmName, "JRE");
        strcpy(install->jvmInstallerType, c.type);
        strcpy(install->jvmRequiredVersion, c.required);
        strcpy(install->jvmMinVersion, c.min);
        strcpy(install->jvmMaxVersion, c.max);
        strcpy(install->jvmSelfExtractor, c.selfExtractor);
        EXPECT_FALSE(install->installTheJvm()) << c.type;
        EXPECT_STREQ(install->errorMessage, c.message) << c.type;
        EXPECT_STREQ(install->errorDetails, c.details) << c.type;
    }
}

TEST(InstallSequence, ConfigureRegistryAnswer) {
    ScratchDir dir;
    struct Case {
        const char* control;     // null: no kiv.control
        const char* properties;  // null: no native.properties
        bool answer;
    } cases[] = {
        {nullptr, nullptr, true},
        {"a=b\nconfigureWinRegistry=false\n", nullptr, false},
        {"configureWinRegistry=YES\nconfigureWinRegistry=false\n", nullptr, true},
        {"configureWinRegistry:true\n", nullptr, true},
        {"configureWinRegistry=no\r\n", nullptr, false},
        {"jvmName=JRE\n", "configureWinRegistry=false\n", true},
        {nullptr, "nativeJvmHomeDir=C:/jre\nconfigureWinRegistry=false\n", false},
    };
    for (const Case& c : cases) {
        remove("kiv.control");
        remove("native.properties");
        if (c.control) writeFile(dir.file("kiv.control"), c.control);
        if (c.properties) writeFile(dir.file("native.properties"), c.properties);
        std::unique_ptr<Install> install(new Install);
        EXPECT_EQ(install->configureWinReg(), c.answer)
            << (c.control ? c.control : "-") << (c.properties ? c.properties : "-");
    }
}

// A quiet installation that fails logs its failure report and shows nothing
// (no search and no installation route: every run fails); tracing was
// switched on by the run itself.
TEST(InstallSequence, QuietFailureIsLoggedWithoutBox) {
    ScratchDir dir;
    writeFile(dir.file("kiv.control"), "searchForJvm=none\n");
    std::unique_ptr<Install> install(new Install);
    char argument[] = "x";
    EXPECT_FALSE(install->install(true, false, argument));
    auto onDisk = [](std::string text) {
        std::string result;
        for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return result;
    };
    std::string errors = readFile(dir.file("errors.log"));
    ASSERT_NE(install->errorMessage[0], '\0');
    EXPECT_NE(errors.find(" " + onDisk(install->errorMessage) + "\r\n"), std::string::npos);
    EXPECT_NE(errors.find(" " + onDisk(install->errorDetails) + "\r\n"), std::string::npos);
    // The clean-up took the marker away and kept the trace, ending with the
    // outcome.
    EXPECT_EQ(GetFileAttributesA(dir.file("jinstall.sem").c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<std::string> texts = traceTexts(dir);
    EXPECT_TRUE(contains(texts, "home directory " + std::string(install->homeDirectory)));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "install ok: false");
}
