// The regional settings taken from Qt's locales.
#include <gtest/gtest.h>

#include "qt_seams.h"

namespace {

using marivent::Date;
using marivent::app::QtRegionalSettings;

TEST(QtRegional, FrenchDatesReadBackWithOrWithoutLeadingZeros) {
    const QtRegionalSettings fr(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(fr.short_date({2026, 12, 7}), "07/12/2026");
    EXPECT_EQ(fr.parse_short_date("07/12/2026"), (Date{2026, 12, 7}));
    EXPECT_EQ(fr.parse_short_date(" 7/3/2026 "), (Date{2026, 3, 7}));
    EXPECT_FALSE(fr.parse_short_date("31/02/2026"));
    EXPECT_FALSE(fr.parse_short_date("Heure        Position"));
    EXPECT_EQ(fr.decimal_separator(), ',');
}

TEST(QtRegional, NoRegionalSettingsMeansFrenchAndYearsHaveFourDigits) {
    const QtRegionalSettings c(QLocale::c());
    EXPECT_EQ(c.short_date({2026, 1, 5}), "05/01/2026");
    const QtRegionalSettings us(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::string d = us.short_date({2026, 1, 5});
    EXPECT_NE(d.find("2026"), std::string::npos) << d;
    EXPECT_EQ(us.parse_short_date(d), (Date{2026, 1, 5}));
    EXPECT_EQ(us.decimal_separator(), '.');
}

} // namespace
