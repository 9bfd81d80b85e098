#include "demo_gps.h"

#include "common/paths.h"
#include "prefs/preferences.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "common/file_io.h"

namespace marivent::app {

DemoGps::DemoGps(const std::string& recording, QObject* parent) : QObject(parent) {
    const Result<std::string> bytes = read_file(recording);
    if (!bytes) {
        error_ = "enregistrement " + recording + " illisible (" + bytes.why() + ")";
        return;
    }
    // One second of the recording ends at each GGA's second: a new second starts at each GGA.
    std::string line;
    for (char c : *bytes) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.empty() || line[0] != '$') {
            line.clear();
            continue;
        }
        if (line.compare(0, 6, "$GPGGA") == 0 || seconds_.empty()) seconds_.emplace_back();
        seconds_.back() += line + "\r\n";
        line.clear();
    }
    if (seconds_.empty()) {
        error_ = "enregistrement " + recording + " vide";
        return;
    }
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        error_ = "pseudo-terminal impossible (" + error_text(errno) + ")";
        master_ = -1;
        return;
    }
    // A raw line: the terminal echoes nothing back to the GPS side.
    termios raw{};
    if (::tcgetattr(slave_, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    device_ = name;
    readable_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readable_, &QSocketNotifier::activated, this, &DemoGps::read_back);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &DemoGps::tick);
    timer_.start();
}

DemoGps::~DemoGps() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

void DemoGps::tick() {
    const std::string& second = seconds_[next_];
    next_ = (next_ + 1) % seconds_.size();
    // What the terminal cannot take (the window has the link closed) is dropped, as on a wire.
    tcflush(slave_, TCIFLUSH);
    [[maybe_unused]] const ssize_t n = ::write(master_, second.data(), second.size());
}

void DemoGps::read_back() {
    char buf[1024];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) return;
    from_window_.append(buf, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = from_window_.find("\r\n")) != std::string::npos) {
        std::fputs(("au pilote : " + from_window_.substr(0, end) + "\n").c_str(), stdout);
        std::fflush(stdout);
        from_window_.erase(0, end + 2);
    }
    if (from_window_.size() > 4096) from_window_.clear();
}

std::vector<std::string> prepare_demo_folders(const std::filesystem::path& root,
                                              const std::filesystem::path& route) {
    namespace fs = std::filesystem;
    std::vector<std::string> done;
    const fs::path ozi = native_path(root, prefs::default_ozi_folder);
    const fs::path cmap = native_path(root, prefs::default_cmap_folder);
    std::error_code ec;
    for (const fs::path& folder : {ozi, cmap})
        if (!fs::exists(folder, ec) && fs::create_directories(folder, ec))
            done.push_back("dossier créé : " + display_path(folder));
    bool has_route = false;
    for (const auto& entry : fs::directory_iterator(ozi, ec))
        has_route = has_route || entry.path().extension() == ".rte";
    const fs::path copy = ozi / route.filename();
    if (!has_route && fs::copy_file(route, copy, ec))
        done.push_back("route d'exemple : " + display_path(copy));
    return done;
}

} // namespace marivent::app
