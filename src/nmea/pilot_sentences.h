// The autopilot sentences APB, RMB and XTE, built from the last RMB the GPS sent, their bearings
// true or magnetic; and the choice of what goes to the autopilot.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "nmea/navigation.h"

namespace marivent::nmea {

// A magnetic variation, east positive, in units of 10^-decimals degree.
struct Variation {
    long long east = 0;
    int decimals = 0;
};

// A variation as the user writes it: degrees up to 180 with "." or "," as decimal separator (up
// to 6 decimals), then E (est) or W or O (ouest), blanks allowed: "2.5W", "2,5 W", "0E". A sign
// is refused: the side is told by the letter only. Refusals in French.
Result<Variation> parse_variation(std::string_view text);

// The variation of RMC fields 10 and 11 ("4.9", "E"), nothing when they are not one.
std::optional<Variation> rmc_variation(std::string_view degrees, std::string_view east_west);

enum class PilotKind { apa, apb, apb_rmb_xte };
enum class BearingReference { true_north, magnetic };

// "apa", "apb", "apb+rmb+xte" (as the options and the settings file write them).
std::optional<PilotKind> pilot_kind_named(std::string_view name);
std::string_view pilot_kind_name(PilotKind kind);

struct PilotChoice {
    PilotKind kind = PilotKind::apa;
    BearingReference reference = BearingReference::true_north;
    std::optional<Variation> user_variation; // used when the RMC gives none
    std::string talker = "AG";
};

// "APB + RMB + XTE, magnétique": the choice as the status line names it.
std::string pilot_choice_text(const PilotChoice& choice);

// A whole sentence ("$AGAPA,...*hh" CR LF) under another talker, its checksum made again.
std::string with_talker(std::string_view sentence, std::string_view talker);

// Two upper-case letters A to Z.
bool valid_talker(std::string_view talker);

inline constexpr std::string_view no_variation =
    "pas de déclinaison connue : relèvement magnétique impossible";

// The bearing of RMB field 11 (true) as a sentence carries it: as received in true, converted
// (magnetic = true - east variation) and brought into [0, 360) in magnetic, written with the
// decimals of the received field and at least as many whole digits ("052.5" gives "047.6").
// Empty when the received field is not a bearing (empty, not a plain decimal, above 360): a
// bearing is never made up. Refused without a variation in magnetic.
Result<std::string> bearing_field(std::string_view received, BearingReference reference,
                                  const std::optional<Variation>& variation);

// "$" talker "APB,A,A," xte "," L/R ",N," arrival ",," (perpendicular passed: the RMB does not
// tell it, V would claim it) "," (bearing origin to destination and its letter: the RMB does not
// give it) "," destination "," bearing "," T/M "," bearing "," T/M "*hh" CR LF. The bearing to
// the destination is also the heading to steer. A letter T/M goes with its bearing only.
Result<std::string> apb_sentence(const Navigation& rmb, std::string_view talker,
                                 BearingReference reference,
                                 const std::optional<Variation>& variation);

// The RMB again under `talker`, without the mode field. Its bearing is true by definition, so it
// goes true whatever the reference chosen: a magnetic value there would be read as true.
std::string rmb_sentence(const Navigation& rmb, std::string_view talker);

// "$" talker "XTE,A,A," xte "," L/R ",N*hh" CR LF.
std::string xte_sentence(const Navigation& rmb, std::string_view talker);

// What goes out for one valid RMB under `choice` (not for PilotKind::apa): the sentences, and
// why one was not built (French), if one was not.
struct PilotSet {
    std::string sentences;
    std::optional<std::string> refused;
};
PilotSet pilot_set(const Navigation& nav, const PilotChoice& choice);

} // namespace marivent::nmea
