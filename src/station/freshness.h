// How old the values shown are: the GPS's position, speed and course, the route, the cross-track
// error. A value no sentence has brought again for `stale_after_ms`, or shown while the link is
// closed, is old, and the window shows it so; the journal writes no entry from an old fix.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace marivent::station {

inline constexpr long long stale_after_ms = 5000;

// The display boxes by the sentence that brings their values: position, speed and course (GGA,
// RMC: lat, longit, vi, cap), the route (a valid RMB: wcap, wdist, Wpt1, wpt2, vmg, and the colour
// of vi), the cross-track error (any RMB: heur), the raw line (any line: Text2).
enum class Boxes { position, route, xte, raw };
inline constexpr int box_groups = 4;

// Times are milliseconds of a clock that is never set back (not the computer's clock, which the
// GPS may set).
class Freshness {
  public:
    void opened(long long now); // the link opened: the GPS's silence counts from now
    void closed();              // every value shown is old until the next line
    // A line decoded: a GGA or RMC was taken (`fix`), an RMB (`route`), the display refreshed.
    void line(bool fix, bool route, bool refreshed, long long now);

    // Whether the group shows a value from the GPS that is now old (the texts the window starts
    // with are no values and never old).
    bool old(Boxes group, long long now) const;
    // How long the GPS has sent no GGA or RMC (since the link opened when it never has), once
    // that is `stale_after_ms` or more; nothing while it is less or the link is closed.
    std::optional<long long> silent_for(long long now) const;
    // The next time `old` or the text of the silence can change without a line, or nothing.
    std::optional<long long> next_change(long long now) const;

    bool link_open() const { return open_; }
    // Whether a position has ever been shown from the GPS.
    bool position_shown() const { return shown_[static_cast<int>(Boxes::position)].has_value(); }

  private:
    bool open_ = false;
    long long opened_at_ = 0;
    std::optional<long long> last_fix_;
    std::optional<long long> shown_[box_groups];
};

// "12 s", "4 min", "2 h 05": a silence as the status line says it, by the second for the first
// minute, then by the minute.
std::string duration_text(long long ms);
// "GPS muet depuis 12 s".
std::string silence_text(long long ms);
// The step at which `silence_text` changes for a silence of `ms`.
long long silence_step(long long ms);

// Why the journal must not write an entry from what the window shows now, in French (UTF-8), or
// nothing when it may: the link closed, or no position from the GPS for `stale_after_ms`.
std::optional<std::string> entry_refusal(const Freshness& freshness, long long now);

// The same at a tick of the journal's timer, which also writes nothing while the route is not
// valid: the status line says why, as "journal : pas d'entrée à 14:02 (…)" (`hhmm` the local
// time of the tick). Nothing when the entry may be written. An entry on an event says which:
// "journal : pas d'entrée pour le changement de waypoint à 14:02 (…)".
std::optional<std::string> timed_entry_refusal(const Freshness& freshness, long long now,
                                               bool route_valid, std::string_view hhmm,
                                               std::string_view event = {});

// What "Enregister la position" says when it may not write from an old fix.
std::string asked_entry_refusal(std::string_view why);

} // namespace marivent::station
