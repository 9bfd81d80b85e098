// When the journal writes an entry on an event: a new destination waypoint, a course changed and
// held two minutes.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"
#include "journal/journal_events.h"
#include "nmea/decoder.h"
#include "passage.h"

namespace {

using namespace marivent;
using namespace marivent::journal;
using marivent::testing::PassageSecond;

constexpr auto none = EntryEvent::none;
constexpr auto waypoint = EntryEvent::waypoint;
constexpr auto course = EntryEvent::course;

// Lines of a valid route: the destination, and the course and speed of an RMC when given.
NavSample at(long long ms, std::string_view destination, std::optional<double> cog = {},
             std::optional<double> sog = 6.0) {
    return {ms, true, destination, cog, cog ? sog : std::nullopt};
}

// One course a second from `from` (seconds) to `to` (excluded), at `speed`; the events heard.
std::vector<std::pair<int, EntryEvent>> courses(JournalEvents& e, int angle, int from, int to,
                                                double cog, double speed = 6.0) {
    std::vector<std::pair<int, EntryEvent>> heard;
    for (int s = from; s < to; ++s)
        if (const EntryEvent ev = e.line(at(s * 1000LL, "WPT01", cog, speed), angle); ev != none)
            heard.emplace_back(s, ev);
    return heard;
}

using Heard = std::vector<std::pair<int, EntryEvent>>;

TEST(CourseDifference, TheShorterWayRoundAcrossNorth) {
    const struct {
        double a, b, want;
    } cases[] = {{10, 350, 20}, {350, 10, 20}, {0, 180, 180}, {90, 270, 180}, {359.5, 0.5, 1},
                 {45, 45, 0},   {720, 10, 10}, {-10, 10, 20}, {370, 350, 20}, {200, 10, 170}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(course_difference(c.a, c.b), c.want) << c.a << " " << c.b;
}

TEST(EventWords, TheMarkWithoutItsBrackets) {
    EXPECT_EQ(event_words(waypoint), "changement de waypoint");
    EXPECT_EQ(event_words(course), "changement de cap");
    EXPECT_EQ(event_words(none), "");
}

// The recorded-like passage of tests/support/passage.h through the decoder, as the window feeds
// it: one entry at the new leg, one when the new course has held two minutes, none for the yaw
// that came back after one minute.
TEST(JournalEvents, APassageThroughTheDecoderGivesTheLegAndTheHeldCourseOnly) {
    marivent::testing::MapDisplay display;
    nmea::Navigation nav;
    JournalEvents events;
    Heard heard;
    for (const PassageSecond& p : marivent::testing::leg_change_passage()) {
        const std::string lines = marivent::testing::fix_lines(p);
        for (std::size_t start = 0; start < lines.size();) {
            const std::size_t end = lines.find("\r\n", start);
            nav.trame = "\n" + lines.substr(start, end - start);
            start = end + 2;
            const nmea::DecodeResult r = nmea::decodenmea(nav, {display, ',', "0", nullptr, false});
            ASSERT_TRUE(r.accepted) << nav.trame;
            const NavSample s{p.second * 1000LL, nav.gpsmauvais == 0, nav.wptarrivee, r.course,
                              r.speed};
            if (const EntryEvent ev = events.line(s, 30); ev != none) {
                heard.emplace_back(p.second, ev);
                // What the entry shows: the values of that very second.
                EXPECT_EQ(display.text(Box::wpt2), "WPT02");
                EXPECT_EQ(display.text(Box::lat), marivent::testing::passage_latitude(p.second));
                EXPECT_EQ(display.text(Box::cap), ev == waypoint ? "217" : "260");
            }
        }
    }
    EXPECT_EQ(heard, (Heard{{150, waypoint}, {280, course}}));
    EXPECT_DOUBLE_EQ(*events.reference(), 260.4); // since 280 s: 262 is within 30 of it
}

TEST(JournalEvents, ANewDestinationWhileTheRouteIsValidOnceForEachChange) {
    JournalEvents e;
    EXPECT_EQ(e.line(at(0, "WPT01"), 0), none); // the first after start-up
    EXPECT_EQ(e.line(at(1000, "WPT01"), 0), none);
    EXPECT_EQ(e.line(at(2000, "WPT02"), 0), waypoint); // on, whatever the course setting
    EXPECT_EQ(e.line(at(3000, "WPT02"), 0), none);     // not twice
    // Gone empty (the route ended), then a new name: from the last name, one change.
    EXPECT_EQ(e.line(at(4000, ""), 0), none);
    EXPECT_EQ(e.line(at(5000, "WPT03"), 0), waypoint);
    // A name while the route is not valid is no change; the valid one after it is.
    NavSample invalid = at(6000, "WPT04");
    invalid.route_valid = false;
    EXPECT_EQ(e.line(invalid, 0), none);
    EXPECT_EQ(e.line(at(7000, "WPT04"), 0), waypoint);
    // Back to an earlier one is a change too.
    EXPECT_EQ(e.line(at(8000, "WPT03"), 0), waypoint);
}

TEST(JournalEvents, TheFirstDestinationAfterTheLinkOpensIsNoChange) {
    JournalEvents e;
    EXPECT_EQ(e.line(at(0, "WPT01"), 0), none);
    e.link_changed(); // closed
    e.link_changed(); // opened again, the GPS on the next leg meanwhile
    EXPECT_EQ(e.line(at(60'000, "WPT02"), 0), none);
    EXPECT_EQ(e.line(at(61'000, "WPT03"), 0), waypoint);
}

TEST(JournalEvents, ACourseChangeHeldTwoMinutesGivesOneEntryAndANewReference) {
    JournalEvents e;
    EXPECT_TRUE(courses(e, 20, 0, 60, 90).empty());
    EXPECT_EQ(*e.reference(), 90);
    // 25 degrees off from 60 s: counted from its first course, written at the end of 120 s.
    EXPECT_EQ(courses(e, 20, 60, 300, 115), (Heard{{180, course}}));
    EXPECT_EQ(*e.reference(), 115);
    EXPECT_FALSE(e.held_since());
    // Exactly the angle is no change; one more degree is.
    EXPECT_TRUE(courses(e, 20, 300, 500, 135).empty());
    EXPECT_EQ(courses(e, 20, 500, 700, 136), (Heard{{620, course}}));
}

TEST(JournalEvents, ACourseThatComesBackWithinTwoMinutesIsNoChange) {
    JournalEvents e;
    courses(e, 20, 0, 10, 90);
    EXPECT_TRUE(courses(e, 20, 10, 70, 140).empty()); // a minute off
    EXPECT_EQ(e.held_since(), 10'000);
    EXPECT_TRUE(courses(e, 20, 70, 71, 95).empty()); // one course within the angle ends it
    EXPECT_FALSE(e.held_since());
    EXPECT_TRUE(courses(e, 20, 71, 130, 140).empty()); // and the two minutes count again
    EXPECT_EQ(courses(e, 20, 130, 200, 140), (Heard{{191, course}}));
}

TEST(JournalEvents, CoursesAcrossNorthCompareTheShorterWayRound) {
    JournalEvents e;
    courses(e, 30, 0, 5, 350);
    EXPECT_TRUE(courses(e, 30, 5, 300, 10).empty()); // 20 degrees across 0
    EXPECT_EQ(courses(e, 30, 300, 500, 25), (Heard{{420, course}}));
    EXPECT_EQ(courses(e, 30, 500, 700, 340), (Heard{{620, course}})); // 45 back across 0
}

TEST(JournalEvents, AnAngleOfZeroWritesNoCourseAndANewAngleStartsAfresh) {
    JournalEvents e;
    courses(e, 0, 0, 10, 90);
    EXPECT_TRUE(courses(e, 0, 10, 400, 270).empty());
    EXPECT_FALSE(e.reference());
    // Set to 20: the reference is the next course, not one heard while off.
    EXPECT_TRUE(courses(e, 20, 400, 600, 270).empty());
    EXPECT_EQ(*e.reference(), 270);
    // Changed to 10 while a change is held: the reference is taken again, nothing written.
    courses(e, 20, 600, 660, 300);
    EXPECT_EQ(e.held_since(), 600'000);
    EXPECT_TRUE(courses(e, 10, 660, 800, 300).empty());
    EXPECT_EQ(*e.reference(), 300);
    EXPECT_FALSE(e.held_since());
}

TEST(JournalEvents, BelowOneKnotTheCourseNeitherSetsStartsNorHoldsAChange) {
    JournalEvents e;
    EXPECT_TRUE(courses(e, 20, 0, 60, 90, 0.4).empty()); // drifting at anchor
    EXPECT_FALSE(e.reference());
    courses(e, 20, 60, 61, 90, 1.0); // under way: 1 knot is enough
    EXPECT_EQ(*e.reference(), 90);
    EXPECT_TRUE(courses(e, 20, 61, 400, 200, 0.9).empty()); // swinging: nothing starts
    // A change held 100 s, then 10 s becalmed: it ends, and starts again once moving.
    courses(e, 20, 400, 500, 150);
    EXPECT_TRUE(courses(e, 20, 500, 510, 150, 0.2).empty());
    EXPECT_FALSE(e.held_since());
    EXPECT_EQ(courses(e, 20, 510, 700, 150), (Heard{{630, course}}));
}

TEST(JournalEvents, CoursesUnheardForMoreThanFiveSecondsStartTheChangeAgain) {
    JournalEvents e;
    courses(e, 20, 0, 10, 90);
    courses(e, 20, 10, 70, 140);
    // The GPS silent 5 s (the next course 5 s after the last): still the same change.
    EXPECT_EQ(courses(e, 20, 74, 140, 140), (Heard{{130, course}}));
    courses(e, 20, 140, 200, 200);
    EXPECT_EQ(e.held_since(), 140'000);
    // Silent 6 s: what the course did meanwhile is unknown; two minutes from the next one.
    EXPECT_TRUE(courses(e, 20, 206, 320, 200).empty());
    EXPECT_EQ(e.held_since(), 206'000);
    EXPECT_EQ(courses(e, 20, 320, 400, 200), (Heard{{326, course}}));
    // Lines that bring no course (GGA, RMB), or a route not valid, are no courses heard.
    courses(e, 20, 400, 401, 240);
    for (int s = 401; s < 530; ++s) {
        NavSample no_route = at(s * 1000LL, "WPT01", 240);
        no_route.route_valid = false;
        EXPECT_EQ(e.line(at(s * 1000LL, "WPT01"), 20), none);
        EXPECT_EQ(e.line(no_route, 20), none);
    }
    EXPECT_TRUE(courses(e, 20, 530, 531, 240).empty());
    EXPECT_EQ(e.held_since(), 530'000);
    // A course without its speed, or a number that is none, is no course either.
    EXPECT_EQ(e.line({531'000, true, "WPT01", 240.0, std::nullopt}, 20), none);
    EXPECT_EQ(e.line({531'000, true, "WPT01", std::numeric_limits<double>::infinity(), 6.0}, 20),
              none);
    EXPECT_EQ(e.held_since(), 530'000);
}

TEST(JournalEvents, TheLinkClosedAndOpenedForgetsTheReferenceAndTheChangeHeld) {
    JournalEvents e;
    courses(e, 20, 0, 10, 90);
    courses(e, 20, 10, 100, 140);
    e.link_changed();
    e.link_changed();
    // The first course on the new link is the reference: 140 is no change from it.
    EXPECT_TRUE(courses(e, 20, 130, 400, 140).empty());
    EXPECT_EQ(*e.reference(), 140);
}

TEST(JournalEvents, ANewLegAndAHeldCourseOnOneLineMakeOneEntryTheWaypoints) {
    JournalEvents e;
    e.line(at(0, "WPT01", 90), 20);
    e.line(at(1000, "WPT01", 120), 20);
    for (int s = 2; s < 121; ++s)
        ASSERT_EQ(e.line(at(s * 1000LL, "WPT01", 120), 20), none);
    EXPECT_EQ(e.line(at(121'000, "WPT02", 121), 20), waypoint);
    EXPECT_EQ(*e.reference(), 121); // the course's entry is this one
    for (int s = 122; s < 400; ++s)
        ASSERT_EQ(e.line(at(s * 1000LL, "WPT02", 125), 20), none) << s;
}

} // namespace
