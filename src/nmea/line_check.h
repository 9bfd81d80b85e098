// The check of a line received from the GPS, before anything of it is decoded.
#pragma once
#include <string_view>

namespace marivent::nmea {

// Why a received line is not decoded: it may have been damaged on the wire (line noise, an
// overflowing buffer that joined two sentences), and its fields must never steer the autopilot.
enum class LineFault {
    none,
    control_character, // a control character other than the leading line feed
    joined,            // a "$" or "!" after the second character: parts of two sentences
    checksum,          // a "*" not followed by exactly the two hexadecimal digits of the checksum
    no_checksum,       // an RMA, RMB or RMC without checksum: these steer, NMEA 0183 requires it
    input_lost,        // input was lost while the line was received: pieces of several sentences
};

// Checks a line as it stands in `trame` (its leading line feed, then the sentence). A line that
// holds a "*" passes only when the text after its last "*" is two hexadecimal digits (either case)
// equal to the exclusive or of the characters between the leading "$" and that "*", and no other
// "*" is in the line. A line without "*" (older receivers send none) passes these checks.
LineFault line_fault(std::string_view line);

// The same check without SSE2, eight bytes at a time (the path of processors without it), and
// the byte-by-byte rule both fall back to, which decides: the tests hold all three to agree.
LineFault line_fault_swar(std::string_view line);
LineFault line_fault_reference(std::string_view line);

// The fault in French (UTF-8), for the user.
std::string_view fault_text(LineFault fault);

} // namespace marivent::nmea
