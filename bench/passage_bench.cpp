// An accelerated passage through the real window (offscreen) over a pseudo-terminal: a 10 Hz GPS
// (GGA, RMC, RMB, GSA, GSV) steering along a loop of waypoints is written on the GPS side as fast
// as the window answers, with a few damaged lines and device hang-ups mixed in; the journal timer
// is ticked every simulated minute on a clock that follows the passage. Figures only: it never
// fails on them. The window and the feeder run in one process.
//   passage_bench [--minutes N] [--interval N] [--hangup-every N] [--damage-every N]
//                 [--inflight N] [--progress S] [--keep]
#include <QAction>
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "cpu_time.h"
#include "journ.h"
#include "nmea/apa_sentence.h"
#include "passage_stream.h"
#include "prefs/settings_file.h"
#include "qt_seams.h"

using namespace marivent;
using namespace std::chrono;
using passage::Boat;
using passage::Fix;
using passage::RouteFields;

namespace {

long rss_kib() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Counts the messages; keeps only the first one, to show what the user would read.
class RecordingDialogs : public Dialogs {
  public:
    void message(std::string_view t, std::string_view) override {
        if (count++ == 0) first = std::string(t);
    }
    bool ask_yes_no(std::string_view, std::string_view, std::string_view) override { return false; }
    long count = 0;
    std::string first;
};

// Simulated time: tenths of a second since the start of the passage (UTC); the local clock of the
// journal is UTC plus the offset of the settings.
constexpr int local_offset_hours = 2;
const sys_seconds passage_start = sys_days{year{2026} / 6 / 7} + hours{20};
long long sim_tenths = 0;

sys_time<milliseconds> sim_utc() {
    return passage_start + milliseconds{sim_tenths * 100};
}

class PassageClock : public Clock {
  public:
    LocalDateTime now() const override {
        const auto t = floor<seconds>(sim_utc()) + hours{local_offset_hours};
        const auto day = floor<days>(t);
        const year_month_day ymd{day};
        const hh_mm_ss hms{t - day};
        return {{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))},
                int(hms.hours().count()),
                int(hms.minutes().count()),
                int(hms.seconds().count())};
    }
};

Date local_date() {
    return PassageClock().now().date;
}

struct Pending {
    bool damaged;
    std::string apa; // expected reply, empty when none
};

double arg_value(int argc, char** argv, const char* name, double fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == name) return std::atof(argv[i + 1]);
    return fallback;
}

bool has_flag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == name) return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double minutes = arg_value(argc, argv, "--minutes", 10);
    const int interval = static_cast<int>(arg_value(argc, argv, "--interval", 1));
    const long hangup_every = static_cast<long>(arg_value(argc, argv, "--hangup-every", 5)) * 600;
    const long damage_every = static_cast<long>(arg_value(argc, argv, "--damage-every", 3000));
    const std::size_t inflight = static_cast<std::size_t>(arg_value(argc, argv, "--inflight", 8));
    const double progress_every = arg_value(argc, argv, "--progress", 300);

    char root_template[] = "/tmp/marivent-passage-XXXXXX";
    const std::filesystem::path root = ::mkdtemp(root_template);
    const std::filesystem::path link = root / "gps"; // the device the window opens: repointed
    {
        // The settings: an entry every `interval` minutes, local time UTC + 2 h, port com1.
        const prefs::PatchedSettings s =
            prefs::patch_settings("", {std::to_string(interval), std::to_string(local_offset_hours),
                                       "c:\\ozi\\", "c:\\cmap\\", 1});
        std::ofstream(root / "journlog.txt", std::ios::binary) << s.bytes;
    }

    int master = -1;
    auto new_pty = [&]() -> bool {
        int slave = -1;
        char name[256];
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return false;
        ::close(slave);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        const std::filesystem::path tmp = root / "gps.new";
        std::filesystem::remove(tmp);
        std::filesystem::create_symlink(name, tmp);
        std::filesystem::rename(tmp, link);
        return true;
    };
    if (!new_pty()) return 1;

    app::QtRegionalSettings regional;
    RecordingDialogs dialogs;
    PassageClock clock;
    app::Journ w(root, {regional, dialogs, clock}, app::posix_serial({link.string(), "", "", ""}));
    w.show();
    w.show_startup_problems();
    w.Timer1.stop(); // the bench ticks the journal timer on simulated minutes
    w.menu("mnugpsdeb")->trigger();
    if (!w.MSComm1.PortOpen()) {
        std::fprintf(stderr, "the window could not open %s\n", link.c_str());
        return 1;
    }
    // An empty line first: the window's line then starts with the line feed every line has.
    (void)!::write(master, "\r\n", 2);
    QSocketNotifier* notifier = new QSocketNotifier(master, QSocketNotifier::Read);
    QTimer wake; // the watchdog looks at least every 100 ms
    wake.start(100);

    // Counters.
    long long sent = 0, fixes = 0, apa_expected = 0, apa_received = 0, apa_exact = 0;
    long long apa_unexpected = 0, apa_missing = 0, damaged_sent = 0, damaged_resolved = 0;
    long hangups = 0, reopenings = 0, reopen_failures = 0, hangups_unseen = 0;
    long long rejected_closed = 0; // the window's count of the links already closed
    long ticks = 0, entries_expected = 0, date_lines_expected = 1; // the header's date line
    double compteur = interval; // the window's timer count, mirrored
    Date last_entry_date{};
    RouteFields route;
    bool route_valid = false;
    std::deque<Pending> pending;
    std::string rx;
    auto rejected_total = [&] { return rejected_closed + w.nav.rejetees; };

    auto receive = [&] {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) break;
            rx.append(buf, static_cast<std::size_t>(n));
        }
        std::size_t start = 0, end;
        while ((end = rx.find('\n', start)) != std::string::npos) {
            const std::string_view line(rx.data() + start, end + 1 - start);
            start = end + 1;
            // Lines are handled in order: the damaged ones before this reply are done.
            while (!pending.empty() && pending.front().damaged) {
                pending.pop_front();
                ++damaged_resolved;
            }
            if (pending.empty()) {
                ++apa_unexpected;
                continue;
            }
            ++apa_received;
            if (line == pending.front().apa) ++apa_exact;
            pending.pop_front();
        }
        rx.erase(0, start);
        if (rx.size() > 65536) rx.clear();
        while (!pending.empty() && pending.front().damaged && rejected_total() > damaged_resolved) {
            pending.pop_front();
            ++damaged_resolved;
        }
    };
    // Waits for the window's answers until at most `keep` lines are outstanding; a stall of 3 s
    // counts the outstanding replies as missing.
    auto settle = [&](std::size_t keep) {
        auto last = steady_clock::now();
        std::size_t before = pending.size();
        while (pending.size() > keep) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            receive();
            if (pending.size() != before) {
                before = pending.size();
                last = steady_clock::now();
            } else if (steady_clock::now() - last > seconds{3}) {
                for (const Pending& p : pending) {
                    if (p.damaged)
                        ++damaged_resolved;
                    else
                        ++apa_missing;
                }
                pending.clear();
            }
        }
    };
    auto send = [&](const std::string& line, bool damaged, const std::string& apa) {
        settle(inflight - 1);
        std::size_t off = 0;
        while (off < line.size()) {
            const ssize_t n = ::write(master, line.data() + off, line.size() - off);
            if (n > 0)
                off += static_cast<std::size_t>(n);
            else
                settle(0);
        }
        ++sent;
        if (damaged || !apa.empty()) pending.push_back({damaged, apa}); // else no answer comes
        if (!apa.empty()) ++apa_expected;
    };
    auto hang_up = [&] {
        settle(0);
        delete notifier;
        ::close(master);
        ++hangups;
        const auto t0 = steady_clock::now();
        const long said = dialogs.count;
        while ((w.MSComm1.PortOpen() || dialogs.count == said) &&
               steady_clock::now() - t0 < seconds{5})
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (w.MSComm1.PortOpen()) {
            ++hangups_unseen;
            w.menu("mnugpsfin")->trigger();
        }
        // The user plugs the receiver back in and chooses Gps > Debut de Communication.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!new_pty()) continue;
            const long before = w.nav.rejetees; // reset when the link opens
            w.menu("mnugpsdeb")->trigger();
            if (w.MSComm1.PortOpen()) {
                rejected_closed += before;
                ++reopenings;
                break;
            }
            ++reopen_failures;
            ::close(master);
        }
        notifier = new QSocketNotifier(master, QSocketNotifier::Read);
    };

    Boat boat;
    const long rss_start = rss_kib();
    const double cpu_start = cpu_seconds();
    const auto wall_start = steady_clock::now();
    const auto wall_end =
        wall_start + duration_cast<steady_clock::duration>(duration<double>(minutes * 60));
    auto next_progress =
        wall_start + duration_cast<steady_clock::duration>(duration<double>(progress_every));
    long kind = 0;

    while (steady_clock::now() < wall_end) {
        const Fix f = passage::make_fix(boat, fixes, sim_utc());
        for (std::size_t i = 0; i < f.lines.size(); ++i) {
            if (i == 2) {
                route = f.route;
                route.apa = nmea::apa_sentence(route.xte, route.side, route.bearing, route.dest);
                route_valid = true;
            }
            send(f.lines[i], false, route_valid ? route.apa : std::string());
            if (sent % damage_every == 0) {
                send(passage::damage(f, kind++), true, {});
                ++damaged_sent;
            }
        }
        ++fixes;
        ++sim_tenths;
        boat.step(static_cast<double>(sim_tenths) / 10);
        if (fixes % 600 == 0) {
            ++ticks;
            const bool attempt = compteur == interval;
            if (attempt) compteur = 0;
            compteur += 1;
            if (attempt && route_valid) {
                ++entries_expected;
                if (local_date() != last_entry_date) ++date_lines_expected;
                last_entry_date = local_date();
            }
            w.Timer1_Timer();
        }
        if (hangup_every > 0 && fixes % hangup_every == 0) hang_up();
        if (progress_every > 0 && steady_clock::now() >= next_progress) {
            next_progress +=
                duration_cast<steady_clock::duration>(duration<double>(progress_every));
            std::fprintf(stderr,
                         "progress: %.0f s, %lld sentences, %.2f simulated hours, RSS %ld KiB\n",
                         duration<double>(steady_clock::now() - wall_start).count(), sent,
                         double(fixes) / 36000, rss_kib());
        }
    }
    settle(0);
    receive();
    const double wall = duration<double>(steady_clock::now() - wall_start).count();
    const double cpu = cpu_seconds() - cpu_start;
    const long rss_end = rss_kib();
    const double sim_hours = double(fixes) / 36000;

    long entry_lines = 0, date_lines = 0;
    {
        std::ifstream in(root / "journal.txt", std::ios::binary);
        std::string line;
        auto digit = [](char c) { return c >= '0' && c <= '9'; };
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() >= 6 && digit(line[0]) && digit(line[1]) && line[2] == ':' &&
                digit(line[3]) && digit(line[4]) && line[5] == ' ')
                ++entry_lines;
            else if (regional.parse_short_date(line))
                ++date_lines;
        }
    }

    std::printf("wall time: %.1f s; simulated time covered: %.3f h (%lld fixes at 10 Hz, x%.0f)\n",
                wall, sim_hours, fixes, sim_hours * 3600 / wall);
    std::printf("sentences sent: %lld (%.0f per second), damaged among them: %lld\n", sent,
                double(sent) / wall, damaged_sent);
    std::printf(
        "autopilot sentences expected: %lld, received: %lld, byte-exact: %lld, missing: %lld, "
        "unexpected: %lld\n",
        apa_expected, apa_received, apa_exact, apa_missing, apa_unexpected);
    std::printf("rejected lines counted by the window: %lld, damaged lines sent: %lld\n",
                rejected_total(), damaged_sent);
    std::printf("hang-ups sent: %ld, seen by the window (link closed, user told): %ld, messages to "
                "the user: %ld, reopenings: %ld, failed reopenings: %ld\n",
                hangups, hangups - hangups_unseen, dialogs.count, reopenings, reopen_failures);
    std::printf("waypoint changes: %ld\n", boat.waypoint_changes);
    std::printf("RSS (window and feeder in one process): start %ld KiB, end %ld KiB\n", rss_start,
                rss_end);
    std::printf("CPU: %.2f s in all, %.2f s per simulated hour\n", cpu,
                sim_hours > 0 ? cpu / sim_hours : 0.0);
    std::printf("journal timer ticks: %ld (interval %d min); entries expected: %ld, written: %ld; "
                "date lines expected: %ld, written: %ld\n",
                ticks, interval, entries_expected, entry_lines, date_lines_expected, date_lines);
    if (!dialogs.first.empty())
        std::printf("first message to the user: %s\n", dialogs.first.c_str());
    std::fflush(stdout);
    delete notifier;
    ::close(master);
    if (!has_flag(argc, argv, "--keep"))
        std::filesystem::remove_all(root);
    else
        std::printf("kept: %s\n", root.c_str());
    return 0;
}
