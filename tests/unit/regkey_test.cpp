// The registry reader of base/regkey.h on the real registry of the test prefix: a value that does
// not fit the buffer counts as absent.
#include "base/regkey.h"
#include "base/strbuf.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>

#include <string>

TEST(RegKey, ValueTooLongForTheBufferCountsAsAbsent) {
    const char* path = "SOFTWARE\\LauncherTest\\RegKey";
    RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS), ERROR_SUCCESS);
    std::string big(6000, 'v');
    RegSetValueExA(key.get(), "big", 0, REG_SZ, (const BYTE*)big.c_str(), (DWORD)big.size() + 1);
    RegSetValueExA(key.get(), "small", 0, REG_SZ, (const BYTE*)"C:\\jre", 7);
    // A value stored without its terminator still reads as a terminated text.
    RegSetValueExA(key.get(), "bare", 0, REG_BINARY, (const BYTE*)"abc", 3);
    key.close();

    char buffer[PathBufferSize];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(readRegistryText(HKEY_CURRENT_USER, path, "big", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(readRegistryText(HKEY_CURRENT_USER, path, "small", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\jre");
    memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(readRegistryText(HKEY_CURRENT_USER, path, "bare", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(readRegistryText(HKEY_CURRENT_USER, path, "missing", buffer, sizeof buffer));
    EXPECT_FALSE(readRegistryText(HKEY_CURRENT_USER, "SOFTWARE\\LauncherTest\\None", "x", buffer,
                                  sizeof buffer));
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\LauncherTest");
}
