// Journal > Corriger by the keyboard: a line's number and its correction appended, the line left
// as it was and shown struck through by Journal > Lire.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "journ.h"
#include "window_support.h"

namespace {

using marivent::app::Journ;
using marivent::testing::read_bytes;
using marivent::testing::wait_for;
using marivent::testing::write_bytes;
using WindowTest = marivent::testing::WindowFixture;

const std::string journal_head = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n";
const std::string entry = "14:35 N4512.345 E00512.345  5,2 54  WPT01 \r\n";

// Types into a box as a keyboard does: one event per character.
void type_into(QWidget* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Alt+J, C, the number, Enter (to the correction), the text; Enter is left to the caller.
void type_correction(Journ& w, const QString& number, const QString& text) {
    QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, Qt::Key_J, Qt::AltModifier);
    QMenu* menu = w.findChild<QMenu*>("mnujournal");
    ASSERT_TRUE(wait_for([&] { return menu->isVisible(); }));
    QTest::keyClick(menu, Qt::Key_C);
    QWidget* number_box = w.control("corrligne");
    ASSERT_TRUE(wait_for([&] { return number_box->hasFocus(); }));
    type_into(number_box, number);
    QTest::keyClick(number_box, Qt::Key_Return);
    if (text.isNull()) return;
    ASSERT_TRUE(w.control("correction")->hasFocus());
    type_into(w.control("correction"), text);
}

QString note_of(const Journ& w) {
    return w.findChild<QLabel*>("note")->text();
}

TEST_F(WindowTest, ACorrectionIsAppendedTheLineStaysAndLireStrikesIt) {
    write_bytes(root / "journal.txt", journal_head + entry);
    auto w = open();
    w->prefs.decalage = "1";
    type_correction(*w, "4", "vitesse 6,2 nœuds, pas 5,2");
    QTest::keyClick(w->control("correction"), Qt::Key_Return);
    EXPECT_FALSE(w->control("corrigerf")->isVisible());
    // The computer's time less the offset (no GPS), marked so; the entry itself untouched.
    const std::string corrected =
        journal_head + entry +
        "13:35 Correction de la ligne 4 (heure de l'ordinateur) : vitesse 6,2 n\x9C"
        "uds, pas 5,2\r\n";
    EXPECT_EQ(read_bytes(root / "journal.txt"), corrected);
    EXPECT_EQ(note_of(*w), "Correction de la ligne 4 écrite dans le journal ; la ligne reste "
                           "telle quelle, barrée dans Journal > Lire, à l'heure de l'ordinateur "
                           "(pas d'heure du GPS).");
    // A second correction of the same line, and one of the first correction.
    type_correction(*w, " 4 ", "cap 64");
    QTest::keyClick(w->control("correction"), Qt::Key_Enter);
    type_correction(*w, "5", "heure 13:36");
    QTest::keyClick(w->control("correction"), Qt::Key_Return);
    w->menu("mnujoulire")->trigger();
    ASSERT_EQ(viewer.shown.size(), 1u);
    // The file as it is, after what the program says of its seal.
    EXPECT_TRUE(viewer.shown[0].text.ends_with("\r\n\r\n" + read_bytes(root / "journal.txt")));
    ASSERT_EQ(viewer.shown[0].struck.size(), 2u);
    EXPECT_EQ(viewer.shown[0].struck[0].number, 4);
    EXPECT_EQ(viewer.shown[0].struck[0].beside, "[corrig\xE9"
                                                "e ligne 5 : vitesse 6,2 n\x9C"
                                                "uds, pas 5,2 ; ligne 6 : cap 64]");
    EXPECT_EQ(viewer.shown[0].struck[1].number, 5);
    EXPECT_EQ(viewer.shown[0].struck[1].beside, "[corrig\xE9"
                                                "e ligne 7 : heure 13:36]");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowTest, ACorrectionRefusedStaysOpenOnTheBoxToPutRight) {
    write_bytes(root / "journal.txt", journal_head + entry);
    auto w = open();
    struct Case {
        const char* number;
        const char* text;
        const char* said;
        const char* focus;
    };
    const Case cases[] = {
        {"9", "x", "Correction non écrite : le journal n'a pas de ligne 9 (il en a 4).",
         "corrligne"},
        {"1", "x",
         "Correction non écrite : la ligne 1 est l'en-tête du journal : elle ne se corrige pas.",
         "corrligne"},
        {"3", "x",
         "Correction non écrite : la ligne 3 est une ligne de date : corrigez plutôt les lignes "
         "qu'elle date.",
         "corrligne"},
        {"4a", "x",
         "Correction non écrite : « 4a » n'est pas un numéro de ligne (Journal > Lire numérote "
         "les lignes).",
         "corrligne"},
        {"4", "cap → 270",
         "Correction non écrite : le caractère « → » ne peut pas être gardé dans le journal "
         "(Windows-1252) : la correction n'est pas écrite, corrigez-la.",
         "correction"},
    };
    for (const Case& c : cases) {
        type_correction(*w, QString::fromUtf8(c.number), QString::fromUtf8(c.text));
        QTest::keyClick(w->control("correction"), Qt::Key_Return);
        EXPECT_TRUE(w->control("corrigerf")->isVisible()) << c.number;
        EXPECT_EQ(note_of(*w), QString::fromUtf8(c.said)) << c.number;
        EXPECT_TRUE(w->control(c.focus)->hasFocus()) << c.number;
        QTest::keyClick(w->control("correction"), Qt::Key_Escape);
        EXPECT_FALSE(w->control("corrigerf")->isVisible()) << c.number;
    }
    // No number: Enter in the number box waits for one; Enter with the text asks for it.
    type_correction(*w, "", "x");
    QTest::keyClick(w->control("correction"), Qt::Key_Return);
    EXPECT_EQ(note_of(*w), "Correction non écrite : donnez le numéro de la ligne à corriger, tel "
                           "que Journal > Lire le montre.");
    QTest::keyClick(w->control("corrligne"), Qt::Key_Escape);
    // An empty correction.
    type_correction(*w, "4", "   ");
    QTest::keyClick(w->control("correction"), Qt::Key_Return);
    EXPECT_EQ(note_of(*w), "Correction non écrite : la correction est vide : rien n'est écrit.");
    QTest::keyClick(w->control("correction"), Qt::Key_Escape);
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + entry); // nothing half written
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
