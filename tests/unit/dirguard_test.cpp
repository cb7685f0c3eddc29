// The one guard before deleting a tree: every spelling of the work directory, of the Windows
// directory and of the directories above them is refused; an ordinary directory beside them is not.
#include "base/dirguard.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ctype.h>


TEST(DirGuard, DeletionRefusal) {
    ScratchDir other;  // holds the home (Windows) directory
    ScratchDir work;   // current while the test runs
    const std::string home = other.file("windows dir");
    makeDirs(home);
    makeDirs(work.file("jvm"));
    std::string upper = work.path(), doubled = work.path(), slashes = work.path();
    for (char& c : upper) c = (char)toupper((unsigned char)c);
    doubled.insert(3, "\\");
    for (char& c : slashes) c = c == '\\' ? '/' : c;
    char windows[MAX_PATH], shortWork[MAX_PATH] = "", shortHome[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetShortPathNameA(work.path().c_str(), shortWork, MAX_PATH);
    GetShortPathNameA(home.c_str(), shortHome, MAX_PATH);
    ASSERT_NE(shortWork, work.path());
    const struct {
        std::string dir;
        bool refused;
    } cases[] = {
        {work.path(), true},         {upper + "\\", true},       {doubled, true},
        {slashes + "/", true},       {shortWork, true},          {work.path() + "\\.", true},
        {work.file("jvm\\.."), true},
        {work.path().substr(0, work.path().rfind('\\')), true},  // above the work directory
        {"C:\\", true},              {"C:", true},               {"jvm", true},
        {"\\\\server\\share", true}, {"", true},                 {home, true},
        {home + "\\", true},         {shortHome, true},          {other.path(), true},
        {windows, true},             {work.file("jvm"), false},  {other.file("jvm"), false},
        {"\\\\server\\share\\jvm", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deletionRefusal(c.dir.c_str(), home.c_str()) != nullptr, c.refused) << c.dir;
}
