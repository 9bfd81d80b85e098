// The network device (net_device.h) on Winsock: non-blocking sockets whose events (data, room to
// write, the connection's outcome, its end) set one WSAEVENT the event loop waits on.
#include "link/net_device.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <mswsock.h>
// clang-format on

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/number_text.h"
#include "common/win32_error.h"

namespace marivent::nmea {

namespace {

static_assert(sizeof(sockaddr_storage) <= 128, "NetDevice::peer_ holds a sockaddr_storage");

// Winsock is started once, for the life of the program.
bool winsock_started() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

std::string net_error(int e, const std::string& place) {
    switch (e) {
    case WSAECONNREFUSED:
        return "connexion refusée par " + place + " (le serveur est-il lancé ?)";
    case WSAECONNRESET:
    case WSAECONNABORTED:
        return "connexion interrompue par " + place;
    case WSAETIMEDOUT:
        return place + " ne répond pas";
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAENETDOWN:
        return place + " est injoignable (réseau du bord coupé ?)";
    case WSAEADDRINUSE:
        return "le port " + place + " est déjà utilisé par un autre programme";
    case WSAEACCES:
        return "accès refusé au port " + place;
    default:
        return place + " : " + win32_error_text(static_cast<unsigned long>(e));
    }
}

// The addresses of a host (freed by the caller), or the French reason there are none.
Result<addrinfo*> resolve(const std::string& host, int port, int type) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = type;
    if (host.empty()) hints.ai_flags = AI_PASSIVE; // listening on every address of the computer
    addrinfo* found = nullptr;
    const std::string service = integer_text(port);
    const int r =
        ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found);
    if (r != 0 || !found) return failure("l'hôte « " + host + " » est introuvable");
    return found;
}

SOCKET as_socket(std::uintptr_t s) {
    return static_cast<SOCKET>(s);
}

} // namespace

NetDevice::~NetDevice() {
    close();
    if (event_) ::WSACloseEvent(static_cast<WSAEVENT>(event_));
}

Status NetDevice::open(const std::string& path, const LineSettings&, char) {
    close();
    const Result<NetAddress> address = parse_net_address(path);
    if (!address) return failure(address.why());
    address_ = *address;
    if (!winsock_started()) return failure("réseau indisponible (Winsock)");
    // Kept for the device's life, so a loop still waiting on it after a close waits on a handle
    // that exists.
    if (!event_) event_ = ::WSACreateEvent();
    if (event_ == WSA_INVALID_EVENT) {
        event_ = nullptr;
        return failure(win32_error_text(static_cast<unsigned long>(::WSAGetLastError())));
    }
    const auto event = static_cast<WSAEVENT>(event_);
    const bool tcp = address_.kind == NetAddress::Kind::tcp;
    const Result<addrinfo*> resolved =
        resolve(address_.host, address_.port, tcp ? SOCK_STREAM : SOCK_DGRAM);
    if (!resolved) return failure(resolved.why());
    addrinfo* const found = *resolved;

    SOCKET s = INVALID_SOCKET;
    int error = 0;
    for (addrinfo* a = found; a && s == INVALID_SOCKET; a = a->ai_next) {
        s = ::WSASocketW(a->ai_family, a->ai_socktype, a->ai_protocol, nullptr, 0,
                         WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (s == INVALID_SOCKET) {
            error = ::WSAGetLastError();
            continue;
        }
        u_long on = 1;
        ::ioctlsocket(s, FIONBIO, &on);
        // Before connect, so the connection's outcome sets the event too.
        ::WSAEventSelect(s, event, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
        int done;
        if (tcp) {
            done = ::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen));
        } else {
            // As elsewhere: an IPv6 socket takes IPv4 datagrams too, and a port another program
            // holds is refused rather than shared.
            const DWORD off = 0, exclusive = 1;
            if (a->ai_family == AF_INET6)
                ::setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off),
                             sizeof off);
            ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                         reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
            done = ::bind(s, a->ai_addr, static_cast<int>(a->ai_addrlen));
        }
        if (done == 0 || (tcp && ::WSAGetLastError() == WSAEWOULDBLOCK)) break;
        error = ::WSAGetLastError();
        ::closesocket(s);
        s = INVALID_SOCKET;
    }
    ::freeaddrinfo(found);
    if (s == INVALID_SOCKET) {
        ::WSAResetEvent(event);
        return failure(
            net_error(error, (tcp ? "" : "UDP ") + net_place(address_.host, address_.port)));
    }

    if (tcp) {
        // A server that dies without closing is found within a few minutes.
        tcp_keepalive keepalive{1, 60 * 1000, 10 * 1000};
        DWORD returned = 0;
        ::WSAIoctl(s, SIO_KEEPALIVE_VALS, &keepalive, sizeof keepalive, nullptr, 0, &returned,
                   nullptr, nullptr);
        const BOOL on = TRUE; // a sentence leaves at once
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    } else {
        // A reply to a sender that has gone would make the next receive fail (ICMP port
        // unreachable); datagrams go on arriving meanwhile.
        BOOL report = FALSE;
        DWORD returned = 0;
        ::WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr,
                   nullptr);
    }
    peer_length_ = 0;
    fixed_peer_ = false;
    connected_ = !tcp;
    if (!tcp && !address_.reply_host.empty()) {
        const Result<addrinfo*> resolved_reply =
            resolve(address_.reply_host, address_.reply_port, SOCK_DGRAM);
        if (!resolved_reply) {
            ::closesocket(s);
            ::WSAResetEvent(event);
            return failure(resolved_reply.why());
        }
        addrinfo* const reply = *resolved_reply;
        std::memcpy(peer_, reply->ai_addr, reply->ai_addrlen);
        peer_length_ = static_cast<int>(reply->ai_addrlen);
        fixed_peer_ = true;
        ::freeaddrinfo(reply);
    }
    socket_ = static_cast<std::uintptr_t>(s);
    return {};
}

void NetDevice::close() {
    if (socket_ == no_socket) return;
    ::closesocket(as_socket(socket_));
    socket_ = no_socket;
    if (event_) ::WSAResetEvent(static_cast<WSAEVENT>(event_));
}

DeviceInput NetDevice::read() {
    DeviceInput in;
    if (socket_ == no_socket) return in;
    const SOCKET s = as_socket(socket_);
    const bool tcp = address_.kind == NetAddress::Kind::tcp;
    const std::string place = net_place(address_.host, address_.port);
    // Clears the event and tells what set it.
    WSANETWORKEVENTS happened{};
    if (::WSAEnumNetworkEvents(s, static_cast<WSAEVENT>(event_), &happened) == 0 &&
        (happened.lNetworkEvents & FD_CONNECT)) {
        if (const int e = happened.iErrorCode[FD_CONNECT_BIT]; e != 0) {
            in.hung_up = true;
            in.why = net_error(e, place);
            close();
            return in;
        }
        connected_ = true;
    }
    static char buf[1 << 16];
    while (in.data.size() < read_limit) {
        sockaddr_storage from{};
        int from_length = sizeof from;
        const int n =
            tcp ? ::recv(s, buf,
                         static_cast<int>(std::min(sizeof buf, read_limit - in.data.size())), 0)
                : ::recvfrom(s, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from),
                             &from_length);
        if (n > 0) {
            // A datagram is taken whole, even past the limit of one call.
            in.data.append(buf, static_cast<std::size_t>(n));
            if (!tcp && !fixed_peer_) {
                std::memcpy(peer_, &from, static_cast<std::size_t>(from_length));
                peer_length_ = from_length;
            }
            continue;
        }
        const int e = n < 0 ? ::WSAGetLastError() : 0;
        if (n < 0 && e == WSAEINTR) continue;
        if (n < 0 && e == WSAEWOULDBLOCK) break;
        if (n < 0 && e == WSAENOTCONN && !connected_) break; // still connecting
        if (!tcp) break; // an empty datagram, or an error the next datagram does not share
        in.hung_up = true;
        in.why = n == 0 ? "le serveur " + place + " a fermé la connexion" : net_error(e, place);
        close();
        break;
    }
    return in;
}

Result<std::size_t> NetDevice::write(std::string_view bytes) {
    if (socket_ == no_socket) return failure("la liaison n'est pas ouverte");
    const SOCKET s = as_socket(socket_);
    const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    for (;;) {
        int n;
        if (address_.kind == NetAddress::Kind::tcp) {
            n = ::send(s, bytes.data(), size, 0);
        } else {
            if (peer_length_ == 0) return bytes.size(); // nobody has sent yet: nobody to answer
            n = ::sendto(s, bytes.data(), size, 0, reinterpret_cast<const sockaddr*>(peer_),
                         peer_length_);
        }
        if (n >= 0) return static_cast<std::size_t>(n);
        const int e = ::WSAGetLastError();
        if (e == WSAEINTR) continue;
        // Still connecting, or the socket's buffer is full: the rest waits in the output queue;
        // FD_WRITE sets the event when there is room again.
        if (e == WSAEWOULDBLOCK || e == WSAENOTCONN) return std::size_t{0};
        if (address_.kind == NetAddress::Kind::udp) return bytes.size(); // a datagram lost
        return failure(net_error(e, net_place(address_.host, address_.port)));
    }
}

} // namespace marivent::nmea
