// What the window tests share: the seams' fakes over a fresh ROOT, a pseudo-terminal standing for
// the GPS, and waiting on the event loop.
#pragma once
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "fakes.h"
#include "journ.h"
#ifndef _WIN32
#include "pty_peer.h" // a pseudo-terminal GPS: POSIX only
#endif
#include "scripted_serial.h"

// These tests find the default chart folders "c:\\..." below their temporary ROOT, as on Linux; on
// Windows those folders are the real drive C: (the rule is tested in paths_test), where a test
// must not write.
#ifdef _WIN32
#define SKIP_WHERE_C_IS_THE_REAL_DRIVE() GTEST_SKIP() << "c:\\ is the real drive on Windows"
#else
#define SKIP_WHERE_C_IS_THE_REAL_DRIVE() static_cast<void>(0)
#endif

namespace marivent::testing {

struct WindowFixture : ::testing::Test {
    TempRoot root;
    FrenchRegional regional;
    ScriptedDialogs dialogs;
    FrozenClock clock;
    RecordingViewer viewer;
    ManualSteadyClock steady;
    ScriptedSerial::State gps_line;  // the GPS of `scripted()`
    app::Printer* printer = nullptr; // Journal > Imprimer's
    app::Services services() {
        return {regional, dialogs, clock, nullptr, &viewer, &steady, printer};
    }
    // A GPS on a scripted device as com1: what it sends is pushed into `gps_line.reads`.
    app::SerialSetup scripted() {
        return {std::make_unique<ScriptedSerial>(gps_line), {"/dev/gps", "", "", ""}};
    }
    // The scripted GPS sends `text`; the window reads it as its event loop would.
    void gps_sends(app::Journ& w, const std::string& text) {
        gps_line.reads.push_back({text, {}, false, "", {}});
        w.MSComm1.readable();
    }
    // The machine's serial ports as the preferences list them: these, never the real ones.
    std::vector<nmea::SerialPortName> machine_ports{
        {"/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_7-if00", "ttyACM0"},
        {"/dev/ttyUSB0", ""}};
    std::unique_ptr<app::Journ>
    open(app::SerialSetup serial = app::posix_serial({"", "", "", ""})) {
        serial.list_ports = [this] { return machine_ports; };
        auto w = std::make_unique<app::Journ>(root.path(), services(), std::move(serial));
        w->show();
        return w;
    }
#ifndef _WIN32
    // The window on the pseudo-terminal GPS `gps`, the link opened as Gps > Debut would.
    std::unique_ptr<app::Journ> open_linked(const GpsSide& gps) {
        auto w = open(app::posix_serial({gps.device, "", "", ""}));
        w->menu("mnugpsdeb")->trigger();
        return w;
    }
#endif
};

// Runs the event loop until `done` or five seconds have passed.
template <class Done> bool wait_for(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Runs the event loop until the window's boxes show what they hold: they catch up once a frame.
inline bool frame_shown(const app::Journ& w) {
    return wait_for([&] { return !w.display_frame.isActive(); });
}

} // namespace marivent::testing
