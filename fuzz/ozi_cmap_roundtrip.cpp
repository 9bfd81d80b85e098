// OziExplorer -> C-Map ECS -> OziExplorer: a route or waypoint file that reads, written as a C-Map
// route, read back, written as OziExplorer route and waypoint files and read back again, keeps its
// waypoints in order, their names (control characters become blanks) and their coordinates
// within 0.0001 degree (the C-Map file keeps minutes to 0.01).
//
// One loss is the formats' own: the OziExplorer reader skips a line at 0,0 (a blank line), so a
// waypoint that the C-Map minutes round to 0,0 exactly (within 0.00009 degree of it) does not come
// back. Such waypoints are left out of the comparison.
#include <cmath>

#include "support.h"
#include "transfer/cmap_route.h"
#include "transfer/ozi_files.h"

namespace {

using namespace marivent::transfer;

std::string blanked(std::string name) {
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return name;
}

bool near(double a, double b) {
    return std::fabs(a - b) < 0.0001;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const OziRead source = read_ozi_waypoints(marivent::fuzz::text(data, size));
    if (source.rows.empty()) return 0;
    const WaypointTable& rows = source.rows;
    const std::size_t n = rows.size();

    const marivent::Result<std::string> cmap = cmap_route_file("FUZZ", rows);
    bool on_globe = true;
    for (const Waypoint& w : rows)
        on_globe = on_globe && on_the_globe(w.latitude, w.longitude);
    FUZZ_CHECK(cmap.ok() == on_globe);
    if (!on_globe) return 0;

    const marivent::Result<CmapRead> read = read_cmap_route(*cmap);
    FUZZ_CHECK(read.ok() && read->warning.empty());
    const CmapRead& route = *read;
    FUZZ_CHECK(route.route_name == "FUZZ");
    FUZZ_CHECK(route.waypoints.size() == n && route.waypoint_lines.size() == n);
    std::vector<std::size_t> kept; // the rows that do not round to 0,0
    for (std::size_t i = 0; i < n; ++i) {
        const CmapWaypoint& w = route.waypoints[i];
        FUZZ_CHECK(w.name == rows[i].name);
        FUZZ_CHECK(near(w.latitude, rows[i].latitude) && near(w.longitude, rows[i].longitude));
        if (w.latitude != 0.0 || w.longitude != 0.0) kept.push_back(i);
    }

    for (const std::string& file :
         {ozi_waypoint_file(route.waypoint_lines), *ozi_route_file(route.waypoint_lines)}) {
        const OziRead back = read_ozi_waypoints(file);
        FUZZ_CHECK(!back.too_many);
        FUZZ_CHECK(back.rows.size() == kept.size());
        for (std::size_t k = 0; k < kept.size(); ++k) {
            const Waypoint& w = back.rows[k];
            const Waypoint& original = rows[kept[k]];
            FUZZ_CHECK(w.number == static_cast<double>(kept[k] + 1));
            FUZZ_CHECK(w.name == blanked(original.name));
            FUZZ_CHECK(near(w.latitude, original.latitude) &&
                       near(w.longitude, original.longitude));
        }
    }
    return 0;
}
