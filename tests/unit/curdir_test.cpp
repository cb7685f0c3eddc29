// The scoped current directory: back where it was on every exit path.
#include "base/curdir.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <direct.h>

#include <string>

static std::string current() {
    char buffer[1024];
    return _getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST(CurrentDirectory, ReturnsToTheSavedDirectory) {
    ScratchDir dir;
    makeDirs(dir.file("sub"));
    const std::string start = current();
    {
        CurrentDirectory here;
        ASSERT_TRUE(here.enter(dir.file("sub").c_str()));
        EXPECT_EQ(current(), dir.file("sub"));
    }
    EXPECT_EQ(current(), start);
    {
        CurrentDirectory here;
        EXPECT_FALSE(here.enter(dir.file("missing").c_str()));
        EXPECT_FALSE(here.enter(""));
    }
    EXPECT_EQ(current(), start);

    // Regression: a drive root was saved as "C:", which names the current
    // directory of drive C (here the directory just entered), not its root.
    const std::string root = start.substr(0, 3);
    ASSERT_EQ(_chdir(root.c_str()), 0);
    {
        CurrentDirectory here;
        EXPECT_STREQ(here.saved(), root.c_str());
        ASSERT_TRUE(here.enter(dir.file("sub").c_str()));
    }
    EXPECT_EQ(current(), root);
    _chdir(start.c_str());
}
