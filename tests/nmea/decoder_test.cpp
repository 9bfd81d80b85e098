#include <gtest/gtest.h>

#include "fakes.h"
#include "nmea/apa_sentence.h"
#include "nmea/checksum.h"
#include "nmea/decoder.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;
using marivent::testing::MapDisplay;

// A sentence ("$" and its body) with its checksum, which RMB and RMC must carry.
std::string sig(std::string_view sentence) {
    const unsigned char sum = nmea_checksum(sentence.substr(1));
    const char* hex = "0123456789ABCDEF";
    return std::string(sentence) + '*' + hex[sum >> 4] + hex[sum & 0x0F];
}

class RecordingClock : public ClockSetter {
  public:
    std::vector<TimeOfDay> set;
    bool refuse = false;
    Status set_time_of_day(int h, int m, int s) override {
        if (refuse) return failure("accès refusé");
        set.push_back({h, m, s});
        return {};
    }
};

struct DecoderTest : ::testing::Test {
    MapDisplay display;
    RecordingClock clock;
    Navigation nav;
    std::string decalage;
    char separator = ',';
    bool all_talkers = false;
    std::vector<std::string> sent;

    // Hands one line to the decoder as the serial link does: its characters, then CR (the LF of
    // the previous line is already in `trame`, as on the wire).
    DecodeResult line(std::string_view text, bool leading_lf = true) {
        nav.trame = leading_lf ? "\n" : "";
        nav.trame += text;
        const DecodeResult r = decodenmea(nav, {display, separator, decalage, &clock, all_talkers});
        if (!r.apa.empty()) sent.emplace_back(r.apa);
        return r;
    }
};

TEST_F(DecoderTest, AcceptanceWantsDollarSecondAndTalkerGpOrPg) {
    EXPECT_FALSE(line("$GPGGA,1,2,N,3,E", false).accepted); // "$" first: rejected
    EXPECT_TRUE(line("$GPGGA,1,2,N,3,E").accepted);
    EXPECT_TRUE(line("$PGRME,1").accepted);
    EXPECT_FALSE(line("$IIRMB,A").accepted);
    EXPECT_FALSE(line("$gpGGA,1").accepted); // case-sensitive
    EXPECT_FALSE(line("#ECRMB,A").accepted);
    EXPECT_FALSE(line("").accepted);
    EXPECT_FALSE(line("$G").accepted);
    EXPECT_TRUE(line("$GP").accepted);            // an accepted line without any field
    EXPECT_EQ(display.text(Box::Text2), "\n$GP"); // every line is shown, accepted or not
    EXPECT_TRUE(nav.trame.empty());
}

TEST_F(DecoderTest, ShortAcceptedLinesHaveNoFields) {
    nav.heuretu = "kept";
    EXPECT_TRUE(line("$GPGG").accepted); // no type of the table
    EXPECT_EQ(nav.heuretu, "kept");
    for (const char* l : {"$GPGGA", "$GPGGA,"}) { // GGA cuts its fields: all empty
        nav.heuretu = nav.latitude = "kept";
        EXPECT_TRUE(line(l).accepted) << l;
        EXPECT_EQ(nav.heuretu, "") << l;
        EXPECT_EQ(nav.latitude, "") << l;
    }
    EXPECT_TRUE(line(sig("$GPRMB,")).accepted); // 8 characters: an empty remainder
    EXPECT_EQ(nav.gpsmauvais, 0);               // the empty status is not "V"
}

TEST_F(DecoderTest, GgaStoresItsFieldsExactlyAndChangesNoDisplayWhileInvalid) {
    line("$GPGGA,093005.00,4512.3450,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*5D");
    EXPECT_EQ(nav.heuretu, "093005.00");
    EXPECT_EQ(nav.latitude, "4512.3450");
    EXPECT_EQ(nav.hemlat, "N");
    EXPECT_EQ(nav.longitude, "00512.345");
    EXPECT_EQ(nav.hemlon, "E");
    EXPECT_FALSE(display.boxes.count(Box::lat));
    EXPECT_TRUE(sent.empty());
}

TEST_F(DecoderTest, RmbStatusVTurnsTheSpeedBoxRedAndStillStoresTheRoute) {
    line("$GPRMB,A,0.10,R,001,002,4917.24,N,12309.57,W,009.9,100.0,001.0,V*3E");
    EXPECT_EQ(display.speed_colour, colour_valid);
    display.boxes.clear();
    sent.clear();
    line("$GPRMB,V,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*37");
    EXPECT_EQ(display.speed_colour, colour_invalid);
    EXPECT_EQ(nav.gpsmauvais, 1);
    EXPECT_EQ(nav.ecartroute, "0.66");
    EXPECT_EQ(nav.sensecart, "L");
    EXPECT_EQ(nav.wptdepart, "003");
    EXPECT_EQ(nav.wptarrivee, "004");
    EXPECT_EQ(nav.distwpt, "001.3");
    EXPECT_EQ(nav.capwpt, "052.5");
    EXPECT_EQ(nav.vmgwpt, "000.5");
    EXPECT_EQ(display.text(Box::heur), "0.66L");
    // Only Text2 and heur changed; nothing went to the autopilot.
    EXPECT_EQ(display.boxes.size(), 2u);
    EXPECT_TRUE(sent.empty());
    line("$GPGGA,1,2,N,3,E");
    EXPECT_TRUE(sent.empty()); // no output until a valid RMB comes again
}

TEST_F(DecoderTest, ValidRmbThenRmcRefreshesTheDisplayAndSendsApaAfterEveryLine) {
    line("$GPGGA,103015,4512.345,N,00512.345,E,1");
    line("$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20");
    line("$GPRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*2E");
    EXPECT_EQ(display.text(Box::vi), "5,2");
    EXPECT_EQ(display.text(Box::cap), "54");
    EXPECT_EQ(display.text(Box::wcap), "052.5");
    EXPECT_EQ(display.text(Box::wdist), "001.3");
    EXPECT_EQ(display.text(Box::Wpt1), "003");
    EXPECT_EQ(display.text(Box::wpt2), "004");
    EXPECT_EQ(display.text(Box::vmg), "000.5");
    EXPECT_EQ(display.text(Box::lat), "4512.345");
    EXPECT_EQ(display.text(Box::longit), "00512.345");
    ASSERT_EQ(sent.size(), 2u); // after the RMB and after the RMC
    EXPECT_EQ(sent[1], "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n");
    EXPECT_EQ(display.text(Box::otopil), sent[1]);

    line("$GPGSV,3,1,11");
    line("$PGRME,15.0,M");
    line("$GPBOD,1,T,2,M,004,003");
    line("$GPXYZ,1");
    EXPECT_EQ(sent.size(), 6u); // every accepted line sends while valid
}

TEST_F(DecoderTest, SpeedUsesTheRegionalSeparatorAndEmptyFieldsKeepTheOldValues) {
    const DecodeResult rmb = line(sig("$GPRMB,A,0.1,L,1,2,,,,,3,4,5"));
    EXPECT_FALSE(rmb.speed || rmb.course); // only an RMC brings them
    DecodeResult r = line(sig("$GPRMC,1,A,,,,,12.34,054.7,"));
    EXPECT_EQ(display.text(Box::vi), "12,3");
    // The numbers as the RMC gives them, whatever the box shows, for the journal's events.
    EXPECT_EQ(r.speed, 12.34);
    EXPECT_EQ(r.course, 54.7);
    separator = '.';
    r = line(sig("$GPRMC,1,A,,,,,0.5,,"));
    EXPECT_EQ(display.text(Box::vi), ".5");
    EXPECT_EQ(display.text(Box::cap), "54"); // empty course: unchanged
    EXPECT_EQ(r.speed, 0.5);
    EXPECT_FALSE(r.course); // and none given to the journal's events
    r = line(sig("$GPRMC,1,A,,,,,,359.9,"));
    EXPECT_EQ(display.text(Box::vi), ".5"); // empty speed: unchanged
    EXPECT_EQ(display.text(Box::cap), "359");
    EXPECT_FALSE(r.speed);
    EXPECT_EQ(r.course, 359.9);
    line(sig("$GPRMC,1,A,,,,,0,-0.5,"));
    EXPECT_EQ(display.text(Box::vi), ".");
    EXPECT_EQ(display.text(Box::cap), "-1"); // rounded down
}

TEST_F(DecoderTest, RmcWhileInvalidChangesOnlyTheTime) {
    const DecodeResult r = line(sig("$GPRMC,120000,A,1,N,2,E,5.0,90.0,"));
    EXPECT_EQ(nav.heuretu, "120000");
    EXPECT_EQ(nav.vitesse, "");
    EXPECT_EQ(nav.capfond, "");
    EXPECT_FALSE(r.speed || r.course); // nothing shown: nothing for the journal's events
}

TEST_F(DecoderTest, AShortRmbRepeatsItsLastFieldIntoTheMissingOnes) {
    line(sig("$GPRMB,A,0.5,L,ORIG,DEST"));
    EXPECT_EQ(nav.wptdepart, "ORIG");
    EXPECT_EQ(nav.wptarrivee, "ORIG"); // field 5 is never cut: no comma after it
    EXPECT_EQ(nav.distwpt, "ORIG");
    EXPECT_EQ(nav.capwpt, "ORIG");
    EXPECT_EQ(nav.vmgwpt, "ORIG");
}

TEST_F(DecoderTest, TheClockIsSetOnceFromTheFirstTimeWithTheOffset) {
    decalage = "2";
    line("$GPGSV,1,1,0"); // no time yet: nothing
    EXPECT_TRUE(clock.set.empty());
    EXPECT_EQ(nav.miseheure, 1);
    line("$GPGGA,103015.00,1,N,2,E");
    ASSERT_EQ(clock.set.size(), 1u);
    EXPECT_EQ(clock.set[0].hour, 12);
    EXPECT_EQ(clock.set[0].minute, 30);
    EXPECT_EQ(clock.set[0].second, 15);
    EXPECT_EQ(nav.miseheure, 0);
    line("$GPGGA,110000,1,N,2,E");
    EXPECT_EQ(clock.set.size(), 1u); // never again in this run
}

TEST_F(DecoderTest, AProprietaryLineSetsTheClockFromATimeAlreadyReceived) {
    nav.heuretu = "103015";
    line("$PGRMZ,1");
    ASSERT_EQ(clock.set.size(), 1u);
    EXPECT_EQ(clock.set[0].hour, 10);
}

TEST_F(DecoderTest, ARefusedClockIsSaidOnceAndNotRetried) {
    clock.refuse = true;
    const DecodeResult r = line("$GPGGA,103015,1,N,2,E");
    ASSERT_TRUE(r.clock_refused);
    EXPECT_EQ(nav.miseheure, 0);
    EXPECT_FALSE(line("$GPGGA,103016,1,N,2,E").clock_refused);
}

TEST(ClockTime, WrapsIntoTheDayAndAppliesFractionsToTheMinutes) {
    struct Case {
        const char* utc;
        const char* offset;
        int h, m, s;
    } cases[] = {
        {"103015", "2", 12, 30, 15}, {"103015.00", "2", 12, 30, 15}, {"233000", "2", 1, 30, 0},
        {"003000", "-1", 23, 30, 0}, {"100000", "5.5", 15, 30, 0},   {"100000", "", 10, 0, 0},
        {"100000", "-12", 22, 0, 0}, {"235959", "0", 23, 59, 59},    {"100000", "-0.75", 9, 15, 0},
    };
    for (const Case& c : cases) {
        const auto t = clock_time(c.utc, c.offset);
        ASSERT_TRUE(t) << c.utc << " " << c.offset;
        EXPECT_EQ(t->hour, c.h) << c.utc << " " << c.offset;
        EXPECT_EQ(t->minute, c.m) << c.utc << " " << c.offset;
        EXPECT_EQ(t->second, c.s) << c.utc << " " << c.offset;
    }
}

TEST(ClockTime, NoTimeFromWhatIsNotATimeOfDay) {
    for (const char* utc : {"1030", "10", "106015", "103075", "10a015", "", "1e999000"})
        EXPECT_FALSE(clock_time(utc, "0")) << utc;
    EXPECT_FALSE(clock_time("103015", "1e300"));
}

TEST_F(DecoderTest, NoClockSetterMeansTheClockIsNeverSet) {
    nav.trame = "\n$GPGGA,103015,1,N,2,E";
    const DecodeResult r = decodenmea(nav, {display, ',', "", nullptr, false});
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.clock_refused);
    EXPECT_TRUE(clock.set.empty());
}

TEST(LineCheck, TheChecksumControlCharactersAndJoinedSentencesDecide) {
    const struct {
        std::string_view line;
        LineFault fault;
    } cases[] = {
        {"\n$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20", LineFault::none},
        {"\n$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*21",
         LineFault::checksum},
        {"\n$GPRMC,,V,,,,,,,,,,N*53", LineFault::none},
        {"\n$GPRMC,,V,,,,,,,,,,N*5a", LineFault::checksum},
        {"\n$GPRSA,28,A,,*1c", LineFault::none},    // lower-case digits
        {"\n$IIRSA,28,A,,*b", LineFault::checksum}, // one digit
        {"\n$GPGGA,1*2*0E", LineFault::checksum},   // a "*" inside a field
        {"\n$GPRMB,A,1*", LineFault::checksum},     // no digits
        {"\n$GPRMB,A,1*4F ", LineFault::checksum},  // something after the digits
        {"\n$GPGGA,1,2,N,3,E", LineFault::none},    // no checksum: older receivers
        {"$GPGGA,1", LineFault::none},              // no leading line feed
        {"\n", LineFault::none},
        {"", LineFault::none},
        {"\n$GPRMB,A,\t0.66", LineFault::control_character},
        {"\n$GPRMB,A,0.66\n", LineFault::control_character},
        {"\n\n$GPRMB,A", LineFault::control_character},
        {std::string_view("\n$GPRMB,A,\0", 11), LineFault::control_character},
        {"\n$GPRMB,A,\x7F", LineFault::control_character},
        {"\n$GPRMB,A,0.02GA,110000.00,4751.9795,N,00355.0143,W,1,09,0.9,3.2,M,49.6,M,,*74",
         LineFault::checksum}, // a GGA spliced into an RMB
        {"\n$GPRMB,A,0.0$GPGGA,110000.00", LineFault::joined},
        {"\n$GPRMB,A,0.0!AIVDM,1", LineFault::joined},
        {"\n!AIVDM,1,1,,A,1*0B", LineFault::none}, // another start character, checked alike
        {"\n!AIVDM,1,1,,A,1*0C", LineFault::checksum},
        {"\n$GPRMB,\xE9t\xE9", LineFault::none}, // bytes above 127 are text, not control
    };
    for (const auto& c : cases)
        EXPECT_EQ(line_fault(c.line), c.fault) << c.line;
    EXPECT_EQ(line_fault("\n$PGRME,15.0,M,45.0,M,25.0,M*1c"), LineFault::none);
    EXPECT_EQ(line_fault("\n$PGRME,15.0,M,45.0,M,25.0,M*1C"), LineFault::none);
    EXPECT_EQ(line_fault(std::string_view("\n$GP\0A", 6)), LineFault::control_character);
}

TEST_F(DecoderTest, ADamagedLineIsShownCountedAndDroppedWithoutSteering) {
    line("$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20");
    ASSERT_EQ(sent.size(), 1u);
    nav.miseheure = 1;
    const std::string spliced =
        "$GPRMB,A,0.02GA,110000.00,4751.9795,N,00355.0143,W,1,09,0.9,3.2,M,49.6,M,,*74";
    const DecodeResult r = line(spliced);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.fault, LineFault::checksum);
    EXPECT_TRUE(r.apa.empty());
    EXPECT_EQ(sent.size(), 1u);       // no autopilot sentence
    EXPECT_EQ(nav.wptarrivee, "004"); // nothing stored
    EXPECT_EQ(nav.ecartroute, "0.66");
    EXPECT_TRUE(clock.set.empty());                      // no clock
    EXPECT_EQ(display.text(Box::Text2), "\n" + spliced); // shown as received
    EXPECT_EQ(nav.rejetees, 1);
    EXPECT_TRUE(nav.trame.empty());
    line("$GPGGA,1\t,2");
    EXPECT_EQ(nav.rejetees, 2);
    line("$IIMWV,1"); // another talker: dropped, not a damaged line
    EXPECT_EQ(nav.rejetees, 2);
}

TEST_F(DecoderTest, TodaysTalkersAreTakenAsGpOnlyWithTheOption) {
    const char* gn_rmc = "$GNRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*30";
    const char* gn_gga = "$GNGGA,103016,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*57";
    const char* ec_rmb = "$ECRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*31";
    const char* ii_rmb = "$IIRMB,A,0.12,R,003,005,4917.24,N,12309.57,W,001.3,101.0,000.5,V*29";
    const char* ii_mwv = "$IIMWV,045,R,12.5,N,A*14";
    const char* ec_gga = "$ECGGA,103016,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*58";
    // Off: as before, nothing of them is taken; their fixes are flagged so the user can be told.
    for (const char* l : {gn_rmc, gn_gga, ec_rmb, ii_rmb, ec_gga}) {
        const DecodeResult r = line(l);
        EXPECT_FALSE(r.accepted) << l;
        EXPECT_TRUE(r.other_talker_fix) << l;
    }
    EXPECT_FALSE(line(ii_mwv).other_talker_fix);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(nav.rejetees, 0); // another talker is not a damaged line

    all_talkers = true;
    EXPECT_TRUE(line(gn_gga).accepted);
    EXPECT_EQ(nav.latitude, "4512.345");
    EXPECT_TRUE(line(ec_rmb).accepted);
    EXPECT_EQ(nav.gpsmauvais, 0);
    EXPECT_TRUE(line(gn_rmc).accepted);
    EXPECT_EQ(display.text(Box::vi), "5,2");
    EXPECT_TRUE(line(ii_rmb).accepted);
    EXPECT_EQ(nav.wptarrivee, "005");
    EXPECT_FALSE(line(ii_mwv).accepted); // other types of other talkers stay out
    EXPECT_FALSE(line(ec_gga).accepted); // only the RMB of any talker
    EXPECT_TRUE(line("$PGRME,15.0,M,45.0,M,25.0,M*1C").accepted); // PG keeps its meaning
    const std::string apa_ec = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";
    const std::string apa_ii = "$AGAPA,A,A,0.12,R,N,A,A,101.0,T,005*18\r\n";
    EXPECT_EQ(sent, (std::vector<std::string>{apa_ec, apa_ec, apa_ii, apa_ii}));
}

TEST(ReceivePath, CarriageReturnDecodesAndLineFeedsStartTheNextLine) {
    MapDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "", nullptr, false};
    std::vector<bool> decoded;
    for (char c : "\r\n" + sig("$GPRMB,A,1,L,2,3,,,,,4,5,6") + "\r\n$GPGGA,1\r") {
        if (auto r = receive_char(nav, c, context)) decoded.push_back(r->accepted);
    }
    EXPECT_EQ(decoded, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(display.text(Box::Text2), "\n$GPGGA,1");
    EXPECT_EQ(nav.gpsmauvais, 0);
}

TEST(ReceivePath, LinesWithoutCarriageReturnsStayBounded) {
    MapDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "", nullptr, false};
    for (int i = 0; i < 100000; ++i)
        for (char c : std::string("$GPGGA,1,2,N,3,E\n"))
            receive_char(nav, c, context);
    EXPECT_LE(nav.trame.size(), trame_limit);
    EXPECT_EQ(nav.trame.substr(nav.trame.size() - 17), "$GPGGA,1,2,N,3,E\n");
}

} // namespace
