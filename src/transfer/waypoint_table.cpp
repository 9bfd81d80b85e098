#include "transfer/waypoint_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "transfer/field_numbers.h"

namespace marivent::transfer {

namespace {

// Date 37109.72606, symbol 0, status 1, map display format 3, foreground 0, background white
// (columns 45 to 88), an empty description of 40 blanks (89 to 128), pointer direction 0 and
// Garmin display format 0 (129 to 134).
constexpr std::string_view fixed_fields = "37109.72606,  0, 1, 3,         0,  16777215,";
constexpr std::string_view line_end = ", 0, 0";
constexpr unsigned char ozi_comma = 209;

} // namespace

std::string degrees_text(double value) {
    std::string out;
    append_fixed(out, value, degrees_pattern);
    return out;
}

std::string fixed_name(std::string_view name) {
    std::string out(name.substr(0, name_width));
    out.resize(name_width, ' ');
    return out;
}

std::string name_to_ozi(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c == ',') c = static_cast<char>(ozi_comma);
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return out;
}

std::string name_from_ozi(std::string_view field) {
    std::string out(field);
    for (char& c : out)
        if (static_cast<unsigned char>(c) == ozi_comma) c = ',';
    return out;
}

std::string build_waypoint_line(int number, std::string_view name, std::string_view latitude_text,
                                std::string_view longitude_text) {
    char digits[24];
    char* const digits_end = digits + sizeof digits;
    const unsigned long magnitude = number < 0 ? 0UL - static_cast<unsigned long>(number)
                                              : static_cast<unsigned long>(number);
    char* digits_first = put_digits_before(digits_end, magnitude);
    if (number < 0) *--digits_first = '-';
    const std::string_view number_text(digits_first,
                                       static_cast<std::size_t>(digits_end - digits_first));
    const std::string_view texts[] = {number_text, latitude_text, longitude_text};
    const std::size_t widths[] = {4, 11, 11};
    std::size_t size = name_width + 4 + fixed_fields.size() + 40 + line_end.size();
    for (int k = 0; k < 3; ++k) size += std::max(widths[k], texts[k].size());

    // Blanks first: the alignment and the description are blank.
    std::string line(size, ' ');
    char* o = line.data();
    // A text right-aligned in its columns, whole when longer.
    auto right = [&o](std::string_view text, std::size_t width) {
        if (text.size() < width) o += width - text.size();
        std::memcpy(o, text.data(), text.size());
        o += text.size();
    };
    right(number_text, 4); // 1-4
    *o++ = ',';            // 5
    // 6-19: the name's first 14 characters as name_to_ozi stores them, blank-filled.
    const std::size_t name_size = std::min(name.size(), name_width);
    for (std::size_t k = 0; k < name_size; ++k) {
        const char c = name[k];
        o[k] = c == ',' ? static_cast<char>(ozi_comma)
               : (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? ' '
                                                                    : c;
    }
    o += name_width;
    *o++ = ',';                  // 20
    right(latitude_text, 11);    // 21-31
    *o++ = ',';                  // 32
    right(longitude_text, 11);   // 33-43
    *o++ = ',';                  // 44
    std::memcpy(o, fixed_fields.data(), fixed_fields.size()); // 45-88
    o += fixed_fields.size() + 40;                             // 89-128
    std::memcpy(o, line_end.data(), line_end.size());          // 129-134
    return line;
}

bool on_the_globe(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}

} // namespace marivent::transfer
