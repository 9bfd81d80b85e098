// The simulator and the SeaTalk capture, through their handlers (their menus stay switched off).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

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

struct InstrumentsTest : marivent::testing::WindowFixture {
    ScriptedSerial::State dev;
    std::unique_ptr<Journ> open_scripted() {
        return open({std::make_unique<ScriptedSerial>(dev), {"/dev/a", "", "", ""}});
    }
    void arrive(Journ& w, std::string data, std::vector<int> codes = {}) {
        dev.reads.push_back({std::move(data), std::move(codes), false, "", {}});
        w.MSComm1.readable();
    }
};

TEST_F(InstrumentsTest, TheMenusStaySwitchedOffButTheHandlersAreWired) {
    auto w = open_scripted();
    EXPECT_FALSE(w->menu("mnusimu")->isEnabled());
    EXPECT_FALSE(w->menu("mnuseat")->isEnabled());
    w->menu("mnuseaouvr")->trigger(); // what switching the menu on would give
    EXPECT_EQ(w->instruments->seatalk, 1);
    EXPECT_TRUE(dev.open);
}

TEST_F(InstrumentsTest, CapturedBytesGiveFourCharactersEachAndDecodeToHex) {
    auto w = open_scripted();
    write_bytes(root / "seafile.txt", "old capture");
    w->instruments->mnuseaouvr_Click();
    EXPECT_EQ(read_bytes(root / "seafile.txt"), ""); // emptied at the opening
    EXPECT_EQ(dev.settings.parity, 'm');
    EXPECT_EQ(dev.parity_replace, ' ');
    EXPECT_EQ(w->MSComm1.InputMode, 1);
    arrive(*w, std::string("\x00\x06\x20\x84\xFF", 5));
    EXPECT_EQ(read_bytes(root / "seafile.txt"), "   0   6  32 132 255"); // flushed as it comes
    EXPECT_TRUE(w->nav.trame.empty()); // nothing reached the GPS decoder
    w->instruments->mnuseatferm_Click();
    EXPECT_EQ(w->instruments->seatalk, 0);
    EXPECT_FALSE(dev.open);

    w->instruments->mnuseatxt_Click();
    auto* list = qobject_cast<QListWidget*>(w->control("File2"));
    EXPECT_FALSE(list->isHidden());
    ASSERT_EQ(list->findItems("seafile.txt", Qt::MatchExactly).size(), 1);
    EXPECT_TRUE(list->findItems("journlog.txt", Qt::MatchExactly).size() == 1); // every *.txt
    w->instruments->File2_Click("seafile.txt");
    EXPECT_EQ(read_bytes(root / "code.txt"), "0 6 20 84 FF ");
    EXPECT_TRUE(list->isHidden());
}

TEST_F(InstrumentsTest, AParityErrorIsMarkedAndTheCaptureGoesOn) {
    auto w = open_scripted();
    w->instruments->mnuseaouvr_Click();
    arrive(*w, std::string("\x84", 1));
    arrive(*w, " ", {1009}); // a byte whose ninth bit was clear, replaced by a space
    EXPECT_EQ(w->text(Box::Text2), "P");
    arrive(*w, std::string("\x06", 1));
    EXPECT_TRUE(dev.open);
    w->instruments->mnuseatferm_Click();
    EXPECT_EQ(read_bytes(root / "seafile.txt"), " 132   6");
}

TEST_F(InstrumentsTest, InOneReadTheFaultyByteIsTheOneLeftOut) {
    auto w = open_scripted();
    w->instruments->mnuseaouvr_Click();
    // A good byte, one whose parity failed (delivered as the replacement space), a good byte: the
    // device says where in the read the error was.
    nmea::DeviceInput in{std::string("\x84 \x06", 3), {1009}, false, "", {1}};
    dev.reads.push_back(in);
    w->MSComm1.readable();
    EXPECT_EQ(w->text(Box::Text2), std::string("\x06", 1)); // the last byte, after the "P"
    // Two faults in one read, the second on its last byte.
    dev.reads.push_back({std::string(" \x10 ", 3), {1009, 1009}, false, "", {0, 2}});
    w->MSComm1.readable();
    EXPECT_EQ(w->text(Box::Text2), "P");
    w->instruments->mnuseatferm_Click();
    EXPECT_EQ(read_bytes(root / "seafile.txt"), " 132   6  16");
}

TEST_F(InstrumentsTest, DecodingWhileACaptureIsOpenIsRefused) {
    auto w = open_scripted();
    w->instruments->mnuseaouvr_Click();
    w->instruments->mnuseatxt_Click();
    EXPECT_TRUE(w->control("File2")->isHidden());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("Fermer"), std::string::npos);
}

TEST_F(InstrumentsTest, AnEmptyCaptureDecodesToAnEmptyFile) {
    auto w = open_scripted();
    write_bytes(root / "vide.txt", "");
    write_bytes(root / "code.txt", "old");
    w->instruments->File2_Click("vide.txt");
    EXPECT_EQ(read_bytes(root / "code.txt"), "");
}

TEST_F(InstrumentsTest, NeitherStartsWhileTheGpsLinkHoldsThePort) {
    auto w = open_scripted();
    w->menu("mnugpsdeb")->trigger();
    w->instruments->mnuseaouvr_Click();
    w->instruments->mnusimu_Click();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(w->instruments->seatalk, 1);
    EXPECT_FALSE(w->control("simuf")->isVisible()); // the simulation did not start
    EXPECT_TRUE(dev.open);
    EXPECT_EQ(dev.settings.parity, 'n'); // the running link is left alone
}

using marivent::testing::wait_for;

TEST_F(InstrumentsTest, TheSimulatorReplaysThe500FirstLinesOutOfThePort) {
    marivent::testing::GpsSide peer;
    ASSERT_FALSE(peer.device.empty());
    std::string file = "\r\n"; // an empty first line
    for (int i = 1; i < 600; ++i)
        file += "$GPGGA," + std::to_string(i) + "\r\n";
    write_bytes(root / "mmfile1.txt", file);
    auto window = open(app::posix_serial({peer.device, "", "", ""}));
    Journ& w = *window;
    w.set_text(Box::vi, "12,5");
    w.instruments->mnusimu_Click();
    EXPECT_TRUE(w.control("simuf")->isVisible());
    EXPECT_EQ(w.text(Box::vi), "0");
    EXPECT_EQ(w.text(Box::cap), "360");
    EXPECT_EQ(w.text(Box::wpt2), "nice");
    EXPECT_EQ(w.nav.capwpt, "360");
    EXPECT_NE(w.control("navigation")->styleSheet().indexOf("8, 0, 0"), -1);

    std::string expected;
    for (const std::string& l : marivent::simu::simulation_lines(file))
        expected += l + "\r\n";
    std::string back;
    ASSERT_TRUE(wait_for([&] {
        back += peer.receive();
        return back.size() >= expected.size() && !w.instruments->replaying();
    }));
    EXPECT_EQ(back, expected);
    EXPECT_EQ(back.substr(0, 2), "\r\n");
    EXPECT_TRUE(w.MSComm1.PortOpen()); // the port stays open until the end button

    qobject_cast<QAbstractButton*>(w.control("simuf"))->click();
    EXPECT_FALSE(w.MSComm1.PortOpen());
    EXPECT_FALSE(w.control("simuf")->isVisible());
    EXPECT_EQ(w.control("navigation")->styleSheet(), "");
}

TEST_F(InstrumentsTest, AMissingSimulationFileIsCreatedEmptyAndTheReplayEnds) {
    auto w = open_scripted();
    w->instruments->mnusimu_Click();
    EXPECT_TRUE(std::filesystem::exists(root / "mmfile1.txt"));
    EXPECT_EQ(std::filesystem::file_size(root / "mmfile1.txt"), 0u);
    EXPECT_TRUE(wait_for([&] { return !w->instruments->replaying(); }));
    EXPECT_EQ(dev.written, "");
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
