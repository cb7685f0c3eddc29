// JvmWin: the hives and registry views a search reads. The 32-bit build,
// which cannot run here, takes the path of a 32-bit program on 64-bit
// Windows; both answers are shown.
#include "jvm/jvmwin.h"

#include <gtest/gtest.h>

TEST(JvmWin, MachineKeysAreReadInBothViewsOn64BitWindowsThenTheUsersKeys) {
    // Regression: the 32-bit build read the 32-bit view only and so missed
    // every 64-bit JVM of a 64-bit Windows.
    HiveView views[MaxHiveViews];
    ASSERT_EQ(hiveViews(true, views), 3u);
    EXPECT_EQ(views[0].root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(views[0].view, (REGSAM)KEY_WOW64_64KEY);
    EXPECT_EQ(views[1].root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(views[1].view, (REGSAM)KEY_WOW64_32KEY);
    EXPECT_EQ(views[2].root, HKEY_CURRENT_USER);
    EXPECT_EQ(views[2].view, (REGSAM)0);

    // 32-bit Windows: its one view, no view flag.
    ASSERT_EQ(hiveViews(false, views), 2u);
    EXPECT_EQ(views[0].root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(views[0].view, (REGSAM)0);
    EXPECT_EQ(views[1].root, HKEY_CURRENT_USER);

    EXPECT_TRUE(windowsIs64Bit());  // this test program is 64-bit
}
