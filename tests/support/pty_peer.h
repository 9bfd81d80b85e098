// A pseudo-terminal whose device the program opens; the test is the peer on the other side.
#pragma once
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <unistd.h>

namespace marivent::testing {

struct GpsSide {
    int master = -1;
    std::string device;
    GpsSide() {
        int slave = -1;
        char n[256];
        if (::openpty(&master, &slave, n, nullptr, nullptr) != 0) return;
        ::close(slave);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        device = n;
    }
    ~GpsSide() {
        if (master >= 0) ::close(master);
    }
    GpsSide(const GpsSide&) = delete;
    GpsSide& operator=(const GpsSide&) = delete;
    // True when the whole text went out.
    bool send(const std::string& s) const {
        return ::write(master, s.data(), s.size()) == static_cast<ssize_t>(s.size());
    }
    std::string receive() const {
        std::string out;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0)
            out.append(buf, static_cast<std::size_t>(n));
        return out;
    }
};

} // namespace marivent::testing
