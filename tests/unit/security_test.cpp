// Java security files on the real file system and registry, and the faults mended there.
#include "security/security.h"
#include "base/strbuf.h"
#include "sandbox.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>

// A work directory (current) with the keystore, a JVM home "jre", a Windows directory "home", the
// user's profile (USERPROFILE) and the logon names in a stand-in for HKEY_LOCAL_MACHINE.
class SecuritySetup : public testing::Test {
protected:
    void SetUp() override {
        makeDirs(security);
        makeDirs(home);
        makeDirs(profile);
        writeFile("identitydb.obj", "identities");
        SetEnvironmentVariableA("USERPROFILE", profile.c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("USERPROFILE", nullptr); }
    bool addSecurity(std::string system, std::string user, std::string keystore, bool backup) {
        return Security().addSecurity(&system[0], &user[0], &keystore[0], jre.c_str(),
                                      home.c_str(), backup);
    }
    bool addKeystore(const char* user, const char* defaultUser) {
        registry.set(std::string(WindowsNtKey) + "\\Winlogon", "UserName", user);
        registry.set(std::string(WindowsNtKey) + "\\Winlogon", "DefaultUserName", defaultUser);
        return addSecurity("", "", "${user.home}/identitydb.obj", false);
    }
    ScratchDir dir;
    RegistrySandbox registry;
    std::string jre = dir.file("jre"), home = dir.file("home"), security = jre + "\\lib\\security";
    std::string profile = dir.file("profile");
};

TEST_F(SecuritySetup, KeystoreGoesWhereJavaSecurityNamesTheIdentityDatabase) {
    const struct { std::string content, named; } cases[] = {
        {"#identity.database=C:/x/db.obj\n", ""}, {"identity.database=db.obj", "db.obj"},
        {"identity.database=\\\\server\\share//db.obj", "\\\\server\\share\\db.obj"},
        // Regressions: an empty value left the keystore uninstalled, and the rest of a line longer
        // than the read buffer was read as a line of its own.
        {"identity.database=  \n", ""},
        {"#" + std::string(1999, 'x') + "identity.database=C:/wrong/db.obj\nidentity.database=" +
             dir.path() + "/data//ids/identitydb.obj  \r\nidentity.database=C:/second/db.obj\n",
         dir.file("data\\ids\\identitydb.obj")},
    };
    char named[PathBufferSize];
    makeDirs(dir.file("data"));
    for (const auto& c : cases) {
        writeFile(security + "\\java.security", c.content);
        EXPECT_EQ(Security().getIdentityIdFilename(jre.c_str(), named), !c.named.empty());
        EXPECT_EQ(named, c.named) << c.content;
    }
    EXPECT_TRUE(addKeystore("kivuser", ""));
    EXPECT_EQ(readFile(dir.file("data\\ids\\identitydb.obj")), "identities");
    EXPECT_FALSE(exists(profile + "\\identitydb.obj") || exists(home + "\\profiles"));
}

// ${user.home} is the user's profile (test_provision.py); where the Windows directory holds a
// profiles folder, the login name's folder in it gets a copy.
TEST_F(SecuritySetup, KeystoreForTheUserHomeGoesIntoAnOldProfilesFolderToo) {
    makeDirs(home + "\\profiles");
    EXPECT_TRUE(addKeystore("", "kivtester"));  // an empty UserName falls back to DefaultUserName
    EXPECT_EQ(readFile(home + "\\profiles\\kivtester\\identitydb.obj"), "identities");
    // A login name that would lead out of the profiles directory is not used.
    EXPECT_TRUE(addKeystore("..\\..\\escape", ""));
    EXPECT_FALSE(exists(dir.file("escape")) || exists(home + "\\escape"));
}

TEST_F(SecuritySetup, ABackupNeverReplacesAnotherFilesOriginal) {
    // Regression: java.policy and java.txt share the backup name java.001; the second backup
    // overwrote the first original, and a file named java.001 was backed up onto itself.
    writeFile(security + "\\java.txt", "original txt");
    writeFile(security + "\\java.policy", "original policy");
    writeFile("java.txt", "package txt");
    writeFile("java.policy", "package policy");
    EXPECT_TRUE(addSecurity("${java.home}/lib/security/java.txt",
                            "${java.home}/lib/security/java.policy", "", true));
    EXPECT_EQ(readFile(security + "\\java.001"), "original txt");
    EXPECT_EQ(readFile(security + "\\java.txt"), "package txt");
    EXPECT_EQ(readFile(security + "\\java.policy"), "original policy");
    // The change record, in the run's language (English: the default).
    EXPECT_EQ(readFile("changes.txt"), "Renamed to " + security + "\\java.txt identitydb.001\r\n");
    writeFile("java.001", "package backup-named file");
    EXPECT_TRUE(addSecurity("", "${java.home}/lib/security/java.001", "", true));
    EXPECT_EQ(readFile(security + "\\java.001"), "original txt");
}
