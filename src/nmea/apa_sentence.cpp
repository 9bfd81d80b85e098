#include "nmea/apa_sentence.h"

namespace marivent::nmea {

unsigned char nmea_checksum(std::string_view body) {
    if (!body.empty() && body.front() == '$') body.remove_prefix(1);
    unsigned char sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    return sum;
}

std::string apa_sentence(std::string_view ecartroute, std::string_view sensecart,
                         std::string_view capwpt, std::string_view wptarrivee) {
    std::string s;
    s.reserve(40 + ecartroute.size() + sensecart.size() + capwpt.size() + wptarrivee.size());
    s += "$AGAPA,A,A,";
    s += ecartroute;
    s += ',';
    s += sensecart;
    s += ",N,A,A,";
    s += capwpt;
    s += ",T,";
    s += wptarrivee;
    const unsigned char sum = nmea_checksum(s);
    static constexpr char hex[] = "0123456789ABCDEF";
    s += '*';
    s += hex[sum >> 4];
    s += hex[sum & 0x0F];
    s += "\r\n";
    return s;
}

} // namespace marivent::nmea
