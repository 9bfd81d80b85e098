// The transfer commands in the window: the lists, the panel and a conversion each way.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

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
        std::filesystem::copy_file(marivent::testing::testdata_dir() / "ozi" / "ozi.rte", ozi / "ile.rte");
        write_bytes(ozi / "notes.txt", "not listed");
    }
    static QStringList names(app::Journ& w) {
        QStringList out;
        auto* list = qobject_cast<QListWidget*>(w.control("File1"));
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    static void tick(app::Journ& w, const char* box) { qobject_cast<QCheckBox*>(w.control(box))->setChecked(true); }
};

TEST_F(TransferTest, OziToCmapListsTheOziFilesAndWritesTheRouteWithoutExtension) {
    write_bytes(ozi / "marques.wpt", "");
    auto w = open();
    w->menu("mnuozicmap")->trigger();
    EXPECT_TRUE(w->control("File1")->isVisible());
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_EQ(names(*w), QStringList({"ile.rte", "marques.wpt"}));
    EXPECT_EQ(w->ozicm, 1);
    w->transfers->File1_Click("ile.rte");
    EXPECT_TRUE(std::filesystem::exists(cmap / "ile"));
    EXPECT_GT(std::filesystem::file_size(cmap / "ile"), 0u);
    EXPECT_FALSE(w->control("File1")->isVisible());
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(TransferTest, CmapToOziWithBothBoxesWritesTheRouteThenTheWaypoints) {
    auto w = open();
    w->menu("mnuozicmap")->trigger();
    w->transfers->File1_Click("ile.rte");
    std::filesystem::remove(ozi / "ile.rte");
    w->menu("mnulirewpts")->trigger();
    EXPECT_TRUE(w->control("Frame1")->isVisible());
    EXPECT_EQ(names(*w), QStringList({"ile"})); // files without an extension only
    EXPECT_EQ(w->ozicm, 0);
    tick(*w, "waypoin");
    tick(*w, "rout");
    const QString before = qobject_cast<QLineEdit*>(w->control("lat"))->text();
    w->transfers->File1_Click("ile");
    EXPECT_TRUE(std::filesystem::exists(ozi / "ile.rte"));
    EXPECT_TRUE(std::filesystem::exists(ozi / "ile.wpt"));
    EXPECT_FALSE(w->control("Frame1")->isVisible());
    EXPECT_FALSE(w->control("File1")->isVisible());
    EXPECT_NE(qobject_cast<QLineEdit*>(w->control("lat"))->text(), before); // the last latitude read
}

TEST_F(TransferTest, NoToTheReplacementLeavesTheRouteAndSkipsTheWaypoints) {
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
    EXPECT_EQ(read_bytes(ozi / "ile.rte"), old_route);
    EXPECT_FALSE(std::filesystem::exists(ozi / "ile.wpt"));
    EXPECT_FALSE(w->control("File1")->isVisible());
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
    std::filesystem::remove_all(cmap);
    auto w = open();
    w->menu("mnulirewpts")->trigger();
    EXPECT_TRUE(names(*w).isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("n'existe pas"), std::string::npos);
}

} // namespace
