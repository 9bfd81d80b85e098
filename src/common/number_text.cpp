#include "common/number_text.h"

#include <charconv>
#include <cmath>

namespace marivent {

namespace {

// Writes with to_chars into a buffer large enough for any double in any of the forms used here.
template <class... Args> std::string chars(Args... args) {
    char buf[400];
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, args...);
    if (error != std::errc()) return "0";
    return std::string(buf, end);
}

} // namespace

std::string integer_text(long long value) {
    return chars(value);
}

std::string hex_text(unsigned long long value) {
    std::string s = chars(value, 16);
    for (char& c : s)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string general_text(double value, int significant) {
    if (!std::isfinite(value)) value = 0.0;
    return chars(value, std::chars_format::general, significant);
}

std::string fixed_text(double value, int decimals) {
    if (!std::isfinite(value)) value = 0.0;
    return chars(value, std::chars_format::fixed, decimals);
}

std::string scientific_text(double value, int decimals) {
    if (!std::isfinite(value)) value = 0.0;
    return chars(value, std::chars_format::scientific, decimals);
}

} // namespace marivent
