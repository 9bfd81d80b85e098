// NMEA over the boat's network, behind the serial device seam, so the link, the decoder, the
// journal, the simulator and the capture work unchanged on it:
//   tcp://HOST:PORT           a TCP server (multiplexer, boat data server, chart program); the
//                             autopilot sentence goes back on the same connection;
//   udp://:PORT               datagrams received on PORT (each one or more lines); the autopilot
//                             sentence goes to the address the last datagram came from;
//   udp://:PORT>HOST:PORT2    the same, the autopilot sentence goes to HOST:PORT2.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#ifndef _WIN32
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include "link/serial_device.h"

namespace marivent::nmea {

struct NetAddress {
    enum class Kind { tcp, udp } kind = Kind::tcp;
    std::string host;       // the server (tcp), empty for udp
    int port = 0;           // the server's port (tcp) or the port listened on (udp)
    std::string reply_host; // udp: where the autopilot sentence goes, empty for the last sender
    int reply_port = 0;
};

// Whether a port's device names a network source ("tcp://" or "udp://").
bool is_network(std::string_view device);

// The address of a network device text, or the French reason it is not one.
Result<NetAddress> parse_net_address(std::string_view device);

// "HOST:PORT" as messages name a server, an IPv6 address in brackets.
std::string net_place(const std::string& host, int port);

class NetDevice : public SerialDevice {
  public:
    ~NetDevice() override;
    // Line settings and the parity replacement mean nothing on a network and are ignored. A TCP
    // connection is started without waiting: a refusal comes as a hang-up of the first read.
    Status open(const std::string& path, const LineSettings& settings,
                char parity_replace) override;
    void close() override;
#ifdef _WIN32
    bool is_open() const override {
        return socket_ != no_socket;
    }
    int descriptor() const override {
        return -1;
    }
    // The socket's event (WSAEventSelect): set on data, room to write, the connection's outcome
    // and its end.
    void* wait_handle() const override {
        return event_;
    }
#else
    bool is_open() const override {
        return fd_ >= 0;
    }
    int descriptor() const override {
        return fd_;
    }
#endif
    // Reads at most `read_limit` bytes a call, so a server that floods never holds the window.
    DeviceInput read() override;
    Result<std::size_t> write(std::string_view bytes) override;

    static constexpr std::size_t read_limit = 1 << 16;

  private:
    NetAddress address_;
#ifdef _WIN32
    // Winsock's SOCKET and WSAEVENT, and a sockaddr_storage, without <winsock2.h> here.
    static constexpr std::uintptr_t no_socket = ~std::uintptr_t{0};
    std::uintptr_t socket_ = no_socket;
    void* event_ = nullptr;
    alignas(8) unsigned char peer_[128]{}; // udp: where replies go
    int peer_length_ = 0;                  // 0: nobody to reply to yet
    bool connected_ = false;               // tcp: the connection is established
#else
    int fd_ = -1;
    sockaddr_storage peer_{};   // udp: where replies go
    socklen_t peer_length_ = 0; // 0: nobody to reply to yet
#endif
    bool fixed_peer_ = false; // udp: the reply address was given
};

} // namespace marivent::nmea
