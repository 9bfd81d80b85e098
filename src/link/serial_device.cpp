#include "link/serial_device.h"

#include <vector>

#include "common/value.h"

namespace marivent::nmea {

std::optional<LineSettings> parse_line_settings(std::string_view text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() != 4 || parts[1].size() != 1) return std::nullopt;
    LineSettings s;
    s.baud = static_cast<int>(numeric_value(parts[0]));
    s.parity = static_cast<char>(parts[1][0] | 0x20);
    s.data_bits = static_cast<int>(numeric_value(parts[2]));
    s.stop_bits = static_cast<int>(numeric_value(parts[3]));
    const bool parity_ok = std::string_view("neoms").find(s.parity) != std::string_view::npos;
    if (!parity_ok || s.data_bits < 5 || s.data_bits > 8 || (s.stop_bits != 1 && s.stop_bits != 2))
        return std::nullopt;
    return s;
}

} // namespace marivent::nmea
