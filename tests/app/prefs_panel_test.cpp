// The preferences panel in the window, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "journ.h"
#include "prefs_panel.h"
#include "scripted_serial.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::read_bytes;
using marivent::testing::write_bytes;

struct PanelTest : marivent::testing::WindowFixture {
    static QString caption(Journ& w, const char* name) {
        return qobject_cast<QAbstractButton*>(w.control(name))->text();
    }
    static void ok(Journ& w) { qobject_cast<QPushButton*>(w.control("ok"))->click(); }
};

std::string record(std::string text) {
    std::string r(2, '\0');
    r[0] = static_cast<char>(text.size());
    return r + text;
}

TEST_F(PanelTest, TheMenuShowsThePanelWithCom2SelectedOverTheOtherPanels) {
    auto w = open();
    EXPECT_FALSE(w->control("prefer")->isVisible());
    w->menu("mnuoutilpref")->trigger();
    EXPECT_TRUE(w->control("prefer")->isVisible());
    EXPECT_EQ(qobject_cast<QListWidget*>(w->control("portgps"))->currentRow(), 1);
    for (const char* c :
         {"Label10", "Command1", "UpDown1", "Label12", "Command2", "UpDown2", "Frame2", "Driv",
          "chemin", "ozichange", "Text1", "cmapchange", "Text3", "Text4", "portgps", "ok"})
        EXPECT_TRUE(w->control(c)->isVisible()) << c;
    EXPECT_EQ(w->control("UpDown1")->geometry(), QRect(368, 24, 16, 25));
    EXPECT_EQ(w->control("chemin")->geometry(), QRect(16, 40, 169, 66));
}

TEST_F(PanelTest, OkAtOnceAfterAStartWithPort3GivesPort2AndTheInitialFolders) {
    write_bytes(root / "journlog.txt",
                record("30") + std::string(124, 'a') + record("1") + std::string(125, 'b') +
                    record("c:\\mes routes") + std::string(113, 'c') + record("d:\\cmap") +
                    std::string(119, 'd') + std::string("\x02\x00\x03\x00", 4));
    auto w = open();
    EXPECT_EQ(w->MSComm1.CommPort, 3);
    EXPECT_EQ(w->prefs.ozipath, "c:\\mes routes");
    w->menu("mnuoutilpref")->trigger();
    ok(*w);
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_EQ(w->MSComm1.CommPort, 2);
    EXPECT_EQ(w->prefs.ozipath, "c:\\oziexplorer\\data");
    EXPECT_EQ(w->prefs.cmappath, "c:\\cmapecs\\routes");
    const std::string file = read_bytes(root / "journlog.txt");
    ASSERT_EQ(file.size(), 643u);
    EXPECT_EQ(file.substr(0, 4), std::string("\x02\x00"
                                             "30",
                                             4));
    EXPECT_EQ(file.substr(128, 3), std::string("\x01\x00"
                                               "1",
                                               3));
    EXPECT_EQ(file.substr(256, 21), std::string("\x13\x00", 2) + "c:\\oziexplorer\\data");
    EXPECT_EQ(file.substr(384, 19), std::string("\x11\x00", 2) + "c:\\cmapecs\\routes");
    EXPECT_EQ(file.substr(512, 4), std::string("\x02\x00\x02\x00", 4));
    EXPECT_EQ(file.substr(640), std::string("\x01\x00"
                                            "0",
                                            3));           // "Tous les émetteurs" off
    EXPECT_EQ(file.substr(277, 10), std::string(10, 'c')); // the old tail of record 3 is left
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PanelTest, TheTalkerOptionIsShownAppliedOnOkAndKept) {
    auto w = open();
    auto* box = qobject_cast<QCheckBox*>(w->control("tousemet"));
    ASSERT_NE(box, nullptr);
    w->menu("mnuoutilpref")->trigger();
    EXPECT_FALSE(box->isChecked()); // off by default
    EXPECT_TRUE(box->isVisible());
    box->setChecked(true);
    EXPECT_FALSE(w->prefs.all_talkers); // applied on OK only
    ok(*w);
    EXPECT_TRUE(w->prefs.all_talkers);
    EXPECT_EQ(read_bytes(root / "journlog.txt").substr(640), std::string("\x01\x00"
                                                                         "1",
                                                                         3));
    // The next start takes it from the file, and the panel shows it.
    w.reset();
    auto again = open();
    EXPECT_TRUE(again->prefs.all_talkers);
    again->menu("mnuoutilpref")->trigger();
    EXPECT_TRUE(qobject_cast<QCheckBox*>(again->control("tousemet"))->isChecked());
}

TEST_F(PanelTest, AFolderChosenInTheListsReachesTheCaptionTheValueAndRecord4) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    std::filesystem::create_directories(root / "cartes" / "routes");
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    auto* driv = qobject_cast<QComboBox*>(w->control("Driv"));
    ASSERT_GE(driv->count(), 2);
    EXPECT_TRUE(driv->itemText(0).startsWith("c:"));
    w->preferences->Driv_Change(0);
    EXPECT_EQ(w->preferences->open_folder(), root.path());
    // A double-click on a subfolder opens it; a single click only highlights.
    auto* chemin = qobject_cast<QListWidget*>(w->control("chemin"));
    const auto find = [&](const QString& name) {
        for (int i = 0; i < chemin->count(); ++i)
            if (chemin->item(i)->text().trimmed() == name) return chemin->item(i);
        return static_cast<QListWidgetItem*>(nullptr);
    };
    ASSERT_TRUE(find("cartes"));
    chemin->setCurrentItem(find("cartes"));
    EXPECT_EQ(w->preferences->open_folder(), root.path());
    emit chemin->itemDoubleClicked(find("cartes"));
    ASSERT_TRUE(find("routes"));
    emit chemin->itemDoubleClicked(find("routes"));
    const std::filesystem::path chosen = root / "cartes" / "routes";
    EXPECT_EQ(w->preferences->open_folder(), chosen);
    qobject_cast<QRadioButton*>(w->control("cmapchange"))->click();
    EXPECT_EQ(caption(*w, "cmapchange"), QString::fromStdString(chosen.string()));
    ok(*w);
    EXPECT_EQ(w->prefs.cmappath, chosen.string());
    const std::string file = read_bytes(root / "journlog.txt");
    EXPECT_EQ(static_cast<unsigned char>(file[384]), chosen.string().size());
    EXPECT_EQ(file.substr(386, chosen.string().size()), chosen.string());
}

TEST_F(PanelTest, IntervalAndOffsetFromTheSpinnersTakeEffectAtOk) {
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    auto* up1 = static_cast<app::UpDown*>(w->control("UpDown1"));
    auto* up2 = static_cast<app::UpDown*>(w->control("UpDown2"));
    for (int i = 0; i < 3; ++i)
        up1->step(+1);
    up2->step(+1);
    up2->step(+1);
    EXPECT_EQ(caption(*w, "Command1"), "45");
    EXPECT_EQ(caption(*w, "Command2"), "2");
    EXPECT_EQ(w->prefs.intervalle, 30); // nothing applied before OK
    const double count = w->compteur;
    ok(*w);
    EXPECT_EQ(w->prefs.intervalle, 45);
    EXPECT_EQ(w->prefs.decalage, "2");
    EXPECT_EQ(w->compteur, count); // the journal counter is not touched
    const std::string file = read_bytes(root / "journlog.txt");
    EXPECT_EQ(file.substr(0, 4), std::string("\x02\x00"
                                             "45",
                                             4));
    EXPECT_EQ(file.substr(128, 3), std::string("\x01\x00"
                                               "2",
                                               3));
}

TEST_F(PanelTest, ASettingsFileThatCannotBeWrittenStillAppliesTheValuesAndSaysSo) {
    auto w = open();
    std::filesystem::remove(root / "journlog.txt");
    std::filesystem::create_directory(root / "journlog.txt");
    w->menu("mnuoutilpref")->trigger();
    static_cast<app::UpDown*>(w->control("UpDown1"))->step(-1);
    ok(*w);
    EXPECT_EQ(w->prefs.intervalle, 25);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("pas été enregistrées"), std::string::npos);
}

TEST_F(PanelTest, AFolderTooLongForItsRecordIsToldAndTheOthersAreSaved) {
    std::filesystem::path deep = root.path();
    while (deep.string().size() <= 130)
        deep /= "dossier-de-cartes-marines";
    std::filesystem::create_directories(deep);
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    w->preferences->open(deep);
    qobject_cast<QRadioButton*>(w->control("ozichange"))->click();
    ok(*w);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("126"), std::string::npos);
    EXPECT_EQ(w->prefs.ozipath, deep.string()); // applied in the running program
    const std::string file = read_bytes(root / "journlog.txt");
    EXPECT_EQ(file.substr(384, 19), std::string("\x11\x00", 2) + "c:\\cmapecs\\routes");
}

TEST_F(PanelTest, ANewPortWhileTheLinkIsOpenServesAtTheNextOpening) {
    marivent::testing::ScriptedSerial::State dev;
    auto w = open(
        {std::make_unique<marivent::testing::ScriptedSerial>(dev), {"/dev/a", "/dev/b", "", ""}});
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    w->menu("mnuoutilpref")->trigger();
    ok(*w); // com2 is preselected
    EXPECT_TRUE(w->MSComm1.PortOpen());
    EXPECT_EQ(dev.path, "/dev/a");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("prochaine ouverture"), std::string::npos);
    w->menu("mnugpsfin")->trigger();
    w->menu("mnugpsdeb")->trigger();
    EXPECT_EQ(dev.path, "/dev/b");
}

} // namespace
