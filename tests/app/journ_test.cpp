// The window on Qt's offscreen platform: the first run, the menus, closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "common/cp1252.h"
#include "journ.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::FrenchRegional;
using marivent::testing::FrozenClock;
using marivent::testing::read_bytes;
using marivent::testing::ScriptedDialogs;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

using WindowTest = marivent::testing::WindowFixture;
using marivent::testing::GpsSide;
using marivent::testing::wait_for;

QString line_text(const Journ& w, const char* name) {
    return qobject_cast<QLineEdit*>(w.control(name))->text();
}

TEST_F(WindowTest, FirstRunShowsOnlyTheNavigationPanelAndTheRawLine) {
    auto w = open();
    EXPECT_EQ(w->windowTitle(), "Journal de bord");
    for (const char* shown : {"navigation", "Label7", "Text2", "vi", "lat", "heur"})
        EXPECT_TRUE(w->control(shown)->isVisible()) << shown;
    for (const char* hidden : {"Frame1", "File1", "File2", "prefer", "simuf", "Label9", "otopil"})
        EXPECT_FALSE(w->control(hidden)->isVisible()) << hidden;
    EXPECT_EQ(qobject_cast<QLabel*>(w->control("Label7"))->text(), "Ce qui sort du Gps");
    EXPECT_EQ(qobject_cast<QGroupBox*>(w->control("navigation"))->title(), "NAVIGATION");
}

TEST_F(WindowTest, ControlsStandAtTheirTwipRectangles) {
    auto w = open();
    EXPECT_EQ(w->centralWidget()->size(), QSize(610, 554));
    EXPECT_EQ(w->control("navigation")->geometry(), QRect(0, 0, 609, 113));
    EXPECT_EQ(w->control("Text2")->geometry(), QRect(8, 512, 607, 37));
    EXPECT_EQ(w->control("vmg")->geometry(), QRect(368, 70, 57, 19));
    EXPECT_EQ(w->control("vmg")->parentWidget(), w->control("navigation"));
    EXPECT_EQ(w->control("ozichange")->parentWidget(), w->control("Frame2"));
}

TEST_F(WindowTest, DisplayBoxesShowTheirPlaceholders) {
    auto w = open();
    const std::pair<Box, const char*> placeholders[] = {
        {Box::vi, "Bonjour"},      {Box::cap, "Au Hazard"},   {Box::Wpt1, "Maison"},
        {Box::wcap, "Tout droit"}, {Box::wdist, "Illimitée"}, {Box::vmg, "la meilleur"},
        {Box::heur, "Teheur"},     {Box::wpt2, ""},           {Box::lat, "ici et"},
        {Box::longit, "la"},       {Box::Text2, ""},          {Box::otopil, "Text1"},
    };
    ASSERT_EQ(std::size(placeholders), std::size(all_boxes)); // every box the core writes
    for (const auto& [box, text] : placeholders) {
        const std::string name(box_name(box));
        EXPECT_EQ(line_text(*w, name.c_str()), QString::fromUtf8(text)) << name;
        EXPECT_EQ(w->text(box), marivent::utf8_to_cp1252(text)) << name;
    }
}

TEST_F(WindowTest, MenusInTheirOrderWithSeatalkGreyedAndTheSimulatorGone) {
    auto w = open();
    QStringList bar;
    for (QAction* a : w->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"&Journal", "&Gps", "&Seatalk", "&Transfert", "&Outils", "heure"}));

    QStringList gps;
    for (QAction* a : w->menu("mnugps")->menu()->actions())
        gps << a->text();
    EXPECT_EQ(gps,
              QStringList({"&Debut de Communication", "&Fin de Communication", "&Simulateur"}));
    EXPECT_FALSE(w->menu("mnusimu")->isVisible());
    EXPECT_FALSE(w->menu("mnusimu")->isEnabled());
    EXPECT_FALSE(w->menu("mnuseat")->isEnabled());
    EXPECT_TRUE(w->menu("mnuseat")->isVisible());
    EXPECT_TRUE(w->menu("mnujourecrire")->isEnabled());
    EXPECT_EQ(w->menu("mnujourecrire")->text(), "&Enregister la position");
    EXPECT_EQ(w->menu("mnuoutilpref")->text(), "&Préférences");
    EXPECT_EQ(w->menu("mnuheure")->menu(), nullptr);
}

TEST_F(WindowTest, FirstRunCreatesTheFilesAndTakesTheDefaults) {
    auto w = open();
    EXPECT_EQ(read_bytes(root / "journal.txt"),
              "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n");
    EXPECT_EQ(read_bytes(root / "journlog.txt"), "");
    EXPECT_EQ(w->prefs.intervalle, 30);
    EXPECT_EQ(w->compteur, 30);
    EXPECT_EQ(w->prefs.ozipath, "c:\\oziexplorer\\data\\");
    EXPECT_EQ(w->prefs.cmappath, "c:\\Program Files\\cmapecs\\routes");
    EXPECT_EQ(w->nav.gpsmauvais, 1);
    EXPECT_EQ(w->nav.miseheure, 1);
    EXPECT_EQ(w->MSComm1.CommPort, 1);
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_TRUE(w->journal.datejourn().is_zero());
    EXPECT_TRUE(w->Timer1.isActive());
    EXPECT_EQ(w->Timer1.interval(), 60000);
    EXPECT_TRUE(w->startup_problems().empty());
}

TEST_F(WindowTest, StoredSettingsReachTheCaptionsAndTheValues) {
    std::string file(516, '\0');
    auto put = [&](std::size_t at, std::string text) {
        file[at] = static_cast<char>(text.size());
        file.replace(at + 2, text.size(), text);
    };
    put(0, "45");
    put(128, "-3");
    put(256, "c:\\ozi");
    put(384, "c:\\cm\xE9");
    file.replace(512, 4, std::string("\x02\x00\x03\x00", 4));
    write_bytes(root / "journlog.txt", file);
    auto w = open();
    EXPECT_EQ(qobject_cast<QPushButton*>(w->control("Command1"))->text(), "45");
    EXPECT_EQ(qobject_cast<QPushButton*>(w->control("Command2"))->text(), "-3");
    EXPECT_EQ(w->prefs.intervalle, 45);
    EXPECT_EQ(w->compteur, 45);
    EXPECT_EQ(w->prefs.cmappath, "c:\\cm\xE9");
    EXPECT_EQ(w->prefs.port, 3);
    EXPECT_EQ(read_bytes(root / "journlog.txt"), file); // reading changes nothing
}

TEST_F(WindowTest, ProblemsAtStartUpAreShownOnceTheWindowIsUp) {
    std::filesystem::create_directory(root / "journal.txt");
    auto w = open();
    ASSERT_EQ(w->startup_problems().size(), 1u);
    w->show_startup_problems();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Journal de bord");
    EXPECT_NE(dialogs.messages[0].text.find("journal"), std::string::npos);
}

TEST_F(WindowTest, QuitterClosesTheWindowWithoutAMessageOrSaving) {
    auto w = open();
    w->menu("mnuquitter")->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(read_bytes(root / "journlog.txt"), "");
}

const std::string journal_head = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n";

const std::string gga = "\n$GPGGA,143512,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*4C\r";
const std::string rmb_a =
    "\n$GPRMB,A,0.66,L,003,WPT01,4917.24,N,12309.57,W,001.3,052.5,000.5,A*51\r";

// Valid route data, as the decoder leaves it after an RMB with status A, and a fix just taken
// from the GPS of the scripted link (opened for it), as the journal wants for an entry.
void good_data(Journ& w, marivent::testing::WindowFixture& f) {
    if (!w.MSComm1.PortOpen()) w.menu("mnugpsdeb")->trigger();
    w.nav.gpsmauvais = 0;
    f.gps_sends(w, gga);
    w.nav.heuretu = "143512";
    w.nav.hemlat = "N";
    w.nav.hemlon = "E";
    w.set_text(Box::lat, "4512.345");
    w.set_text(Box::longit, "00512.345");
    w.set_text(Box::vi, "5,2");
    w.set_text(Box::cap, "54");
    w.set_text(Box::wpt2, "WPT01");
}
const std::string entry = "14:35 N4512.345 E00512.345  5,2 54  WPT01 \r\n";

TEST_F(WindowTest, TheTimerWritesAtTheFirstTickThenEveryInterval) {
    auto w = open(scripted());
    good_data(*w, *this);
    std::vector<int> written;
    for (int minute = 1; minute <= 62; ++minute) {
        const auto before = read_bytes(root / "journal.txt").size();
        w->Timer1_Timer();
        if (read_bytes(root / "journal.txt").size() != before) written.push_back(minute);
    }
    EXPECT_EQ(written, (std::vector<int>{1, 31, 61}));
    EXPECT_EQ(read_bytes(root / "journal.txt"),
              journal_head + "07/12/2026\r\n" + entry + entry + entry);
    EXPECT_EQ(w->menu("mnuheure")->text(), "14:35");
}

TEST_F(WindowTest, AnInvalidGpsAtTheFirstTickWaitsForTheNextAttempt) {
    auto w = open(scripted());
    w->Timer1_Timer(); // minute 1: data not valid, nothing written
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head);
    EXPECT_EQ(w->menu("mnuheure")->text(), "heure");
    good_data(*w, *this);
    for (int minute = 2; minute <= 30; ++minute)
        w->Timer1_Timer();
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head);
    w->Timer1_Timer(); // minute 31
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + "07/12/2026\r\n" + entry);
    EXPECT_TRUE(dialogs.messages.empty()); // the timer never warns
}

TEST_F(WindowTest, EnregisterWithBadDataWarnsAndWritesNothing) {
    auto w = open();
    w->menu("mnujourecrire")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Mauvaise communcation avec le gps");
    EXPECT_EQ(dialogs.messages[0].title, "Hou là");
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head);
    EXPECT_TRUE(viewer.shown.empty());
}

TEST_F(WindowTest, EnregisterWritesShowsTheJournalAndLeavesTheSchedule) {
    auto w = open(scripted());
    good_data(*w, *this);
    for (int minute = 1; minute <= 14; ++minute)
        w->Timer1_Timer();               // writes at minute 1
    w->menu("mnujourecrire")->trigger(); // minute 15
    ASSERT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(viewer.shown[0].text, journal_head + "07/12/2026\r\n" + entry + entry);
    for (int minute = 15; minute <= 30; ++minute)
        w->Timer1_Timer();
    EXPECT_EQ(read_bytes(root / "journal.txt").size(), viewer.shown[0].text.size());
    w->Timer1_Timer(); // minute 31: the automatic entry comes as planned
    EXPECT_EQ(read_bytes(root / "journal.txt"), viewer.shown[0].text + entry);
}

TEST_F(WindowTest, AJournalDeletedWhileTheWindowRunsIsBegunAgainAndToldOnce) {
    auto w = open(scripted());
    good_data(*w, *this);
    w->Timer1_Timer(); // minute 1: an entry
    std::filesystem::remove(root / "journal.txt");
    for (int minute = 2; minute <= 61; ++minute)
        w->Timer1_Timer(); // minutes 31 and 61
    wait_for([&] { return !dialogs.messages.empty(); });
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + entry + entry); // headed anew
    ASSERT_EQ(dialogs.messages.size(), 1u); // said once, after the tick
    EXPECT_NE(dialogs.messages[0].text.find("nouveau journal"), std::string::npos);
}

// Alt+J, R: a line typed and Enter, by the keyboard as a user does.
void type_remark(Journ& w, const QString& text) {
    QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, Qt::Key_J, Qt::AltModifier);
    QMenu* menu = w.findChild<QMenu*>("mnujournal");
    ASSERT_TRUE(wait_for([&] { return menu->isVisible(); }));
    QTest::keyClick(menu, Qt::Key_R);
    auto* box = qobject_cast<QLineEdit*>(w.control("remarque"));
    ASSERT_TRUE(wait_for([&] { return box->hasFocus(); }));
    // As a keyboard sends them: one event per character, "é" or "→" included.
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

TEST_F(WindowTest, ARemarkTypedAfterAltJRIsAppendedAtTheGpsTimeOrTheComputers) {
    auto w = open(scripted());
    w->prefs.decalage = "1"; // local time is UTC + 1
    // No GPS: the computer's time, less the offset, and marked so; a date line first, as the
    // first entry of the run that created the journal gets.
    type_remark(*w, "Départ de Port-Tudy, 2 ris");
    EXPECT_TRUE(w->control("remarquef")->isVisible());
    QTest::keyClick(w->control("remarque"), Qt::Key_Return);
    EXPECT_FALSE(w->control("remarquef")->isVisible());
    EXPECT_EQ(read_bytes(root / "journal.txt"),
              journal_head + "07/12/2026\r\n13:35 Remarque (heure de l'ordinateur) : D\xE9part de "
                             "Port-Tudy, 2 ris\r\n");
    EXPECT_EQ(w->findChild<QLabel*>("note")->text(),
              "Remarque écrite dans le journal à l'heure de l'ordinateur (pas d'heure du GPS).");
    // A fresh position from the GPS: its UTC time; the next day gets its date line first.
    good_data(*w, *this);
    clock.time.date = {2026, 12, 8};
    type_remark(*w, "moteur coupé");
    QTest::keyClick(w->control("remarque"), Qt::Key_Enter);
    EXPECT_EQ(read_bytes(root / "journal.txt"),
              journal_head +
                  "07/12/2026\r\n13:35 Remarque (heure de l'ordinateur) : D\xE9part de Port-Tudy, "
                  "2 ris\r\n" +
                  "08/12/2026\r\n14:35 Remarque : moteur coup\xE9\r\n");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowTest, ARemarkRefusedStaysToBePutRightAndEscapeWritesNothing) {
    auto w = open();
    type_remark(*w, "cap → 270");
    QTest::keyClick(w->control("remarque"), Qt::Key_Return);
    // Refused: said on the window's line, the box still open with the text.
    EXPECT_TRUE(w->control("remarquef")->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control("remarque"))->text(), "cap → 270");
    EXPECT_EQ(w->findChild<QLabel*>("note")->text(),
              "Remarque non écrite : le caractère « → » ne peut pas être gardé dans le journal "
              "(Windows-1252) : la remarque n'est pas écrite, corrigez-la.");
    QTest::keyClick(w->control("remarque"), Qt::Key_Escape);
    EXPECT_FALSE(w->control("remarquef")->isVisible());
    type_remark(*w, "   ");
    QTest::keyClick(w->control("remarque"), Qt::Key_Return);
    EXPECT_NE(w->findChild<QLabel*>("note")->text().indexOf("vide"), -1);
    QTest::keyClick(w->control("remarque"), Qt::Key_Escape);
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head); // nothing half written
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowTest, LireShowsTheJournalAsItIsOnDisk) {
    auto w = open();
    w->menu("mnujoulire")->trigger();
    ASSERT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(viewer.shown[0].title, "journal.txt");
    EXPECT_EQ(viewer.shown[0].text, journal_head);
    marivent::testing::write_bytes(root / "journal.txt", journal_head + "ajout\r\n");
    w->menu("mnujoulire")->trigger();
    EXPECT_EQ(viewer.shown[1].text, journal_head + "ajout\r\n");
}

TEST_F(WindowTest, LireOnADeletedJournalSaysSoAndCreatesNothing) {
    auto w = open();
    std::filesystem::remove(root / "journal.txt");
    w->menu("mnujoulire")->trigger();
    EXPECT_TRUE(viewer.shown.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("journal"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "journal.txt"));
}

TEST_F(WindowTest, AJournalThatCannotBeWrittenAtTicksIsToldOnce) {
    auto w = open(scripted());
    good_data(*w, *this);
    std::filesystem::remove(root / "journal.txt");
    std::filesystem::create_directory(root / "journal.txt");
    for (int minute = 1; minute <= 91; ++minute)
        w->Timer1_Timer(); // attempts at 1, 31, 61, 91
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    w->menu("mnujourecrire")->trigger();    // asked for: told again
    EXPECT_EQ(dialogs.messages.size(), 3u); // the failure, then the journal cannot be shown
}

TEST_F(WindowTest, AideShowsTheHelpTextFromInsideTheProgram) {
    auto w = open();
    w->menu("mnuoutilaide")->trigger();
    ASSERT_EQ(viewer.shown.size(), 1u);
    const std::string& help = viewer.shown[0].text;
    EXPECT_EQ(help.rfind("\t\t\t\tJournal de bord\r\n", 0), 0u);
    EXPECT_GE(help.size(), 560u);
    EXPECT_LE(help.size(), 620u);
    for (const char* section :
         {"\r\nJournal:\r\n", "\r\nGps\r\n", "\r\nTransfert\r\n", "\r\nOutils\r\n",
          "\tPr\xE9"
          "ferences:\r\n",
          "com1",
          "Outil/Pr\xE9"
          "f\xE9"
          "rences"})
        EXPECT_NE(help.find(section), std::string::npos) << section;
    for (const char* absent : {"imul", "eatalk", "\xC3"}) // nothing of them; no UTF-8 left
        EXPECT_EQ(help.find(absent), std::string::npos) << absent;
    for (std::size_t i = 0; i < help.size(); ++i) {
        if (help[i] == '\n') {
            EXPECT_EQ(help[i - 1], '\r') << i;
        } // CR LF only
    }
    EXPECT_FALSE(std::filesystem::exists(root / "mariaide.txt"));
}

TEST_F(WindowTest, TheGpsLinkFillsTheDisplayAndSteersTheAutopilot) {
    GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    Journ w(root.path(), app::Services{regional, dialogs, clock},
            app::posix_serial({gps.device, "", "", ""}));
    w.show();
    w.menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w.MSComm1.PortOpen());
    EXPECT_NE(w.text(Box::Text2).find(gps.device), std::string::npos); // which device com1 is
    ASSERT_TRUE(
        gps.send("\r\n$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n"
                 "$GPRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*2E\r\n"));
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += gps.receive()).size() >= 80; }));
    EXPECT_EQ(
        back,
        "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n");
    ASSERT_TRUE(marivent::testing::frame_shown(w));
    EXPECT_EQ(line_text(w, "vi"), "5,2");
    EXPECT_EQ(line_text(w, "cap"), "54");
    EXPECT_EQ(line_text(w, "wpt2"), "004");
    EXPECT_EQ(line_text(w, "heur"), "0.66L");
    EXPECT_NE(w.control("vi")->styleSheet().indexOf("128, 255, 128"), -1);
    EXPECT_EQ(w.nav.miseheure, 0); // the time was taken, the clock left alone (no setter)

    w.menu("mnugpsfin")->trigger();
    EXPECT_FALSE(w.MSComm1.PortOpen());
    w.menu("mnugpsfin")->trigger(); // closing again says nothing
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowTest, DamagedLinesFromTheGpsNeverSteerAndAreCountedBesideTheRawLine) {
    GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto opened = open_linked(gps);
    Journ& w = *opened;
    ASSERT_TRUE(w.MSComm1.PortOpen());
    EXPECT_TRUE(w.control("rejet")->isHidden());
    const std::string good =
        "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n";
    ASSERT_TRUE(
        gps.send("\r\n" + good +
                 "$GPRMB,A,0.02GA,110000.00,4751.9795,N,00355.0143,W,1,09,0.9,3.2,M,49.6,M,,*74\r\n"
                 "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*21\r\n"
                 "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V\x01*20\r\n" +
                 good));
    const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += gps.receive()).size() >= 2 * apa.size(); }));
    EXPECT_EQ(back, apa + apa); // only the two sound lines steer (the last came after the others)
    EXPECT_EQ(w.nav.rejetees, 3);
    ASSERT_TRUE(marivent::testing::frame_shown(w));
    EXPECT_EQ(line_text(w, "wpt2"), "004");
    auto* label = qobject_cast<QLabel*>(w.control("rejet"));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isHidden());
    EXPECT_EQ(label->text(), "Lignes rejetées : 3 (dernière : caractère de contrôle)");
    // A new opening counts afresh.
    w.menu("mnugpsfin")->trigger();
    w.menu("mnugpsdeb")->trigger();
    EXPECT_EQ(w.nav.rejetees, 0);
    EXPECT_TRUE(label->isHidden());
}

TEST_F(WindowTest, FixesOfAnotherTalkerAreIgnoredAndTheOptionIsToldOnce) {
    GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto opened = open_linked(gps);
    Journ& w = *opened;
    const std::string gn = "$GNRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*30\r\n";
    ASSERT_TRUE(gps.send("\r\n" + gn + gn + gn + gn + gn));
    ASSERT_TRUE(wait_for([&] { return !dialogs.messages.empty(); }));
    EXPECT_NE(dialogs.messages[0].text.find("Tous les émetteurs"), std::string::npos);
    ASSERT_TRUE(marivent::testing::frame_shown(w));
    EXPECT_EQ(line_text(w, "vi"), "Bonjour"); // nothing taken while the option is off
    const std::string last = "$GNGGA,103016,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*57";
    ASSERT_TRUE(gps.send(gn + gn + gn + last + "\r\n"));
    ASSERT_TRUE(wait_for([&] { return w.text(Box::Text2) == "\n" + last; }));
    EXPECT_EQ(dialogs.messages.size(), 1u); // told once

    w.menu("mnugpsfin")->trigger();
    w.prefs.all_talkers = true; // as OK in the preferences would
    w.menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(
        gps.send("$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n" + gn));
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += gps.receive()).size() >= 80; }));
    ASSERT_TRUE(marivent::testing::frame_shown(w));
    EXPECT_EQ(line_text(w, "vi"), "5,2");
}

TEST_F(WindowTest, AMissingPortIsToldWithItsDeviceAndTheWindowGoesOn) {
    Journ w(root.path(), app::Services{regional, dialogs, clock},
            app::posix_serial({"/nonexistent/ttyGPS", "", "", ""}));
    w.menu("mnugpsdeb")->trigger();
    EXPECT_FALSE(w.MSComm1.PortOpen());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("/nonexistent/ttyGPS"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].text.find("com1"), std::string::npos);
}

TEST_F(WindowTest, AReceiverPulledOutClosesTheLinkAndTellsTheUser) {
    auto gps = std::make_unique<GpsSide>();
    Journ w(root.path(), app::Services{regional, dialogs, clock},
            app::posix_serial({gps->device, "", "", ""}));
    w.menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w.MSComm1.PortOpen());
    gps.reset();
    ASSERT_TRUE(wait_for([&] { return !dialogs.messages.empty(); }));
    EXPECT_FALSE(w.MSComm1.PortOpen());
    EXPECT_NE(dialogs.messages[0].text.find("coupée"), std::string::npos);
}

} // namespace
