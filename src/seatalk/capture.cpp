#include "seatalk/capture.h"

#include <cmath>
#include <cstdint>

#include "common/format.h"
#include "common/number_text.h"
#include "common/value.h"

namespace marivent::seatalk {

std::string byte_field(unsigned char byte) {
    return format_text(integer_text(byte), "@@@@");
}

std::string text_field(std::string_view text) {
    return format_text(text, "@@@@");
}

std::string decode_capture(std::string_view capture) {
    std::string out;
    out.reserve(capture.size());
    for (std::size_t at = 0; at < capture.size(); at += 4) {
        const double value = numeric_value(capture.substr(at, 4));
        // Whole values as 32-bit numbers (a negative one in two's complement).
        const double rounded = std::nearbyint(value);
        const auto whole = std::fabs(rounded) < 4e18
                               ? static_cast<std::uint32_t>(static_cast<std::int64_t>(rounded))
                               : 0u;
        out += hex_text(whole);
        out += ' ';
    }
    return out;
}

} // namespace marivent::seatalk
