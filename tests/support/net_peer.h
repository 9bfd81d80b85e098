// Network peers on loopback for the link tests: a TCP server standing for a multiplexer, and UDP
// sockets standing for a data server's broadcast and for the autopilot's listener.
#pragma once
#include <cstdint>
#include <string>
#ifdef _WIN32
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace marivent::testing {

#ifdef _WIN32
// The few POSIX socket calls the peers make, on Winsock (the network device has started it; the
// peers start it too, for a test that makes them first).
using socklen_t = int;
using ssize_t = long long;
inline constexpr int MSG_NOSIGNAL = 0;
inline int socket_of(SOCKET s) {
    return static_cast<int>(s);
}
inline int open_socket(int type) {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
    const SOCKET s = ::socket(AF_INET, type, 0);
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
    return s == INVALID_SOCKET ? -1 : socket_of(s);
}
inline int accept_client(int listener) {
    const SOCKET s = ::accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET) return -1;
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
    return socket_of(s);
}
inline void close_socket(int fd) {
    ::closesocket(static_cast<SOCKET>(fd));
}
inline int length_of(const std::string& s) {
    return static_cast<int>(s.size());
}
#else
inline int open_socket(int type) {
    return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}
inline int accept_client(int listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}
inline void close_socket(int fd) {
    ::close(fd);
}
inline std::size_t length_of(const std::string& s) {
    return s.size();
}
#endif

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
        listener_ = open_socket(SOCK_STREAM);
#ifndef _WIN32 // there, it would let two servers share the port
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
        const sockaddr_in a = loopback(port);
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        ::listen(listener_, 4);
        port_ = bound_port(listener_);
    }
    int port() const {
        return port_;
    }
    // True once a client is connected.
    bool accept() {
        if (client_ >= 0) return true;
        client_ = accept_client(listener_);
        return client_ >= 0;
    }
    bool send(const std::string& s) const {
        return ::send(client_, s.data(), length_of(s), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(s.size());
    }
    std::string receive() const {
        return client_ >= 0 ? drain(client_) : std::string();
    }
    void drop_client() {
        if (client_ >= 0) close_socket(client_);
        client_ = -1;
    }
    // The server goes away altogether: connections are refused until it listens again.
    void stop() {
        drop_client();
        if (listener_ >= 0) close_socket(listener_);
        listener_ = -1;
    }

  private:
    int listener_ = -1, client_ = -1, port_ = 0;
};

class UdpSocket {
  public:
    UdpSocket() {
        fd_ = open_socket(SOCK_DGRAM);
        const sockaddr_in a = loopback(0);
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    }
    ~UdpSocket() { close_socket(fd_); }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    int port() const { return bound_port(fd_); }
    bool send_to(int port, const std::string& s) const {
        const sockaddr_in a = loopback(port);
        return ::sendto(fd_, s.data(), length_of(s), 0, reinterpret_cast<const sockaddr*>(&a),
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
