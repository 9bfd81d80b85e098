#include <gtest/gtest.h>

#include "common/date.h"
#include "common/date_format.h"

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

TEST(ReadDate, TheFirstFormatThatReadsTheTextGivesTheDate) {
    const auto dmy = *marivent::DateFormat::parse("dd/MM/yyyy");
    const auto mdy = *marivent::DateFormat::parse("MM/dd/yyyy");
    EXPECT_EQ(marivent::read_date("07/12/2026", {dmy, mdy}), (Date{2026, 12, 7}));
    EXPECT_EQ(marivent::read_date("07/12/2026", {mdy, dmy}), (Date{2026, 7, 12}));
    EXPECT_EQ(marivent::read_date("12/25/2026", {dmy, mdy}),
              (Date{2026, 12, 25})); // only the second
    EXPECT_FALSE(marivent::read_date("07/12/2026", {}));
}

TEST(ReadDate, TheJournalsFormatsReadFrenchGermanAndIsoDatesOnly) {
    const auto formats = marivent::default_date_formats();
    EXPECT_EQ(marivent::read_date("07/12/2026", formats), (Date{2026, 12, 7}));
    EXPECT_EQ(marivent::read_date("07.12.2026", formats), (Date{2026, 12, 7}));
    EXPECT_EQ(marivent::read_date(" 2026-12-07 ", formats), (Date{2026, 12, 7}));
    EXPECT_EQ(marivent::read_date("7.2.2026", formats), (Date{2026, 2, 7}));
    for (const char* not_one : {"", "Heure", "31/02/2026", "2026/12/07", "07-12-2026", "07/12/26",
                                "07/12/2026 14:35", "12.5"})
        EXPECT_FALSE(marivent::read_date(not_one, formats)) << not_one;
}

} // namespace
