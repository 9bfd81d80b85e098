// The panels and lists of the window one at a time, Escape on the preferences, and the texts the
// program writes at run time kept inside the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "fit_label.h"
#include "instruments.h"
#include "journ.h"
#include "scripted_serial.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::read_bytes;
using marivent::testing::ScriptedSerial;
using marivent::testing::write_bytes;

std::string record(const std::string& text) {
    std::string r(128, '\0');
    r[0] = static_cast<char>(text.size());
    return r.replace(2, text.size(), text);
}

// A settings file as a previous run left it: 45 minutes, 2 hours, two folders, com3, all talkers.
const std::string stored = record("45") + record("2") + record("c:\\ozi") + record("c:\\cmap") +
                           std::string("\x02\x00\x03\x00", 4) + std::string(124, 'x') + record("1");

struct PanelsTest : marivent::testing::WindowFixture {
    std::unique_ptr<Journ> open_active() {
        std::filesystem::create_directories(root / "ozi"); // the folders of the settings
        std::filesystem::create_directories(root / "cmap");
        write_bytes(root / "journlog.txt", stored);
        auto w = open();
        QApplication::setActiveWindow(w.get()); // key shortcuts go to the active window
        return w;
    }
    static QString caption(Journ& w, const char* name) {
        return qobject_cast<QAbstractButton*>(w.control(name))->text();
    }
    // The panels and lists shown, in a fixed order.
    static QStringList shown(Journ& w) {
        QStringList out;
        for (const char* name : {"prefer", "Frame1", "File1", "File2"})
            if (w.control(name)->isVisible()) out << name;
        return out;
    }
    // Changes the interval and the talker option from the keyboard, as a user at the panel does.
    static void edit_by_keyboard(Journ& w) {
        QWidget* command1 = w.control("Command1");
        ASSERT_TRUE(command1->hasFocus());
        QTest::keyClick(command1, Qt::Key_Up);
        ASSERT_EQ(caption(w, "Command1"), "50");
        auto* talkers = qobject_cast<QCheckBox*>(w.control("tousemet"));
        talkers->setFocus();
        QTest::keyClick(talkers, Qt::Key_Space);
        ASSERT_FALSE(talkers->isChecked());
    }
};

TEST_F(PanelsTest, EscapeOnThePreferencesAppliesAndSavesNothing) {
    auto w = open_active();
    ASSERT_EQ(w->prefs.intervalle, 45);
    ASSERT_TRUE(w->prefs.all_talkers);
    w->menu("mnuoutilpref")->trigger();
    edit_by_keyboard(*w);
    QTest::keyClick(w->control("tousemet"), Qt::Key_Escape);
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_EQ(read_bytes(root / "journlog.txt"), stored); // byte for byte
    EXPECT_EQ(w->prefs.intervalle, 45);
    EXPECT_EQ(w->prefs.command1, "45");
    EXPECT_EQ(w->prefs.decalage, "2");
    EXPECT_EQ(w->prefs.ozipath, "c:\\ozi");
    EXPECT_TRUE(w->prefs.all_talkers);
    EXPECT_EQ(w->MSComm1.CommPort, 3);
    EXPECT_TRUE(dialogs.messages.empty());

    // Shown again, the panel has what is in force, so OK does not bring back what was put away.
    w->menu("mnuoutilpref")->trigger();
    EXPECT_EQ(caption(*w, "Command1"), "45");
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w->control("tousemet"))->isChecked());
    // Escape from the folder list puts the panel away as well.
    auto* chemin = w->control("chemin");
    chemin->setFocus();
    QTest::keyClick(chemin, Qt::Key_Escape);
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_EQ(read_bytes(root / "journlog.txt"), stored);

    w->menu("mnuoutilpref")->trigger();
    qobject_cast<QPushButton*>(w->control("ok"))->click();
    EXPECT_EQ(read_bytes(root / "journlog.txt").substr(0, 4), std::string("\x02\x00"
                                                                          "45",
                                                                          4));
}

TEST_F(PanelsTest, ShowingAPanelOrAListPutsAwayTheOneShownBefore) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    auto w = open_active();
    w->menu("mnuoutilpref")->trigger();
    edit_by_keyboard(*w);
    w->menu("mnuozicmap")->trigger();
    EXPECT_EQ(shown(*w), QStringList({"File1"}));
    EXPECT_EQ(read_bytes(root / "journlog.txt"), stored); // the preferences put away, not applied
    EXPECT_EQ(w->prefs.intervalle, 45);
    EXPECT_EQ(caption(*w, "Command1"), "45");

    w->menu("mnulirewpts")->trigger();
    EXPECT_EQ(shown(*w), QStringList({"Frame1", "File1"})); // the transfer panel with its list
    w->instruments->mnuseatxt_Click();
    EXPECT_EQ(shown(*w), QStringList({"File2"}));
    EXPECT_TRUE(w->control("File2")->hasFocus());
    w->menu("mnuozicmap")->trigger();
    EXPECT_EQ(shown(*w), QStringList({"File1"}));
    EXPECT_FALSE(w->findChild<QLabel*>("note")->isHidden()); // the list it shows

    w->menu("mnuoutilpref")->trigger();
    EXPECT_EQ(shown(*w), QStringList({"prefer"}));
    EXPECT_TRUE(w->findChild<QLabel*>("note")->isHidden()); // no word of a list gone
    w->menu("mnuoutilpref")->trigger();                     // again: stays, with what it had
    EXPECT_EQ(shown(*w), QStringList({"prefer"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

// The window's right edge, in the label's coordinates.
int window_right(const Journ& w, const QWidget* label) {
    return label->mapFrom(&w, QPoint(w.width(), 0)).x();
}

TEST_F(PanelsTest, LongTextsOfTheStatusLineAndTheRejectedLinesStayInsideTheWindow) {
    ScriptedSerial::State dev;
    const std::string device =
        "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0";
    auto w = open({std::make_unique<ScriptedSerial>(dev), {device, "", "", ""}});
    w->note("Court.");
    w->grab();
    const QSize size = w->size();
    auto* note = static_cast<app::FitLabel*>(w->findChild<QLabel*>("note"));
    EXPECT_EQ(note->drawn(), "Court.");
    EXPECT_TRUE(note->toolTip().isEmpty());

    // A link whose output takes nothing: once the queue is full, sentences are left out.
    dev.accept = 0;
    w->menu("mnugpsdeb")->trigger();
    w->nav.rejetees = 123456788;
    const std::string good =
        "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n";
    dev.reads.push_back({"\r\n" + good.substr(0, good.size() - 4) + "21\r\n", {}, false, "", {}});
    w->MSComm1.readable();
    for (int read = 0; read < 27; ++read) {
        std::string lines;
        for (int i = 0; i < 100; ++i)
            lines += good;
        dev.reads.push_back({lines, {}, false, "", {}});
        w->MSComm1.readable();
    }
    const QString folder =
        QString::fromStdString((root / "cartes" / "Bretagne sud" / "Glénan" / "routes").string());
    w->note("Fichiers OziExplorer (.rte, .wpt, .plt) de " + folder +
            " : Entrée convertit, Échap ferme la liste.");
    w->show_status();
    w->grab();

    auto* rejet = static_cast<app::FitLabel*>(w->findChild<QLabel*>("rejet"));
    auto* status = static_cast<app::FitLabel*>(w->findChild<QLabel*>("statut"));
    ASSERT_TRUE(rejet->text().startsWith(
        "Lignes rejetées : 123456789 (dernière : somme de contrôle fausse) — "
        "non envoyées au pilote : "))
        << rejet->text().toStdString();
    ASSERT_TRUE(status->text().contains(QString::fromStdString(device)));
    for (app::FitLabel* label : {rejet, status, note}) {
        const std::string name = label->objectName().toStdString();
        EXPECT_TRUE(label->isVisible()) << name;
        EXPECT_TRUE(label->drawn().endsWith(QChar(0x2026)))
            << name << ": " << label->drawn().toStdString();
        EXPECT_TRUE(label->text().startsWith(label->drawn().chopped(1))) << name;
        const int right =
            label->room().left() + label->fontMetrics().horizontalAdvance(label->drawn());
        EXPECT_LE(right, window_right(*w, label)) << name;
        EXPECT_LE(right, label->width()) << name;
        EXPECT_EQ(label->toolTip(), label->text()) << name; // the whole text on the pointer
    }
    // The rejected lines stay inside the window's client area.
    const int client_right =
        rejet->mapFrom(w->centralWidget(), QPoint(w->centralWidget()->width(), 0)).x();
    EXPECT_LE(rejet->room().left() + rejet->fontMetrics().horizontalAdvance(rejet->drawn()),
              client_right);
    EXPECT_EQ(w->size(), size); // the window did not grow
}

} // namespace
