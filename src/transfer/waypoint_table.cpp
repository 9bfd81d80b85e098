#include "transfer/waypoint_table.h"

#include <algorithm>
#include <array>
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

// The line with its fields blank, for build_waypoint_line to fill.
constexpr auto blank_line = [] {
    std::array<char, waypoint_line_length> line{};
    for (char& c : line)
        c = ' ';
    line[4] = line[19] = line[31] = line[43] = ',';
    for (std::size_t k = 0; k < fixed_fields.size(); ++k)
        line[44 + k] = fixed_fields[k];
    for (std::size_t k = 0; k < line_end.size(); ++k)
        line[128 + k] = line_end[k];
    return line;
}();
static_assert(44 + fixed_fields.size() + 40 + line_end.size() == waypoint_line_length);

// Each character as name_to_ozi stores it.
constexpr auto ozi_characters = [] {
    std::array<char, 256> to{};
    for (int c = 0; c < 256; ++c)
        to[c] = c == ','                  ? static_cast<char>(ozi_comma)
                : (c < 0x20 || c == 0x7F) ? ' '
                                          : static_cast<char>(c);
    return to;
}();

// The name at `out` as name_to_ozi stores it; the rest of its 14 columns stays as it is.
void put_name(char* out, std::string_view name) {
    const std::string stored = name_to_ozi(name);
    std::memcpy(out, stored.data(), stored.size());
}

} // namespace

std::string degrees_text(double value) {
    std::string out;
    append_fixed(out, value, degrees_pattern);
    return out;
}

std::string fixed_name(std::string_view name) {
    std::string out(name_width, ' ');
    name.copy(out.data(), name_width);
    return out;
}

std::string name_to_ozi(std::string_view name) {
    std::string out(name.substr(0, name_width));
    for (char& c : out)
        c = ozi_characters[static_cast<unsigned char>(c)];
    return out;
}

std::string name_from_ozi(std::string_view field) {
    std::string out = fixed_name(field);
    for (char& c : out)
        if (static_cast<unsigned char>(c) == ozi_comma) c = ',';
    return out;
}

std::string build_waypoint_line(int number, std::string_view name, std::string_view latitude_text,
                                std::string_view longitude_text) {
    if (number >= 0 && number <= 9999 && latitude_text.size() <= 11 &&
        longitude_text.size() <= 11) {
        std::string line(blank_line.data(), blank_line.size());
        char* o = line.data();
        put_digits_before(o + 4, static_cast<unsigned long>(number)); // 1-4
        put_name(o + 5, name);                                        // 6-19
        std::memcpy(o + 31 - latitude_text.size(), latitude_text.data(), latitude_text.size());
        std::memcpy(o + 43 - longitude_text.size(), longitude_text.data(), longitude_text.size());
        return line;
    }
    // A number or a text wider than its columns is written whole, the columns after it moved.
    char digits[24];
    char* const digits_end = digits + sizeof digits;
    const unsigned long magnitude =
        number < 0 ? 0UL - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
    char* digits_first = put_digits_before(digits_end, magnitude);
    if (number < 0) *--digits_first = '-';
    const std::string_view number_text(digits_first,
                                       static_cast<std::size_t>(digits_end - digits_first));
    const std::string_view texts[] = {number_text, latitude_text, longitude_text};
    const std::size_t widths[] = {4, 11, 11};
    std::size_t size = name_width + 4 + fixed_fields.size() + 40 + line_end.size();
    for (int k = 0; k < 3; ++k)
        size += std::max(widths[k], texts[k].size());

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
    put_name(o, name);     // 6-19, blank-filled
    o += name_width;
    *o++ = ',';                                               // 20
    right(latitude_text, 11);                                 // 21-31
    *o++ = ',';                                               // 32
    right(longitude_text, 11);                                // 33-43
    *o++ = ',';                                               // 44
    std::memcpy(o, fixed_fields.data(), fixed_fields.size()); // 45-88
    o += fixed_fields.size() + 40;                            // 89-128
    std::memcpy(o, line_end.data(), line_end.size());         // 129-134
    return line;
}

bool on_the_globe(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}

} // namespace marivent::transfer
