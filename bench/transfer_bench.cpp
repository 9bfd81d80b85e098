// Timing of the transfer conversions on a 1024-waypoint route, each way: in process, through the
// driver with its files, and as whole marivent-convert processes beside GPSBabel doing the same
// job in the same direction. A measurement, not a test: it prints figures and never fails on time.
//   transfer_bench [--runs N] [--gpsbabel PATH]
//
// The peers. OziExplorer to C-Map ECS: GPSBabel reads the same OziExplorer waypoint file and
// writes GPX (it writes no C-Map ECS). C-Map ECS to OziExplorer: GPSBabel reads no C-Map ECS, so
// it reads a GPX of the same 1024 waypoints (its own, from the file above) and writes the
// OziExplorer waypoint file, beside `marivent-convert cmap2ozi --waypoints`, which writes that
// one file too. Shown as well: GPSBabel writing and reading the same waypoints as a TomTom file,
// binary records like C-Map ECS's, its quickest format each way.
//
// Besides the table, one line `figure KEY VALUE` per figure (milliseconds, "." as the point), for
// scripts. Processes run in turns, a few runs of each per round, so that a load that comes and goes
// on the machine weighs on all of them alike.
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
#include "common/number_text.h"
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

double elapsed_ms(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

double median(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return t.empty() ? 0.0 : t[t.size() / 2];
}

// Median wall time of `runs` calls, in milliseconds.
double median_ms(int runs, const std::function<void()>& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        t.push_back(elapsed_ms(start));
    }
    return median(t);
}

// Runs a program with its output thrown away; false when it does not exit with 0.
bool run(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
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

// A whole process to time, by its table label and figure key (empty: table only).
struct Process {
    std::string label;
    std::string key;
    std::vector<std::string> argv;
    std::vector<double> times{};
    bool ok = true;
};

// The file written as replace_file writes it, less the fsync: what the flush to the disk costs.
void replace_without_flush(const fs::path& path, std::string_view bytes) {
    const std::string temp = path.string() + ".bench";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    if (::write(fd, bytes.data(), bytes.size()) < 0) std::perror("write");
    ::close(fd);
    ::rename(temp.c_str(), path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    constexpr int block = 5; // runs of one process in a row
    std::string gpsbabel = "/usr/bin/gpsbabel";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--gpsbabel") == 0)
            gpsbabel = argv[i + 1];
    }
    // In-process calls are short: many more of them give a steadier median.
    const int calls = runs * 20;
    const fs::path convert_tool =
        fs::read_symlink("/proc/self/exe").parent_path() / "marivent-convert";

    char pattern[] = "/tmp/transfer-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path dir = pattern;

    // 1024 waypoints spread over both hemispheres, written as OziExplorer writes them here.
    tr::WaypointTable rows;
    for (int i = 0; i < 1024; ++i)
        rows.push_back({static_cast<double>(i + 1),
                        tr::fixed_name("WP" + marivent::integer_text(i + 1)), -60 + i * 0.117,
                        -179 + i * 0.349});
    std::vector<std::string> lines;
    for (const auto& w : rows)
        lines.push_back(tr::build_waypoint_line(static_cast<int>(w.number), w.name,
                                                tr::degrees_text(w.latitude),
                                                tr::degrees_text(w.longitude)));
    const std::string wpt = tr::ozi_waypoint_file(lines);
    const std::string cmap = *tr::cmap_route_file("ile", rows);
    marivent::replace_file(dir / "ile.wpt", wpt);
    marivent::replace_file(dir / "ile", cmap);
    fs::create_directory(dir / "out");
    const std::string out = (dir / "out").string();

    YesDialogs dialogs;
    std::size_t sink = 0;
    const double mem_o2c = median_ms(calls, [&] {
        const auto r = tr::read_ozi(wpt, tr::OziKind::route_or_waypoints);
        sink += tr::cmap_route_file("ile", r.rows)->size();
    });
    const double mem_c2o = median_ms(calls, [&] {
        const auto r = tr::read_cmap_route(cmap);
        sink += tr::ozi_route_file(r->waypoint_lines)->size() +
                tr::ozi_waypoint_file(r->waypoint_lines).size();
    });
    const double mem_c2o_wpt = median_ms(calls, [&] {
        const auto r = tr::read_cmap_route(cmap);
        sink += tr::ozi_waypoint_file(r->waypoint_lines).size();
    });
    tr::Conversion o2c{tr::Direction::ozi_to_cmap, dir / "ile.wpt", dir / "out", dir / "out"};
    tr::Conversion c2o{
        tr::Direction::cmap_to_ozi, dir / "ile", dir / "out", dir / "out", true, true};
    const double drv_o2c =
        median_ms(runs, [&] { sink += tr::convert(o2c, dialogs).written.size(); });
    const double drv_c2o =
        median_ms(runs, [&] { sink += tr::convert(c2o, dialogs).written.size(); });
    const double write_flushed =
        median_ms(runs, [&] { sink += marivent::replace_file(dir / "out" / "w", cmap).ok(); });
    const double write_unflushed =
        median_ms(runs, [&] { replace_without_flush(dir / "out" / "w", cmap); });

    // GPSBabel's GPX and TomTom files of the same waypoints, the inputs of its peers the other way.
    const bool have_gpsbabel = fs::exists(gpsbabel) &&
                               run({gpsbabel, "-i", "ozi", "-f", (dir / "ile.wpt").string(), "-o",
                                    "gpx", "-F", (dir / "ile.gpx").string()}) &&
                               run({gpsbabel, "-i", "ozi", "-f", (dir / "ile.wpt").string(), "-o",
                                    "tomtom", "-F", (dir / "ile.ov2").string()});
    const std::string tool = convert_tool.string();
    std::vector<Process> procs = {
        {"marivent-convert ozi2cmap ile.wpt",
         "convert_ozi2cmap_ms",
         {tool, "ozi2cmap", (dir / "ile.wpt").string(), "-o", out, "--force"}},
        {"marivent-convert cmap2ozi ile --waypoints",
         "convert_cmap2ozi_ms",
         {tool, "cmap2ozi", (dir / "ile").string(), "--waypoints", "-o", out, "--force"}},
        {"marivent-convert cmap2ozi ile --route --waypoints",
         "convert_cmap2ozi_both_ms",
         {tool, "cmap2ozi", (dir / "ile").string(), "--route", "--waypoints", "-o", out,
          "--force"}},
        {"/bin/true (the floor of a process)", "process_floor_ms", {"/bin/true"}},
    };
    if (have_gpsbabel) {
        procs.push_back({"gpsbabel -i ozi -f ile.wpt -o gpx",
                         "gpsbabel_ozi2cmap_ms",
                         {gpsbabel, "-i", "ozi", "-f", (dir / "ile.wpt").string(), "-o", "gpx",
                          "-F", (dir / "out" / "peer.gpx").string()}});
        procs.push_back({"gpsbabel -i gpx -f ile.gpx -o ozi",
                         "gpsbabel_cmap2ozi_ms",
                         {gpsbabel, "-i", "gpx", "-f", (dir / "ile.gpx").string(), "-o", "ozi",
                          "-F", (dir / "out" / "peer.wpt").string()}});
        procs.push_back({"gpsbabel -i ozi -f ile.wpt -o tomtom",
                         "gpsbabel_ozi2tomtom_ms",
                         {gpsbabel, "-i", "ozi", "-f", (dir / "ile.wpt").string(), "-o", "tomtom",
                          "-F", (dir / "out" / "peer.ov2").string()}});
        procs.push_back({"gpsbabel -i tomtom -f ile.ov2 -o ozi",
                         "gpsbabel_tomtom2ozi_ms",
                         {gpsbabel, "-i", "tomtom", "-f", (dir / "ile.ov2").string(), "-o", "ozi",
                          "-F", (dir / "out" / "peer2.wpt").string()}});
    }
    for (int done = 0; done < runs; done += block)
        for (auto& p : procs) {
            // What the programs before left to write goes to the disk first: otherwise the next
            // fsync would write it too (the journal commits every file's data with its own).
            ::sync();
            for (int k = 0; k < block && done + k < runs; ++k) {
                const auto start = std::chrono::steady_clock::now();
                p.ok &= run(p.argv);
                p.times.push_back(elapsed_ms(start));
            }
        }
    auto process_ms = [&](std::string_view key) {
        for (const auto& p : procs)
            if (p.key == key) return median(p.times);
        return 0.0;
    };
    const double babel_o2c = process_ms("gpsbabel_ozi2cmap_ms");
    const double babel_c2o = process_ms("gpsbabel_cmap2ozi_ms");

    std::printf("1024 waypoints; OziExplorer file %zu bytes, C-Map ECS file %zu bytes; median of "
                "%d calls in process, %d runs of each process\n",
                wpt.size(), cmap.size(), calls, runs);
    std::printf("%-52s %10s %14s\n", "", "ms", "vs gpsbabel");
    auto row = [&](const std::string& what, double ms, double peer) {
        if (peer > 0)
            std::printf("%-52s %10.3f %13.3fx\n", what.c_str(), ms, ms / peer);
        else
            std::printf("%-52s %10.3f %14s\n", what.c_str(), ms, "-");
    };
    row("ozi->cmap in memory (read + build)", mem_o2c, babel_o2c);
    row("cmap->ozi in memory (read + .rte + .wpt)", mem_c2o, babel_c2o);
    row("cmap->ozi in memory (read + .wpt)", mem_c2o_wpt, babel_c2o);
    row("ozi->cmap driver with files", drv_o2c, babel_o2c);
    row("cmap->ozi driver with files (.rte + .wpt)", drv_c2o, babel_c2o);
    row("replace_file of the C-Map file (fsync, rename)", write_flushed, 0);
    row("the same without fsync", write_unflushed, 0);
    for (const auto& p : procs) {
        const double peer = p.key.find("ozi2cmap") != std::string::npos   ? babel_o2c
                            : p.key.find("cmap2ozi") != std::string::npos ? babel_c2o
                                                                          : 0;
        row(p.label + (p.ok ? "" : " (failed)"), median(p.times), peer);
    }
    if (!have_gpsbabel) std::printf("gpsbabel not found at %s, or it failed\n", gpsbabel.c_str());

    auto figure = [](std::string_view key, double ms) {
        const std::string line = "figure " + std::string(key) + " " + marivent::fixed_text(ms, 4);
        std::fputs((line + "\n").c_str(), stdout);
    };
    for (const auto& p : procs)
        figure(p.key, median(p.times));
    figure("inproc_ozi2cmap_ms", mem_o2c);
    figure("inproc_cmap2ozi_ms", mem_c2o);
    figure("inproc_cmap2ozi_wpt_ms", mem_c2o_wpt);
    figure("driver_ozi2cmap_ms", drv_o2c);
    figure("driver_cmap2ozi_ms", drv_c2o);
    figure("replace_file_ms", write_flushed);
    figure("replace_file_without_fsync_ms", write_unflushed);
    std::fprintf(stderr, "(%zu)\n", sink);
    fs::remove_all(dir);
    return 0;
}
