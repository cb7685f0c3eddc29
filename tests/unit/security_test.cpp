// Java security files on the real file system and registry, and the faults mended there.
#include "security/security.h"
#include "base/strbuf.h"
#include "shell/language.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A work directory (current) with a JVM home "jre" and a home directory "home" in it.
class SecuritySetup : public testing::Test {
protected:
    void SetUp() override {
        makeDirs(jre + "\\lib\\security");
        makeDirs(home);
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
    std::string jre = dir.file("jre");
    std::string home = dir.file("home");
};

// The logon names, in a private stand-in for HKEY_LOCAL_MACHINE.
struct LogonNames {
    RegistrySandbox registry;
    LogonNames(const char* user, const char* defaultUser) {
        registry.set(std::string(WindowsNtKey) + "\\Winlogon", "UserName", user);
        registry.set(std::string(WindowsNtKey) + "\\Winlogon", "DefaultUserName", defaultUser);
    }
};

}  // namespace

TEST_F(SecuritySetup, KeystoreGoesWhereJavaSecurityNamesTheIdentityDatabase) {
    CreateDirectoryA(dir.file("data").c_str(), nullptr);
    std::string slashed = replaceAll(dir.path(), "\\", "/");
    // A line longer than the read buffer whose rest starts like the field must not count
    // (regression: the rest was read as a line of its own).
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
    std::string javaSecurity = jre + "\\lib\\security\\java.security";
    char named[PathBufferSize];
    struct Case {
        const char* content;
        bool named;
        const char* value;
    } cases[] = {
        {"", false, ""},
        {"#identity.database=C:/x/db.obj\n", false, ""},
        // Regression: an empty value replaced the keystore's destination with nothing, and the
        // keystore was not installed at all.
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
        // A login name that would lead out of the profiles directory is not used.
        LogonNames names("..\\..\\escape", "");
        EXPECT_TRUE(addSecurity("", "", "${user.home}/identitydb.obj", false));
    }
    EXPECT_FALSE(exists(dir.file("escape")));
    EXPECT_FALSE(exists(home + "\\escape"));
}

TEST_F(SecuritySetup, ABackupNeverReplacesAnotherFilesOriginal) {
    // Regression: java.policy and java.txt share the backup name java.001; the second backup
    // overwrote the first original, and a file already named java.001 was "backed up" onto itself
    // and then deleted.
    std::string security = jre + "\\lib\\security";
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
