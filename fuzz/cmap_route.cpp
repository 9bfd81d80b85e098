// The C-Map ECS route reader. A file that reads gives well-formed waypoint lines and coordinates
// on the globe; written again in route order it reads back to the same route (coordinates within
// the 0.01 minute of the format). A file that does not read gives no route, only why.
#include <cmath>

#include "support.h"
#include "transfer/cmap_route.h"

using namespace marivent::transfer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const marivent::Result<CmapRead> read = read_cmap_route(marivent::fuzz::text(data, size));
    if (!read) {
        FUZZ_CHECK(!read.why().empty());
        return 0;
    }
    const CmapRead& r = *read;
    const std::size_t n = r.waypoints.size();
    FUZZ_CHECK(n <= max_waypoints);
    FUZZ_CHECK(r.waypoint_lines.size() == n);
    bool last_found = n == 0 && r.last_latitude_text.empty();
    for (std::size_t i = 0; i < n; ++i) {
        const CmapWaypoint& w = r.waypoints[i];
        FUZZ_CHECK(w.latitude_text.size() == 10 && w.longitude_text.size() == 10);
        FUZZ_CHECK(on_the_globe(w.latitude, w.longitude));
        FUZZ_CHECK(r.waypoint_lines[i].size() == waypoint_line_length);
        last_found = last_found || w.latitude_text == r.last_latitude_text;
    }
    FUZZ_CHECK(last_found);
    if (n == 0) return 0;

    WaypointTable rows;
    for (const CmapWaypoint& w : r.waypoints)
        rows.push_back({0, w.name, w.latitude, w.longitude});
    const marivent::Result<std::string> again = cmap_route_file(r.route_name, rows);
    FUZZ_CHECK(again.ok());
    const marivent::Result<CmapRead> read_back = read_cmap_route(*again);
    FUZZ_CHECK(read_back.ok() && read_back->warning.empty());
    const CmapRead& back = *read_back;
    FUZZ_CHECK(back.route_name == r.route_name);
    FUZZ_CHECK(back.waypoints.size() == n);
    for (std::size_t i = 0; i < n; ++i) {
        FUZZ_CHECK(back.waypoints[i].name == r.waypoints[i].name);
        FUZZ_CHECK(std::fabs(back.waypoints[i].latitude - r.waypoints[i].latitude) < 0.0001);
        FUZZ_CHECK(std::fabs(back.waypoints[i].longitude - r.waypoints[i].longitude) < 0.0001);
    }
    return 0;
}
