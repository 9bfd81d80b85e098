// The transfer commands in the window: the lists, the panel and a conversion each way.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "demo_gps.h"
#include "instruments.h"
#include "transfer_panel.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::testing::read_bytes;
using marivent::testing::write_bytes;

struct TransferTest : marivent::testing::WindowFixture {
    std::filesystem::path ozi = root / "oziexplorer" / "data";
    std::filesystem::path cmap = root / "Program Files" / "cmapecs" / "routes";
    void SetUp() override {
        std::filesystem::create_directories(ozi);
        std::filesystem::create_directories(cmap);
        std::filesystem::copy_file(marivent::testing::testdata_dir() / "ozi" / "ozi.rte",
                                   ozi / "ile.rte");
        write_bytes(ozi / "notes.txt", "not listed");
    }
    static QStringList names(app::Journ& w) {
        QStringList out;
        auto* list = qobject_cast<QListWidget*>(w.control("File1"));
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static void tick(app::Journ& w, const char* box) {
        qobject_cast<QCheckBox*>(w.control(box))->setChecked(true);
    }
    static std::string note(app::Journ& w) {
        return w.findChild<QLabel*>("note")->text().toStdString();
    }
};

TEST_F(TransferTest, OziToCmapListsTheOziFilesAndWritesTheRouteWithoutExtension) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    write_bytes(ozi / "marques.wpt", "");
    auto w = open();
    w->menu("mnuozicmap")->trigger();
    EXPECT_TRUE(w->control("File1")->isVisible());
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_EQ(names(*w), QStringList({"ile.rte", "marques.wpt"}));
    EXPECT_EQ(w->transfers->ozicm, 1);
    w->transfers->File1_Click("ile.rte");
    EXPECT_TRUE(std::filesystem::exists(cmap / "ile"));
    EXPECT_GT(std::filesystem::file_size(cmap / "ile"), 0u);
    EXPECT_FALSE(w->control("File1")->isVisible());
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(TransferTest, CmapToOziWithBothBoxesWritesTheRouteThenTheWaypoints) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    auto w = open();
    w->menu("mnuozicmap")->trigger();
    w->transfers->File1_Click("ile.rte");
    std::filesystem::remove(ozi / "ile.rte");
    w->menu("mnulirewpts")->trigger();
    EXPECT_TRUE(w->control("Frame1")->isVisible());
    EXPECT_EQ(names(*w), QStringList({"ile"})); // files without an extension only
    EXPECT_EQ(w->transfers->ozicm, 0);
    tick(*w, "waypoin");
    tick(*w, "rout");
    const QString before = qobject_cast<QLineEdit*>(w->control("lat"))->text();
    w->transfers->File1_Click("ile");
    EXPECT_TRUE(std::filesystem::exists(ozi / "ile.rte"));
    EXPECT_TRUE(std::filesystem::exists(ozi / "ile.wpt"));
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_FALSE(w->control("File1")->isVisible());
    ASSERT_TRUE(marivent::testing::frame_shown(*w));
    EXPECT_NE(qobject_cast<QLineEdit*>(w->control("lat"))->text(),
              before); // the last latitude read
}

TEST_F(TransferTest, NoToTheReplacementLeavesTheRouteAndSkipsTheWaypoints) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    auto w = open();
    w->menu("mnuozicmap")->trigger();
    w->transfers->File1_Click("ile.rte");
    const std::string old_route = read_bytes(ozi / "ile.rte");
    w->menu("mnulirewpts")->trigger();
    tick(*w, "waypoin");
    tick(*w, "rout");
    dialogs.answers = {false};
    w->transfers->File1_Click("ile");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Tu veux");
    EXPECT_EQ(dialogs.questions[0].text, "Le fichier existe déjà. Il va être remplacé");
    // The second text names the file it would replace: full path, size and date.
    const std::string& detail = dialogs.questions[0].detail;
    EXPECT_NE(detail.find("Fichier : " + (ozi / "ile.rte").string()), std::string::npos) << detail;
    EXPECT_NE(detail.find("Taille : " + std::to_string(old_route.size()) + " octets"),
              std::string::npos)
        << detail;
    EXPECT_NE(detail.find("Modifié le "), std::string::npos) << detail;
    EXPECT_EQ(read_bytes(ozi / "ile.rte"), old_route);
    EXPECT_FALSE(std::filesystem::exists(ozi / "ile.wpt"));
    EXPECT_FALSE(w->control("File1")->isVisible());
    EXPECT_EQ(note(*w), "Cmap vers Ozi : ile : aucun fichier écrit, le remplacement a été refusé.");
}

TEST_F(TransferTest, TheStatusLineSaysWhatWasWrittenAndWhichFolderAListShows) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    auto w = open();
    EXPECT_TRUE(w->findChild<QLabel*>("note")->isHidden());
    w->menu("mnuozicmap")->trigger();
    EXPECT_EQ(note(*w), "Fichiers OziExplorer (.rte, .wpt, .plt) de " + ozi.string() +
                            " : Entrée convertit, Échap ferme la liste.");
    w->transfers->File1_Click("ile.rte");
    EXPECT_EQ(note(*w), "Ozi vers Cmap : ile.rte → ile dans " + cmap.string() + " (4 waypoints).");
    w->menu("mnulirewpts")->trigger();
    EXPECT_EQ(note(*w), "Fichiers C-Map ECS (sans extension) de " + cmap.string() +
                            " : Entrée convertit, Échap ferme la liste.");
    tick(*w, "waypoin");
    tick(*w, "rout");
    std::filesystem::remove(ozi / "ile.rte");
    w->transfers->File1_Click("ile");
    EXPECT_EQ(note(*w),
              "Cmap vers Ozi : ile → ile.rte et ile.wpt dans " + ozi.string() + " (4 waypoints).");
    write_bytes(ozi / "vide.rte", "");
    w->menu("mnuozicmap")->trigger();
    w->transfers->File1_Click("vide.rte");
    EXPECT_EQ(note(*w).rfind("Ozi vers Cmap : vide.rte : aucun fichier écrit. ", 0), 0u)
        << note(*w);
    EXPECT_FALSE(w->findChild<QLabel*>("note")->isHidden());
}

TEST(DemoFolders, TheDemonstrationMakesTheFoldersAndARouteThatConvertsAtOnce) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    marivent::testing::TempRoot root;
    marivent::testing::FrenchRegional regional;
    marivent::testing::ScriptedDialogs dialogs;
    marivent::testing::FrozenClock clock;
    const auto route =
        marivent::testing::testdata_dir().parent_path().parent_path() / "data" / "glenan.rte";
    const auto made = app::prepare_demo_folders(root.path(), route);
    EXPECT_EQ(made.size(), 3u);
    EXPECT_TRUE(app::prepare_demo_folders(root.path(), route).empty()); // once only
    // As the README's demonstration steps go: Transfert > Ozi vers Cmap, Enter on the route.
    app::Journ w(root.path(), app::Services{regional, dialogs, clock},
                 app::posix_serial({"", "", "", ""}));
    w.show();
    QApplication::setActiveWindow(&w); // key shortcuts go to the active window
    w.menu("mnuozicmap")->trigger();
    auto* file1 = qobject_cast<QListWidget*>(w.control("File1"));
    ASSERT_EQ(file1->count(), 1);
    EXPECT_EQ(file1->currentItem()->text(), "glenan.rte");
    QTest::keyClick(file1, Qt::Key_Return);
    const auto written = root / "Program Files" / "cmapecs" / "routes" / "glenan";
    EXPECT_GT(std::filesystem::file_size(written), 0u);
    EXPECT_NE(TransferTest::note(w).find("(3 waypoints)"), std::string::npos)
        << TransferTest::note(w);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TransferTest, EscapePutsAwayTheListsAndThePanelAndEnterPressesAButton) {
    auto w = open();
    w->activateWindow();
    w->menu("mnuozicmap")->trigger();
    auto* file1 = w->control("File1");
    ASSERT_TRUE(file1->isVisible());
    QTest::keyClick(file1, Qt::Key_Escape);
    EXPECT_FALSE(file1->isVisible());
    EXPECT_FALSE(std::filesystem::exists(cmap / "ile")); // nothing converted
    EXPECT_TRUE(w->findChild<QLabel*>("note")->isHidden());

    w->menu("mnulirewpts")->trigger();
    ASSERT_TRUE(w->control("Frame1")->isVisible());
    auto* annul = qobject_cast<QPushButton*>(w->control("annul"));
    annul->setFocus();
    QTest::keyClick(annul, Qt::Key_Return); // ANNULE pressed by Enter: the panel goes
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_TRUE(file1->isVisible());
    QTest::keyClick(file1, Qt::Key_Escape);
    EXPECT_FALSE(file1->isVisible());

    w->menu("mnulirewpts")->trigger();
    QTest::keyClick(w->control("waypoin"), Qt::Key_Escape); // in the panel: as ANNULE
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_TRUE(file1->isVisible());
    w->menu("mnulirewpts")->trigger();
    auto* ok1 = qobject_cast<QPushButton*>(w->control("ok1"));
    ok1->setFocus();
    QTest::keyClick(ok1, Qt::Key_Enter); // "O K" by the keypad's Enter
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    QTest::keyClick(file1, Qt::Key_Escape);
    EXPECT_FALSE(file1->isVisible());

    w->instruments->mnuseatxt_Click(); // the capture list goes the same way
    ASSERT_TRUE(w->control("File2")->isVisible());
    QTest::keyClick(w->control("File2"), Qt::Key_Escape);
    EXPECT_FALSE(w->control("File2")->isVisible());
    EXPECT_FALSE(std::filesystem::exists(root / "code.txt"));

    w->menu("mnuoutilpref")->trigger();
    auto* ok = qobject_cast<QPushButton*>(w->control("ok"));
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return); // "OK" of the preferences
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_GT(std::filesystem::file_size(root / "journlog.txt"), 0u);
}

TEST_F(TransferTest, AnnuleHidesThePanelAndTheListStillConverts) {
    auto w = open();
    w->menu("mnuozicmap")->trigger();
    w->transfers->File1_Click("ile.rte");
    w->menu("mnulirewpts")->trigger();
    qobject_cast<QPushButton*>(w->control("annul"))->click();
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_TRUE(w->control("File1")->isVisible());
    w->transfers->File1_Click("ile"); // neither box: read, nothing written
    EXPECT_FALSE(std::filesystem::exists(ozi / "ile.wpt"));
    EXPECT_FALSE(w->control("File1")->isVisible());
}

TEST_F(TransferTest, AMissingFolderIsToldAndTheListIsEmpty) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    std::filesystem::remove_all(cmap);
    auto w = open();
    w->menu("mnulirewpts")->trigger();
    EXPECT_TRUE(names(*w).isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("n'existe pas"), std::string::npos);
}

} // namespace
