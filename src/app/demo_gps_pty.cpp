// The demonstration GPS on a pseudo-terminal (POSIX).
#include "demo_gps.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "common/file_io.h"

namespace marivent::app {

void DemoGps::start() {
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
    running_ = true;
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
    heard(std::string_view(buf, static_cast<std::size_t>(n)));
}

} // namespace marivent::app
