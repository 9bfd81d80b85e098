#include <gtest/gtest.h>

#include "common/format.h"
#include "common/number_text.h"

namespace {

using marivent::format_number;
using marivent::format_text;

struct Case {
    double value;
    const char* pattern;
    const char* french; // with "," as separator
};

TEST(FormatNumber, SpeedPatternLeavesOutWhatIsNotSignificant) {
    const Case cases[] = {
        {12.34, "###.#", "12,3"}, {12, "###.#", "12,"},        {0.5, "###.#", ",5"},
        {0, "###.#", ","},        {5.23, "###.#", "5,2"},      {12.96, "###.#", "13,"},
        {0.04, "###.#", ","},     {1234.5, "###.#", "1234,5"}, // wider than the pattern: whole
    };
    for (const Case& c : cases)
        EXPECT_EQ(format_number(c.value, c.pattern, ','), c.french) << c.value;
    EXPECT_EQ(format_number(12.34, "###.#", '.'), "12.3");
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnTheDecimalText) {
    EXPECT_EQ(format_number(0.25, "###.#", '.'), ".3");
    EXPECT_EQ(format_number(0.15, "###.#", '.'), ".2"); // 0.1499999... in binary
    EXPECT_EQ(format_number(2.675, "#00.00", '.'), "02.68");
    EXPECT_EQ(format_number(9.95, "###.#", '.'), "10.");
    EXPECT_EQ(format_number(-0.25, "###.#", '.'), "-.3");
    EXPECT_EQ(format_number(-0.04, "###.#", '.'), "."); // rounds to 0: no sign
}

TEST(FormatNumber, ZeroPlaceholdersAreAlwaysWritten) {
    EXPECT_EQ(format_number(5.5, "##00.000000", '.'), "05.500000");
    EXPECT_EQ(format_number(-5.5, "##00.000000", '.'), "-05.500000");
    EXPECT_EQ(format_number(0, "##00.000000", '.'), "00.000000");
    EXPECT_EQ(format_number(43.99999, "##00.000000", '.'), "43.999990");
    EXPECT_EQ(format_number(123.4567891, "##00.000000", '.'), "123.456789");
    EXPECT_EQ(format_number(1234.5, "##00.000000", ','), "1234,500000");
    EXPECT_EQ(format_number(7, "#00.00", '.'), "07.00");
    EXPECT_EQ(format_number(99.999, "#00.00", '.'), "100.00");
}

TEST(FormatText, RightAlignsInBlanksAndKeepsLongerTexts) {
    EXPECT_EQ(format_text("7", "@@@"), "  7");
    EXPECT_EQ(format_text("", "@@@@"), "    ");
    EXPECT_EQ(format_text("12", "@@@@@@"), "    12");
    EXPECT_EQ(format_text("12345", "@@@"), "12345");
}

TEST(NumberText, SameDigitsAndPointUnderEveryLocale) {
    using namespace marivent;
    EXPECT_EQ(integer_text(-12), "-12");
    EXPECT_EQ(integer_text(0), "0");
    EXPECT_EQ(integer_text(1234567), "1234567"); // no thousands separator
    EXPECT_EQ(hex_text(0), "0");
    EXPECT_EQ(hex_text(0x1F), "1F");
    EXPECT_EQ(hex_text(0xFFFFFFFFu), "FFFFFFFF");
    EXPECT_EQ(general_text(1.5), "1.5");
    EXPECT_EQ(general_text(-3), "-3");
    EXPECT_EQ(general_text(0.1 + 0.2), "0.3"); // 15 significant digits
    EXPECT_EQ(general_text(1e20), "1e+20");
    EXPECT_EQ(fixed_text(54.0, 0), "54");
    EXPECT_EQ(fixed_text(-34.4458333, 6), "-34.445833");
    EXPECT_EQ(scientific_text(0.15, 14), "1.50000000000000e-01");
}

} // namespace
