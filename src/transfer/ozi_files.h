// OziExplorer route (.rte), waypoint (.wpt) and track (.plt) files: writing from waypoint lines,
// reading into the waypoint table. Text in Windows-1252, lines ended by CR LF when written.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "transfer/waypoint_table.h"

namespace marivent::transfer {

// The whole route file for the waypoint lines, in order: the header, the route-0 record, one W
// line per waypoint with a new route after every 30, and route records up to number 100; or why
// not (French): a route number past 99999 (from 2,999,970 lines on) has no columns to go in.
Result<std::string> ozi_route_file(const std::vector<std::string>& waypoint_lines);

// The whole waypoint file: the header, then each waypoint line with proximity, altitude -777 and
// the font and symbol sizes.
std::string ozi_waypoint_file(const std::vector<std::string>& waypoint_lines);

enum class OziKind { route_or_waypoints, track };

// A track file is one whose name ends in ".plt", in any case; every other file is read as a
// route or waypoint file.
OziKind ozi_kind(const std::filesystem::path& file);

struct OziRead {
    WaypointTable rows;
    bool too_many = false; // more than max_waypoints waypoints or points: rows is then empty
};

// Reads the records that follow the four header lines. Lines may end in CR LF, LF or CR, and the
// last one needs no ending. Fields are taken by their commas: number, name, latitude, longitude,
// after the "W,route,position," prefix of a W line; route records (lines beginning with "R") are
// skipped, and so is a line whose latitude and longitude are both 0 (blank lines among them).
// Names are 14 characters, blank-filled or cut, with character 209 read as a comma.
OziRead read_ozi_waypoints(std::string_view bytes);

// Reads every point line after the six header lines (the count on the sixth line is not relied
// on): latitude and longitude from the first two fields; names empty. Blank lines are skipped.
OziRead read_ozi_track(std::string_view bytes);

OziRead read_ozi(std::string_view bytes, OziKind kind);

} // namespace marivent::transfer
