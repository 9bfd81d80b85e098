// The NMEA decoder: one line of the GPS into the navigation values and the display.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "common/seams.h"
#include "nmea/line_check.h"
#include "nmea/navigation.h"
#include "nmea/pilot_sentences.h"

namespace marivent::nmea {

// The time of day the clock is set to from the UTC time hhmmss and the offset in hours: the
// offset (fractions included, as minutes) added to hours and minutes and wrapped into the day.
// Nothing when the time is not a valid time of day (minutes or seconds missing or out of range).
struct TimeOfDay {
    int hour, minute, second;
};
std::optional<TimeOfDay> clock_time(std::string_view heuretu, std::string_view decalage);

struct DecodeContext {
    Display& display;
    char decimal_separator;
    std::string_view decalage; // local time minus UTC, in hours (its numeric value is used)
    ClockSetter* clock;        // nullptr: the clock is never set
    bool all_talkers;          // "Tous les émetteurs": GNSS talkers and RMB of any talker as GP
    const PilotChoice* pilot = nullptr; // what goes to the autopilot; nullptr: APA
};

// Whether the talker of a line is taken as "GP": always for GP; with `all_talkers` also for the
// GNSS talkers of today's receivers (GN, GA, GL, GB, BD, GQ, GI) and for an RMB of any talker
// (a chart program's EC, a multiplexer's II).
bool taken_as_gp(std::string_view talker, std::string_view type, bool all_talkers);

struct DecodeResult {
    bool accepted = false;
    LineFault fault = LineFault::none; // the line was rejected for this
    // What to send to the autopilot, or empty: APA after each line while the route data is valid,
    // the other choices once for each RMB with status A and all its fields up to field 13. It
    // lies in `nav` and stays valid until the next line is decoded.
    std::string_view apa;
    // Why sentences of the chosen set were left out for this RMB (French): no variation known for
    // magnetic bearings.
    std::optional<std::string> pilot_refused;
    std::optional<std::string> clock_refused; // French, when the system refused to set the clock
    bool apa_dropped = false; // the output could not take the whole autopilot sentence
    // A sound GGA, RMC or RMB of a talker that was not taken (the option "Tous les émetteurs" would
    // take it).
    bool other_talker_fix = false;
    bool fix = false;       // a GGA or RMC was taken: the GPS is alive
    bool route = false;     // an RMB was taken (valid or not)
    bool refreshed = false; // the display was refreshed (the route data is valid)
    // The speed in knots and the course over ground in degrees of an RMC shown, as the numeric
    // values of its fields; nothing for a field left empty or a line that showed none.
    std::optional<double> speed, course;
};

// Decodes the line held in `nav.trame` and empties it: shows it in Text2; drops it when input was
// lost during it (`nav.ligne_perdue`), when `line_fault` finds it damaged, or when it is an RMA,
// RMB or RMC without checksum (each counted in `nav.rejetees`); accepts it when its second
// character is "$" and its talker "GP" or "PG" (or one taken as GP, see `taken_as_gp`); stores the
// GGA, RMC and RMB fields; colours `vi` on RMB; sets the clock once; while the route data is valid
// refreshes the display and builds the autopilot sentence (also shown in `otopil`).
DecodeResult decodenmea(Navigation& nav, const DecodeContext& context);

// The receive path of one character: a carriage return hands the line to the decoder (and returns
// its result); any other character is appended to `trame`. `trame` is bounded: past
// `trame_limit` characters without a carriage return (a GPS ending its lines with a line feed
// alone) its older half is dropped, and the line counts as lost. After a loss, the line feed
// that starts the next line ends the lost one (rejected, and its result returned) and begins a
// new line, so a line whose carriage return was lost does not take the next one with it.
inline constexpr std::size_t trame_limit = 4096;
std::optional<DecodeResult> receive_char(Navigation& nav, char c, const DecodeContext& context);

// Appends characters that hold no carriage return and no line feed to `trame`, exactly as
// `receive_char` would one by one (its bound included), in a few copies.
void append_to_line(Navigation& nav, std::string_view run);

// Input was lost before the next character (the link's buffer overflowed, an overrun, a parity
// or framing error, a break): the line being received is thrown away at the next line start.
inline void input_lost(Navigation& nav) {
    nav.ligne_perdue = true;
}

// The link hung up: the line being received is thrown away now, counted as rejected when it held
// anything but the line feed that starts it. Returns whether it was counted.
bool drop_line(Navigation& nav);

// The link (re)opens: nothing received of a line before is joined to what comes now. The line
// feed that began the next line is kept, as the serial link always kept it: a sentence that
// arrives whole from its "$" is taken.
inline void line_start(Navigation& nav) {
    if (nav.trame != "\n") nav.trame.clear();
    nav.ligne_perdue = false;
}

} // namespace marivent::nmea
