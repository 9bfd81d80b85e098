// The GPS link on real pseudo-terminals: what the other side writes comes back as autopilot bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include "fakes.h"
#include "link/posix_serial.h"
#include "nmea/gps_link.h"
#include "pty_peer.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;
using marivent::testing::MapDisplay;

const std::string rmb = "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n";
const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";

using Pty = marivent::testing::GpsSide;

struct PtyLink : ::testing::Test {
    Pty pty;
    MapDisplay display;
    Navigation nav;
    std::unique_ptr<CommControl> port;
    std::unique_ptr<LinkContext> link;
    std::string hung_up;
    void SetUp() override {
        ASSERT_FALSE(pty.device.empty());
        port = std::make_unique<CommControl>(std::make_unique<PosixSerialDevice>(),
                                             PortDevices{pty.device, "/nonexistent/tty", "", ""});
        link = std::make_unique<LinkContext>(
            LinkContext{*port, nav, {display, ',', "", nullptr, false}, 0, {}});
        port->OnComm = [this] { MSComm1_OnComm(*link); };
        port->on_hung_up = [this](const std::string& why) { hung_up = why; };
    }
    // Runs the event loop's part until `done` or a second has passed.
    template <class Done> void run_until(Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done() && std::chrono::steady_clock::now() < end) {
            pollfd p{port->descriptor(), POLLIN, 0};
            if (p.fd < 0) break;
            if (::poll(&p, 1, 20) > 0) port->readable();
        }
    }
};

TEST_F(PtyLink, WholeLinesFragmentsAndBurstsComeBackAsAutopilotBytes) {
    ASSERT_TRUE(mnugpsdeb_Click(*port));
    ASSERT_TRUE(pty.send("junk\r\n" + rmb));
    std::string back;
    run_until([&] { return (back += pty.receive()).size() >= apa.size(); });
    EXPECT_EQ(back, apa);

    // A line in fragments.
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    back.clear();
    for (std::size_t i = 0; i < gga.size(); i += 7) {
        ASSERT_TRUE(pty.send(gga.substr(i, 7)));
        run_until([&] { return port->InBufferCount() == 0; });
        ::usleep(2000);
        port->readable();
    }
    run_until([&] { return (back += pty.receive()).size() >= apa.size(); });
    EXPECT_EQ(back, apa);
    EXPECT_EQ(nav.latitude, "4807.038");

    // Two lines in one burst.
    back.clear();
    ASSERT_TRUE(pty.send(gga + rmb));
    run_until([&] { return (back += pty.receive()).size() >= 2 * apa.size(); });
    EXPECT_EQ(back, apa + apa);
}

TEST_F(PtyLink, ByteFFSurvivesTheErrorMarks) {
    ASSERT_TRUE(mnugpsdeb_Click(*port));
    ASSERT_TRUE(pty.send("\r\n$GPRMB,A,1,L,2,\xFF\xE9,,,,,3,4,5*60\r"));
    run_until([&] { return !display.text(Box::Text2).empty(); });
    EXPECT_EQ(nav.wptarrivee, "\xFF\xE9");
}

TEST_F(PtyLink, AHangUpClosesTheLinkWithoutSpinning) {
    ASSERT_TRUE(mnugpsdeb_Click(*port));
    ::close(pty.master); // the receiver is pulled out
    pty.master = -1;
    int reads = 0;
    run_until([&] {
        ++reads;
        return !port->PortOpen();
    });
    EXPECT_FALSE(port->PortOpen());
    EXPECT_FALSE(hung_up.empty());
    EXPECT_LT(reads, 10);
}

TEST_F(PtyLink, AMissingDeviceIsNamedAndTheLinkStaysClosed) {
    port->CommPort = 2;
    const Status r = mnugpsdeb_Click(*port);
    EXPECT_FALSE(r);
    EXPECT_NE(r.why().find("/nonexistent/tty"), std::string::npos);
    EXPECT_NE(r.why().find("n'existe pas"), std::string::npos);
    EXPECT_FALSE(port->PortOpen());
}

TEST_F(PtyLink, ADeviceHeldByAnotherProgramIsBusy) {
    ASSERT_TRUE(mnugpsdeb_Click(*port));
    CommControl other(std::make_unique<PosixSerialDevice>(), {pty.device, "", "", ""});
    const Status r = mnugpsdeb_Click(other);
    EXPECT_FALSE(r);
    EXPECT_NE(r.why().find("déjà utilisé"), std::string::npos);
}

} // namespace
