// Java security files: specifications resolved, directories created, files
// copied, backups and the change record, the identity database named by a
// JVM's java.security and the profile copy for the login name, all on the
// real file system and registry. The scratch directory is the work directory.
#include "security/security.h"
#include "base/strbuf.h"
#include "shell/language.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A work directory (current) with a JVM home "jre" and a home directory
// "home" in it.
class SecuritySetup : public testing::Test {
protected:
    void SetUp() override {
        jre = dir.file("jre");
        home = dir.file("home");
        CreateDirectoryA(jre.c_str(), nullptr);
        CreateDirectoryA(home.c_str(), nullptr);
    }

    bool addSecurity(const char* system, const char* user, const char* keystore, bool backup) {
        std::vector<char> s(system, system + strlen(system) + 1);
        std::vector<char> u(user, user + strlen(user) + 1);
        std::vector<char> k(keystore, keystore + strlen(keystore) + 1);
        Security security;
        return security.addSecurity(s.data(), u.data(), k.data(), jre.c_str(), home.c_str(),
                                    backup);
    }

    // The change-record line the current language gives for a backup.
    std::string renameLine(const std::string& path) {
        char language[1000] = "";
        getLanguage(language);
        const char* word;
        const char* preposition;
        Security().getRenameWords(language, &word, &preposition);
        return std::string(word) + " " + preposition + " " + path + " identitydb.001\r\n";
    }

    ScratchDir dir;
    std::string jre;
    std::string home;
};

// Sets the logon values of the registry for one test and restores them.
class LogonNames {
public:
    LogonNames(const char* userName, const char* defaultUserName) {
        save("UserName", savedUser, hadUser);
        save("DefaultUserName", savedDefault, hadDefault);
        set("UserName", userName);
        set("DefaultUserName", defaultUserName);
    }
    ~LogonNames() {
        restore("UserName", savedUser, hadUser);
        restore("DefaultUserName", savedDefault, hadDefault);
    }

private:
    static constexpr const char* Key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

    static void save(const char* name, std::string& value, bool& had) {
        char buffer[5001] = "";
        DWORD size = sizeof buffer - 1;
        HKEY key;
        had = false;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return;
        had = RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)buffer, &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        value = buffer;
    }
    static void set(const char* name, const char* value) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
        RegCloseKey(key);
    }
    static void restore(const char* name, const std::string& value, bool had) {
        if (had) {
            set(name, value.c_str());
            return;
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }

    std::string savedUser, savedDefault;
    bool hadUser = false, hadDefault = false;
};

}  // namespace

TEST_F(SecuritySetup, SpecificationsResolveToFileAndDestination) {
    writeFile(dir.file("app.policy"), "grant {};");
    writeFile(dir.file(".keystore"), "keys");
    struct Case {
        const char* specification;
        bool result;
        const char* fileName;
        const char* destination;  // <J> the JVM home, <H> the home directory
        const char* createdDir;   // "" when none
    } cases[] = {
        {"${java.home}/lib/security/app.policy", true, "app.policy",
         "<J>\\lib\\security\\app.policy", "<J>\\lib\\security"},
        {"${user.home}/.keystore", true, ".keystore", "<H>\\.keystore", ""},
        // Without a slash the file need not exist; only ${user.home} gives a
        // destination.
        {"${user.home}identitydb.obj", true, "identitydb.obj", "<H>\\identitydb.obj", ""},
        {"${java.home}java.policy", true, "java.policy", "", ""},
        // Below the work directory, empty pieces skipped.
        {"conf//sub/app.policy", true, "app.policy", "conf\\sub\\app.policy", "conf\\sub"},
        {"app.policy", false, "", "", ""},
        // Only the text after the variable counts; ${java.home} wins.
        {"x${java.home}/opt/app.policy", true, "app.policy", "<J>\\opt\\app.policy", "<J>\\opt"},
        {"${user.home}${java.home}/jh/app.policy", true, "app.policy", "<J>\\jh\\app.policy",
         "<J>\\jh"},
        // A file missing from the work directory: no directories created.
        {"${java.home}/nolib/missing.policy", false, "missing.policy", "", ""},
        {"${java.home}/lib/", false, "", "", ""},
    };
    for (const Case& c : cases) {
        char fileName[PathBufferSize] = "old";
        char destination[PathBufferSize] = "old";
        Security security;
        EXPECT_EQ(security.getFilenames(c.specification, jre.c_str(), home.c_str(), fileName,
                                        destination),
                  c.result)
            << c.specification;
        EXPECT_STREQ(fileName, c.fileName) << c.specification;
        std::string expected = replaceAll(replaceAll(c.destination, "<J>", jre), "<H>", home);
        EXPECT_EQ(destination, expected) << c.specification;
        std::string created = replaceAll(c.createdDir, "<J>", jre);
        if (!created.empty()) {
            EXPECT_TRUE(isDirectory(created)) << c.specification;
        }
    }
    EXPECT_FALSE(exists(jre + "\\nolib"));
}

TEST_F(SecuritySetup, DirectoriesAreCreatedOneLevelAtATime) {
    Security security;
    char path[PathBufferSize] = "/a//b/c/";
    ASSERT_TRUE(security.addDirectories(jre.c_str(), path));
    EXPECT_EQ(std::string(path), jre + "\\a\\b\\c");
    EXPECT_TRUE(isDirectory(jre + "\\a\\b\\c"));

    char relative[PathBufferSize] = "x/y";
    ASSERT_TRUE(security.addDirectories("", relative));
    EXPECT_STREQ(relative, "x\\y");
    EXPECT_TRUE(isDirectory(dir.file("x\\y")));

    // A file in the way: false, and the path is left as it was.
    writeFile(dir.file("plain"), "");
    char blocked[PathBufferSize] = "plain/z";
    EXPECT_FALSE(security.addDirectories("", blocked));
    EXPECT_STREQ(blocked, "plain/z");
    char empty[PathBufferSize] = "";
    EXPECT_FALSE(security.addDirectories("", empty));
}

TEST(SecurityNames, BackupNamesAndRenameWords) {
    Security security;
    struct Backup {
        const char* path;
        const char* backup;
    } backups[] = {
        {"C:\\jre\\lib\\security\\java.policy", "C:\\jre\\lib\\security\\java.001"},
        {"identitydb.obj", "identitydb.obj.001"},
        {"C:\\a.b\\noext", "C:\\a.b\\noext.001"},
        {"C:\\x\\archive.tar.gz", "C:\\x\\archive.tar.001"},
        {"C:\\win\\.keystore", "C:\\win\\.001"},
    };
    for (const Backup& b : backups) {
        char name[PathBufferSize];
        ASSERT_TRUE(security.getBackupFilename(b.path, name, sizeof name));
        EXPECT_STREQ(name, b.backup);
    }
    char small[8];
    EXPECT_FALSE(security.getBackupFilename("C:\\long\\name", small, sizeof small));

    struct Words {
        const char* language;
        const char* word;
        const char* preposition;
    } words[] = {
        {"english", "Renamed", "to"},          {"japanese", "Renamed", "to"},
        {"klingon", "Renamed", "to"},          {"French", "Renamed", "to"},
        {"french", "Renomm\xEF\xBF\xBD", "en"}, {"german", "Alt:", "zu"},
        {"spanish", "Reagrupado ", "a"},       {"polish", "Zmieniono", "na"},
        {"italian", "Rinominato", "a"},        {"portuguese", "Nome modificado", "Para"},
        {"dutch", "Hernoemd", "naar"},
    };
    for (const Words& w : words) {
        const char* word;
        const char* preposition;
        security.getRenameWords(w.language, &word, &preposition);
        EXPECT_STREQ(word, w.word) << w.language;
        EXPECT_STREQ(preposition, w.preposition) << w.language;
    }
}

TEST_F(SecuritySetup, PluginInstallBacksUpTheExistingPolicy) {
    std::string policy = jre + "\\lib\\security\\java.policy";
    CreateDirectoryA((jre + "\\lib").c_str(), nullptr);
    CreateDirectoryA((jre + "\\lib\\security").c_str(), nullptr);
    writeFile(policy, "the JVM's own policy");
    writeFile(dir.file("java.policy"), "the package's policy");

    EXPECT_TRUE(addSecurity("", "${java.home}/lib/security/java.policy", "", true));
    EXPECT_EQ(readFile(policy), "the package's policy");
    EXPECT_EQ(readFile(jre + "\\lib\\security\\java.001"), "the JVM's own policy");
    EXPECT_EQ(readFile(dir.file("changes.txt")), renameLine(policy));
    char language[1000] = "";
    getLanguage(language);
    if (strcmp(language, "english") == 0) {
        EXPECT_EQ(readFile(dir.file("changes.txt")), "Renamed to " + policy + " identitydb.001\r\n");
    }

    // A second run keeps the first backup, which holds the original: the
    // file in place is not replaced and nothing more is recorded.
    writeFile(dir.file("java.policy"), "a newer package policy");
    EXPECT_TRUE(addSecurity("", "${java.home}/lib/security/java.policy", "", true));
    EXPECT_EQ(readFile(jre + "\\lib\\security\\java.001"), "the JVM's own policy");
    EXPECT_EQ(readFile(policy), "the package's policy");
    EXPECT_EQ(readFile(dir.file("changes.txt")), renameLine(policy));
}

TEST_F(SecuritySetup, WithoutBackupAnExistingFileIsKept) {
    writeFile(dir.file("app.policy"), "package");
    EXPECT_TRUE(addSecurity("", "${java.home}/lib/security/app.policy", "", false));
    std::string installed = jre + "\\lib\\security\\app.policy";
    EXPECT_EQ(readFile(installed), "package");

    writeFile(dir.file("app.policy"), "newer package");
    EXPECT_TRUE(addSecurity("", "${java.home}/lib/security/app.policy", "", false));
    EXPECT_EQ(readFile(installed), "package");
    EXPECT_FALSE(exists(jre + "\\lib\\security\\app.001"));
    EXPECT_FALSE(exists(dir.file("changes.txt")));

    // Missing from the work directory: false, nothing created.
    EXPECT_FALSE(addSecurity("", "${java.home}/other/gone.policy", "", true));
    EXPECT_FALSE(exists(jre + "\\other"));
}

TEST_F(SecuritySetup, SystemPolicyIsInstalledLikeTheUserPolicy) {
    // Regression: a system policy given with ${java.home} or ${user.home}
    // was never installed, because its unexpanded text was tested as a file.
    writeFile(dir.file("system.policy"), "system");
    writeFile(dir.file("user.policy"), "user");
    writeFile(dir.file("local.policy"), "local");
    EXPECT_TRUE(addSecurity("${java.home}/lib/security/system.policy", "", "", false));
    EXPECT_EQ(readFile(jre + "\\lib\\security\\system.policy"), "system");
    EXPECT_TRUE(addSecurity("${user.home}/user.policy", "", "", false));
    EXPECT_EQ(readFile(home + "\\user.policy"), "user");
    EXPECT_TRUE(addSecurity("conf/local.policy", "", "", false));
    EXPECT_EQ(readFile(dir.file("conf\\local.policy")), "local");
}

TEST_F(SecuritySetup, KeystoreGoesWhereJavaSecurityNamesTheIdentityDatabase) {
    CreateDirectoryA((jre + "\\lib").c_str(), nullptr);
    CreateDirectoryA((jre + "\\lib\\security").c_str(), nullptr);
    CreateDirectoryA(dir.file("data").c_str(), nullptr);
    std::string slashed = replaceAll(dir.path(), "\\", "/");
    // A line longer than the read buffer whose rest starts like the field
    // must not count (regression: the rest was read as a line of its own).
    std::string longLine = "#" + std::string(1999, 'x') + "identity.database=C:/wrong/db.obj\n";
    writeFile(jre + "\\lib\\security\\java.security",
              "# security properties\n" + longLine + "policy.provider=x\n" +
                  "identity.database=" + slashed + "/data//ids/identitydb.obj  \r\n" +
                  "identity.database=C:/second/db.obj\n");
    writeFile(dir.file("identitydb.obj"), "identities");

    LogonNames names("kivuser", "");
    EXPECT_TRUE(addSecurity("", "", "${user.home}/identitydb.obj", false));
    EXPECT_EQ(readFile(dir.file("data\\ids\\identitydb.obj")), "identities");
    EXPECT_FALSE(exists(home + "\\identitydb.obj"));
    EXPECT_FALSE(exists(home + "\\profiles"));
    EXPECT_FALSE(exists("C:\\wrong"));

    char named[PathBufferSize];
    ASSERT_TRUE(Security().getIdentityIdFilename(jre.c_str(), named));
    EXPECT_EQ(std::string(named), dir.file("data\\ids\\identitydb.obj"));
}

TEST_F(SecuritySetup, IdentityDatabaseLinesWithoutAUsablePath) {
    CreateDirectoryA((jre + "\\lib").c_str(), nullptr);
    CreateDirectoryA((jre + "\\lib\\security").c_str(), nullptr);
    std::string javaSecurity = jre + "\\lib\\security\\java.security";
    char named[PathBufferSize];
    struct Case {
        const char* content;
        bool named;
        const char* value;
    } cases[] = {
        {"", false, ""},
        {"#identity.database=C:/x/db.obj\n", false, ""},
        // Regression: an empty value replaced the keystore's destination
        // with nothing, and the keystore was not installed at all.
        {"identity.database=  \n", false, ""},
        {"identity.database=\\\\server\\share//db.obj", true, "\\\\server\\share\\db.obj"},
        {"identity.database=db.obj", true, "db.obj"},
    };
    for (const Case& c : cases) {
        writeFile(javaSecurity, c.content);
        EXPECT_EQ(Security().getIdentityIdFilename(jre.c_str(), named), c.named) << c.content;
        EXPECT_STREQ(named, c.value) << c.content;
    }

    writeFile(javaSecurity, "identity.database=\n");
    writeFile(dir.file("identitydb.obj"), "identities");
    LogonNames names("", "");
    EXPECT_TRUE(addSecurity("", "", "${user.home}/identitydb.obj", false));
    EXPECT_EQ(readFile(home + "\\identitydb.obj"), "identities");
}

TEST_F(SecuritySetup, KeystoreForTheHomeIsCopiedIntoTheLoginProfile) {
    writeFile(dir.file("identitydb.obj"), "identities");
    {
        // An empty UserName falls back to DefaultUserName.
        LogonNames names("", "kivtester");
        EXPECT_TRUE(addSecurity("", "", "${user.home}/identitydb.obj", false));
    }
    EXPECT_EQ(readFile(home + "\\identitydb.obj"), "identities");
    EXPECT_EQ(readFile(home + "\\profiles\\kivtester\\identitydb.obj"), "identities");
    {
        LogonNames names("kivfirst", "kivtester");
        EXPECT_TRUE(addSecurity("", "", "${USER.HOME}/identitydb.obj", false));
    }
    // The variable is looked for exactly: ${USER.HOME} is a relative
    // directory below the work directory.
    EXPECT_EQ(readFile(dir.file("${USER.HOME}\\identitydb.obj")), "identities");
    EXPECT_FALSE(exists(home + "\\profiles\\kivfirst"));
    {
        // A login name that would lead out of the profiles directory is
        // not used.
        LogonNames names("..\\..\\escape", "");
        EXPECT_TRUE(addSecurity("", "", "${user.home}/identitydb.obj", false));
    }
    EXPECT_FALSE(exists(dir.file("escape")));
    EXPECT_FALSE(exists(home + "\\escape"));
    {
        // Deeper below the home directory: no profile copy.
        LogonNames names("kivdeep", "");
        EXPECT_TRUE(addSecurity("", "", "${user.home}/keys/identitydb.obj", false));
    }
    EXPECT_EQ(readFile(home + "\\keys\\identitydb.obj"), "identities");
    EXPECT_FALSE(exists(home + "\\profiles\\kivdeep"));
}

TEST_F(SecuritySetup, KeystoreBackupsInTheHomeAndTheProfile) {
    writeFile(dir.file("identitydb.obj"), "package keys");
    CreateDirectoryA((home + "\\profiles").c_str(), nullptr);
    CreateDirectoryA((home + "\\profiles\\kivtester").c_str(), nullptr);
    writeFile(home + "\\identitydb.obj", "home keys");
    writeFile(home + "\\profiles\\kivtester\\identitydb.obj", "profile keys");
    LogonNames names("kivtester", "");
    EXPECT_TRUE(addSecurity("", "", "${user.home}/identitydb.obj", true));
    EXPECT_EQ(readFile(home + "\\identitydb.obj"), "package keys");
    EXPECT_EQ(readFile(home + "\\identitydb.001"), "home keys");
    EXPECT_EQ(readFile(home + "\\profiles\\kivtester\\identitydb.obj"), "package keys");
    EXPECT_EQ(readFile(home + "\\profiles\\kivtester\\identitydb.001"), "profile keys");
    EXPECT_EQ(readFile(dir.file("changes.txt")),
              renameLine(home + "\\identitydb.obj") +
                  renameLine(home + "\\profiles\\kivtester\\identitydb.obj"));
}

TEST_F(SecuritySetup, FailuresAreTracedAndTheNextFileIsTried) {
    writeFile(dir.file("jinstall.log"), "");
    writeFile(dir.file("app.policy"), "package");
    writeFile(dir.file("user.policy"), "user");
    writeFile(jre + "\\lib", "a file where a directory belongs");
    LogonNames names("", "");
    // The system policy fails, the user policy is still installed, and the
    // keystore's missing login name is traced.
    writeFile(dir.file("identitydb.obj"), "identities");
    EXPECT_TRUE(addSecurity("${java.home}/lib/security/app.policy", "${user.home}/u/user.policy",
                            "${user.home}/identitydb.obj", false));
    EXPECT_EQ(readFile(home + "\\u\\user.policy"), "user");
    EXPECT_EQ(readFile(home + "\\identitydb.obj"), "identities");
    EXPECT_FALSE(exists(home + "\\profiles"));

    std::string trace = readFile(dir.file("jinstall.log"));
    for (const std::string& expected :
         {"unable to create security directory " + jre + "\\lib\\security",
          std::string("unable to get destination ${java.home}/lib/security/app.policy"),
          std::string("unable to find login name in registry")})
        EXPECT_NE(trace.find(expected), std::string::npos) << expected << "\n" << trace;
    // Nothing here is an error of the installation.
    EXPECT_FALSE(exists(dir.file("errors.log")));
}

TEST_F(SecuritySetup, ABackupNeverReplacesAnotherFilesOriginal) {
    // Regression: java.policy and java.txt share the backup name java.001;
    // the second backup overwrote the first original, and a file already
    // named java.001 was "backed up" onto itself and then deleted.
    std::string security = jre + "\\lib\\security";
    CreateDirectoryA((jre + "\\lib").c_str(), nullptr);
    CreateDirectoryA(security.c_str(), nullptr);
    writeFile(security + "\\java.txt", "original txt");
    writeFile(security + "\\java.policy", "original policy");
    writeFile(dir.file("java.txt"), "package txt");
    writeFile(dir.file("java.policy"), "package policy");
    EXPECT_TRUE(addSecurity("${java.home}/lib/security/java.txt",
                            "${java.home}/lib/security/java.policy", "", true));
    EXPECT_EQ(readFile(security + "\\java.001"), "original txt");
    EXPECT_EQ(readFile(security + "\\java.txt"), "package txt");
    EXPECT_EQ(readFile(security + "\\java.policy"), "original policy");
    EXPECT_EQ(readFile(dir.file("changes.txt")), renameLine(security + "\\java.txt"));

    writeFile(dir.file("java.001"), "package backup-named file");
    EXPECT_TRUE(addSecurity("", "${java.home}/lib/security/java.001", "", true));
    EXPECT_EQ(readFile(security + "\\java.001"), "original txt");
}
