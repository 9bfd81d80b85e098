// The demonstration GPS on Windows: a TCP server on loopback. Each second goes to every
// connection of the window; what the window sends back is read at the same pace. Sockets are
// non-blocking: what a connection cannot take at once is dropped, as on a wire.
#include "demo_gps.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include "common/number_text.h"
#include "common/win32_error.h"

namespace marivent::app {

namespace {

void non_blocking(SOCKET s) {
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
}

std::string socket_error() {
    return win32_error_text(static_cast<unsigned long>(::WSAGetLastError()));
}

} // namespace

void DemoGps::start() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        error_ = "réseau indisponible (Winsock)";
        return;
    }
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error_ = "serveur de démonstration impossible (" + socket_error() + ")";
        return;
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0; // a port the system gives
    int length = sizeof a;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 4) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
        error_ = "serveur de démonstration impossible (" + socket_error() + ")";
        ::closesocket(s);
        return;
    }
    non_blocking(s);
    listener_ = static_cast<std::uintptr_t>(s);
    device_ = "tcp://127.0.0.1:" + integer_text(ntohs(a.sin_port));
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &DemoGps::tick);
    timer_.start();
    running_ = true;
}

DemoGps::~DemoGps() {
    for (std::uintptr_t c : clients_)
        ::closesocket(static_cast<SOCKET>(c));
    if (listener_ != ~std::uintptr_t{0}) {
        ::closesocket(static_cast<SOCKET>(listener_));
        ::WSACleanup();
    }
}

void DemoGps::tick() {
    for (;;) {
        const SOCKET c = ::accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (c == INVALID_SOCKET) break;
        non_blocking(c);
        clients_.push_back(static_cast<std::uintptr_t>(c));
    }
    read_back();
    const std::string& second = seconds_[next_];
    next_ = (next_ + 1) % seconds_.size();
    std::erase_if(clients_, [&](std::uintptr_t c) {
        const int n =
            ::send(static_cast<SOCKET>(c), second.data(), static_cast<int>(second.size()), 0);
        if (n >= 0 || ::WSAGetLastError() == WSAEWOULDBLOCK) return false;
        ::closesocket(static_cast<SOCKET>(c)); // the window closed the link
        return true;
    });
}

void DemoGps::read_back() {
    char buf[1024];
    std::erase_if(clients_, [&](std::uintptr_t c) {
        for (;;) {
            const int n = ::recv(static_cast<SOCKET>(c), buf, sizeof buf, 0);
            if (n > 0) {
                heard(std::string_view(buf, static_cast<std::size_t>(n)));
                continue;
            }
            if (n < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK) return false;
            ::closesocket(static_cast<SOCKET>(c)); // closed by the window, or broken
            return true;
        }
    });
}

} // namespace marivent::app
