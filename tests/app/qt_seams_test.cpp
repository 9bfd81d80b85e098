// The regional settings taken from Qt's locales.
#include <gtest/gtest.h>

#include <QDateTime>
#include <cstdlib>
#include <ctime>

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

TEST(SystemClockTest, LocalTimeOfTheSecondAndTheZoneSeenAgainTheNextSecond) {
    const QByteArray zone = qgetenv("TZ");
    const bool had_zone = qEnvironmentVariableIsSet("TZ");
    auto at = [](const marivent::LocalDateTime& t) {
        return QDateTime(QDate(t.date.year, t.date.month, t.date.day),
                         QTime(t.hour, t.minute, t.second));
    };
    const marivent::app::SystemClock clock;
    // Called many times in a second, it gives that second's local time, as Qt reads it.
    const QDateTime before = QDateTime::currentDateTime();
    for (int i = 0; i < 1000; ++i) {
        const QDateTime shown = at(clock.now());
        const QDateTime after = QDateTime::currentDateTime();
        ASSERT_LE(std::abs(shown.secsTo(after)), 1) << shown.toString().toStdString();
    }
    ASSERT_LE(before.secsTo(QDateTime::currentDateTime()), 5);
    // Another zone shows from the next second on: the clock is never stuck on the first one.
    qputenv("TZ", "UTC0");
    tzset();
    const QDateTime utc_shown = [&] {
        const QDateTime start = QDateTime::currentDateTimeUtc();
        while (QDateTime::currentDateTimeUtc().toSecsSinceEpoch() == start.toSecsSinceEpoch()) {
        }
        return at(clock.now());
    }();
    qputenv("TZ", "XXX-5");
    tzset();
    const QDateTime start = QDateTime::currentDateTimeUtc();
    while (QDateTime::currentDateTimeUtc().toSecsSinceEpoch() == start.toSecsSinceEpoch()) {
    }
    const QDateTime plus_five = at(clock.now());
    if (had_zone)
        qputenv("TZ", zone);
    else
        qunsetenv("TZ");
    tzset();
    const qint64 gap = utc_shown.secsTo(plus_five);
    EXPECT_GE(gap, 5 * 3600) << utc_shown.toString().toStdString() << " then "
                             << plus_five.toString().toStdString();
    EXPECT_LE(gap, 5 * 3600 + 3);
}

} // namespace
