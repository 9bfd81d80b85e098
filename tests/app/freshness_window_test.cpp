// What the window does with values that have grown old: a silent GPS, a closed link, a receiver
// that comes back.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>

#include "journ.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::read_bytes;
using marivent::testing::wait_for;

using Freshness = marivent::testing::WindowFixture;

const std::string gga = "\n$GPGGA,143512,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*4C\r";
const std::string rmb_a =
    "\n$GPRMB,A,0.66,L,003,WPT01,4917.24,N,12309.57,W,001.3,052.5,000.5,A*51\r";
const std::string journal_head = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n";

const std::string rmc = "\n$GPRMC,143512,A,4512.345,N,00512.345,E,5.2,54.0,071226,,*2F\r";

void run_for(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool looks_old(const Journ& w, const char* box) {
    return w.control(box)->styleSheet().contains("italic");
}
QString status(const Journ& w) {
    return w.findChild<QLabel*>("statut")->text();
}

TEST_F(Freshness, ValuesUnheardForFiveSecondsLookOldAndComeBackWithTheirSentence) {
    auto w = open(scripted());
    w->menu("mnugpsdeb")->trigger();
    for (const char* box : {"vi", "lat", "wcap", "heur"})
        EXPECT_FALSE(looks_old(*w, box)) << box;
    gps_sends(*w, rmb_a + gga);
    steady.ms = 4999;
    w->freshness_tick();
    for (const char* box :
         {"vi", "cap", "lat", "longit", "wcap", "wdist", "Wpt1", "wpt2", "vmg", "heur"})
        EXPECT_FALSE(looks_old(*w, box)) << box;
    EXPECT_FALSE(status(*w).contains("muet"));

    // Five seconds without a GGA or RMC, nor an RMB: everything the GPS gave looks old, the speed
    // box no longer green, and the status line says since when.
    steady.ms = 5000;
    w->freshness_tick();
    for (const char* box :
         {"vi", "cap", "lat", "longit", "wcap", "wdist", "Wpt1", "wpt2", "vmg", "heur", "Text2"})
        EXPECT_TRUE(looks_old(*w, box)) << box;
    EXPECT_NE(w->control("Text2")->styleSheet().indexOf("255, 255, 128"), -1);
    EXPECT_TRUE(
        status(*w).startsWith("Liaison ouverte : com1, /dev/gps  |  GPS muet depuis 5 s  |  "))
        << status(*w).toStdString();
    EXPECT_EQ(w->control("vi")->styleSheet().indexOf("128, 255, 128"), -1);
    EXPECT_NE(w->control("vi")->styleSheet().indexOf("220, 220, 220"), -1);
    EXPECT_NE(w->control("heur")->styleSheet().indexOf("192, 255, 255"), -1); // its own colour kept
    steady.ms = 12'400;
    w->freshness_tick();
    EXPECT_TRUE(status(*w).contains("GPS muet depuis 12 s"));

    // A GGA: the position and speed are current again, the route still old.
    gps_sends(*w, gga);
    EXPECT_FALSE(looks_old(*w, "lat"));
    EXPECT_FALSE(looks_old(*w, "Text2"));
    EXPECT_FALSE(looks_old(*w, "vi"));
    EXPECT_TRUE(looks_old(*w, "wcap"));
    EXPECT_FALSE(status(*w).contains("muet"));
    EXPECT_NE(w->control("vi")->styleSheet().indexOf("220, 220, 220"), -1); // route still unheard
    gps_sends(*w, rmb_a);
    ASSERT_TRUE(marivent::testing::frame_shown(*w));
    EXPECT_FALSE(looks_old(*w, "wcap"));
    EXPECT_NE(w->control("vi")->styleSheet().indexOf("128, 255, 128"), -1);

    // Closed: all of them old at once, and nothing ages any more.
    w->menu("mnugpsfin")->trigger();
    for (const char* box : {"vi", "lat", "wcap", "heur"})
        EXPECT_TRUE(looks_old(*w, box)) << box;
    EXPECT_EQ(status(*w), "Liaison fermée");
}

TEST_F(Freshness, TheStartTextsAreNoValuesAndNeverLookOld) {
    auto w = open(scripted());
    w->menu("mnugpsdeb")->trigger();
    steady.ms = 60'000;
    w->freshness_tick();
    EXPECT_TRUE(status(*w).contains("GPS muet depuis 1 min")) << status(*w).toStdString();
    for (const char* box : {"vi", "lat", "wcap", "heur"})
        EXPECT_FALSE(looks_old(*w, box)) << box;
}

TEST_F(Freshness, NoEntryFromAnOldFixNorWithTheLinkClosed) {
    auto w = open(scripted());
    w->menu("mnugpsdeb")->trigger();
    gps_sends(*w, rmb_a + gga + rmc);
    const std::string entry = "14:35 N4512.345 E00512.345  5,2 54  WPT01 \r\n";
    w->Timer1_Timer(); // minute 1, the fix just taken
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + "07/12/2026\r\n" + entry);

    // The GPS falls silent: the next attempts write nothing and the status line says why.
    steady.ms = 6000;
    for (int minute = 2; minute <= 31; ++minute)
        w->Timer1_Timer();
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + "07/12/2026\r\n" + entry);
    EXPECT_TRUE(
        status(*w).contains("journal : pas d'entrée à 14:35 (aucune position du GPS depuis 6 s)"))
        << status(*w).toStdString();
    w->menu("mnujourecrire")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Mauvaise communcation avec le gps : aucune position du GPS depuis 6 s.");
    EXPECT_EQ(dialogs.messages[0].title, "Hou là");
    EXPECT_TRUE(viewer.shown.empty());

    // It speaks again: the next attempt writes, and the status line no longer says it.
    gps_sends(*w, gga);
    for (int minute = 32; minute <= 61; ++minute)
        w->Timer1_Timer();
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + "07/12/2026\r\n" + entry + entry);
    EXPECT_FALSE(status(*w).contains("journal"));

    // Closed after a valid route: nothing at the ticks, and the menu's own warning.
    w->menu("mnugpsfin")->trigger();
    for (int minute = 62; minute <= 91; ++minute)
        w->Timer1_Timer();
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal_head + "07/12/2026\r\n" + entry + entry);
    EXPECT_TRUE(status(*w).contains("liaison avec le GPS est fermée"));
    w->menu("mnujourecrire")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "Mauvaise communcation avec le gps");
}

TEST_F(Freshness, AReceiverPluggedBackUnderItsNameIsOpenedAgainAndSteersAsBefore) {
    // The receiver is a pseudo-terminal behind a stable name, as /dev/serial/by-id gives one.
    auto gps = std::make_unique<marivent::testing::GpsSide>();
    ASSERT_FALSE(gps->device.empty());
    const std::filesystem::path name = root / "gps-by-id";
    std::filesystem::create_symlink(gps->device, name);
    auto w = std::make_unique<Journ>(root.path(),
                                     app::Services{regional, dialogs, clock, nullptr, &viewer},
                                     app::posix_serial({name.string(), "", "", ""}));
    w->retry_interval_ms = 200;
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    const std::string rmb =
        "\r\n$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n";
    const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";
    ASSERT_TRUE(gps->send(rmb));
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += gps->receive()).size() >= apa.size(); }));
    EXPECT_EQ(back, apa);

    // Pulled out: its name goes with it (as the system's by-id names do); told once, tried again
    // while it is away.
    gps.reset();
    std::filesystem::remove(name);
    ASSERT_TRUE(wait_for([&] { return !dialogs.messages.empty(); }));
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_NE(dialogs.messages[0].text.find("coupée"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].text.find("rouvre"), std::string::npos);
    ASSERT_TRUE(wait_for([&] { return status(*w).contains("Liaison coupée"); }));
    run_for(700); // a few tries find nothing
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Plugged back in: the same name, another terminal behind it.
    gps = std::make_unique<marivent::testing::GpsSide>();
    std::filesystem::create_symlink(gps->device, name);
    ASSERT_TRUE(wait_for([&] { return w->MSComm1.PortOpen(); }));
    ASSERT_TRUE(gps->send(rmb + rmb.substr(2)));
    back.clear();
    ASSERT_TRUE(wait_for([&] { return (back += gps->receive()).size() >= 2 * apa.size(); }));
    EXPECT_EQ(back, apa + apa);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    auto* note = w->findChild<QLabel*>("note");
    EXPECT_TRUE(note->text().contains("rétablie")) << note->text().toStdString();
    EXPECT_TRUE(status(*w).contains("Liaison ouverte")) << status(*w).toStdString();

    // Fin de Communication stops the tries.
    gps.reset();
    std::filesystem::remove(name);
    ASSERT_TRUE(wait_for([&] { return !w->MSComm1.PortOpen(); }));
    w->menu("mnugpsfin")->trigger();
    gps = std::make_unique<marivent::testing::GpsSide>();
    std::filesystem::create_symlink(gps->device, name);
    run_for(700);
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_EQ(status(*w), "Liaison fermée");
}

} // namespace
