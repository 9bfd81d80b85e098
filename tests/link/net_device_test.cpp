// The network device alone, on loopback: what a TCP server sends, the sentence back, a server
// that closes or refuses, UDP in and back. The test waits as the window's loop does: on the
// descriptor (POSIX) or on the event the device gives (Windows), and never finds it ready when
// nothing waits.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#ifdef _WIN32
// clang-format off
#include <winsock2.h> // before windows.h
#include <windows.h>
// clang-format on
#else
#include <poll.h>
#endif

#include "link/net_device.h"
#include "net_peer.h"

namespace {

using namespace marivent::nmea;
using marivent::testing::TcpServer;
using marivent::testing::UdpSocket;

// True when the device has something to tell within `ms`.
bool ready(const NetDevice& d, int ms) {
#ifdef _WIN32
    return ::WaitForSingleObject(static_cast<HANDLE>(d.wait_handle()), static_cast<DWORD>(ms)) ==
           WAIT_OBJECT_0;
#else
    pollfd p{d.descriptor(), POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
#endif
}

// Reads what comes within `ms` until `enough` bytes or a hang-up.
DeviceInput read_for(NetDevice& d, std::size_t enough, int ms = 5000) {
    DeviceInput all;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (d.is_open() && all.data.size() < enough && std::chrono::steady_clock::now() < end) {
        if (!ready(d, 50)) continue;
        DeviceInput in = d.read();
        all.data += in.data;
        if (in.hung_up) {
            all.hung_up = true;
            all.why = in.why;
        }
    }
    return all;
}

template <class F> bool eventually(F done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

const std::string rmc = "$GPRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*2E\r\n";
const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";

TEST(NetDevice, ATcpServerSendsLinesAndGetsTheSentenceBackThenCloses) {
    TcpServer server;
    NetDevice d;
    ASSERT_TRUE(d.open("tcp://127.0.0.1:" + std::to_string(server.port()), {}, 0));
    ASSERT_TRUE(eventually([&] { return server.accept(); }));
    ASSERT_TRUE(server.send(rmc));
    const DeviceInput in = read_for(d, rmc.size());
    EXPECT_EQ(in.data, rmc);
    EXPECT_FALSE(in.hung_up) << in.why;
    // Everything taken: nothing sets the descriptor or the event until the server speaks again.
    EXPECT_FALSE(ready(d, 200));

    std::size_t sent = 0;
    ASSERT_TRUE(eventually([&] {
        const auto n = d.write(std::string_view(apa).substr(sent));
        if (n) sent += *n;
        return sent == apa.size();
    }));
    std::string back;
    ASSERT_TRUE(eventually([&] { return (back += server.receive()).size() >= apa.size(); }));
    EXPECT_EQ(back, apa);

    server.drop_client();
    const DeviceInput end = read_for(d, 1);
    EXPECT_TRUE(end.hung_up);
    EXPECT_NE(end.why.find("a fermé la connexion"), std::string::npos) << end.why;
    EXPECT_FALSE(d.is_open());
}

TEST(NetDevice, ARefusedConnectionIsAHangUpOfTheFirstRead) {
    int port = 0;
    {
        const TcpServer gone;
        port = gone.port();
    }
    NetDevice d;
    ASSERT_TRUE(d.open("tcp://127.0.0.1:" + std::to_string(port), {}, 0));
    const DeviceInput in = read_for(d, 1, 10000);
    EXPECT_TRUE(in.hung_up);
    EXPECT_NE(in.why.find("connexion refusée"), std::string::npos) << in.why;
    EXPECT_FALSE(d.is_open());
}

TEST(NetDevice, UdpDatagramsInAndTheSentenceBackToTheSender) {
    const UdpSocket gps;
    const int port = marivent::testing::free_udp_port();
    NetDevice d;
    ASSERT_TRUE(d.open("udp://:" + std::to_string(port), {}, 0));
    // Nobody has sent yet: the sentence goes nowhere, and is not kept waiting.
    const auto nowhere = d.write(apa);
    ASSERT_TRUE(nowhere);
    EXPECT_EQ(*nowhere, apa.size());
    ASSERT_TRUE(gps.send_to(port, rmc));
    EXPECT_EQ(read_for(d, rmc.size()).data, rmc);
    const auto n = d.write(apa);
    ASSERT_TRUE(n);
    EXPECT_EQ(*n, apa.size());
    std::string back;
    ASSERT_TRUE(eventually([&] { return (back += gps.receive()).size() >= apa.size(); }));
    EXPECT_EQ(back, apa);

    // The port is this program's now: a second opening is refused, in French.
    NetDevice second;
    const auto refused = second.open("udp://:" + std::to_string(port), {}, 0);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.why().find("déjà utilisé"), std::string::npos) << refused.why();
}

} // namespace
