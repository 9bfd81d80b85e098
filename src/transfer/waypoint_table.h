// The working table of one transfer and the 134-character OziExplorer waypoint line.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marivent::transfer {

// A conversion handles at most this many waypoints or track points.
inline constexpr std::size_t max_waypoints = 1024;

// Width of a waypoint name in the table and in the waypoint line.
inline constexpr std::size_t name_width = 14;

inline constexpr std::size_t waypoint_line_length = 134;

// One row of the table, as the OziExplorer readers fill it and the C-Map writer uses it.
struct Waypoint {
    double number = 0;    // waypoint number; 0 for track points
    std::string name;     // Windows-1252; 14 characters from route and waypoint files, empty for
                          // track points; a comma is a comma here (not character 209)
    double latitude = 0;  // signed decimal degrees, north positive
    double longitude = 0; // signed decimal degrees, east positive
};

using WaypointTable = std::vector<Waypoint>; // rows in file order, at most max_waypoints

// Signed decimal degrees with six decimals and at least two integer digits, "." as the point:
// 5.5 -> "05.500000", -33.25 -> "-33.250000", 151.2 -> "151.200000".
std::string degrees_text(double value);

// A name cut to, or blank-filled up to, 14 characters.
std::string fixed_name(std::string_view name);

// The name as OziExplorer stores it in a comma-separated line: its first 14 characters, a comma
// as character 209; CR, LF and the other control characters, which would break the line, become
// blanks.
std::string name_to_ozi(std::string_view name);
// And back, as the table holds a name read from a file: its first 14 characters, blank-filled
// (fixed_name), character 209 read as a comma.
std::string name_from_ozi(std::string_view field);

// The 134-character waypoint line: number right-aligned in columns 1 to 4, the name (as
// name_to_ozi stores it) left-aligned in 6 to 19, latitude and longitude
// texts right-aligned in 21 to 31 and 33 to 43, then OziExplorer's fixed fields. The number has
// at most 4 digits and the texts at most 11 characters.
std::string build_waypoint_line(int number, std::string_view name, std::string_view latitude_text,
                                std::string_view longitude_text);

// True when the coordinates are a place on the globe (|latitude| <= 90, |longitude| <= 180),
// which keeps every coordinate text within its width.
bool on_the_globe(double latitude, double longitude);

} // namespace marivent::transfer
