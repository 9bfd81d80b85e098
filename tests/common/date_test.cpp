#include <gtest/gtest.h>

#include "common/date.h"

namespace {

using marivent::add_days;
using marivent::Date;

TEST(AddDays, MonthAndYearEnds) {
    EXPECT_EQ(add_days({2026, 12, 7}, 1), (Date{2026, 12, 8}));
    EXPECT_EQ(add_days({2026, 12, 31}, 1), (Date{2027, 1, 1}));
    EXPECT_EQ(add_days({2027, 1, 1}, -1), (Date{2026, 12, 31}));
    EXPECT_EQ(add_days({2026, 4, 30}, 1), (Date{2026, 5, 1}));
    EXPECT_EQ(add_days({2026, 3, 1}, -1), (Date{2026, 2, 28}));
}

TEST(AddDays, LeapYears) {
    EXPECT_EQ(add_days({2024, 2, 28}, 1), (Date{2024, 2, 29}));
    EXPECT_EQ(add_days({2024, 3, 1}, -1), (Date{2024, 2, 29}));
    EXPECT_EQ(add_days({2100, 2, 28}, 1), (Date{2100, 3, 1}));  // not a leap year
    EXPECT_EQ(add_days({2000, 2, 28}, 1), (Date{2000, 2, 29})); // a leap year
    EXPECT_EQ(add_days({2000, 1, 1}, 366), (Date{2001, 1, 1}));
    EXPECT_EQ(add_days({2001, 1, 1}, -366), (Date{2000, 1, 1}));
}

TEST(AddDays, EveryDayOfFourCenturiesFollowsTheOneBefore) {
    Date d{1900, 1, 1};
    for (int i = 0; i < 146097; ++i) {
        const Date next = add_days(d, 1);
        ASSERT_TRUE(marivent::is_valid_date(next));
        ASSERT_GT(next, d);
        ASSERT_EQ(add_days(next, -1), d);
        // The next day is the day after in the month, or the first of the next month.
        if (next.month == d.month) {
            ASSERT_EQ(next.day, d.day + 1);
        } else {
            ASSERT_EQ(next.day, 1);
            ASSERT_FALSE(marivent::is_valid_date({d.year, d.month, d.day + 1}));
        }
        d = next;
    }
    EXPECT_EQ(d, (Date{2300, 1, 1}));
}

} // namespace
