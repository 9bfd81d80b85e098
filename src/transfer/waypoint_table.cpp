#include "common/number_text.h"
#include "transfer/waypoint_table.h"

#include <cmath>

#include "common/format.h"

namespace marivent::transfer {

namespace {

// Date 37109.72606, symbol 0, status 1, map display format 3, foreground 0, background white
// (columns 45 to 88), an empty description of 40 blanks (89 to 128), pointer direction 0 and
// Garmin display format 0 (129 to 134).
constexpr std::string_view fixed_fields = "37109.72606,  0, 1, 3,         0,  16777215,";
constexpr std::string_view line_end = ", 0, 0";
constexpr unsigned char ozi_comma = 209;

} // namespace

std::string degrees_text(double value) { return format_number(value, "##00.000000", '.'); }

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
    std::string line;
    line.reserve(waypoint_line_length);
    line += format_text(integer_text(number), "@@@@");             // 1-4
    line += ',';                                                     // 5
    line += fixed_name(name_to_ozi(name.substr(0, name_width)));     // 6-19
    line += ',';                                                     // 20
    line += format_text(latitude_text, "@@@@@@@@@@@");               // 21-31
    line += ',';                                                     // 32
    line += format_text(longitude_text, "@@@@@@@@@@@");              // 33-43
    line += ',';                                                     // 44
    line += fixed_fields;                                            // 45-88
    line.append(40, ' ');                                            // 89-128
    line += line_end;                                                // 129-134
    return line;
}

bool on_the_globe(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}

} // namespace marivent::transfer
