// What the window tests share: the seams' fakes over a fresh ROOT, a pseudo-terminal standing for
// the GPS, and waiting on the event loop.
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <unistd.h>

#include "fakes.h"
#include "journ.h"

namespace marivent::testing {

struct WindowFixture : ::testing::Test {
    TempRoot root;
    FrenchRegional regional;
    ScriptedDialogs dialogs;
    FrozenClock clock;
    RecordingViewer viewer;
    app::Services services() { return {regional, dialogs, clock, nullptr, &viewer}; }
    std::unique_ptr<app::Journ> open(app::SerialSetup serial = app::posix_serial({"", "", "", ""})) {
        auto w = std::make_unique<app::Journ>(root.path(), services(), std::move(serial));
        w->show();
        return w;
    }
};

// A pseudo-terminal whose device the window opens; the test is the GPS on the other side.
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
    void send(const std::string& s) const { (void)!::write(master, s.data(), s.size()); }
    std::string receive() const {
        std::string out;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
        return out;
    }
};

// Runs the event loop until `done` or five seconds have passed.
template <class Done> bool wait_for(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

} // namespace marivent::testing
