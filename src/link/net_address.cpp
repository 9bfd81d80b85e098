// The network device's addresses (net_device.h), the same on every system.
#include <charconv>

#include "common/number_text.h"
#include "link/net_device.h"

namespace marivent::nmea {

namespace {

constexpr std::string_view tcp_prefix = "tcp://", udp_prefix = "udp://";

// "HOST:PORT", "[v6]:PORT" or ":PORT" into its host and port.
bool split_host_port(std::string_view text, std::string& host, int& port) {
    std::string_view port_text;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return false;
        host = std::string(text.substr(1, close - 1));
        port_text = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos) return false;
        host = std::string(text.substr(0, colon));
        port_text = text.substr(colon + 1);
    }
    if (port_text.empty()) return false;
    const auto [end, error] =
        std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
    return error == std::errc() && end == port_text.data() + port_text.size() && port >= 1 &&
           port <= 65535;
}

} // namespace

std::string net_place(const std::string& host, int port) {
    return (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" +
           integer_text(port);
}

bool is_network(std::string_view device) {
    return device.substr(0, tcp_prefix.size()) == tcp_prefix ||
           device.substr(0, udp_prefix.size()) == udp_prefix;
}

Result<NetAddress> parse_net_address(std::string_view device) {
    NetAddress a;
    const std::string text(device);
    if (device.substr(0, tcp_prefix.size()) == tcp_prefix) {
        a.kind = NetAddress::Kind::tcp;
        if (!split_host_port(device.substr(tcp_prefix.size()), a.host, a.port) || a.host.empty())
            return failure("« " + text + " » n'est pas une adresse tcp://HÔTE:PORT");
        return a;
    }
    if (device.substr(0, udp_prefix.size()) == udp_prefix) {
        a.kind = NetAddress::Kind::udp;
        std::string_view rest = device.substr(udp_prefix.size());
        const std::size_t arrow = rest.find('>');
        std::string listen_host;
        bool ok = split_host_port(rest.substr(0, arrow), listen_host, a.port);
        if (ok && arrow != std::string_view::npos)
            ok = split_host_port(rest.substr(arrow + 1), a.reply_host, a.reply_port) &&
                 !a.reply_host.empty();
        if (!ok)
            return failure("« " + text +
                           " » n'est pas une adresse udp://:PORT ou udp://:PORT>HÔTE:PORT");
        a.host = listen_host;
        return a;
    }
    return failure("« " + text + " » n'est pas une adresse réseau");
}

} // namespace marivent::nmea
