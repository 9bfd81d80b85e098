// The OziExplorer track reader: one row per non-blank line after the six header lines, at most
// max_waypoints (none with too_many), unnamed, finite coordinates.
#include <cmath>

#include "common/lines.h"
#include "support.h"
#include "transfer/ozi_files.h"

using namespace marivent::transfer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const std::string_view bytes = marivent::fuzz::text(data, size);
    const OziRead read = read_ozi_track(bytes);
    const auto lines = marivent::split_lines(bytes);
    std::size_t points = 0;
    for (std::size_t i = 6; i < lines.size(); ++i)
        if (lines[i].find_first_not_of(" \t") != std::string_view::npos) ++points;
    FUZZ_CHECK(read.too_many == (points > max_waypoints));
    FUZZ_CHECK(read.rows.size() == (read.too_many ? 0 : points));
    for (const Waypoint& w : read.rows) {
        FUZZ_CHECK(w.name.empty() && w.number == 0.0);
        FUZZ_CHECK(std::isfinite(w.latitude) && std::isfinite(w.longitude));
    }
    const OziRead same = read_ozi(bytes, ozi_kind("TRACK.PLT"));
    FUZZ_CHECK(same.rows.size() == read.rows.size() && same.too_many == read.too_many);
    return 0;
}
