// The OziExplorer route and waypoint reader: at most max_waypoints rows (none with too_many),
// 14-character names, finite coordinates, never a row at 0,0.
#include <cmath>

#include "common/lines.h"
#include "support.h"
#include "transfer/ozi_files.h"

using namespace marivent::transfer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const std::string_view bytes = marivent::fuzz::text(data, size);
    const OziRead read = read_ozi_waypoints(bytes);
    FUZZ_CHECK(read.rows.size() <= max_waypoints);
    if (read.too_many) FUZZ_CHECK(read.rows.empty());
    FUZZ_CHECK(read.rows.size() + 4 <= marivent::split_lines(bytes).size() || read.rows.empty());
    for (const Waypoint& w : read.rows) {
        FUZZ_CHECK(w.name.size() == name_width);
        FUZZ_CHECK(std::isfinite(w.number) && std::isfinite(w.latitude) &&
                   std::isfinite(w.longitude));
        FUZZ_CHECK(w.latitude != 0.0 || w.longitude != 0.0);
    }
    const OziRead same = read_ozi(bytes, ozi_kind("route.rte"));
    FUZZ_CHECK(same.rows.size() == read.rows.size() && same.too_many == read.too_many);
    return 0;
}
