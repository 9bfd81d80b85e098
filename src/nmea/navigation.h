// The navigation values filled by the NMEA decoder and read by the autopilot sentence, the
// journal and the simulator. Every text is the field exactly as received.
#pragma once
#include <string>

#include "nmea/apa_sentence.h"

namespace marivent::nmea {

struct Navigation {
    int gpsmauvais = 1;     // 1 while the route data is flagged invalid (RMB status V)
    int miseheure = 1;      // 1 until the clock has been set from the GPS time
    std::string heuretu;    // UTC time hhmmss[.ss] (GGA, RMC field 1)
    std::string latitude;   // GGA field 2
    std::string hemlat;     // GGA field 3
    std::string longitude;  // GGA field 4
    std::string hemlon;     // GGA field 5
    std::string vitesse;    // RMC field 7, formatted "###.#"
    std::string capfond;    // RMC field 8, whole degrees rounded down (empty until the first)
    std::string ecartroute; // RMB field 2: cross-track error
    std::string sensecart;  // RMB field 3: direction to steer, L or R
    std::string wptdepart;  // RMB field 4: origin waypoint
    std::string wptarrivee; // RMB field 5: destination waypoint
    std::string distwpt;    // RMB field 10: range to the destination
    std::string capwpt;     // RMB field 11: bearing to the destination
    std::string vmgwpt;     // RMB field 12: closing velocity
    // Kept for the APB, RMB and XTE sentences only (nmea/pilot_sentences.h): nothing shows them.
    std::string statutrmb; // RMB field 1: data status, A or V
    std::string latwpt;    // RMB fields 6 to 9: latitude and longitude of the destination
    std::string hemlatwpt;
    std::string lonwpt;
    std::string hemlonwpt;
    std::string arriveewpt;  // RMB field 13: arrival circle entered, A or V
    std::string declinaison; // RMC field 10: magnetic variation, degrees
    std::string sensdecl;    // RMC field 11: E or W

    std::string trame;  // the characters received since the last carriage return
    ApaBuilder apa;     // the autopilot sentence of the last line that made one
    std::string pilote; // the APB, RMB and XTE set of the last RMB that made one
    long rejetees = 0;  // lines dropped as damaged (bad checksum, control character, joined)
    // Input was lost while this line was being received (an overflow, an overrun, a line error):
    // what is in `trame` and what follows up to the next line start are never one sentence.
    bool ligne_perdue = false;
};

// Colours of the speed box: the validity signal of the route data.
inline constexpr long colour_invalid = 255;   // red
inline constexpr long colour_valid = 8454016; // light green (128, 255, 128)

} // namespace marivent::nmea
