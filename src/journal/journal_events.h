// When the journal writes an entry on an event, besides the timer and the menu: the destination
// waypoint changed, or the course over ground changed and held. The window feeds it after each
// line decoded and writes the entry it returns, from the values it then shows.
//
// Waypoint: an entry when the destination of the RMB (the box wpt2) goes from one name to another
// while the route is valid (gpsmauvais 0). The first name after start-up or after the link opens
// is no change, nor a destination that goes empty; the name before an empty or not valid spell
// counts, so WPT01, nothing, WPT02 is one change. Each change is reported once.
//
// Course, when the angle of the preferences is not 0: a reference course is taken from the first
// course heard; a change is a course that differs from it by more than the angle (the shorter way
// round: 350 and 10 are 20 apart), and it counts once every course heard for `course_hold_ms`
// (two minutes) has differed so. The entry comes with the first course heard at the end of the
// two minutes, and that course becomes the reference. A course heard back within the angle,
// before then, ends the change: a gust, a wave, a tack that came back.
// - Courses come from the RMC shown while the route is valid, each with its speed. At less than
//   `course_least_speed` (1 knot) the course over ground is the GPS's noise, not the boat's way:
//   such a course never sets the reference, and neither starts nor holds a change (one ends it).
// - A change must be heard through: when no course has come for more than `course_gap_ms` (the
//   GPS silent, the route not valid), the change waiting starts again from the next course.
// - Opening or closing the link forgets everything, the reference and the last waypoint, as the
//   route data itself is forgotten: nothing compares a course with one from an earlier link.
// - A new angle in the preferences starts afresh: the reference from the next course.
// When both happen on one line the entry is the waypoint's; the course's reference still moves.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "journal/journal_file.h"

namespace marivent::journal {

inline constexpr long long course_hold_ms = 120'000;
inline constexpr double course_least_speed = 1.0; // knots
inline constexpr long long course_gap_ms = 5000;  // as long as a value shown takes to be old

// What the window knows after a line decoded. Times are milliseconds of a clock that is never
// set back (not the computer's, which the GPS may set).
struct NavSample {
    long long now = 0;
    bool route_valid = false;     // gpsmauvais 0
    std::string_view destination; // the destination waypoint, as the RMB gave it
    std::optional<double> course; // degrees, when the line was an RMC shown with one
    std::optional<double> speed;  // knots, of the same RMC
};

// The difference between two courses in degrees, the shorter way round: 0 to 180.
double course_difference(double a, double b);

// The words of an event as the journal's mark says them: "changement de waypoint".
std::string_view event_words(EntryEvent event);

class JournalEvents {
  public:
    // Returns the entry to write for this line, `EntryEvent::none` for none. `angle` is the
    // preference's: 0 for no entry on the course.
    EntryEvent line(const NavSample& sample, int angle);
    // The link opened or closed: nothing heard before is compared with what comes now.
    void link_changed();

    // The course changes are measured from (none before the first course, or while off).
    const std::optional<double>& reference() const { return reference_; }
    // Since when the course has differed from the reference, while it is held.
    const std::optional<long long>& held_since() const { return held_since_; }

  private:
    bool course_changed(const NavSample& sample, int angle);

    std::string destination_; // the last name while the route was valid; empty: none yet
    int angle_ = 0;
    std::optional<double> reference_;
    std::optional<long long> held_since_;
    std::optional<long long> last_course_; // when the last course came
};

} // namespace marivent::journal
