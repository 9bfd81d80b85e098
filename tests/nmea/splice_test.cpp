// Lines pieced together from parts of several sentences never steer: input lost on the way (an
// overflowing buffer, a line error) and sentences that steer without a checksum.
#include <gtest/gtest.h>

#include <set>

#include "fakes.h"
#include "nmea/checksum.h"
#include "nmea/gps_link.h"
#include "scripted_serial.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;
using marivent::testing::MapDisplay;

// Fields of a sentence, the text before the first comma as field 0.
std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> f(1);
    for (char c : line.substr(0, line.find('*'))) {
        if (c == ',')
            f.emplace_back();
        else
            f.back() += c;
    }
    return f;
}

// Lines of a recorded feed (a boat's multiplexer, its chart program following a route): half of
// them RMB, each steering differently, the others GPS and wind sentences, without their line
// ends. The feed starts its chart program's sentences with "#" where NMEA has "$".
std::vector<std::string> recorded_lines(std::size_t most) {
    const std::string bytes = marivent::testing::read_bytes(marivent::testing::testdata_dir() /
                                                            "nmea" / "stupan.se-10112-tcp.log");
    std::vector<std::string> lines;
    std::set<std::string> seen;
    std::size_t rmb = 0;
    for (std::size_t at = 0; at < bytes.size() && lines.size() < most;) {
        std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        std::string l = bytes.substr(at, end - at);
        at = end + 2;
        if (l.size() < 10) continue;
        if (l[0] == '#') l[0] = '$';
        const bool is_rmb = l.compare(3, 4, "RMB,") == 0;
        std::string key = l;
        if (is_rmb) {
            const auto f = fields_of(l);
            key = f[2] + f[3] + f[5] + f[11]; // what the autopilot sentence takes
        }
        if (!seen.insert(key).second || (!is_rmb && lines.size() >= 2 * rmb + 1)) continue;
        if (is_rmb) ++rmb;
        lines.push_back(l);
    }
    return lines;
}

struct Splices : ::testing::Test {
    MapDisplay display;
    Navigation nav;
    DecodeContext context{display, ',', "", nullptr, true};
    std::vector<std::string> lines = recorded_lines(16);
    std::set<std::string> sent_by_gps; // the autopilot sentence of each RMB the GPS sent

    void SetUp() override {
        ASSERT_EQ(lines.size(), 16u);
        for (const std::string& l : lines) {
            Navigation alone;
            const auto r = feed(alone, "\n" + l + "\r");
            ASSERT_TRUE(r && r->fault == LineFault::none) << l;
            if (!r->apa.empty()) sent_by_gps.insert(std::string(r->apa));
        }
        ASSERT_GE(sent_by_gps.size(), 6u);
    }
    // Feeds characters; the result of the last line that ended.
    std::optional<DecodeResult> feed(Navigation& n, std::string_view text) {
        std::optional<DecodeResult> last;
        for (char c : text)
            if (auto r = receive_char(n, c, context)) last = r;
        return last;
    }
    // Makes the route valid, as the first RMB of the passage does.
    void follow_route() {
        for (const std::string& l : lines)
            if (l.find("RMB,A") != std::string::npos) {
                feed(nav, "\n" + l + "\r");
                break;
            }
        ASSERT_EQ(nav.gpsmauvais, 0);
    }
};

TEST_F(Splices, ALineCutByLostInputIsNeverDecodedWhateverFollows) {
    // Every line cut at every byte, the input lost there, then the tail of every line from every
    // byte: the pieced line is rejected, and the next whole line is taken again.
    follow_route();
    long pieced = 0;
    for (const std::string& a : lines)
        for (std::size_t i = 1; i < a.size(); ++i)
            for (const std::string& b : lines)
                for (std::size_t j = 0; j < b.size(); j += 3) {
                    feed(nav, "\n" + a.substr(0, i));
                    input_lost(nav);
                    const auto r = feed(nav, std::string_view(b).substr(j));
                    ASSERT_FALSE(r) << "a line ended inside the tail";
                    const auto end = feed(nav, "\r");
                    ASSERT_TRUE(end);
                    ASSERT_EQ(end->fault, LineFault::input_lost) << a.substr(0, i) << b.substr(j);
                    ASSERT_TRUE(end->apa.empty());
                    ++pieced;
                    const auto whole = feed(nav, "\n" + b + "\r");
                    ASSERT_TRUE(whole && whole->fault == LineFault::none) << b;
                    if (!whole->apa.empty()) {
                        ASSERT_EQ(sent_by_gps.count(std::string(whole->apa)), 1u);
                    }
                }
    EXPECT_GT(pieced, 100000);
    EXPECT_EQ(nav.rejetees, pieced);
}

TEST_F(Splices, PiecesJoinedWithoutAChecksumNeverSteerWithAFieldTheGpsDidNotSend) {
    // The fault seen on a flooded link: a sentence cut before its "*" joined to the middle of
    // another, the joint holding no "*" at all. Whatever is taken of it, every autopilot sentence
    // is one the GPS's own RMB made.
    follow_route();
    long steered = 0;
    for (const std::string& a : lines)
        for (std::size_t i = 7; i < a.find('*'); ++i)
            for (const std::string& b : lines)
                for (std::size_t j = 0; j < b.find('*'); ++j) {
                    const auto r =
                        feed(nav, "\n" + a.substr(0, i) + b.substr(j, b.find('*') - j) + "\r");
                    ASSERT_TRUE(r);
                    if (r->apa.empty()) continue;
                    ++steered;
                    ASSERT_EQ(sent_by_gps.count(std::string(r->apa)), 1u)
                        << a.substr(0, i) << b.substr(j) << " -> " << r->apa;
                }
    EXPECT_GT(steered, 0); // lines that steer are still taken: the route stays followed
}

TEST(SteeringChecksum, RmaRmbAndRmcWithoutChecksumAreRejectedOthersAsBefore) {
    MapDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "", nullptr, false};
    auto line = [&](const std::string& text) {
        nav.trame = "\n" + text;
        return decodenmea(nav, context);
    };
    for (const char* l : {"$GPRMB,A,0.11,R,003,004,4917.239", "$GPRMC,1,A,,,,,5.0,90.0,",
                          "$GPRMA,A,1", "$IIRMB,A,1"}) {
        EXPECT_EQ(line(l).fault, LineFault::no_checksum) << l;
        EXPECT_EQ(display.text(Box::Text2), "\n" + std::string(l)); // shown as every line
    }
    EXPECT_EQ(nav.rejetees, 4);
    EXPECT_EQ(nav.gpsmauvais, 1);
    EXPECT_EQ(nav.capwpt, "");
    EXPECT_EQ(fault_text(LineFault::no_checksum), "somme de contrôle absente");
    // GGA and the others stay as old receivers send them; a proprietary sentence is no RMC.
    for (const char* l : {"$GPGGA,1,2,N,3,E", "$GPGSV,1", "$PGRMC,A"})
        EXPECT_TRUE(line(l).accepted) << l;
    EXPECT_EQ(line("$GPRMB,A,0.11,R,003,004,4917.239,N,12309.57,W,001.3,052.5,000.5,A*17").fault,
              LineFault::none);
    EXPECT_EQ(nav.capwpt, "052.5");
}

TEST(LostLines, TheLineFeedAfterALossStartsAFreshLineAndTheBoundCountsAsALoss) {
    MapDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "", nullptr, false};
    std::vector<LineFault> ended;
    auto feed = [&](std::string_view text) {
        for (char c : text)
            if (auto r = receive_char(nav, c, context)) ended.push_back(r->fault);
    };
    // The carriage return was lost with the end of the line: the next line is taken whole.
    feed("\n$GPGGA,1,2,N");
    input_lost(nav);
    feed("\n$GPGGA,5,6,N,7,E\r");
    EXPECT_EQ(ended, (std::vector<LineFault>{LineFault::input_lost, LineFault::none}));
    EXPECT_EQ(nav.latitude, "6");
    // A loss right after a line ended costs nothing.
    ended.clear();
    input_lost(nav);
    feed("\n$GPGGA,8,9,N,10,E\r");
    EXPECT_EQ(ended, (std::vector<LineFault>{LineFault::none}));
    // Past the bound, what is kept of a line is no line.
    ended.clear();
    feed("\n$GPGGA,1,");
    feed(std::string(trame_limit, '1'));
    feed(",N,3,E\r");
    EXPECT_EQ(ended, (std::vector<LineFault>{LineFault::input_lost}));
    EXPECT_EQ(nav.latitude, "9");
    // A hang-up throws the line away at once, counted when it held anything.
    const long before = nav.rejetees;
    feed("\n$GPRMB,A,0.1");
    EXPECT_TRUE(drop_line(nav));
    EXPECT_EQ(nav.trame, "");
    EXPECT_FALSE(drop_line(nav));
    EXPECT_EQ(nav.rejetees, before + 1);
}

TEST(FloodedLink, WhatTheControlCannotHoldIsLostAndNoLinePiecedAcrossItSteers) {
    // A device that hands over more than the control holds in one read (as the terminal's was
    // read without a bound): the control keeps 64 KiB and drops the rest, the RMB cut there
    // before its "*" meets the next bytes that arrive, which begin with a line end.
    marivent::testing::ScriptedSerial::State dev;
    CommControl port{std::make_unique<marivent::testing::ScriptedSerial>(dev),
                     {"/dev/a", "", "", ""}};
    MapDisplay display;
    Navigation nav;
    LinkContext link{port, nav, DecodeContext{display, ',', "", nullptr, false}, 0, {}};
    port.OnComm = [&] { MSComm1_OnComm(link); };
    auto rmb = [](int k) {
        const std::string body = "GPRMB,A,0." + std::to_string(k % 90 + 10) +
                                 ",R,003,004,4917.239,N,12309.57,W,001.3," +
                                 std::to_string(100 + k % 800) + ".5,000.5,A";
        char sum[3];
        std::snprintf(sum, sizeof sum, "%02X", nmea_checksum(body));
        return "$" + body + "*" + sum + "\r\n";
    };
    std::string flood;
    std::set<std::string> sent_by_gps;
    for (int k = 0; flood.size() < CommControl::input_limit + 4096; ++k) {
        const std::string l = rmb(k);
        Navigation alone;
        alone.trame = "\n" + l.substr(0, l.size() - 2);
        sent_by_gps.insert(std::string(decodenmea(alone, link.decode).apa));
        flood += l;
    }
    // The cut falls inside the bearing of a line: the start is padded so that it does.
    std::string data = "\r\n" + flood;
    const std::size_t bearing = data.rfind(".5,000.5", CommControl::input_limit) - 2;
    data.insert(0, std::string(CommControl::input_limit - bearing, 'x'));
    ASSERT_EQ(data.substr(CommControl::input_limit - 3, 5).find_first_of("*\r"), std::string::npos);
    ASSERT_TRUE(mnugpsdeb_Click(port));
    dev.reads.push_back({data, {}, false, "", {}});
    port.readable();
    dev.reads.push_back({"\r\n" + rmb(1) + rmb(2), {}, false, "", {}});
    port.readable();
    std::size_t sentences = 0;
    for (std::size_t at = 0; at < dev.written.size(); ++sentences) {
        const std::size_t end = dev.written.find('\n', at) + 1;
        ASSERT_EQ(sent_by_gps.count(dev.written.substr(at, end - at)), 1u)
            << dev.written.substr(at, end - at);
        at = end;
    }
    EXPECT_GT(sentences, 800u);
    EXPECT_GE(nav.rejetees, 1);
}

} // namespace
