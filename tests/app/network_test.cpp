// The window on the boat's network: a TCP server and UDP datagrams on loopback stand for the GPS,
// the autopilot sentence goes back byte for byte, a server that goes away is tried again.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include "link/net_device.h"
#include "net_peer.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::testing::TcpServer;
using marivent::testing::UdpSocket;
using marivent::testing::wait_for;

const std::string rmb = "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n";
const std::string rmc = "$GPRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*2E\r\n";
const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";

// Lets the window run for a while.
void run_for(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct NetworkTest : marivent::testing::WindowFixture {
    std::unique_ptr<app::Journ> on(const std::string& device) {
        auto w = open(app::posix_serial({device, "", "", ""}));
        w->retry_interval_ms = 200;
        return w;
    }
    static QString status(app::Journ& w) { return w.findChild<QLabel*>("statut")->text(); }
};

TEST_F(NetworkTest, ATcpServerFeedsTheDisplayAndGetsTheAutopilotSentenceBack) {
    TcpServer server;
    const std::string device = "tcp://127.0.0.1:" + std::to_string(server.port());
    auto w = on(device);
    EXPECT_EQ(status(*w), "Liaison fermée");
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    ASSERT_TRUE(wait_for([&] { return server.accept(); }));
    ASSERT_TRUE(server.send("\r\n" + rmb + rmc));
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += server.receive()).size() >= 2 * apa.size(); }));
    EXPECT_EQ(back, apa + apa);
    ASSERT_TRUE(marivent::testing::frame_shown(*w));
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control("vi"))->text(), "5,2");
    w->show_status();
    EXPECT_TRUE(status(*w).startsWith(QString::fromStdString("Liaison ouverte : com1, " + device)))
        << status(*w).toStdString();
    EXPECT_NE(status(*w).indexOf("3 lignes reçues, 0 rejetées"), -1) << status(*w).toStdString();
    EXPECT_NE(status(*w).indexOf("au pilote à 14:35:00"), -1) << status(*w).toStdString();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(NetworkTest, AServerThatGoesAwayIsToldOnceAndTriedAgainUntilItComesBack) {
    auto server = std::make_unique<TcpServer>();
    const int port = server->port();
    auto w = on("tcp://127.0.0.1:" + std::to_string(port));
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(wait_for([&] { return server->accept(); }));
    ASSERT_TRUE(server->send("\r\n" + rmb));
    std::string first;
    ASSERT_TRUE(wait_for([&] { return (first += server->receive()) == apa; }));

    server->stop(); // closed, and refusing from now on
    ASSERT_TRUE(wait_for([&] { return !dialogs.messages.empty(); }));
    EXPECT_NE(dialogs.messages[0].text.find("a fermé la connexion"), std::string::npos)
        << dialogs.messages[0].text;
    EXPECT_NE(dialogs.messages[0].text.find("réessaie"), std::string::npos);
    // Several tries are refused meanwhile; the user sees it in the status line, not in boxes.
    ASSERT_TRUE(wait_for([&] { return status(*w).contains("connexion refusée"); }))
        << status(*w).toStdString();
    EXPECT_TRUE(status(*w).startsWith("Liaison coupée")) << status(*w).toStdString();
    EXPECT_EQ(dialogs.messages.size(), 1u);

    server = std::make_unique<TcpServer>(port); // it comes back
    ASSERT_TRUE(wait_for([&] { return server->accept(); }));
    ASSERT_TRUE(server->send("\r\n" + rmb));
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += server->receive()).size() >= apa.size(); }));
    EXPECT_EQ(back, apa);
    w->show_status();
    EXPECT_TRUE(status(*w).startsWith("Liaison ouverte")) << status(*w).toStdString();
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Fin de Communication stops the tries.
    server->stop();
    ASSERT_TRUE(wait_for([&] { return status(*w).startsWith("Liaison coupée"); }));
    w->menu("mnugpsfin")->trigger();
    EXPECT_EQ(status(*w), "Liaison fermée");
    server = std::make_unique<TcpServer>(port);
    run_for(1000); // five retry intervals
    EXPECT_FALSE(server->accept());
}

TEST_F(NetworkTest, UdpDatagramsInAndTheSentenceToTheGivenAddressOrTheSender) {
    const UdpSocket gps, autopilot;
    const int port = marivent::testing::free_udp_port();
    auto w =
        on("udp://:" + std::to_string(port) + ">127.0.0.1:" + std::to_string(autopilot.port()));
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    ASSERT_TRUE(gps.send_to(port, "\r\n" + rmb));
    ASSERT_TRUE(gps.send_to(port, rmc));
    std::string back;
    ASSERT_TRUE(wait_for([&] { return (back += autopilot.receive()).size() >= 2 * apa.size(); }));
    EXPECT_EQ(back, apa + apa);
    EXPECT_TRUE(gps.receive().empty());

    // Without an address, the sentence goes back to where the last datagram came from; a
    // datagram of 64 KiB of noise changes nothing and costs nothing.
    w->menu("mnugpsfin")->trigger();
    auto w2 = on("udp://:" + std::to_string(port));
    w.reset();
    w2->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w2->MSComm1.PortOpen());
    std::string noise(65000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 131) % 251 + 1);
    ASSERT_TRUE(gps.send_to(port, noise));
    ASSERT_TRUE(gps.send_to(port, "\r\n" + rmb));
    back.clear();
    ASSERT_TRUE(wait_for([&] { return (back += gps.receive()).size() >= apa.size(); }));
    EXPECT_EQ(back, apa);
    EXPECT_LE(w2->nav.trame.size(), nmea::trame_limit);
}

TEST_F(NetworkTest, BadAddressesAndABusyPortAreToldAndTheWindowGoesOn) {
    const UdpSocket taken;
    for (const std::string& device :
         {std::string("tcp://127.0.0.1"), std::string("udp://:99999"), std::string("tcp://:10110"),
          "udp://:" + std::to_string(taken.port())}) {
        dialogs.messages.clear();
        auto w = on(device);
        w->menu("mnugpsdeb")->trigger();
        EXPECT_FALSE(w->MSComm1.PortOpen()) << device;
        ASSERT_EQ(dialogs.messages.size(), 1u) << device;
        EXPECT_NE(dialogs.messages[0].text.find("ne peut pas être ouverte"), std::string::npos);
        EXPECT_EQ(status(*w), "Liaison fermée");
    }
    const auto bad = nmea::parse_net_address("udp://:10110>");
    EXPECT_FALSE(bad);
    EXPECT_NE(bad.why().find("udp://"), std::string::npos);
    const auto ok = nmea::parse_net_address("udp://:10110>[::1]:2000");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->reply_host, "::1");
    EXPECT_EQ(ok->reply_port, 2000);
}

} // namespace
