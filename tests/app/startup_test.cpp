// What the window says at start-up: only what needs the user in a box; what it deals with by
// itself on the status line, so a window started at boot takes keys and steers at once.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "common/cp1252.h"
#include "common/paths.h"
#include "journ.h"
#include "journal/journal_seal.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::FrenchRegional;
using marivent::testing::FrozenClock;
using marivent::testing::GermanRegional;
using marivent::testing::read_bytes;
using marivent::testing::RecordingViewer;
using marivent::testing::ScriptedDialogs;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

const std::string header = "Heure        Position        Vi. Cap  Vers\r\n\r\n";
const std::string entry = "14:35 N4512.345 E00512.345  5,2 54  WPT01 \r\n";

struct StartUp {
    TempRoot root;
    ScriptedDialogs dialogs;
    FrozenClock clock; // the 7th of December 2026
    RecordingViewer viewer;
    marivent::testing::ManualSteadyClock steady;
    marivent::testing::ScriptedSerial::State gps; // com1
    std::unique_ptr<Journ> open(const RegionalSettings& regional) {
        auto w = std::make_unique<Journ>(
            root.path(), app::Services{regional, dialogs, clock, nullptr, &viewer, &steady},
            app::SerialSetup{std::make_unique<marivent::testing::ScriptedSerial>(gps),
                             {"/dev/gps", "", "", ""}});
        w->show();
        w->show_startup_problems(); // as the program does once the window is up
        return w;
    }
};

QLabel* note(const Journ& w) {
    return w.findChild<QLabel*>("note");
}

// An entry at the next tick, with valid route data and a fix just taken from the GPS on com1.
void write_entry(Journ& w, marivent::testing::ScriptedSerial::State& gps) {
    if (!w.MSComm1.PortOpen()) w.menu("mnugpsdeb")->trigger();
    w.nav.gpsmauvais = 0;
    gps.reads.push_back({"\r\n$GPGGA,143512,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*4C\r",
                         {},
                         false,
                         "",
                         {}});
    w.MSComm1.readable();
    w.nav.heuretu = "143512";
    w.nav.hemlat = "N";
    w.nav.hemlon = "E";
    for (const auto& [box, text] : {std::pair{Box::lat, "4512.345"},
                                    {Box::longit, "00512.345"},
                                    {Box::vi, "5,2"},
                                    {Box::cap, "54"},
                                    {Box::wpt2, "WPT01"}})
        w.set_text(box, text);
    w.Timer1_Timer();
}

TEST(StartUpDates, AJournalDatedUnderOtherRegionalSettingsOpensWithoutABox) {
    const FrenchRegional french;
    const GermanRegional german;
    for (const RegionalSettings* regional : {static_cast<const RegionalSettings*>(&french),
                                             static_cast<const RegionalSettings*>(&german)}) {
        for (const char* third : {"07/12/2026", "07.12.2026", "2026-12-07"}) {
            StartUp s;
            const std::string old = header + third + "\r\n";
            write_bytes(s.root / "journal.txt", old);
            auto w = s.open(*regional);
            EXPECT_TRUE(s.dialogs.messages.empty()) << third;
            EXPECT_TRUE(w->startup_notices().empty()) << third;
            EXPECT_TRUE(note(*w)->isHidden()) << third;
            EXPECT_EQ(w->journal.datejourn(), (Date{2026, 12, 7})) << third;
            // The window takes keys at once.
            auto* vi = qobject_cast<QLineEdit*>(w->control("vi"));
            vi->setFocus();
            vi->selectAll();
            QTest::keyClicks(vi, "6,1");
            EXPECT_EQ(w->text(Box::vi), "6,1") << third;
            write_entry(*w, s.gps); // the creation day: no second date line
            EXPECT_EQ(read_bytes(s.root / "journal.txt"), old + entry) << third;
        }
    }
}

TEST(StartUpDates, AThirdLineInNoFormatIsSaidOnTheStatusLineAndInTheViewerOnly) {
    for (const char* third : {"le 7 décembre", "12/25/2026", "07/12/26", "Position"}) {
        StartUp s;
        const GermanRegional german;
        const std::string old = header + utf8_to_cp1252(third) + "\r\n10:00 N1 E2  , 0  A \r\n";
        write_bytes(s.root / "journal.txt", old);
        auto w = s.open(german);
        EXPECT_TRUE(s.dialogs.messages.empty()) << third;
        EXPECT_TRUE(w->startup_problems().empty()) << third;
        ASSERT_EQ(w->startup_notices().size(), 1u) << third;
        EXPECT_TRUE(note(*w)->isVisible()) << third;
        EXPECT_TRUE(note(*w)->text().contains("troisième ligne du journal")) << third;
        EXPECT_TRUE(note(*w)->text().contains(QString::fromUtf8(third))) << third;

        w->menu("mnujoulire")->trigger();
        ASSERT_EQ(s.viewer.shown.size(), 1u);
        const std::string& shown = s.viewer.shown[0].text;
        const std::size_t first_end = shown.find("\r\n");
        ASSERT_NE(first_end, std::string::npos);
        EXPECT_NE(shown.substr(0, first_end).find("troisi\xE8me ligne"), std::string::npos)
            << shown;
        EXPECT_EQ(shown.substr(shown.size() - old.size()), old); // then the file as it is
        EXPECT_EQ(read_bytes(s.root / "journal.txt"), old);      // which is left alone

        // The next entry comes with its date line; from then on the viewer shows the file, headed
        // only by the lines the seal, begun at this start, does not cover.
        write_entry(*w, s.gps);
        EXPECT_EQ(read_bytes(s.root / "journal.txt"), old + "07.12.2026\r\n" + entry);
        w->menu("mnujoulire")->trigger();
        const std::string& now = s.viewer.shown.back().text;
        const std::string file = read_bytes(s.root / "journal.txt");
        EXPECT_EQ(now.substr(now.size() - file.size()), file);
        EXPECT_EQ(now.find("troisi\xE8me"), std::string::npos) << now;
        EXPECT_NE(now.substr(0, now.size() - file.size()).find("lignes 1 \xE0 4 ne sont pas scell"),
                  std::string::npos)
            << now;
        EXPECT_TRUE(s.dialogs.messages.empty());
    }
}

std::string record(const std::string& text) {
    std::string r(128, '\0');
    r[0] = static_cast<char>(text.size());
    return r.replace(2, text.size(), text);
}

TEST(StartUpSettings, ARecordNotAppliedIsSaidOnTheStatusLineAnUnreadableFileInABox) {
    const FrenchRegional french;
    {
        StartUp s;
        // Port 9: no such port; the others apply.
        const std::string file = record("45") + record("1") + record("c:\\ozi") +
                                 record("c:\\cmap") + std::string("\x02\x00\x09\x00", 4);
        write_bytes(s.root / "journlog.txt", file);
        auto w = s.open(french);
        EXPECT_TRUE(s.dialogs.messages.empty());
        EXPECT_EQ(w->prefs.intervalle, 45);
        EXPECT_EQ(w->MSComm1.CommPort, 1);
        ASSERT_EQ(w->startup_notices().size(), 1u);
        EXPECT_TRUE(note(*w)->isVisible());
        EXPECT_TRUE(note(*w)->text().startsWith("Préférences : le port du GPS"))
            << note(*w)->text().toStdString();
        EXPECT_EQ(read_bytes(s.root / "journlog.txt"), file);
    }
    {
        // With a third line that is no date too: both said, one under the other.
        StartUp s;
        write_bytes(s.root / "journlog.txt", std::string("\xFF\xFF", 2));
        write_bytes(s.root / "journal.txt", header + "?\r\n");
        auto w = s.open(french);
        EXPECT_TRUE(s.dialogs.messages.empty());
        ASSERT_EQ(w->startup_notices().size(), 2u);
        EXPECT_EQ(note(*w)->text().count('\n'), 1);
    }
    {
        // Every setting lost: the user must know before relying on the port or the folders.
        StartUp s;
        std::filesystem::create_directory(s.root / "journlog.txt");
        auto w = s.open(french);
        ASSERT_EQ(s.dialogs.messages.size(), 1u);
        EXPECT_NE(s.dialogs.messages[0].text.find("par défaut"), std::string::npos);
        EXPECT_TRUE(w->startup_notices().empty());
    }
}

// ROOT as main() chose and prepared it: where it is said on the status line before what the window
// found; a folder the user named that cannot be made is said first in the one box of start-up,
// and kept.
TEST(StartUpRoot, WhereRootIsComesFirstOnTheStatusLineOrInTheBox) {
    const FrenchRegional french;
    {
        StartUp s;
        write_bytes(s.root / "journal.txt", header + "?\r\n");
        Journ w(s.root.path(), app::Services{french, s.dialogs, s.clock, nullptr, &s.viewer},
                app::SerialSetup{std::make_unique<marivent::testing::ScriptedSerial>(s.gps),
                                 {"/dev/gps", "", "", ""}});
        w.add_startup_notice("Journal et préférences dans " + display_path(s.root.path()) + ".");
        w.show();
        w.show_startup_problems();
        EXPECT_TRUE(s.dialogs.messages.empty());
        const QStringList lines = note(w)->text().split('\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0].toStdString(),
                  "Journal et préférences dans " + display_path(s.root.path()) + ".");
        EXPECT_TRUE(lines[1].contains("troisième ligne du journal"));
        EXPECT_TRUE(note(w)->isVisible());
    }
    {
        StartUp s;
        write_bytes(s.root / "fichier", "x");
        const RootChoice named{s.root / "fichier" / "bord", RootOrigin::option};
        const std::optional<std::string> problem = prepare_root(named);
        ASSERT_TRUE(problem);
        Journ w(named.folder, app::Services{french, s.dialogs, s.clock, nullptr, &s.viewer},
                app::SerialSetup{std::make_unique<marivent::testing::ScriptedSerial>(s.gps),
                                 {"/dev/gps", "", "", ""}});
        w.add_startup_problem(*problem);
        w.show();
        w.show_startup_problems();
        ASSERT_EQ(s.dialogs.messages.size(), 1u);
        const std::string& text = s.dialogs.messages[0].text;
        EXPECT_EQ(text.rfind(*problem + "\n", 0), 0u) << text;
        EXPECT_NE(text.find("Le fichier des préférences"), std::string::npos) << text;
        EXPECT_NE(text.find("Le journal"), std::string::npos) << text;
        EXPECT_EQ(w.root, named.folder); // not put elsewhere
        EXPECT_FALSE(std::filesystem::exists(named.folder));
    }
}

// A journal changed outside the program: said on the status line and at the head of the viewer,
// never in a box; the window goes on writing and sealing entries.
TEST(StartUpSeal, AChangedJournalIsSaidFromItsLineAndTheWindowGoesOn) {
    StartUp s;
    const FrenchRegional french;
    const auto file = s.root / "journal.txt";
    const auto seal = s.root / "journal.sceau";
    {
        auto first = s.open(french); // a new journal, sealed from its first line
        write_entry(*first, s.gps);
    }
    s.gps = {}; // the GPS of the next window: its port closed until it is opened
    std::string bytes = read_bytes(file); // header (1-3), date line, the entry (5)
    ASSERT_EQ(journal::journal_lines(bytes).size(), 5u);
    bytes[bytes.find("14:35") + 1] = '5'; // line 5: 15:35
    write_bytes(file, bytes);

    auto w = s.open(french);
    EXPECT_TRUE(s.dialogs.messages.empty());
    EXPECT_TRUE(w->startup_problems().empty());
    EXPECT_EQ(read_bytes(file), bytes); // nothing written by the check
    EXPECT_TRUE(note(*w)->isVisible());
    EXPECT_TRUE(note(*w)->text().contains("à partir de la ligne 5 "))
        << note(*w)->text().toStdString();
    auto* status = w->findChild<QLabel*>("statut");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->text().contains("Sceau : journal modifié hors du programme à partir de la "
                                        "ligne 5"))
        << status->text().toStdString();

    w->menu("mnujoulire")->trigger();
    ASSERT_EQ(s.viewer.shown.size(), 1u);
    const std::string& shown = s.viewer.shown[0].text;
    EXPECT_NE(shown.substr(0, shown.find("\r\n")).find(utf8_to_cp1252("à partir de la ligne 5 ")),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.substr(shown.size() - bytes.size()), bytes);

    // Entries go on, sealed: the change is still found at line 5, the new lines hold.
    write_entry(*w, s.gps);
    const std::string after = read_bytes(file);
    EXPECT_EQ(after, bytes + entry);
    const journal::SealCheck c = journal::check_seal(after, read_bytes(seal));
    EXPECT_EQ(c.first_altered, 5);
    EXPECT_TRUE(c.last_chain_holds);
    EXPECT_EQ(c.chain_line, 6);
    EXPECT_TRUE(c.unsealed.empty());
    EXPECT_TRUE(s.dialogs.messages.empty());
}

// An intact journal, or one whose seal is new, says nothing at start-up.
TEST(StartUpSeal, AnIntactJournalSaysNothing) {
    StartUp s;
    const FrenchRegional french;
    {
        auto first = s.open(french);
        write_entry(*first, s.gps);
    }
    s.gps = {};
    auto w = s.open(french);
    EXPECT_TRUE(w->startup_notices().empty());
    EXPECT_TRUE(note(*w)->isHidden());
    EXPECT_FALSE(w->findChild<QLabel*>("statut")->text().contains("Sceau"));
    EXPECT_TRUE(journal::check_seal(read_bytes(s.root / "journal.txt"),
                                    read_bytes(s.root / "journal.sceau"))
                    .intact());
}

} // namespace
