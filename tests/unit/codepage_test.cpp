// Properties values of any letters: written as \uXXXX escapes and read back
// into the ANSI code page (Windows-1252 in the test prefix, where the test
// program runs without the launcher's UTF-8 manifest).
#include "base/codepage.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>

TEST(PropertyEscapes, WrittenAndReadBack) {
    ScratchDir dir;
    FILE* file = fopen(dir.file("p").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    writeProperty(file, "home", "C:/B\xFCro");
    writeProperty(file, "plain", "C:/jvm");
    fclose(file);
    EXPECT_EQ(readFile(dir.file("p")), "home=C:/B\\u00FCro\nplain=C:/jvm\n");

    struct Case {
        const char* line;
        const char* read;
    } cases[] = {
        {"home=C:/B\\u00fcro", "home=C:/B\xFCro"},
        // A letter the code page has not, and what is no escape, stay.
        {"home=C:/\\u042F\\u00FC", "home=C:/\\u042F\xFC"},
        {"home=C:\\\\users\\u00", "home=C:\\\\users\\u00"},
    };
    for (const Case& c : cases) {
        char line[64];
        strcpy(line, c.line);
        fromPropertyEscapes(line, sizeof line);
        EXPECT_STREQ(line, c.read) << c.line;
    }
    // A result that does not fit stops at a whole character.
    char small[16] = "\\u00FCabc";
    fromPropertyEscapes(small, 3);
    EXPECT_STREQ(small, "\xFC" "a");
}
