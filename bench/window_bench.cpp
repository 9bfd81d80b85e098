// The window as a user runs it: the real program (bin/marivent beside this one) in a process of its
// own, drawn through xcb on an Xvfb server of the bench's own, its GPS a pseudo-terminal given with
// --com 1=/dev/pts/N and opened with --connect. The feeder (this process) writes the 10 Hz passage
// of bench/passage_stream.h, each line as a write of its own 1 ms after the one before (as a
// receiver on USB hands a fix over), at real-time pace; only the window's CPU is counted (from
// /proc/PID/stat). Figures only: it never fails on them. Each figure is also printed as a line
// `figure KEY VALUE` for scripts.
//
//   window_bench [--seconds N] [--quick] [--startups N] [--hour-fixes N] [--latency N]
//                [--line-gap-ms N] [--only startup,idle,cpu,hour,latency] [--marivent PATH]
//
// Phases: start-up to the first frame on the screen (median of --startups runs, each from a fresh
// process on the same ROOT after one run not counted); idle with the port closed and with the port
// open (nothing arriving); 1 Hz (one fix a second) and 10 Hz, --seconds each (60 by default,
// 10 with --quick); RSS after the minute at 10 Hz and after an hour of 10 Hz fixes (--hour-fixes,
// 36,000 by default, 6,000 with --quick), the rest of the hour written as fast as the window
// answers; the latency from the carriage return of a line to the last byte of its autopilot
// sentence, measured from this process through the pseudo-terminal (--latency sentences, 1,000 by
// default), as nmea_link_bench does in one process. Without Xvfb the window runs on Qt's offscreen
// platform and the start-up is not measured.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#ifdef MARIVENT_BENCH_X11
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#endif

#include "common/number_text.h"
#include "passage_stream.h"

extern char** environ;

namespace {

using marivent::fixed_text;
using marivent::integer_text;

// ---- Output, time, arguments -------------------------------------------------------------------

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void figure(const std::string& key, double value, int decimals) {
    say("figure " + key + " " + fixed_text(value, decimals));
}

long long now_ns() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

void sleep_until_ns(long long when) {
    timespec t{static_cast<time_t>(when / 1000000000LL), static_cast<long>(when % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

void sleep_ms(long long ms) {
    sleep_until_ns(now_ns() + ms * 1000000LL);
}

std::optional<std::string> arg_text(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::string(argv[i + 1]);
    return std::nullopt;
}

long arg_number(int argc, char** argv, const char* name, long fallback) {
    const std::optional<std::string> t = arg_text(argc, argv, name);
    return t ? std::atol(t->c_str()) : fallback;
}

bool has_flag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// ---- Processes ---------------------------------------------------------------------------------

std::vector<pid_t> children; // ended at exit, whatever happens

void end_process(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        sleep_ms(10);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// The latest first: the window before the X server it draws on.
void end_children() {
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        end_process(*it);
    children.clear();
}

void forget(pid_t pid) {
    children.erase(std::remove(children.begin(), children.end(), pid), children.end());
}

void on_signal(int) {
    for (pid_t p : children)
        ::kill(p, SIGKILL);
    std::_Exit(130);
}

// Starts `argv` with the environment changed by `set` ("NAME=value"; "NAME=" removes NAME), its
// output in `log`. `keep_fd` stays open in the child.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& set,
            const std::string& log, int keep_fd = -1) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(set.begin(), set.end(), [&](const std::string& s) {
            return s.substr(0, s.find('=')) == name;
        });
        if (!replaced) env.push_back(entry);
    }
    for (const std::string& s : set)
        if (s.back() != '=') env.push_back(s);
    std::vector<char*> a, e;
    for (const std::string& s : argv)
        a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    for (const std::string& s : env)
        e.push_back(const_cast<char*>(s.c_str()));
    e.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keep_fd) ::close(fd);
        ::execve(a[0], a.data(), e.data());
        std::_Exit(127);
    }
    if (pid > 0) children.push_back(pid);
    return pid;
}

bool alive(pid_t pid) {
    return ::waitpid(pid, nullptr, WNOHANG) == 0;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// User and system CPU of a process and its threads, in seconds.
double cpu_of(pid_t pid) {
    const std::string stat = read_text("/proc/" + integer_text(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < stat.size()) {
        const std::size_t space = stat.find(' ', at);
        fields.push_back(stat.substr(at, space - at));
        if (space == std::string::npos) break;
        at = space + 1;
    }
    if (fields.size() < 13) return 0;
    // Fields 14 and 15 of the line (utime, stime); the list starts at field 3.
    const double ticks =
        static_cast<double>(std::atoll(fields[11].c_str()) + std::atoll(fields[12].c_str()));
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double rss_mb(pid_t pid) {
    const std::string status = read_text("/proc/" + integer_text(pid) + "/status");
    const std::size_t at = status.find("VmRSS:");
    return at == std::string::npos
               ? 0
               : static_cast<double>(std::atol(status.c_str() + at + 6)) / 1024.0;
}

// True once `pid` has `device` open.
bool holds(pid_t pid, const std::string& device) {
    const std::string folder = "/proc/" + integer_text(pid) + "/fd";
    DIR* d = ::opendir(folder.c_str());
    if (!d) return false;
    bool found = false;
    while (dirent* e = ::readdir(d)) {
        char target[512];
        const ssize_t n = ::readlink((folder + "/" + e->d_name).c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == device) found = true;
    }
    ::closedir(d);
    return found;
}

// ---- The X server ------------------------------------------------------------------------------

struct Screen {
    pid_t xvfb = -1;
    std::string display; // ":77"; empty: offscreen
};

bool executable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

std::string find_program(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= dirs.size()) {
        const std::size_t colon = dirs.find(':', at);
        const std::string dir =
            dirs.substr(at, colon == std::string::npos ? std::string::npos : colon - at);
        if (!dir.empty() && executable(dir + "/" + name)) return dir + "/" + name;
        if (colon == std::string::npos) break;
        at = colon + 1;
    }
    return {};
}

// An Xvfb of our own on the first free display from :77, ready when it writes its number.
Screen start_xvfb(const std::string& log) {
    Screen s;
    const std::string xvfb = find_program("Xvfb");
    if (xvfb.empty()) return s;
    for (int n = 77; n < 120; ++n) {
        const std::string num = integer_text(n);
        struct stat st {};
        if (::stat(("/tmp/.X11-unix/X" + num).c_str(), &st) == 0 ||
            ::stat(("/tmp/.X" + num + "-lock").c_str(), &st) == 0)
            continue;
        int ready[2];
        if (::pipe(ready) != 0) return s;
        const pid_t pid = spawn({xvfb, ":" + num, "-screen", "0", "1280x1024x24", "-nolisten",
                                 "tcp", "-noreset", "-displayfd", integer_text(ready[1])},
                                {}, log, ready[1]);
        ::close(ready[1]);
        pollfd p{ready[0], POLLIN, 0};
        char buf[16] = {};
        const bool up = ::poll(&p, 1, 10000) == 1 && ::read(ready[0], buf, sizeof buf - 1) > 0;
        ::close(ready[0]);
        if (up) {
            s.xvfb = pid;
            s.display = ":" + num;
            return s;
        }
        end_process(pid);
        forget(pid);
    }
    return s;
}

// ---- The window --------------------------------------------------------------------------------

struct Setup {
    std::string marivent;
    Screen screen;
    std::string log;
};

std::vector<std::string> window_env(const Setup& s) {
    if (s.screen.display.empty()) return {"QT_QPA_PLATFORM=offscreen", "MARIVENT_NO_CLOCK=1"};
    return {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + s.screen.display,
            "WAYLAND_DISPLAY=", "MARIVENT_NO_CLOCK=1"};
}

pid_t start_window(const Setup& s, const std::filesystem::path& root, const std::string& device) {
    std::vector<std::string> argv{s.marivent, "--root", root.string(), "--no-clock"};
    if (!device.empty()) {
        argv.push_back("--com");
        argv.push_back("1=" + device);
        argv.push_back("--connect");
    }
    return spawn(argv, window_env(s), s.log);
}

// CPU per minute of `pid` over `seconds` of whatever `during` does (it returns when told to stop).
template <class During>
double cpu_per_minute(pid_t pid, double seconds, During during, double* xvfb_per_minute = nullptr,
                      pid_t xvfb = -1) {
    const double c0 = cpu_of(pid), x0 = xvfb > 0 ? cpu_of(xvfb) : 0;
    const long long t0 = now_ns();
    during(t0 + static_cast<long long>(seconds * 1e9));
    const double wall = static_cast<double>(now_ns() - t0) / 1e9;
    if (xvfb_per_minute) *xvfb_per_minute = xvfb > 0 ? (cpu_of(xvfb) - x0) * 60 / wall : 0;
    return (cpu_of(pid) - c0) * 60 / wall;
}

#ifdef MARIVENT_BENCH_X11
int ignore_x_errors(::Display*, XErrorEvent*) {
    return 0;
} // windows that went away meanwhile

// From the spawn of the program to its top-level window mapped, and to the first drawing in it
// (the first damage the server reports), in milliseconds.
struct FirstFrame {
    double mapped_ms = -1, drawn_ms = -1;
};

FirstFrame first_frame(const Setup& s, const std::filesystem::path& root) {
    FirstFrame f;
    ::Display* dpy = XOpenDisplay(s.screen.display.c_str());
    if (!dpy) return f;
    XSetErrorHandler(ignore_x_errors);
    int damage_event = 0, damage_error = 0;
    const bool damage = XDamageQueryExtension(dpy, &damage_event, &damage_error);
    const Window root_window = DefaultRootWindow(dpy);
    XSelectInput(dpy, root_window, SubstructureNotifyMask);
    XSync(dpy, False);
    const long long t0 = now_ns();
    const pid_t pid = start_window(s, root, "");
    Window shown = 0;
    std::vector<Damage> damages;
    const long long limit = t0 + 20000000000LL;
    while (now_ns() < limit && (f.mapped_ms < 0 || (damage && f.drawn_ms < 0))) {
        if (!XPending(dpy)) {
            pollfd p{ConnectionNumber(dpy), POLLIN, 0};
            ::poll(&p, 1, 50);
            continue;
        }
        XEvent e;
        XNextEvent(dpy, &e);
        const long long t = now_ns();
        if (e.type == CreateNotify && e.xcreatewindow.parent == root_window && damage) {
            damages.push_back(XDamageCreate(dpy, e.xcreatewindow.window, XDamageReportNonEmpty));
        } else if (e.type == MapNotify && e.xmap.event == root_window &&
                   !e.xmap.override_redirect && !shown) {
            shown = e.xmap.window;
            f.mapped_ms = static_cast<double>(t - t0) / 1e6;
        } else if (damage && e.type == damage_event + XDamageNotify) {
            const auto* d = reinterpret_cast<const XDamageNotifyEvent*>(&e);
            XDamageSubtract(dpy, d->damage, None, None);
            if (shown && d->drawable == shown && f.drawn_ms < 0)
                f.drawn_ms = static_cast<double>(t - t0) / 1e6;
        }
    }
    XCloseDisplay(dpy);
    end_process(pid);
    forget(pid);
    return f;
}
#endif

// ---- The GPS side ------------------------------------------------------------------------------

class Gps {
  public:
    bool open() {
        int slave = -1;
        char name[256];
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) return false;
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t); // no echo of what is written before the window sets the port up
        ::tcsetattr(slave, TCSANOW, &t);
        ::close(slave);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        device_ = name;
        return true;
    }
    ~Gps() {
        if (master_ >= 0) ::close(master_);
    }
    const std::string& device() const { return device_; }

    // Writes `text` whole (the window reads it as it comes); the time of the write is the time its
    // last byte (a carriage return and line feed for a whole line) reached the window's side.
    long long write(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(master_, text.data() + done, text.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EAGAIN)
                return now_ns();
            else
                pump(now_ns() + 1000000LL);
        }
        const long long t = now_ns();
        if (expect_reply_) sent_.push_back(t);
        return t;
    }
    // Lines written whose autopilot sentence is awaited (every sound line, once the route is
    // valid).
    void expect_replies(bool on) { expect_reply_ = on; }
    std::size_t outstanding() const { return sent_.size(); }

    // Reads what the window sent until `until` (monotonic ns); each autopilot sentence completed
    // pairs with the oldest line written, giving a latency.
    void pump(long long until) {
        for (;;) {
            char buf[4096];
            ssize_t n;
            while ((n = ::read(master_, buf, sizeof buf)) > 0) {
                const long long t = now_ns();
                for (ssize_t i = 0; i < n; ++i)
                    if (buf[i] == '\n') {
                        ++replies_;
                        if (!sent_.empty()) {
                            latencies_ms.push_back(static_cast<double>(t - sent_.front()) / 1e6);
                            sent_.pop_front();
                        }
                    }
            }
            const long long left = until - now_ns();
            if (left <= 0) return;
            pollfd p{master_, POLLIN, 0};
            const int wait_ms = static_cast<int>(std::min<long long>(left / 1000000LL + 1, 100));
            if (::poll(&p, 1, wait_ms) < 0 && errno != EINTR) return;
            if (p.revents & (POLLHUP | POLLERR)) sleep_ms(1); // no window on the other side yet
        }
    }
    long long replies() const { return replies_; }
    void forget_latencies() {
        latencies_ms.clear();
        sent_.clear();
    }
    std::vector<double> latencies_ms;

  private:
    int master_ = -1;
    std::string device_;
    bool expect_reply_ = false;
    std::deque<long long> sent_;
    long long replies_ = 0;
};

// Writes the lines of `fix`, `gap_ns` apart from `start` on, then reads until `end`.
void feed_fix(Gps& gps, const passage::Fix& fix, long long start, long long gap_ns, long long end) {
    for (std::size_t k = 0; k < fix.lines.size(); ++k) {
        const long long at = start + static_cast<long long>(k) * gap_ns;
        gps.pump(at);
        gps.write(fix.lines[k]);
    }
    gps.pump(end);
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGPIPE, SIG_IGN);
    std::atexit(end_children);

    const bool quick = has_flag(argc, argv, "--quick");
    const double seconds =
        static_cast<double>(arg_number(argc, argv, "--seconds", quick ? 10 : 60));
    const long startups = arg_number(argc, argv, "--startups", quick ? 3 : 9);
    const long hour_fixes = arg_number(argc, argv, "--hour-fixes", quick ? 6000 : 36000);
    const long latency_count = arg_number(argc, argv, "--latency", quick ? 200 : 1000);
    const long long gap_ns = arg_number(argc, argv, "--line-gap-ms", 1) * 1000000LL;
    const std::string only =
        arg_text(argc, argv, "--only").value_or("startup,idle,cpu,hour,latency");
    auto wanted = [&](const char* phase) { return only.find(phase) != std::string::npos; };

    Setup setup;
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const std::filesystem::path here =
        n > 0 ? std::filesystem::path(std::string(self, static_cast<std::size_t>(n))).parent_path()
              : std::filesystem::path(".");
    setup.marivent = arg_text(argc, argv, "--marivent").value_or((here / "marivent").string());
    if (!executable(setup.marivent)) {
        say("window_bench: no program " + setup.marivent +
            " (build the target marivent, or --marivent PATH)");
        return 1;
    }
    char folder_template[] = "/tmp/marivent-window-bench-XXXXXX";
    const std::filesystem::path work = ::mkdtemp(folder_template);
    setup.log = (work / "window.log").string();

    setup.screen = start_xvfb((work / "xvfb.log").string());
    if (setup.screen.display.empty())
        say("Xvfb: not found or would not start; the window runs on Qt's offscreen platform "
            "(nothing is drawn on a screen) and the start-up is not measured");
    else
        say("Xvfb " + setup.screen.display + " (1280x1024x24), the window drawn through xcb");
    say("window: " + setup.marivent +
        "; CPU from /proc/PID/stat (user + system, window process "
        "only); phases of " +
        fixed_text(seconds, 0) + " s");

    const std::filesystem::path root = work / "root";
    std::filesystem::create_directories(root);

    // Start-up: spawn to the first frame drawn on the screen.
    if (wanted("startup")) {
#ifdef MARIVENT_BENCH_X11
        if (!setup.screen.display.empty()) {
            // The first run writes ROOT's files and fills the caches; it is told apart.
            const FirstFrame first = first_frame(setup, root);
            say("start-up, first run (ROOT's files created): window mapped at " +
                fixed_text(first.mapped_ms, 1) + " ms, first drawing at " +
                fixed_text(first.drawn_ms, 1) + " ms");
            std::vector<double> mapped, drawn;
            for (long i = 0; i < startups; ++i) {
                const FirstFrame f = first_frame(setup, root);
                if (f.mapped_ms >= 0) mapped.push_back(f.mapped_ms);
                if (f.drawn_ms >= 0) drawn.push_back(f.drawn_ms);
            }
            say("start-up over " + integer_text(static_cast<long long>(startups)) +
                " runs: spawn to window mapped, median " + fixed_text(median(mapped), 1) +
                " ms; to its first drawing (X damage), median " + fixed_text(median(drawn), 1) +
                " ms (min " +
                fixed_text(drawn.empty() ? 0 : *std::min_element(drawn.begin(), drawn.end()), 1) +
                ", max " +
                fixed_text(drawn.empty() ? 0 : *std::max_element(drawn.begin(), drawn.end()), 1) +
                ")");
            figure("startup_ms", drawn.empty() ? median(mapped) : median(drawn), 1);
            figure("startup_mapped_ms", median(mapped), 1);
        }
#else
        say("start-up: not measured (built without libX11 and libXdamage)");
#endif
    }

    // Idle with the port closed.
    if (wanted("idle")) {
        const pid_t pid = start_window(setup, root, "");
        sleep_ms(3000);
        double xvfb = 0;
        const double cpu = cpu_per_minute(
            pid, seconds, [](long long end) { sleep_until_ns(end); }, &xvfb, setup.screen.xvfb);
        say("idle, port closed: " + fixed_text(cpu, 4) + " s of CPU per minute (X server " +
            fixed_text(xvfb, 4) + ")");
        figure("window_cpu_idle_closed", cpu, 4);
        end_process(pid);
        forget(pid);
    }

    const bool linked = wanted("idle") || wanted("cpu") || wanted("hour") || wanted("latency");
    if (!linked) {
        end_children();
        std::filesystem::remove_all(work);
        return 0;
    }

    Gps gps;
    if (!gps.open()) {
        say("window_bench: no pseudo-terminal");
        return 1;
    }
    const pid_t pid = start_window(setup, root, gps.device());
    say("window pid " + integer_text(pid) + " on " + gps.device());
    {
        const long long limit = now_ns() + 20000000000LL;
        while (!holds(pid, gps.device()) && now_ns() < limit && alive(pid))
            sleep_ms(5);
        if (!holds(pid, gps.device())) {
            say("window_bench: the window did not open " + gps.device() + "; see " + setup.log);
            return 1;
        }
    }
    sleep_ms(3000); // the port set up, the window drawn

    if (wanted("idle")) {
        double xvfb = 0;
        const double cpu = cpu_per_minute(
            pid, seconds, [&](long long end) { gps.pump(end); }, &xvfb, setup.screen.xvfb);
        say("idle, port open, nothing arriving: " + fixed_text(cpu, 4) +
            " s of CPU per minute (X server " + fixed_text(xvfb, 4) + ")");
        figure("window_cpu_idle", cpu, 4);
    }

    // The route becomes valid: from now on every sound line is answered.
    passage::Passage p(passage::sys_days{passage::year{2026} / 6 / 7} + passage::hours{20});
    {
        gps.write("\r\n");
        bool answered = false;
        for (int tries = 0; tries < 10 && !answered; ++tries) {
            const long long before = gps.replies();
            for (const std::string& line : p.next().lines)
                gps.write(line);
            gps.pump(now_ns() + 500000000LL);
            answered = gps.replies() > before;
        }
        if (!answered) {
            say("window_bench: no autopilot sentence came back; see " + setup.log);
            return 1;
        }
        gps.pump(now_ns() + 1000000000LL);
        gps.forget_latencies();
        gps.expect_replies(true);
    }

    long long fixes_10hz = 0;
    if (wanted("cpu")) {
        double xvfb = 0;
        const double cpu1 = cpu_per_minute(
            pid, seconds,
            [&](long long end) {
                for (long long t = now_ns(); t + 1000000000LL <= end + 1000000LL;
                     t += 1000000000LL) {
                    passage::Fix f;
                    for (int i = 0; i < 10; ++i)
                        f = p.next(); // a fix a second along the same passage
                    feed_fix(gps, f, t, gap_ns, t + 1000000000LL);
                }
            },
            &xvfb, setup.screen.xvfb);
        say("1 Hz (5 lines a second): " + fixed_text(cpu1, 4) + " s of CPU per minute (X server " +
            fixed_text(xvfb, 4) + ")");
        figure("window_cpu_1hz", cpu1, 4);

        gps.forget_latencies();
        const double cpu10 = cpu_per_minute(
            pid, seconds,
            [&](long long end) {
                for (long long t = now_ns(); t + 100000000LL <= end + 1000000LL; t += 100000000LL) {
                    feed_fix(gps, p.next(), t, gap_ns, t + 100000000LL);
                    ++fixes_10hz;
                }
            },
            &xvfb, setup.screen.xvfb);
        say("10 Hz (50 lines a second): " + fixed_text(cpu10, 4) +
            " s of CPU per minute (X server " + fixed_text(xvfb, 4) + ")");
        figure("window_cpu_10hz", cpu10, 4);
        say("  line written to its autopilot sentence back, during the 10 Hz passage: median " +
            fixed_text(median(gps.latencies_ms), 3) + " ms, p99 " +
            fixed_text(percentile(gps.latencies_ms, 0.99), 3) + " ms over " +
            integer_text(static_cast<long long>(gps.latencies_ms.size())) + " lines");
        figure("latency_10hz_median_ms", median(gps.latencies_ms), 3);
        figure("latency_10hz_p99_ms", percentile(gps.latencies_ms, 0.99), 3);
        gps.pump(now_ns() + 200000000LL);
        const double rss = rss_mb(pid);
        say("RSS after " + fixed_text(seconds, 0) + " s at 10 Hz: " + fixed_text(rss, 2) + " MB");
        figure("rss_1min_mb", rss, 2);
    }

    if (wanted("hour")) {
        // The rest of the hour's fixes, each as soon as the window has answered all but a few
        // lines.
        const long long rest = std::max<long long>(0, hour_fixes - fixes_10hz);
        const double c0 = cpu_of(pid);
        const long long t0 = now_ns();
        long long last_progress = t0;
        for (long long i = 0; i < rest; ++i) {
            const passage::Fix f = p.next();
            for (const std::string& line : f.lines)
                gps.write(line);
            const long long stall = now_ns() + 10000000000LL;
            while (gps.outstanding() > 20 && now_ns() < stall)
                gps.pump(now_ns() + 1000000LL);
            if (gps.outstanding() > 20) {
                say("window_bench: the window stopped answering during the hour; see " + setup.log);
                return 1;
            }
            if ((i + 1) % 6000 == 0 || now_ns() - last_progress > 60000000000LL) {
                last_progress = now_ns();
                say("  " + integer_text(fixes_10hz + i + 1) + " fixes: RSS " +
                    fixed_text(rss_mb(pid), 2) + " MB");
            }
        }
        gps.pump(now_ns() + 500000000LL);
        const double rss = rss_mb(pid);
        say("RSS after " + integer_text(fixes_10hz + rest) + " fixes at 10 Hz (" +
            fixed_text(static_cast<double>(fixes_10hz + rest) / 36000.0, 2) +
            " h; all but the first " + integer_text(fixes_10hz) +
            " written as fast as the window answered, in " +
            fixed_text(static_cast<double>(now_ns() - t0) / 1e9, 1) + " s, " +
            fixed_text(cpu_of(pid) - c0, 2) + " s of CPU): " + fixed_text(rss, 2) + " MB");
        figure("rss_1h_mb", rss, 2);
    }

    if (wanted("latency")) {
        // As nmea_link_bench: the body of an RMB first, its carriage return and line feed 2 ms
        // later; the time from those to the last byte of the autopilot sentence.
        gps.pump(now_ns() + 300000000LL);
        gps.expect_replies(false);
        gps.forget_latencies();
        std::vector<double> ms;
        for (long i = 0; i < latency_count; ++i) {
            const std::string rmb = p.next().lines[2];
            gps.write(rmb.substr(0, rmb.size() - 2));
            gps.pump(now_ns() + 2000000LL);
            gps.expect_replies(true);
            const long long before = gps.replies();
            gps.write("\r\n");
            gps.expect_replies(false);
            const long long limit = now_ns() + 2000000000LL;
            while (gps.replies() == before && now_ns() < limit)
                gps.pump(now_ns() + 1000000LL);
            gps.pump(now_ns() + 18000000LL);
        }
        ms = gps.latencies_ms;
        say("latency, carriage return in to the last byte of the autopilot sentence out, through "
            "the "
            "pseudo-terminal from this process, " +
            integer_text(static_cast<long long>(ms.size())) + " sentences 20 ms apart: median " +
            fixed_text(median(ms), 3) + " ms, p99 " + fixed_text(percentile(ms, 0.99), 3) +
            " ms, max " + fixed_text(ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()), 3) +
            " ms");
        figure("latency_median_ms", median(ms), 3);
        figure("latency_p99_ms", percentile(ms, 0.99), 3);
    }

    if (!alive(pid)) say("window_bench: the window ended by itself; see " + setup.log);
    end_children();
    std::filesystem::remove_all(work);
    return 0;
}
