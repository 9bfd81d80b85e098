// The regional settings taken from Qt's locales.
#include <gtest/gtest.h>

#include <QDateTime>
#include <cstdlib>
#include <ctime>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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

// The journal in the program's viewer: its lines numbered as Journal > Corriger takes them, the
// program's notices above them unnumbered, a corrected line struck through and its correction
// beside it, not struck.
TEST(QtViewer, JournalLinesNumberedAndTheCorrectedOnesStruck) {
    marivent::app::QtTextViewer viewer;
    const std::string journal = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n"
                                "14:35 N4512.345 E00512.345  5,2 54  \xC9"
                                "cueil \r\n"
                                "note\rcr\n"
                                "14:50 Correction de la ligne 4 : 6,2\r\n"
                                "cut";
    viewer.show_journal("journal.txt", "(Remarque du programme) sceau\r\n", journal,
                        {{4, "[corrig\xE9"
                             "e ligne 6 : 6,2]"}});
    auto* view = qobject_cast<QPlainTextEdit*>(viewer.window("journal.txt"));
    ASSERT_NE(view, nullptr);
    const QStringList lines = view->toPlainText().split('\n');
    EXPECT_EQ(lines,
              QStringList({"(Remarque du programme) sceau", "",
                           "1  Heure        Position        Vi. Cap  Vers", "2  ", "3  07/12/2026",
                           "4  14:35 N4512.345 E00512.345  5,2 54  Écueil   [corrigée "
                           "ligne 6 : 6,2]",
                           "5  note cr", "6  14:50 Correction de la ligne 4 : 6,2", "7  cut"}));
    // Struck: exactly the text of line 4, neither its number nor what is beside it.
    const QTextBlock block = view->document()->findBlockByNumber(5);
    const QString text = block.text();
    const int first = 3, last = static_cast<int>(text.indexOf("  [corrig")) - 1;
    for (int at = 0; at < text.size(); ++at) {
        QTextCursor c(block);
        c.setPosition(block.position() + at + 1); // the format of the character before
        EXPECT_EQ(c.charFormat().fontStrikeOut(), at >= first && at <= last) << at;
    }
    for (int b : {2, 6, 7})
        EXPECT_FALSE(
            QTextCursor(view->document()->findBlockByNumber(b)).charFormat().fontStrikeOut());
}

} // namespace
