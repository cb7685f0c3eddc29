// \uXXXX escapes of native.properties read back into the ANSI code page (Windows-1252 here).
#include "base/codepage.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(PropertyEscapes, ReadBack) {
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
