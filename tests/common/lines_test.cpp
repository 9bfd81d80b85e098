#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lines.h"

namespace marivent {
namespace {

using Lines = std::vector<std::string_view>;

Lines kept_lines(std::string_view text) {
    Lines lines;
    LineCursor cursor(text, LoneCr::kept);
    for (std::string_view line; cursor.next(line);)
        lines.push_back(line);
    return lines;
}

TEST(Lines, EachEndingEndsALineAndTheLastNeedsNone) {
    EXPECT_EQ(split_lines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(split_lines("a\r\n"), (Lines{"a"})); // an ending at the end begins no line
    EXPECT_EQ(split_lines("\n"), (Lines{""}));
    EXPECT_EQ(split_lines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(split_lines("a\r\r\nb"), (Lines{"a", "", "b"})); // a CR alone, then CR LF
    EXPECT_EQ(split_lines("a\n\rb"), (Lines{"a", "", "b"}));   // LF, then a CR alone
    EXPECT_TRUE(split_lines("").empty());
}

TEST(Lines, AtMostAsManyAsAsked) {
    EXPECT_EQ(split_lines("a\nb\nc", 2), (Lines{"a", "b"}));
    EXPECT_TRUE(split_lines("a\nb", 0).empty());
    EXPECT_EQ(split_lines("a", 5), (Lines{"a"}));
}

TEST(Lines, LinesAreViewsOfTheText) {
    const std::string text = "ab\r\ncd";
    const Lines lines = split_lines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].data(), text.data());
    EXPECT_EQ(lines[1].data(), text.data() + 4);
}

TEST(Lines, ALoneCrKeptStaysInItsLine) {
    EXPECT_EQ(kept_lines("a\r\nb\nc\rd"), (Lines{"a", "b", "c\rd"}));
    EXPECT_EQ(kept_lines("a\r\r\nb"), (Lines{"a\r", "b"})); // only the CR before the LF goes
    EXPECT_EQ(kept_lines("a\r"), (Lines{"a"}));             // and one at the very end
    EXPECT_EQ(kept_lines("\r"), (Lines{""}));
    EXPECT_EQ(kept_lines("\n\n"), (Lines{"", ""}));
    EXPECT_TRUE(kept_lines("").empty());
}

} // namespace
} // namespace marivent
