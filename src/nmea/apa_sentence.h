// The autopilot sentence $AGAPA and the NMEA 0183 checksum.
#pragma once
#include <string>
#include <string_view>

namespace marivent::nmea {

// Exclusive or of the bytes of a sentence between "$" and "*" (the leading "$" is skipped when
// present).
unsigned char nmea_checksum(std::string_view body);

// "$AGAPA,A,A," ecartroute "," sensecart ",N,A,A," capwpt ",T," wptarrivee, then "*", the
// checksum in two upper-case hexadecimal digits, CR LF. The fields go out as received.
std::string apa_sentence(std::string_view ecartroute, std::string_view sensecart,
                         std::string_view capwpt, std::string_view wptarrivee);

} // namespace marivent::nmea
