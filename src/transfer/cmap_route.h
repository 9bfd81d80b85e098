// C-Map ECS route files: one serialised TRoute object holding its TWayPoint and TLeg objects.
// Integers and text lengths are 32-bit little-endian; texts are Windows-1252 without terminator.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "transfer/waypoint_table.h"

namespace marivent::transfer {

// The 10-character coordinate text: whole degrees right-aligned in 3, a blank, minutes with two
// decimals right-aligned in 5, the hemisphere letter (N or E only for values above 0).
//   coordinate_text(43.0853333, true) == " 43 05.12N"   coordinate_text(-5.5, false) == " 5 30.00W"
std::string coordinate_text(double value, bool latitude);

// The value of a coordinate text: sign from the last letter (S, W negative), degrees from the
// first three characters, minutes from characters 5 to 9.
double coordinate_value(std::string_view text);

// The whole file for a route name and the table's rows in order, legs joining each waypoint to
// the next; or why not (French): it refuses an empty table, more than max_waypoints rows, and
// coordinates off the globe.
Result<std::string> cmap_route_file(std::string_view route_name, const WaypointTable& rows);

struct CmapWaypoint {
    std::string name;          // as stored
    std::string latitude_text; // the coordinate texts as stored
    std::string longitude_text;
    double latitude = 0;
    double longitude = 0;
};

struct CmapRead {
    std::string route_name;
    std::vector<CmapWaypoint> waypoints;     // in route order
    std::vector<std::string> waypoint_lines; // the OziExplorer waypoint lines, numbered 1 to n
                                             // in route order
    std::string last_latitude_text;          // of the last waypoint in the file
    std::string warning; // French: the legs could not be followed; file order kept
};

// Reads a route file, or says why (French) the bytes are not a readable route. The legs are
// consulted only when the route does not start at waypoint 0 or its last index is not n - 1;
// legs that do not lead on, or come back to a waypoint already passed, leave the file order with
// a warning. Never reads past the end of the bytes.
Result<CmapRead> read_cmap_route(std::string_view bytes);

} // namespace marivent::transfer
