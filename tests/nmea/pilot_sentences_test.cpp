// The autopilot sentences APB, RMB and XTE built from RMB sentences recorded from real receivers:
// their fields, checksums and bearings, true and magnetic; the variation as the user writes it;
// and what the decoder and marivent-pilot's stream send of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/lines.h"
#include "fakes.h"
#include "nmea/decoder.h"
#include "nmea/null_display.h"
#include "nmea/pilot_sentences.h"
#include "nmea/pilot_stream.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;
using marivent::testing::MapDisplay;
using Fields = std::vector<std::string>;

// The XOR of the bytes between "$" and "*" in two upper-case hexadecimal digits, computed here
// rather than by nmea/checksum.h.
std::string hex_sum(std::string_view body) {
    unsigned x = 0;
    for (char c : body)
        x ^= static_cast<unsigned char>(c);
    const char* hex = "0123456789ABCDEF";
    return {hex[x >> 4], hex[x & 15]};
}

// A sentence as a GPS sends it, without its line end: "$", body, "*", checksum.
std::string signed_line(std::string_view body) {
    return "$" + std::string(body) + "*" + hex_sum(body);
}

Fields split(std::string_view text) {
    Fields f(1);
    for (char c : text) {
        if (c == ',')
            f.emplace_back();
        else
            f.back() += c;
    }
    return f;
}

std::string join(const Fields& f) {
    std::string s;
    for (std::size_t i = 0; i < f.size(); ++i)
        s += (i == 0 ? "" : ",") + f[i];
    return s;
}

// The fields of a received line up to its "*", the address ("GPRMB") as field 0.
Fields fields_of_line(const std::string& line) {
    return split(std::string_view(line).substr(1, line.find('*') - 1));
}

// The fields of one sentence as it goes out ("$", body, "*", checksum, CR LF), after checking
// that frame and its checksum.
void framed(const std::string& s, Fields& fields) {
    ASSERT_GE(s.size(), 6u) << s;
    ASSERT_EQ(s.front(), '$') << s;
    ASSERT_EQ(s.substr(s.size() - 2), "\r\n") << s;
    ASSERT_EQ(s[s.size() - 5], '*') << s;
    const std::string body = s.substr(1, s.size() - 6);
    ASSERT_EQ(body.find_first_of("$*\r\n"), std::string::npos) << s;
    ASSERT_EQ(s.substr(s.size() - 4, 2), hex_sum(body)) << s;
    fields = split(body);
}

// The sentences of a set, each checked as `framed` does.
void sentences_of(const std::string& set, std::vector<Fields>& out) {
    out.clear();
    for (std::size_t at = 0; at < set.size();) {
        const std::size_t end = set.find('\n', at);
        ASSERT_NE(end, std::string::npos) << set;
        Fields f;
        ASSERT_NO_FATAL_FAILURE(framed(set.substr(at, end + 1 - at), f));
        out.push_back(f);
        at = end + 1;
    }
}

std::vector<std::string> log_lines(const char* name) {
    const std::string bytes =
        marivent::testing::read_bytes(marivent::testing::testdata_dir() / "nmea" / name);
    std::vector<std::string> lines;
    for (std::string_view l : split_lines(bytes))
        lines.emplace_back(l);
    return lines;
}

// The first RMB of a log with status A and a bearing; a chart program's "#" start as "$".
std::string first_route_rmb(const char* log) {
    for (std::string l : log_lines(log)) {
        if (l.size() < 10 || l.compare(3, 4, "RMB,") != 0) continue;
        if (l[0] == '#') l[0] = '$';
        const Fields f = fields_of_line(l);
        if (f.size() >= 14 && f[1] == "A" && !f[11].empty()) return l;
    }
    ADD_FAILURE() << "no RMB with a bearing in " << log;
    return {};
}

// Three receivers' RMB: a Garmin GPS 76 following a go-to (bearing "53.0"), a chart program's
// ECRMB behind a multiplexer ("79.336"), an instrument system's IIRMB ("230", destination name
// padded with blanks).
const char* const route_logs[] = {"Garmin-GPS76_goto.txt", "stupan.se-10112-tcp.log",
                                  "2021-03-05_16-23-50_UTC_LOG.nmea"};

// The navigation values after the decoder took one line (any talker's RMB taken).
Navigation decoded(const std::string& line) {
    NullDisplay display;
    Navigation nav;
    nav.trame = "\n" + line;
    decodenmea(nav, DecodeContext{display, ',', "", nullptr, true});
    return nav;
}

TEST(PilotSentences, RecordedRmbsGiveApbRmbAndXteWithTheirFieldsInPlace) {
    for (const char* log : route_logs) {
        SCOPED_TRACE(log);
        const std::string line = first_route_rmb(log);
        ASSERT_FALSE(line.empty());
        for (const char* arrival : {"V", "A"}) {
            // The recorded RMB, then the same with its arrival circle entered.
            Fields r = fields_of_line(line);
            r[13] = arrival;
            const Navigation nav = decoded(signed_line(join(r)));
            SCOPED_TRACE(join(r));

            const Result<std::string> apb =
                apb_sentence(nav, "AG", BearingReference::true_north, std::nullopt);
            ASSERT_TRUE(apb) << apb.why();
            Fields a;
            ASSERT_NO_FATAL_FAILURE(framed(*apb, a));
            EXPECT_EQ(a, (Fields{"AGAPB", "A", "A", r[2], r[3], "N", arrival, "", "", "", r[5],
                                 r[11], "T", r[11], "T"}));

            Fields b;
            ASSERT_NO_FATAL_FAILURE(framed(rmb_sentence(nav, "AG"), b));
            Fields want(r.begin(), r.begin() + 14); // without the mode field of NMEA 2.3
            want[0] = "AGRMB";
            EXPECT_EQ(b, want);

            Fields x;
            ASSERT_NO_FATAL_FAILURE(framed(xte_sentence(nav, "AG"), x));
            EXPECT_EQ(x, (Fields{"AGXTE", "A", "A", r[2], r[3], "N"}));
        }
    }
}

TEST(PilotSentences, ApbMagneticOrNotBuiltWithoutAVariation) {
    // The Garmin's RMB (bearing 53.0) with the variation of its own RMC, 4.9 E.
    const Navigation nav = decoded(first_route_rmb("Garmin-GPS76_goto.txt"));
    ASSERT_EQ(nav.capwpt, "53.0");
    const Result<std::string> apb =
        apb_sentence(nav, "AG", BearingReference::magnetic, Variation{49, 1});
    ASSERT_TRUE(apb) << apb.why();
    Fields a;
    ASSERT_NO_FATAL_FAILURE(framed(*apb, a));
    EXPECT_EQ(Fields(a.begin() + 11, a.end()), (Fields{"48.1", "M", "48.1", "M"}));

    // Without a variation nothing is built, and the user is told why.
    const Result<std::string> refused =
        apb_sentence(nav, "AG", BearingReference::magnetic, std::nullopt);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.why(), no_variation);
}

TEST(BearingField, MagneticIsTrueLessTheEastVariationWithinOneTurn) {
    struct Case {
        const char* received;
        Variation east;
        const char* magnetic;
    };
    const Case cases[] = {
        {"002.0", {45, 1}, "357.5"},     // east, across north
        {"358.0", {-3, 0}, "001.0"},     // west, across north
        {"052.5", {-25, 1}, "055.0"},    // west
        {"052.5", {25, 1}, "050.0"},     // east
        {"005.0", {50, 1}, "000.0"},     // onto north
        {"53.0", {49, 1}, "48.1"},       // the Garmin's RMB and RMC: two whole digits as received
        {"230", {10, 0}, "220"},         // the IIRMB and IIRMC of one boat: no decimals
        {"79.336", {4059, 3}, "75.277"}, // the ECRMB and ECRMC of one chart program
        {"052.50", {-25, 1}, "055.00"},  // decimals as received
        {"5", {-3, 0}, "8"},             // one whole digit stays one...
        {"5", {100, 1}, "355"},          // ...and grows when the value needs more
        {"052.5", {0, 0}, "052.5"},      // 0E
        {"052.5", {494, 2}, "047.6"},    // 47.56 rounded to the received tenths
        {"052.5", {496, 2}, "047.5"},    // 47.54
        {"230", {45, 1}, "226"},         // 225.5: half up
        {"230", {-45, 1}, "235"},        // 234.5: half up
        {"002.0", {204, 2}, "000.0"},    // 359.96 rounds to a whole turn: 000.0, never 360.0
        {"360", {-2, 0}, "002"},         // 360 is north
        {"360.0", {0, 0}, "000.0"},
        {"180", {-180, 0}, "000"}, // the largest variations
        {"180", {180, 0}, "000"},
        {"010.5", {-1805, 1}, "191.0"},
    };
    for (const Case& c : cases) {
        const Result<std::string> m = bearing_field(c.received, BearingReference::magnetic, c.east);
        ASSERT_TRUE(m) << c.received;
        EXPECT_EQ(*m, c.magnetic) << c.received << " with " << c.east.east << "e-"
                                  << c.east.decimals;
    }
    // True bearings go as received, whatever the variation; 360 as north.
    for (const char* t : {"052.5", "53.0", "230", "0", "359.999999", "79.336"})
        for (const std::optional<Variation>& v :
             {std::optional<Variation>{}, std::optional<Variation>{Variation{45, 1}}}) {
            const Result<std::string> b = bearing_field(t, BearingReference::true_north, v);
            ASSERT_TRUE(b);
            EXPECT_EQ(*b, t);
        }
    EXPECT_EQ(*bearing_field("360", BearingReference::true_north, std::nullopt), "000");
    EXPECT_EQ(*bearing_field("360.0", BearingReference::true_north, std::nullopt), "000.0");
    // Magnetic without a variation: refused, in French.
    const Result<std::string> refused =
        bearing_field("052.5", BearingReference::magnetic, std::nullopt);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.why(), no_variation);
}

TEST(BearingField, WhatIsNotABearingGoesOutEmptyNeverAsNorth) {
    const std::optional<Variation> variations[] = {std::nullopt, Variation{45, 1},
                                                   Variation{-3, 0}};
    for (const char* bad : {"", "5x.2", "-52.5", "+52", "52,5", "1e2", "360.1", "400", " 52.5",
                            ".5", "N", "52.1234567"})
        for (BearingReference ref : {BearingReference::true_north, BearingReference::magnetic})
            for (const std::optional<Variation>& v : variations) {
                if (ref == BearingReference::magnetic && !v) continue;
                const Result<std::string> b = bearing_field(bad, ref, v);
                ASSERT_TRUE(b) << bad;
                EXPECT_EQ(*b, "") << "\"" << bad << "\"";
            }
}

TEST(PilotSentences, UnreadableRmbFieldsGoOutEmptyNeverInvented) {
    const Navigation recorded = decoded(first_route_rmb("Garmin-GPS76_goto.txt"));
    for (BearingReference ref : {BearingReference::true_north, BearingReference::magnetic}) {
        // Bearing: APB fields 11 to 14 empty (no T or M without a bearing), RMB field 11 empty.
        for (const char* bad : {"", "5x.2", "-52.5", "360.1", "1e2"}) {
            SCOPED_TRACE(std::string("bearing \"") + bad + "\"");
            Navigation nav = recorded;
            nav.capwpt = bad;
            Fields a, b;
            ASSERT_NO_FATAL_FAILURE(framed(*apb_sentence(nav, "AG", ref, Variation{45, 1}), a));
            ASSERT_EQ(a.size(), 15u);
            EXPECT_EQ(Fields(a.begin() + 11, a.end()), (Fields{"", "", "", ""}));
            EXPECT_EQ(a[3], "0.03"); // the rest as received
            EXPECT_EQ(a[10], "Fl.W.3s");
            ASSERT_NO_FATAL_FAILURE(framed(rmb_sentence(nav, "AG"), b));
            ASSERT_EQ(b.size(), 14u);
            EXPECT_EQ(b[11], "");
            EXPECT_EQ(b[10], "0.993");
        }
    }
    // Cross-track error and direction to steer: empty in APB, RMB and XTE.
    for (const char* bad : {"", "abc", "-0.03", "0,03", ".03", "0.03L"}) {
        SCOPED_TRACE(std::string("xte \"") + bad + "\"");
        Navigation nav = recorded;
        nav.ecartroute = bad;
        Fields a, b, x;
        ASSERT_NO_FATAL_FAILURE(
            framed(*apb_sentence(nav, "AG", BearingReference::true_north, std::nullopt), a));
        ASSERT_NO_FATAL_FAILURE(framed(rmb_sentence(nav, "AG"), b));
        ASSERT_NO_FATAL_FAILURE(framed(xte_sentence(nav, "AG"), x));
        EXPECT_EQ(a[3], "");
        EXPECT_EQ(b[2], "");
        EXPECT_EQ(x, (Fields{"AGXTE", "A", "A", "", "L", "N"}));
    }
    for (const char* bad : {"", "X", "l", "LR"}) {
        SCOPED_TRACE(std::string("direction \"") + bad + "\"");
        Navigation nav = recorded;
        nav.sensecart = bad;
        Fields a, b, x;
        ASSERT_NO_FATAL_FAILURE(
            framed(*apb_sentence(nav, "AG", BearingReference::true_north, std::nullopt), a));
        ASSERT_NO_FATAL_FAILURE(framed(rmb_sentence(nav, "AG"), b));
        ASSERT_NO_FATAL_FAILURE(framed(xte_sentence(nav, "AG"), x));
        EXPECT_EQ(a[4], "");
        EXPECT_EQ(b[3], "");
        EXPECT_EQ(x, (Fields{"AGXTE", "A", "A", "0.03", "", "N"}));
    }
    for (const char* bad : {"", "X"}) {
        Navigation nav = recorded;
        nav.arriveewpt = bad;
        Fields a;
        ASSERT_NO_FATAL_FAILURE(
            framed(*apb_sentence(nav, "AG", BearingReference::true_north, std::nullopt), a));
        EXPECT_EQ(a[6], "") << bad;
    }
    // A receiver with no route (Hakefjord's RMB, status A and every field empty) in magnetic
    // with a variation: no bearing of 0 less the variation, no zero cross-track error.
    const std::string empty_rmb = "$GPRMB,A,,,,,,,,,,,,V*71";
    const std::vector<std::string> hakefjord = log_lines("Hakefjord.log");
    ASSERT_NE(std::find(hakefjord.begin(), hakefjord.end(), empty_rmb), hakefjord.end());
    const Navigation none = decoded(empty_rmb);
    Fields a, b, x;
    ASSERT_NO_FATAL_FAILURE(
        framed(*apb_sentence(none, "AG", BearingReference::magnetic, Variation{-25, 1}), a));
    EXPECT_EQ(a, (Fields{"AGAPB", "A", "A", "", "", "N", "V", "", "", "", "", "", "", "", ""}));
    ASSERT_NO_FATAL_FAILURE(framed(rmb_sentence(none, "AG"), b));
    EXPECT_EQ(b, (Fields{"AGRMB", "A", "", "", "", "", "", "", "", "", "", "", "", "V"}));
    ASSERT_NO_FATAL_FAILURE(framed(xte_sentence(none, "AG"), x));
    EXPECT_EQ(x, (Fields{"AGXTE", "A", "A", "", "", "N"}));
}

TEST(Variation, TheUsersTextIsReadExactly) {
    struct Accepted {
        const char* text;
        long long east;
        int decimals;
    };
    for (const Accepted& c : std::initializer_list<Accepted>{{"2,5W", -25, 1},
                                                             {"2.5W", -25, 1},
                                                             {"2.5 W", -25, 1},
                                                             {" 2,5 w ", -25, 1},
                                                             {"1E", 1, 0},
                                                             {"1.5e", 15, 1},
                                                             {"0E", 0, 0},
                                                             {"0W", 0, 0},
                                                             {"3o", -3, 0},
                                                             {"3O", -3, 0},
                                                             {"180E", 180, 0},
                                                             {"180.000000W", -180000000, 6},
                                                             {"0.000001E", 1, 6},
                                                             {"12.25E", 1225, 2}}) {
        const Result<Variation> v = parse_variation(c.text);
        ASSERT_TRUE(v) << c.text << ": " << v.why();
        EXPECT_EQ(v->east, c.east) << c.text;
        EXPECT_EQ(v->decimals, c.decimals) << c.text;
    }
    struct Refused {
        const char* text;
        const char* why;
    };
    for (const Refused& c : std::initializer_list<Refused>{
             {"", "déclinaison vide : écrire par exemple 2,5W ou 1.5E"},
             {"   ", "déclinaison vide : écrire par exemple 2,5W ou 1.5E"},
             {"abc", "déclinaison « abc » : le sens E (est) ou W (ouest) manque, par exemple 2,5W"},
             {"2.5", "déclinaison « 2.5 » : le sens E (est) ou W (ouest) manque, par exemple 2,5W"},
             {"-2.5", "déclinaison « -2.5 » : pas de signe, le sens s'écrit E (est) ou W (ouest), "
                      "par exemple 2,5W"},
             {"-2.5W", "déclinaison « -2.5W » : pas de signe"},
             {"+1E", "déclinaison « +1E » : pas de signe"},
             {"181E", "déclinaison « 181E » : plus de 180 degrés"},
             {"180.000001E", "déclinaison « 180.000001E » : plus de 180 degrés"},
             {"2.5.1W", "déclinaison « 2.5.1W » illisible : des degrés puis E ou W, par exemple "
                        "2,5W"},
             {"180.0000001E", "déclinaison « 180.0000001E » illisible"}, // 7 decimals
             {"W", "déclinaison « W » illisible"},
             {",5W", "déclinaison « ,5W » illisible"},
             {"1234E", "déclinaison « 1234E » illisible"},
             {"2.5EW", "déclinaison « 2.5EW » illisible"},
             {"2 5W", "déclinaison « 2 5W » illisible"}}) {
        const Result<Variation> v = parse_variation(c.text);
        ASSERT_FALSE(v) << c.text;
        EXPECT_EQ(v.why().rfind(c.why, 0), 0u) << c.text << ": " << v.why();
    }
}

TEST(Variation, RmcFieldsTenAndElevenOrNothing) {
    struct Case {
        const char* degrees;
        const char* side;
        std::optional<long long> east;
        int decimals;
    };
    const Case cases[] = {
        {"4.9", "E", 49, 1},   {"10", "E", 10, 0},   {"4.059", "E", 4059, 3},
        {"3.1", "W", -31, 1},  {"0.0", "W", 0, 1},   {"180.0", "W", -1800, 1},
        {"", "", {}, 0},       {"4.9", "", {}, 0},   {"", "E", {}, 0},
        {"", "W", {}, 0},      {"4,9", "E", {}, 0},  {"4.9", "e", {}, 0},
        {"180.1", "E", {}, 0}, {"-4.9", "E", {}, 0}, {"4.9", "O", {}, 0},
    };
    for (const Case& c : cases) {
        const std::optional<Variation> v = rmc_variation(c.degrees, c.side);
        ASSERT_EQ(v.has_value(), c.east.has_value()) << c.degrees << "," << c.side;
        if (!v) continue;
        EXPECT_EQ(v->east, *c.east) << c.degrees << "," << c.side;
        EXPECT_EQ(v->decimals, c.decimals) << c.degrees << "," << c.side;
    }
}

TEST(PilotChoiceNames, KindsAndTalkers) {
    for (PilotKind k : {PilotKind::apa, PilotKind::apb, PilotKind::apb_rmb_xte})
        EXPECT_EQ(pilot_kind_named(pilot_kind_name(k)), k);
    EXPECT_EQ(pilot_kind_named("apb+rmb+xte"), PilotKind::apb_rmb_xte);
    for (const char* bad : {"", "APB", "apb+rmb", "apb rmb xte", "apa ", "xte"})
        EXPECT_FALSE(pilot_kind_named(bad)) << bad;
    for (const char* good : {"AG", "GP", "ZZ", "II"})
        EXPECT_TRUE(valid_talker(good)) << good;
    for (const char* bad : {"", "A", "ag", "Ag", "AGX", "A1", "A ", "@A", "A["})
        EXPECT_FALSE(valid_talker(bad)) << bad;
}

TEST(PilotSet, WhatGoesOutForEachChoice) {
    const Navigation recorded = decoded(first_route_rmb("Garmin-GPS76_goto.txt"));
    ASSERT_EQ(recorded.declinaison, ""); // no RMC decoded yet
    PilotChoice choice;
    choice.kind = PilotKind::apb;
    std::vector<Fields> s;

    // True: APB alone, or APB, RMB and XTE, under the talker chosen.
    PilotSet set = pilot_set(recorded, choice);
    ASSERT_NO_FATAL_FAILURE(sentences_of(set.sentences, s));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][0], "AGAPB");
    EXPECT_FALSE(set.refused);
    choice.kind = PilotKind::apb_rmb_xte;
    choice.talker = "GP";
    set = pilot_set(recorded, choice);
    ASSERT_NO_FATAL_FAILURE(sentences_of(set.sentences, s));
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0][0], "GPAPB");
    EXPECT_EQ(s[1][0], "GPRMB");
    EXPECT_EQ(s[2][0], "GPXTE");
    choice.talker = "AG";

    // Magnetic without any variation: APB alone sends nothing; the set of three sends its XTE.
    choice.reference = BearingReference::magnetic;
    choice.kind = PilotKind::apb;
    set = pilot_set(recorded, choice);
    EXPECT_EQ(set.sentences, "");
    EXPECT_EQ(set.refused, "APB non envoyée : " + std::string(no_variation));
    choice.kind = PilotKind::apb_rmb_xte;
    set = pilot_set(recorded, choice);
    EXPECT_EQ(set.sentences, xte_sentence(recorded, "AG"));
    EXPECT_EQ(set.refused, "APB et RMB non envoyées : " + std::string(no_variation));

    // The user's variation: APB magnetic, RMB still true (53.0 + 2.5 W = 55.5).
    choice.user_variation = Variation{-25, 1};
    set = pilot_set(recorded, choice);
    EXPECT_FALSE(set.refused);
    ASSERT_NO_FATAL_FAILURE(sentences_of(set.sentences, s));
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(Fields(s[0].begin() + 11, s[0].end()), (Fields{"55.5", "M", "55.5", "M"}));
    EXPECT_EQ(s[1][11], "53.0");
    EXPECT_EQ(s[2][0], "AGXTE");

    // The RMC's variation, when it gives one, over the user's: 53.0 - 4.9 E = 48.1.
    Navigation with_rmc = recorded;
    with_rmc.declinaison = "4.9";
    with_rmc.sensdecl = "E";
    set = pilot_set(with_rmc, choice);
    ASSERT_NO_FATAL_FAILURE(sentences_of(set.sentences, s));
    EXPECT_EQ(s[0][11], "48.1");
    with_rmc.sensdecl = "";
    set = pilot_set(with_rmc, choice);
    ASSERT_NO_FATAL_FAILURE(sentences_of(set.sentences, s));
    EXPECT_EQ(s[0][11], "55.5");
}

// The decoder as the serial link drives it, with a choice of autopilot sentences.
struct PilotDecoding : ::testing::Test {
    MapDisplay display;
    Navigation nav;
    PilotChoice choice{PilotKind::apb_rmb_xte, BearingReference::true_north, std::nullopt, "AG"};
    DecodeContext context{display, ',', "", nullptr, true, &choice};

    PilotDecoding() { nav.trame = "\n"; } // the line feed that ended the line before

    // Feeds characters; the result of the last line that ended.
    std::optional<DecodeResult> feed(std::string_view text) {
        std::optional<DecodeResult> last;
        for (char c : text)
            if (auto r = receive_char(nav, c, context)) last = r;
        return last;
    }
    // One line as the GPS sends it: its characters, CR, then the LF that starts the next.
    DecodeResult line(const std::string& text) {
        auto r = feed(text + "\r");
        feed("\n");
        EXPECT_TRUE(r) << text;
        return r ? *r : DecodeResult{};
    }
};

TEST_F(PilotDecoding, TheSetGoesOutOnceForEachValidRmbOfARecordedLogFromThatRmb) {
    int sets = 0, rmbs = 0, others = 0;
    for (const std::string& l : log_lines("Garmin-GPS76_goto.txt")) {
        const DecodeResult r = line(l);
        ASSERT_EQ(r.fault, LineFault::none) << l;
        if (l.compare(0, 7, "$GPRMB,") != 0) {
            EXPECT_EQ(r.apa, "") << l;
            ++others;
            continue;
        }
        ++rmbs;
        const Fields rmb = fields_of_line(l);
        std::vector<Fields> s;
        ASSERT_NO_FATAL_FAILURE(sentences_of(std::string(r.apa), s));
        ASSERT_EQ(s.size(), 3u) << l;
        EXPECT_EQ(s[0], (Fields{"AGAPB", "A", "A", rmb[2], rmb[3], "N", rmb[13], "", "", "", rmb[5],
                                rmb[11], "T", rmb[11], "T"}));
        EXPECT_EQ(Fields(s[1].begin() + 1, s[1].end()), Fields(rmb.begin() + 1, rmb.begin() + 14));
        EXPECT_EQ(s[2], (Fields{"AGXTE", "A", "A", rmb[2], rmb[3], "N"}));
        EXPECT_EQ(display.text(Box::otopil), r.apa);
        EXPECT_FALSE(r.pilot_refused);
        ++sets;
    }
    EXPECT_EQ(rmbs, 7);
    EXPECT_EQ(sets, rmbs);
    EXPECT_GT(others, 60); // GGA, RMC, GSA, GSV, GLL, BOD and Garmin's own between them
}

TEST_F(PilotDecoding, AnRmbNotValidSendsNothing) {
    const std::string valid = first_route_rmb("Garmin-GPS76_goto.txt");
    Fields v = fields_of_line(valid);
    v[1] = "V";
    ASSERT_FALSE(line(valid).apa.empty());
    // Status V, then the lines after it.
    EXPECT_EQ(line(signed_line(join(v))).apa, "");
    EXPECT_EQ(line("$GPGGA,095202,6004.3030,N,01940.9154,E,2,09,1.3,-2.0,M,21.7,M,,*6A").apa, "");
    // Recorded: a Garmin GPSmap 76S with no route (status V), a Zeus chart plotter's RMB with
    // its status empty (valid for the window's APA, but not A).
    EXPECT_EQ(line("$GPRMB,V,,,,,,,,,,,,A,S*0E").apa, "");
    const DecodeResult empty_status = line("$GPRMB,,,,,,,,,,,,,,N*04");
    EXPECT_TRUE(empty_status.accepted);
    EXPECT_EQ(nav.gpsmauvais, 0);
    EXPECT_EQ(empty_status.apa, "");
    EXPECT_FALSE(line(valid).apa.empty());
}

TEST_F(PilotDecoding, AShortRmbNeverSteersWithFieldsGivenAgain) {
    // Its missing fields repeat the last one received: "003", the origin waypoint, would go out
    // as destination and bearing.
    EXPECT_EQ(line(signed_line("GPRMB,A,0.5,L,003,004")).apa, "");
    EXPECT_EQ(nav.capwpt, "003"); // what the window shows, as ever
    // Up to field 12 only: the closing velocity would repeat the bearing.
    const std::string recorded = first_route_rmb("Garmin-GPS76_goto.txt");
    const std::string up_to_12 = recorded.substr(0, recorded.find(",V,D*"));
    EXPECT_EQ(line(signed_line(up_to_12.substr(1))).apa, "");
    // Up to field 13, as NMEA 2.0 receivers end it: sent.
    EXPECT_FALSE(line(signed_line(up_to_12.substr(1) + ",V")).apa.empty());
}

TEST_F(PilotDecoding, ALineWithLostInputNeverSteersWithTheSet) {
    const std::vector<std::string> lines = log_lines("Garmin-GPS76_goto.txt");
    std::vector<std::string> rmbs;
    for (const std::string& l : lines)
        if (l.compare(0, 7, "$GPRMB,") == 0) rmbs.push_back(l);
    ASSERT_GE(rmbs.size(), 2u);
    ASSERT_FALSE(line(rmbs[0]).apa.empty());
    // An RMB cut at every byte, input lost there, then the tail of another from every byte.
    long lost = 0;
    for (const std::string& a : rmbs)
        for (std::size_t i = 1; i < a.size(); ++i)
            for (std::size_t j = 0; j < rmbs[1].size(); j += 5) {
                feed(a.substr(0, i));
                input_lost(nav);
                const auto r = feed(rmbs[1].substr(j) + "\r");
                ASSERT_TRUE(r);
                ASSERT_EQ(r->fault, LineFault::input_lost);
                ASSERT_EQ(r->apa, "");
                ASSERT_FALSE(r->pilot_refused);
                feed("\n");
                ++lost;
            }
    EXPECT_GT(lost, 5000);
    // A damaged line (a GGA spliced into an RMB): rejected, nothing sent.
    const DecodeResult spliced =
        line("$GPRMB,A,0.02GA,110000.00,4751.9795,N,00355.0143,W,1,09,0.9,3.2,M,49.6,M,,*74");
    EXPECT_NE(spliced.fault, LineFault::none);
    EXPECT_EQ(spliced.apa, "");
    EXPECT_FALSE(line(rmbs[1]).apa.empty());
}

TEST_F(PilotDecoding, TheRmcVariationIsUsedOverTheUsers) {
    choice.kind = PilotKind::apb;
    choice.reference = BearingReference::magnetic;
    const std::string rmb = first_route_rmb("Garmin-GPS76_goto.txt"); // bearing 53.0
    auto bearing = [&] {
        const DecodeResult r = line(rmb);
        std::vector<Fields> s;
        sentences_of(std::string(r.apa), s);
        return s.size() == 1 ? s[0][11] + s[0][12] : "(" + r.pilot_refused.value_or("") + ")";
    };
    // No variation anywhere: nothing, and why.
    EXPECT_EQ(bearing(), "(APB non envoyée : " + std::string(no_variation) + ")");
    choice.user_variation = Variation{-25, 1};
    EXPECT_EQ(bearing(), "55.5M");
    // The Garmin's RMC (4.9 E), then the same with 4.9 W.
    line("$GPRMC,095202,A,6004.3030,N,01940.9154,E,1.7,124.6,030610,4.9,E,D*1B");
    EXPECT_EQ(bearing(), "48.1M");
    line(signed_line("GPRMC,095202,A,6004.3030,N,01940.9154,E,1.7,124.6,030610,4.9,W,D"));
    EXPECT_EQ(bearing(), "57.9M");
    // An RMC without a variation (a multiplexer's, recorded): the user's again.
    line("$GPRMC,,A,5738.7695,N,1142.5722,E,9.700,79.436,230394,,W*44");
    EXPECT_EQ(bearing(), "55.5M");
    // NMEA 2.0, no mode field: the variation is its last field.
    line(signed_line("GPRMC,095202,A,6004.3030,N,01940.9154,E,1.7,124.6,030610,10,E"));
    EXPECT_EQ(bearing(), "43.0M");
}

TEST(PilotChoiceApa, SendsWhatNoChoiceSendsOnEveryRecordedLog) {
    const auto dir = marivent::testing::testdata_dir() / "nmea";
    long sent = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = marivent::testing::read_bytes(entry.path());
        for (bool all_talkers : {false, true}) {
            MapDisplay display_none, display_apa;
            Navigation nav_none, nav_apa;
            const PilotChoice apa{}; // kind apa
            const DecodeContext none{display_none, ',', "", nullptr, all_talkers};
            const DecodeContext with{display_apa, ',', "", nullptr, all_talkers, &apa};
            std::string out_none, out_apa;
            for (char c : bytes) {
                const auto a = receive_char(nav_none, c, none);
                const auto b = receive_char(nav_apa, c, with);
                ASSERT_EQ(a.has_value(), b.has_value());
                if (!a) continue;
                ASSERT_EQ(a->apa, b->apa) << entry.path();
                ASSERT_EQ(a->accepted, b->accepted);
                ASSERT_FALSE(b->pilot_refused);
                out_none += a->apa;
                out_apa += b->apa;
            }
            EXPECT_EQ(out_none, out_apa) << entry.path();
            EXPECT_EQ(display_none.boxes, display_apa.boxes) << entry.path();
            sent += static_cast<long>(out_apa.size());
        }
    }
    EXPECT_GT(sent, 100000);
}

TEST(PilotStreamChoice, AnInstrumentSystemsRmbsUnderEachChoice) {
    // 648 IIRMB, bearing 230, status A; its IIRMC are not a GPS's, so their variation is not
    // taken.
    const std::string bytes = marivent::testing::read_bytes(
        marivent::testing::testdata_dir() / "nmea" / "2021-03-05_16-23-50_UTC_LOG.nmea");
    auto run = [&](bool all_talkers, const PilotChoice& choice, long* refused = nullptr) {
        PilotStream stream(all_talkers, choice);
        std::string out;
        stream.feed(bytes, out);
        stream.finish(out);
        if (refused) *refused = stream.refused();
        return out;
    };
    auto count = [](const std::string& out, std::string_view what) {
        long n = 0;
        for (std::size_t at = out.find(what); at != std::string::npos; at = out.find(what, at + 1))
            ++n;
        return n;
    };
    PilotChoice choice{PilotKind::apb, BearingReference::magnetic, Variation{10, 0}, "AG"};
    std::string out = run(true, choice);
    EXPECT_EQ(count(out, "\r\n"), 648);
    EXPECT_EQ(count(out, ",220,M,220,M*"), 648);
    EXPECT_EQ(count(out, "$AGAPB,A,A,3.00,R,N,V,,,,RANGI   ,220,M"), 648);
    EXPECT_EQ(run(false, choice), ""); // without the option an IIRMB is nobody's

    choice.user_variation.reset();
    long refused = 0;
    EXPECT_EQ(run(true, choice, &refused), "");
    EXPECT_EQ(refused, 648);
    choice.kind = PilotKind::apb_rmb_xte;
    out = run(true, choice, &refused);
    EXPECT_EQ(refused, 648);
    EXPECT_EQ(count(out, "\r\n"), 648);
    EXPECT_EQ(count(out, "$AGXTE,A,A,3.00,R,N*"), 648);
}

TEST(PilotBudget, TheSetOfOneSecondFitsA4800BaudLine) {
    // One second of a Garmin GPS 76 on a go-to: RMC, RMB, GGA, GSA and three GSV, CR LF each.
    const std::vector<std::string> lines = log_lines("Garmin-GPS76_goto.txt");
    std::size_t first = 0;
    while (first < lines.size() && lines[first].compare(0, 7, "$GPRMC,") != 0)
        ++first;
    ASSERT_LT(first + 7, lines.size());
    std::string second;
    const char* const types[] = {"RMC", "RMB", "GGA", "GSA", "GSV", "GSV", "GSV"};
    for (std::size_t i = 0; i < 7; ++i) {
        ASSERT_EQ(lines[first + i].substr(3, 3), types[i]);
        second += lines[first + i] + "\r\n";
    }
    constexpr std::size_t line_per_second = 4800 / 10; // 8 data bits, a start and a stop bit
    ASSERT_LE(second.size(), line_per_second);         // the GPS's own second (476 bytes)

    // What goes to the autopilot in the second second, the route followed since the first.
    auto sent_in_second_second = [&](const PilotChoice& choice) {
        PilotStream stream(false, choice);
        std::string out;
        stream.feed(second, out);
        out.clear();
        stream.feed(second, out);
        return out;
    };
    const std::string set = sent_in_second_second(
        {PilotKind::apb_rmb_xte, BearingReference::true_north, std::nullopt, "AG"});
    const std::string apa = sent_in_second_second({});
    std::vector<Fields> s;
    ASSERT_NO_FATAL_FAILURE(sentences_of(set, s));
    ASSERT_EQ(s.size(), 3u); // once, for the RMB
    ASSERT_NO_FATAL_FAILURE(sentences_of(apa, s));
    ASSERT_EQ(s.size(), 7u); // after each line

    // The set (144 bytes) fits the line to the autopilot, and takes less of it than APA (301).
    EXPECT_LE(set.size(), line_per_second);
    EXPECT_LT(set.size(), apa.size());
    ::testing::Test::RecordProperty("gps_bytes_per_second", static_cast<int>(second.size()));
    ::testing::Test::RecordProperty("set_bytes_per_second", static_cast<int>(set.size()));
    ::testing::Test::RecordProperty("apa_bytes_per_second", static_cast<int>(apa.size()));
}

} // namespace
