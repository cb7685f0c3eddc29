// Bounded copy, append and format: a value that does not fit is cut at the capacity, always
// terminated, and not a byte beyond the capacity is written.
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

TEST(StrBuf, EveryHelperStaysInsideItsCapacity) {
    enum Op { Copy, Append, CopyN, Format };
    const struct {
        Op op;
        const char* start;  // the buffer's text before the call
        const char* src;
        size_t cap, count;
        bool fits;
        const char* result;
    } cases[] = {
        {Copy, "", "abc", 4, 0, true, "abc"},
        {Copy, "", "abcd", 4, 0, false, "abc"},
        {Copy, "old", nullptr, 4, 0, true, ""},
        {Copy, "", "", 1, 0, true, ""},
        {Copy, "", "a", 1, 0, false, ""},
        {Append, "ab", "c", 4, 0, true, "abc"},
        {Append, "ab", "cd", 4, 0, false, "abc"},
        {Append, "abc", "", 4, 0, true, "abc"},
        {CopyN, "", "abcdef", 8, 3, true, "abc"},
        {CopyN, "", "ab", 8, 5, true, "ab"},
        {CopyN, "", "abcdef", 3, 5, false, "ab"},
        {Format, "", "abc", 8, 0, true, "<abc>"},
        {Format, "", "abcdef", 6, 0, false, "<abcd"},
    };
    ScratchDir dir;  // a cut is traced into the work directory
    for (const auto& c : cases) {
        char buffer[16];
        memset(buffer, 'Z', sizeof buffer);
        strcpy(buffer, c.start);
        bool fits = false;
        switch (c.op) {
            case Copy: fits = copyText(buffer, c.cap, c.src); break;
            case Append: fits = appendText(buffer, c.cap, c.src); break;
            case CopyN: fits = copyTextN(buffer, c.cap, c.src, c.count); break;
            case Format: fits = formatText(buffer, c.cap, "<%s>", c.src); break;
        }
        std::string label = std::string(c.start) + "|" + (c.src ? c.src : "null");
        EXPECT_EQ(fits, c.fits) << label;
        EXPECT_STREQ(buffer, c.result) << label;
        for (size_t i = c.cap; i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], 'Z') << label << " byte " << i;
    }
    char empty[1] = {'Z'};
    EXPECT_FALSE(copyText(empty, 0, "a"));  // no room at all: nothing written
    EXPECT_EQ(empty[0], 'Z');

    // The array form takes the capacity from the array; a cut is traced.
    writeFile("jinstall.log", "");
    char small[4];
    EXPECT_FALSE(copyText(small, "abcdef"));
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(logLines("jinstall.log"), std::vector<std::string>({"text cut to 3 characters: abcdef"}));
}
