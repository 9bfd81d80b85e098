// Network peers on loopback for the link tests: a TCP server standing for a multiplexer, and UDP
// sockets standing for a data server's broadcast and for the autopilot's listener.
#pragma once
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace marivent::testing {

inline sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

inline int bound_port(int fd) {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    return ntohs(a.sin_port);
}

// Reads what waits on a non-blocking descriptor.
inline std::string drain(int fd) {
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0)
        out.append(buf, static_cast<std::size_t>(n));
    return out;
}

class TcpServer {
  public:
    explicit TcpServer(int port = 0) { listen_on(port); }
    ~TcpServer() { stop(); }
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    void listen_on(int port) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        const sockaddr_in a = loopback(port);
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        ::listen(listener_, 4);
        port_ = bound_port(listener_);
    }
    int port() const { return port_; }
    // True once a client is connected.
    bool accept() {
        if (client_ >= 0) return true;
        client_ = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        return client_ >= 0;
    }
    bool send(const std::string& s) const {
        return ::send(client_, s.data(), s.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(s.size());
    }
    std::string receive() const { return client_ >= 0 ? drain(client_) : std::string(); }
    void drop_client() {
        if (client_ >= 0) ::close(client_);
        client_ = -1;
    }
    // The server goes away altogether: connections are refused until it listens again.
    void stop() {
        drop_client();
        if (listener_ >= 0) ::close(listener_);
        listener_ = -1;
    }

  private:
    int listener_ = -1, client_ = -1, port_ = 0;
};

class UdpSocket {
  public:
    UdpSocket() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const sockaddr_in a = loopback(0);
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    }
    ~UdpSocket() { ::close(fd_); }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    int port() const { return bound_port(fd_); }
    bool send_to(int port, const std::string& s) const {
        const sockaddr_in a = loopback(port);
        return ::sendto(fd_, s.data(), s.size(), 0, reinterpret_cast<const sockaddr*>(&a),
                        sizeof a) == static_cast<ssize_t>(s.size());
    }
    std::string receive() const { return drain(fd_); }

  private:
    int fd_ = -1;
};

// A UDP port free at the moment of asking.
inline int free_udp_port() {
    const UdpSocket probe;
    return probe.port();
}

} // namespace marivent::testing
