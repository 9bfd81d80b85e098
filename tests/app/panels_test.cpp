// The panels and lists of the window one at a time, and Escape on the preferences.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "instruments.h"
#include "journ.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::read_bytes;
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
    EXPECT_EQ(read_bytes(root / "journlog.txt").substr(0, 4), std::string("\x02\x00" "45", 4));
}

TEST_F(PanelsTest, ShowingAPanelOrAListPutsAwayTheOneShownBefore) {
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
    w->menu("mnuoutilpref")->trigger(); // again: stays, with what it had
    EXPECT_EQ(shown(*w), QStringList({"prefer"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
