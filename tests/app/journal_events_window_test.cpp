// The window's journal entries on events: a passage with a new leg and a held change of course,
// the angle set in the preferences by the keyboard, and the freshness rules the timer's entries
// follow.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "common/number_text.h"
#include "journ.h"
#include "passage.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::fix_lines;
using marivent::testing::PassageSecond;
using marivent::testing::read_bytes;

const std::string journal_head = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n";

struct EventsTest : marivent::testing::WindowFixture {
    // The link opened on the scripted GPS, which begins with the line feed of a line start.
    std::unique_ptr<Journ> open_link() {
        auto w = open(scripted());
        w->menu("mnugpsdeb")->trigger();
        gps_sends(*w, "\r\n");
        return w;
    }
    // The seconds [from, to) of a passage, each at its time on the window's steady clock.
    void sail(Journ& w, const std::vector<PassageSecond>& passage, int from, int to) {
        for (const PassageSecond& p : passage) {
            if (p.second < from || p.second >= to) continue;
            steady.ms = p.second * 1000LL;
            gps_sends(w, fix_lines(p));
        }
    }
    std::string journal() { return read_bytes(root / "journal.txt"); }
    static QString note(const Journ& w) { return w.findChild<QLabel*>("note")->text(); }
    static QString status(Journ& w) {
        w.show_status();
        return w.findChild<QLabel*>("statut")->text();
    }
    static QLineEdit* anglecap(const Journ& w) {
        return qobject_cast<QLineEdit*>(w.control("anglecap"));
    }
    // Alt+C, the angle typed over what the box shows, then Tab.
    static void type_angle(Journ& w, const QString& text) {
        QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);
        ASSERT_TRUE(anglecap(w)->hasFocus());
        anglecap(w)->selectAll();
        QTest::keyClicks(anglecap(w), text);
        QTest::keyClick(anglecap(w), Qt::Key_Tab);
    }
    std::string record_15() {
        const std::string file = read_bytes(root / "journlog.txt");
        return file.size() < 14 * 128 + 2 ? "" : file.substr(14 * 128 + 2, file[14 * 128]);
    }
};

// The passage of tests/support/passage.h: at 150 s the destination goes from WPT01 to WPT02;
// from 160 s the boat steers 260 instead of 217 and keeps it; from 300 s to 359 s she yaws to
// 300 and comes back.
const std::string leg_entry =
    "09:32 N4751.150 W00354.450  6,2 217  WPT02  (changement de waypoint)\r\n";
const std::string course_entry =
    "09:34 N4751.280 W00354.840  6,2 260  WPT02  (changement de cap)\r\n";

TEST_F(EventsTest, APassageWritesTheNewLegAndTheHeldCourseOnceTheAngleIsSetByKeyboard) {
    app::SerialSetup serial = scripted();
    serial.devices[1] = "/dev/gps"; // OK chooses com2, as the panel preselects it
    auto w = open(std::move(serial));
    Journ& j = *w;
    QApplication::setActiveWindow(&j);
    j.menu("mnuoutilpref")->trigger();
    EXPECT_EQ(anglecap(j)->text(), "0"); // a new settings file: no entry on the course
    EXPECT_EQ(qobject_cast<QLabel*>(j.control("Labelanglecap"))->text(),
              "Entrée au journal si le &cap change de plus de");
    EXPECT_EQ(qobject_cast<QLabel*>(j.control("Labelanglecap2"))->text(),
              "degrés pendant 2 minutes (0 : jamais)");
    // Out of range: refused in French, the box shows the angle kept.
    type_angle(j, "200");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "L'angle du changement de cap n'est pas changé : « 200 » n'est pas un nombre entier "
              "de degrés de 0 à 180 (0 : jamais).");
    EXPECT_EQ(anglecap(j)->text(), "0");
    // After the pilot's line, before OK.
    EXPECT_EQ(QApplication::focusWidget(), j.control("ok"));
    type_angle(j, "30");
    ASSERT_EQ(QApplication::focusWidget(), j.control("ok"));
    QTest::keyClick(j.control("ok"), Qt::Key_Return);
    EXPECT_FALSE(j.control("prefer")->isVisible());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(j.prefs.course_angle, 30);
    EXPECT_EQ(record_15(), "30");

    j.menu("mnugpsdeb")->trigger();
    gps_sends(j, "\r\n");
    const auto passage = marivent::testing::leg_change_passage();
    sail(j, passage, 0, 150);
    EXPECT_EQ(journal(), journal_head); // the first destination is no change
    sail(j, passage, 150, 151);
    EXPECT_EQ(journal(), journal_head + "07/12/2026\r\n" + leg_entry);
    EXPECT_EQ(note(j), "Entrée au journal : changement de waypoint (WPT02).");
    EXPECT_EQ(j.menu("mnuheure")->text(), "14:35");
    sail(j, passage, 151, 280);
    EXPECT_EQ(journal(), journal_head + "07/12/2026\r\n" + leg_entry);
    sail(j, passage, 280, 281); // 260 held since 160 s
    EXPECT_EQ(journal(), journal_head + "07/12/2026\r\n" + leg_entry + course_entry);
    EXPECT_EQ(note(j), "Entrée au journal : changement de cap (260°).");
    sail(j, passage, 281, 420); // the yaw came back within the minute
    EXPECT_EQ(journal(), journal_head + "07/12/2026\r\n" + leg_entry + course_entry);
    EXPECT_FALSE(status(j).contains("journal")) << status(j).toStdString();
    EXPECT_EQ(j.compteur, 30); // the timer's count is its own
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // The next start reads the angle back and shows it.
    w.reset();
    auto again = open(scripted());
    EXPECT_EQ(again->prefs.course_angle, 30);
    again->menu("mnuoutilpref")->trigger();
    EXPECT_EQ(anglecap(*again)->text(), "30");
}

TEST_F(EventsTest, WithTheAngleAtZeroOnlyTheNewLegIsWritten) {
    auto w = open_link();
    sail(*w, marivent::testing::leg_change_passage(), 0, 420);
    EXPECT_EQ(journal(), journal_head + "07/12/2026\r\n" + leg_entry);
}

TEST_F(EventsTest, ANewLegFromAnOldFixIsNotWrittenAndTheStatusLineSaysWhy) {
    auto w = open_link();
    Journ& j = *w;
    std::vector<PassageSecond> passage = marivent::testing::leg_change_passage();
    sail(j, passage, 0, 10);
    // The GPS's fixes stop, its RMB goes on (a chart program's route through a multiplexer).
    for (int s = 10; s <= 17; ++s) {
        steady.ms = s * 1000LL;
        PassageSecond p = passage[static_cast<std::size_t>(s)];
        if (s == 17) p.destination = "WPT02";
        const std::string lines = fix_lines(p);
        gps_sends(j, lines.substr(lines.find("$GPRMB")));
    }
    EXPECT_EQ(journal(), journal_head);
    EXPECT_TRUE(status(j).contains("journal : pas d'entrée pour le changement de waypoint à 14:35 "
                                   "(aucune position du GPS depuis 8 s)"))
        << status(j).toStdString();
    // Fixes again: the change was not kept for later; the next one is written.
    for (PassageSecond& p : passage)
        p.destination = p.second < 30 ? "WPT02" : "WPT03";
    sail(j, passage, 18, 31);
    EXPECT_EQ(journal(),
              journal_head + "07/12/2026\r\n" +
                  "09:30 N4751.030 W00354.090  6,2 217  WPT03  (changement de waypoint)\r\n");
    EXPECT_FALSE(status(j).contains("journal")) << status(j).toStdString();
}

TEST_F(EventsTest, TheFirstLegAfterTheLinkOpensAgainIsNoChange) {
    auto w = open_link();
    Journ& j = *w;
    std::vector<PassageSecond> passage = marivent::testing::leg_change_passage();
    sail(j, passage, 0, 20);
    j.menu("mnugpsfin")->trigger();
    j.menu("mnugpsdeb")->trigger();
    gps_sends(j, "\r\n");
    // Meanwhile the GPS went on to WPT02: the window cannot tell when, so nothing is written.
    for (PassageSecond& p : passage)
        p.destination = p.second < 40 ? "WPT02" : "WPT03";
    sail(j, passage, 20, 40);
    EXPECT_EQ(journal(), journal_head);
    sail(j, passage, 40, 41);
    EXPECT_EQ(journal(),
              journal_head + "07/12/2026\r\n" +
                  "09:30 N4751.040 W00354.120  6,2 217  WPT03  (changement de waypoint)\r\n");
}

TEST_F(EventsTest, AJournalThatCannotBeWrittenIsToldOnceAndTheEntriesFollowLater) {
    auto w = open_link();
    Journ& j = *w;
    std::vector<PassageSecond> passage = marivent::testing::leg_change_passage();
    for (PassageSecond& p : passage)
        p.destination = "WPT0" + integer_text(1 + p.second / 10);
    sail(j, passage, 0, 10);
    std::filesystem::remove(root / "journal.txt");
    std::filesystem::create_directory(root / "journal.txt");
    sail(j, passage, 10, 30); // two new legs, neither written
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 1u); // after the event, once
    EXPECT_NE(dialogs.messages[0].text.find("journal"), std::string::npos);
    std::filesystem::remove(root / "journal.txt");
    sail(j, passage, 30, 31); // the disk back: every line kept back, in order, then this one
    QCoreApplication::processEvents();
    const std::string legs =
        "09:30 N4751.010 W00354.030  6,2 217  WPT02  (changement de waypoint)\r\n"
        "09:30 N4751.020 W00354.060  6,2 217  WPT03  (changement de waypoint)\r\n"
        "09:30 N4751.030 W00354.090  6,2 217  WPT04  (changement de waypoint)\r\n";
    EXPECT_EQ(journal(), journal_head + legs); // begun again, as a journal gone is
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].text.find("nouveau journal"), std::string::npos);
}

} // namespace
