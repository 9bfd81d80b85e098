#include "link/net_device.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/tcp.h>
#include <unistd.h>

#include "common/file_io.h"
#include "common/number_text.h"

namespace marivent::nmea {

namespace {

std::string net_error(int e, const std::string& place) {
    switch (e) {
    case ECONNREFUSED:
        return "connexion refusée par " + place + " (le serveur est-il lancé ?)";
    case ECONNRESET:
        return "connexion interrompue par " + place;
    case ETIMEDOUT:
        return place + " ne répond pas";
    case ENETUNREACH:
    case EHOSTUNREACH:
        return place + " est injoignable (réseau du bord coupé ?)";
    case EADDRINUSE:
        return "le port " + place + " est déjà utilisé par un autre programme";
    case EACCES:
        return "accès refusé au port " + place;
    default:
        return place + " : " + error_text(e);
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
    if (r != 0 || !found)
        return failure(r == EAI_SYSTEM ? net_error(errno, net_place(host, port))
                                       : "l'hôte « " + host + " » est introuvable");
    return found;
}

} // namespace

NetDevice::~NetDevice() {
    close();
}

Status NetDevice::open(const std::string& path, const LineSettings&, char) {
    close();
    const Result<NetAddress> address = parse_net_address(path);
    if (!address) return failure(address.why());
    address_ = *address;
    const bool tcp = address_.kind == NetAddress::Kind::tcp;
    const Result<addrinfo*> resolved =
        resolve(address_.host, address_.port, tcp ? SOCK_STREAM : SOCK_DGRAM);
    if (!resolved) return failure(resolved.why());
    addrinfo* const found = *resolved;

    int fd = -1;
    int error = 0;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        const int done =
            tcp ? ::connect(fd, a->ai_addr, a->ai_addrlen) : ::bind(fd, a->ai_addr, a->ai_addrlen);
        if (done == 0 || (tcp && errno == EINPROGRESS)) break;
        error = errno;
        ::close(fd);
        fd = -1;
    }
    ::freeaddrinfo(found);
    if (fd < 0)
        return failure(
            net_error(error, (tcp ? "" : "UDP ") + net_place(address_.host, address_.port)));

    if (tcp) {
        // A server that dies without closing is found within a couple of minutes.
        int on = 1, idle = 60, interval = 10, count = 4;
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // a sentence leaves at once
    }
    peer_length_ = 0;
    fixed_peer_ = false;
    if (!tcp && !address_.reply_host.empty()) {
        const Result<addrinfo*> resolved_reply =
            resolve(address_.reply_host, address_.reply_port, SOCK_DGRAM);
        if (!resolved_reply) {
            ::close(fd);
            return failure(resolved_reply.why());
        }
        addrinfo* const reply = *resolved_reply;
        std::memcpy(&peer_, reply->ai_addr, reply->ai_addrlen);
        peer_length_ = reply->ai_addrlen;
        fixed_peer_ = true;
        ::freeaddrinfo(reply);
    }
    fd_ = fd;
    return {};
}

void NetDevice::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

DeviceInput NetDevice::read() {
    DeviceInput in;
    if (fd_ < 0) return in;
    static char buf[1 << 16];
    const bool tcp = address_.kind == NetAddress::Kind::tcp;
    while (in.data.size() < read_limit) {
        sockaddr_storage from{};
        socklen_t from_length = sizeof from;
        const ssize_t n =
            tcp ? ::recv(fd_, buf, std::min(sizeof buf, read_limit - in.data.size()), 0)
                : ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from),
                             &from_length);
        if (n > 0) {
            // A datagram is taken whole, even past the limit of one call.
            in.data.append(buf, static_cast<std::size_t>(n));
            if (!tcp && !fixed_peer_) {
                peer_ = from;
                peer_length_ = from_length;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (!tcp) break; // an empty datagram, or an error the next datagram does not share
        in.hung_up = true;
        in.why = n == 0 ? "le serveur " + net_place(address_.host, address_.port) +
                              " a fermé la connexion"
                        : net_error(errno, net_place(address_.host, address_.port));
        close();
        break;
    }
    return in;
}

Result<std::size_t> NetDevice::write(std::string_view bytes) {
    if (fd_ < 0) return failure("la liaison n'est pas ouverte");
    for (;;) {
        ssize_t n;
        if (address_.kind == NetAddress::Kind::tcp) {
            n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        } else {
            if (peer_length_ == 0) return bytes.size(); // nobody has sent yet: nobody to answer
            n = ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                         reinterpret_cast<const sockaddr*>(&peer_), peer_length_);
        }
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        // Still connecting, or the socket's buffer is full: the rest waits in the output queue.
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOTCONN) return std::size_t{0};
        if (address_.kind == NetAddress::Kind::udp) return bytes.size(); // a datagram lost
        return failure(net_error(errno, net_place(address_.host, address_.port)));
    }
}

} // namespace marivent::nmea
