// Timing of the transfer conversions on a 1024-waypoint route, in process and as whole
// marivent-convert processes, beside GPSBabel reading the same OziExplorer file. A measurement,
// not a test: it prints figures and never fails on time.
//   transfer_bench [--runs N] [--gpsbabel PATH]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "transfer/cmap_route.h"
#include "transfer/ozi_files.h"
#include "transfer/transfer_driver.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace tr = marivent::transfer;

class YesDialogs : public marivent::Dialogs {
public:
    void message(std::string_view text, std::string_view) override {
        std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
    }
    bool ask_yes_no(std::string_view, std::string_view, std::string_view) override { return true; }
};

// Median wall time of `runs` calls, in milliseconds.
double median_ms(int runs, const std::function<void()>& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                        .count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// Runs a program with its output thrown away; false when it does not exit with 0.
bool run(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int e = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (e != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string gpsbabel = "/usr/bin/gpsbabel";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--gpsbabel") == 0) gpsbabel = argv[i + 1];
    }
    const fs::path convert_tool = fs::read_symlink("/proc/self/exe").parent_path() / "marivent-convert";

    char pattern[] = "/tmp/transfer-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path dir = pattern;

    // 1024 waypoints spread over both hemispheres, written as OziExplorer writes them here.
    tr::WaypointTable rows;
    for (int i = 0; i < 1024; ++i)
        rows.push_back({static_cast<double>(i + 1), tr::fixed_name("WP" + std::to_string(i + 1)),
                        -60 + i * 0.117, -179 + i * 0.349});
    std::vector<std::string> lines;
    for (const auto& w : rows)
        lines.push_back(tr::build_waypoint_line(static_cast<int>(w.number), w.name,
                                                tr::degrees_text(w.latitude),
                                                tr::degrees_text(w.longitude)));
    const std::string wpt = tr::ozi_waypoint_file(lines);
    const std::string cmap = tr::cmap_route_file("ile", rows).bytes;
    marivent::replace_file(dir / "ile.wpt", wpt);
    marivent::replace_file(dir / "ile", cmap);
    fs::create_directory(dir / "out");

    YesDialogs dialogs;
    std::size_t sink = 0;
    const double mem_o2c = median_ms(runs, [&] {
        const auto r = tr::read_ozi(wpt, tr::OziKind::route_or_waypoints);
        sink += tr::cmap_route_file("ile", r.rows).bytes.size();
    });
    const double mem_c2o = median_ms(runs, [&] {
        const auto r = tr::read_cmap_route(cmap);
        sink += tr::ozi_route_file(r.waypoint_lines).size() +
                tr::ozi_waypoint_file(r.waypoint_lines).size();
    });
    tr::Conversion o2c{tr::Direction::ozi_to_cmap, dir / "ile.wpt", dir / "out", dir / "out"};
    tr::Conversion c2o{tr::Direction::cmap_to_ozi, dir / "ile", dir / "out", dir / "out", true, true};
    const double drv_o2c = median_ms(runs, [&] { sink += tr::convert(o2c, dialogs).written.size(); });
    const double drv_c2o = median_ms(runs, [&] { sink += tr::convert(c2o, dialogs).written.size(); });

    const std::string out = (dir / "out").string();
    bool ok = true;
    const double proc_o2c = median_ms(runs, [&] {
        ok &= run({convert_tool.string(), "ozi2cmap", (dir / "ile.wpt").string(), "-o", out, "--force"});
    });
    const double proc_c2o = median_ms(runs, [&] {
        ok &= run({convert_tool.string(), "cmap2ozi", (dir / "ile").string(), "--route",
                   "--waypoints", "-o", out, "--force"});
    });
    const bool have_gpsbabel = fs::exists(gpsbabel);
    double babel = 0;
    if (have_gpsbabel)
        babel = median_ms(runs, [&] {
            ok &= run({gpsbabel, "-i", "ozi", "-f", (dir / "ile.wpt").string(), "-o", "gpx", "-F",
                       (dir / "out" / "ile.gpx").string()});
        });

    std::printf("1024 waypoints; OziExplorer file %zu bytes, C-Map ECS file %zu bytes; median of %d "
                "runs\n", wpt.size(), cmap.size(), runs);
    std::printf("%-46s %10s %14s\n", "", "ms", "vs gpsbabel");
    auto row = [&](const char* what, double ms) {
        if (have_gpsbabel) std::printf("%-46s %10.3f %13.3fx\n", what, ms, ms / babel);
        else std::printf("%-46s %10.3f %14s\n", what, ms, "-");
    };
    row("ozi->cmap in memory (read + build)", mem_o2c);
    row("cmap->ozi in memory (read + .rte + .wpt)", mem_c2o);
    row("ozi->cmap driver with files", drv_o2c);
    row("cmap->ozi driver with files (.rte + .wpt)", drv_c2o);
    row("marivent-convert ozi2cmap (process)", proc_o2c);
    row("marivent-convert cmap2ozi (process)", proc_c2o);
    if (have_gpsbabel) row("gpsbabel -i ozi -f ile.wpt -o gpx (process)", babel);
    else std::printf("gpsbabel not found at %s\n", gpsbabel.c_str());
    if (!ok) std::printf("note: a process did not exit with 0\n");
    std::fprintf(stderr, "(%zu)\n", sink);
    fs::remove_all(dir);
    return 0;
}
