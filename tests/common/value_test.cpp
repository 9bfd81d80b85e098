#include <gtest/gtest.h>

#include "common/value.h"

namespace {

struct Case {
    const char* text;
    double value;
};

TEST(NumericValue, TakesTheLeadingNumberOnly) {
    const Case cases[] = {
        {"30", 30},
        {"-3", -3},
        {"+2", 2},
        {"12.34", 12.34},
        {".5", 0.5},
        {"5.", 5},
        {"054.7", 54.7},
        {"1.2.3", 1.2},
        {"5,2", 5},
        {"12abc", 12},
        {"4512.345", 4512.345},
        {"1e3", 1000},
        {"2.5E-1", 0.25},
        {"1e", 1},
        {"1e+", 1},
        {"3ex", 3},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(marivent::numeric_value(c.text), c.value) << c.text;
}

TEST(NumericValue, SkipsBlanksTabsAndLineFeedsAtTheStartOnly) {
    EXPECT_DOUBLE_EQ(marivent::numeric_value(" \t\n 45"), 45);
    EXPECT_DOUBLE_EQ(marivent::numeric_value("\n$GPRMC"), 0);
    EXPECT_DOUBLE_EQ(marivent::numeric_value("- 5"),
                     0); // nothing may stand between sign and digits
    EXPECT_DOUBLE_EQ(marivent::numeric_value("\r5"), 0); // a carriage return is not skipped
}

TEST(NumericValue, IsZeroWithoutALeadingNumber) {
    for (const char* t : {"", " ", "abc", "-", "+", ".", "-.", "e5", ",5", "N"})
        EXPECT_EQ(marivent::numeric_value(t), 0) << '"' << t << '"';
}

TEST(NumericValue, NeverFailsOnHugeOrLongInput) {
    EXPECT_EQ(marivent::numeric_value("1e999"), 0);
    EXPECT_DOUBLE_EQ(marivent::numeric_value(std::string(5000, '9') + "e-5000"), 1); // 0.999...
    EXPECT_EQ(marivent::numeric_value("-1e999"), 0);
    EXPECT_DOUBLE_EQ(marivent::numeric_value("0." + std::string(5000, '0') + "1e5000"), 0.1);
}

} // namespace
