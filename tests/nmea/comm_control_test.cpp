// The serial control and the GPS link's event handler over a scripted device.
#include <gtest/gtest.h>

#include "fakes.h"
#include "nmea/gps_link.h"
#include "scripted_serial.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;
using marivent::testing::MapDisplay;
using marivent::testing::ScriptedSerial;

struct LinkTest : ::testing::Test {
    ScriptedSerial::State dev;
    CommControl port{std::make_unique<ScriptedSerial>(dev),
                     {"/dev/a", "/dev/b", "/dev/c", "/dev/d"}};
    MapDisplay display;
    Navigation nav;
    std::vector<int> events;
    int seatalk = 0;
    int captured = 0;
    LinkContext link{port, nav, DecodeContext{display, ',', "", nullptr, false}, 0, [this] {
                         ++captured;
                         port.Input();
                     }};
    LinkTest() {
        port.OnComm = [this] {
            events.push_back(port.CommEvent);
            link.seatalk = seatalk;
            MSComm1_OnComm(link);
        };
    }
    void arrive(std::string data, std::vector<int> codes = {}) {
        dev.reads.push_back({std::move(data), std::move(codes), false, "", {}});
        port.readable();
    }
};

TEST_F(LinkTest, OpeningSetsOneCharacterPerReadTextModeAndTheHeldPort) {
    port.CommPort = 3;
    ASSERT_TRUE(mnugpsdeb_Click(port));
    EXPECT_EQ(port.InputLen, 1);
    EXPECT_EQ(port.RThreshold, 1);
    EXPECT_EQ(port.InputMode, 0);
    EXPECT_EQ(dev.path, "/dev/c");
    EXPECT_EQ(dev.settings.baud, 4800);
    EXPECT_EQ(dev.settings.parity, 'n');
}

TEST_F(LinkTest, SeatalkLineSettingsStayWithTheReceiveModeBackToText) {
    port.Settings = "4800,m,8,1";
    port.InputMode = 1;
    ASSERT_TRUE(mnugpsdeb_Click(port));
    EXPECT_EQ(dev.settings.parity, 'm');
    EXPECT_EQ(port.InputMode, 0);
}

TEST_F(LinkTest, ARefusedOpeningLeavesTheLinkClosedWithTheReason) {
    dev.refuse = "/dev/a n'existe pas";
    const Status r = mnugpsdeb_Click(port);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.why(), "/dev/a n'existe pas");
    EXPECT_FALSE(port.PortOpen());
    port.CommPort = 9;
    dev.refuse.clear();
    EXPECT_FALSE(mnugpsdeb_Click(port)); // no device for that number
}

TEST_F(LinkTest, ClosingANeverOpenedLinkDoesNothing) {
    mnugpsfin_Click(port);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(display.boxes.empty());
}

TEST_F(LinkTest, TwoLinesInOneBurstAreDecodedInOrderOneCharacterPerEvent) {
    mnugpsdeb_Click(port);
    const std::string burst =
        "\r\n$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n"
        "$GPGGA,1,2,N,3,E\r";
    arrive(burst);
    EXPECT_EQ(events.size(), burst.size());
    EXPECT_EQ(nav.gpsmauvais, 0);
    EXPECT_EQ(display.text(Box::Text2), "\n$GPGGA,1,2,N,3,E");
    // Two autopilot sentences, after the RMB and the GGA, went out in order.
    EXPECT_EQ(dev.written, std::string("$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n") +
                               "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n");
    EXPECT_EQ(port.InBufferCount(), 0);
}

TEST_F(LinkTest, LineEventsAppendTheirWordsAndOnlyThoseThatLoseNothingLeaveTheLineInProgress) {
    mnugpsdeb_Click(port);
    arrive("\r\n$GPGGA,1");
    display.boxes[Box::Text2] = "x";
    const std::pair<int, const char*> harmless[] = {
        {1010, "buffer full"}, {1011, "dbc"}, {5, "EvCd"},
        {3, "EvCTS"},          {4, "EvDSR"},  {6, "EvRing"},
    };
    std::string expected = "x";
    for (const auto& [code, word] : harmless) {
        arrive("", {code});
        expected += word;
        EXPECT_EQ(display.text(Box::Text2), expected) << code;
    }
    arrive("", {1, 8, 9}); // send threshold and time-outs: nothing
    EXPECT_EQ(display.text(Box::Text2), expected);
    arrive(",2,N,3,E\r");
    EXPECT_EQ(display.text(Box::Text2), "\n$GPGGA,1,2,N,3,E");
    EXPECT_EQ(nav.latitude, "2");

    // A break, a framing or parity error, an overrun or an overflow: characters of the line were
    // lost or damaged, so it is thrown away at its end, counted, and the next line is taken.
    const std::pair<int, const char*> losing[] = {
        {1001, "Break"}, {1004, "Frame"}, {1006, "data lost"}, {1008, "overflow"}, {1009, "Parity"},
    };
    long rejected = nav.rejetees;
    for (const auto& [code, word] : losing) {
        arrive("\n$GPGGA,5");
        display.boxes[Box::Text2] = "x";
        arrive("", {code});
        EXPECT_EQ(display.text(Box::Text2), std::string("x") + word) << code;
        EXPECT_TRUE(port.PortOpen()) << code; // a parity error does not end anything
        arrive(",6,N,7,E\r");
        EXPECT_EQ(nav.latitude, "2") << code;
        EXPECT_EQ(nav.rejetees, ++rejected) << code;
        arrive("\n$GPGGA,8,9,N,10,E\r");
        EXPECT_EQ(nav.latitude, "9") << code;
        nav.latitude = "2";
    }
}

TEST_F(LinkTest, EndOfFileReplacesTheRawLine) {
    mnugpsdeb_Click(port);
    display.boxes[Box::Text2] = "\n$GPGGA";
    arrive("", {7});
    EXPECT_EQ(display.text(Box::Text2), "eof");
}

TEST_F(LinkTest, DuringASeatalkCaptureTheCaptureTakesTheData) {
    mnugpsdeb_Click(port);
    seatalk = 1;
    arrive("\r\n$GP");
    EXPECT_EQ(captured, 5);
    EXPECT_TRUE(nav.trame.empty());
}

TEST_F(LinkTest, AHangUpClosesThePortAndSaysWhy) {
    mnugpsdeb_Click(port);
    std::string said;
    port.on_hung_up = [&](const std::string& why) { said = why; };
    dev.reads.push_back({"", {}, true, "la ligne a été raccrochée", {}});
    port.readable();
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(said, "la ligne a été raccrochée");
    EXPECT_TRUE(mnugpsdeb_Click(port)); // and it opens again
}

TEST_F(LinkTest, OutputTheDeviceCannotTakeWaitsInOrderAndOverflowIsSaidOnce) {
    mnugpsdeb_Click(port);
    dev.accept = 0; // the line is stuck
    port.Output("abc");
    port.Output("def");
    EXPECT_TRUE(port.output_waiting());
    port.Output(std::string(CommControl::output_limit, 'x'));
    port.Output(std::string(CommControl::output_limit, 'y'));
    EXPECT_EQ(std::count(events.begin(), events.end(), 1010), 1);
    dev.accept = std::string::npos;
    port.writable();
    EXPECT_EQ(dev.written, "abcdef");
    EXPECT_FALSE(port.output_waiting());
}

TEST_F(LinkTest, TheAutopilotGetsWholeSentencesWhenTheOutputFills) {
    mnugpsdeb_Click(port);
    const std::string rmb =
        "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n";
    const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";
    arrive("\r\n");
    dev.accept = 11; // the first write takes part of a sentence, then the line is stuck
    arrive(rmb);
    ASSERT_EQ(dev.written, apa.substr(0, 11));
    dev.accept = 0;
    std::size_t dropped = 0, lines = 0;
    port.OnComm = [&] {
        events.push_back(port.CommEvent);
        if (const auto r = MSComm1_OnComm(link); r && r->apa_dropped) ++dropped;
    };
    while (dropped < 5) { // until the queue is full and sentences are left out
        arrive(rmb);
        ++lines;
        ASSERT_LT(lines, CommControl::output_limit); // the queue is bounded
    }
    EXPECT_EQ(std::count(events.begin(), events.end(), 1010), 1); // said once
    dev.accept = std::string::npos;
    port.writable();
    // What left is the cut first sentence finished, then whole sentences only.
    const std::size_t sent = 1 + lines - dropped;
    ASSERT_EQ(dev.written.size(), sent * apa.size());
    for (std::size_t at = 0; at < dev.written.size(); at += apa.size())
        ASSERT_EQ(dev.written.substr(at, apa.size()), apa) << at;
    // Once drained, the next sentence goes out again and a new filling would be said again.
    dev.written.clear();
    arrive(rmb);
    EXPECT_EQ(dev.written, apa);
}

TEST_F(LinkTest, InputBeyondTheBufferIsDroppedWithAnOverflowEvent) {
    port.RThreshold = 0; // nobody reads
    port.set_PortOpen(true);
    arrive(std::string(CommControl::input_limit + 10, 'a'));
    EXPECT_EQ(port.InBufferCount(), static_cast<int>(CommControl::input_limit));
    EXPECT_EQ(events, std::vector<int>{1008});
}

} // namespace
