// The home directory's lookup in the search path (install/installer.cpp), on the real file system
// of the test prefix.
#include "install/installer.h"
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
        // Regression: only the first 5000 bytes of a long search path were looked at; a match after
        // them is found now.
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
