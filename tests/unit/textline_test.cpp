// The line reader under each of its rules, on real files.
#include "base/textline.h"
#include "testdir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(LineReader, ReadsEachRule) {
    const LineRule text = textLines(5);
    const LineRule bytes = {5, AnyLineEnds, true, true};
    const struct {
        const char* name;
        std::string content;
        LineRule rule;
        std::vector<std::string> lines;  // "!" at the end: the line was cut
    } cases[] = {
        {"text mode folds CR LF", "ab\r\ncd\n", text, {"ab", "cd"}},
        {"a lone CR stays in the line", "ab\rcd", text, {"ab\rcd"}},
        {"the rest of a long line is skipped", "abcdefgh\nij", text, {"abcde!", "ij"}},
        {"text mode ends at Ctrl-Z", std::string("ab\x1a" "cd\n"), text, {"ab"}},
        {"a mark is kept unless skipped", "\xEF\xBB\xBFx\n", text, {"\xEF\xBB\xBFx"}},
        {"every line end", "a\r\nb\nc\rd", bytes, {"a", "b", "c", "d"}},
        {"empty lines count", "\r\n\r\r\n", bytes, {"", "", ""}},
        {"bytes stay bytes", std::string("a\x1a" "b\n", 4), bytes, {std::string("a\x1a" "b")}},
        {"the mark is skipped", "\xEF\xBB\xBFkey\r\n", bytes, {"key"}},
        {"a mark's first byte alone is text", "\xEFkey", bytes, {"\xEFkey"}},
        {"an empty file has no line", "", bytes, {}},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeFile(dir.file("f.txt"), c.content);
        LineReader reader(dir.file("f.txt").c_str(), c.rule);
        ASSERT_TRUE(reader.isOpen()) << c.name;
        std::vector<std::string> lines;
        char line[6];
        bool whole;
        while (reader.read(line, &whole)) lines.push_back(std::string(line) + (whole ? "" : "!"));
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(readFile(dir.file("f.txt")), c.content) << c.name;  // never changed
    }
    LineReader missing("no such file", text);
    char line[6];
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.read(line));
}
