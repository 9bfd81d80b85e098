// marivent-convert ozi2cmap and cmap2ozi: the conversions of the Transfert menu, with the same
// readers, writers, output names and replacement rule as the window.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "convert.h"
#include "transfer/transfer_driver.h"

namespace marivent::cli {

namespace fs = std::filesystem;
namespace tr = marivent::transfer;

int transfer_command(const std::vector<std::string_view>& args) {
    tr::Conversion c;
    c.direction = args[0] == "ozi2cmap" ? tr::Direction::ozi_to_cmap : tr::Direction::cmap_to_ozi;

    bool force = false;
    std::optional<fs::path> out_dir;
    std::optional<fs::path> source;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto a = args[i];
        if (a == "--force")
            force = true;
        else if (a == "--route" && c.direction == tr::Direction::cmap_to_ozi)
            c.route = true;
        else if (a == "--waypoints" && c.direction == tr::Direction::cmap_to_ozi)
            c.waypoints = true;
        else if (a == "-o") {
            if (i + 1 == args.size()) return usage_error("-o demande un dossier");
            out_dir = fs::path(std::string(args[++i]));
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return usage_error("option inconnue « " + std::string(a) + " »");
        } else if (source) {
            return usage_error("un seul fichier à la fois");
        } else {
            source = fs::path(std::string(a));
        }
    }
    if (!source) return usage_error("aucun fichier à convertir");
    c.source = *source;
    const fs::path folder = out_dir                     ? *out_dir
                            : source->has_parent_path() ? source->parent_path()
                                                        : fs::path(".");
    c.ozi_folder = folder;
    c.cmap_folder = folder;

    // The files asked for, in the order they are written.
    std::vector<fs::path> expected;
    if (c.direction == tr::Direction::ozi_to_cmap) {
        expected.push_back(tr::cmap_output(c));
    } else {
        if (c.route) expected.push_back(tr::ozi_route_output(c));
        if (c.waypoints) expected.push_back(tr::ozi_waypoint_output(c));
    }

    ConsoleDialogs dialogs(force);
    const tr::Outcome out = tr::convert(c, dialogs);
    for (const auto& p : out.written)
        std::fputs(("écrit : " + marivent::display_path(p) + " (" +
                    marivent::integer_text(static_cast<long long>(out.waypoint_count)) +
                    " waypoints)\n")
                       .c_str(),
                   stdout);
    if (out.lat)
        std::fputs(("dernière latitude lue : " + marivent::cp1252_to_utf8(*out.lat) + "\n").c_str(),
                   stdout);
    if (out.end == tr::Outcome::End::declined && out.written.size() < expected.size())
        say_not_replaced(expected[out.written.size()], out.written.size() + 1 < expected.size());
    if (std::fflush(stdout) != 0) return 1;
    return out.end == tr::Outcome::End::done ? 0 : 1;
}

} // namespace marivent::cli
