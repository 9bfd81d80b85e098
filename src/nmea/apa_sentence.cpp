#include "nmea/apa_sentence.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace marivent::nmea {

unsigned char nmea_checksum(std::string_view body) {
    if (!body.empty() && body.front() == '$') body.remove_prefix(1);
    // Eight bytes at a time, folded at the end.
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= body.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, body.data() + i, sizeof w);
        wide ^= w;
    }
    unsigned char sum = 0;
    for (int k = 0; k < 8; ++k) sum ^= static_cast<unsigned char>(wide >> (8 * k));
    for (; i < body.size(); ++i) sum ^= static_cast<unsigned char>(body[i]);
    return sum;
}

std::string apa_sentence(std::string_view ecartroute, std::string_view sensecart,
                         std::string_view capwpt, std::string_view wptarrivee) {
    std::string s;
    write_apa_sentence(s, ecartroute, sensecart, capwpt, wptarrivee);
    return s;
}

void write_apa_sentence(std::string& s, std::string_view ecartroute, std::string_view sensecart,
                        std::string_view capwpt, std::string_view wptarrivee) {
    static constexpr std::string_view p1 = "$AGAPA,A,A,", p2 = ",", p3 = ",N,A,A,", p4 = ",T,";
    const std::size_t body = p1.size() + ecartroute.size() + p2.size() + sensecart.size() +
                             p3.size() + capwpt.size() + p4.size() + wptarrivee.size();
    s.resize(body + 5);
    char* o = s.data();
    for (std::string_view part : {p1, ecartroute, p2, sensecart, p3, capwpt, p4, wptarrivee}) {
        if (!part.empty()) std::memcpy(o, part.data(), part.size());
        o += part.size();
    }
    const unsigned char sum = nmea_checksum(std::string_view(s.data(), body));
    static constexpr char hex[] = "0123456789ABCDEF";
    o[0] = '*';
    o[1] = hex[sum >> 4];
    o[2] = hex[sum & 0x0F];
    o[3] = '\r';
    o[4] = '\n';
}

namespace {

// Equality written out: the fields are a few characters, shorter than a call to memcmp.
bool same_text(const std::string& kept, std::string_view field) {
    if (kept.size() != field.size()) return false;
    for (std::size_t i = 0; i < field.size(); ++i)
        if (kept[i] != field[i]) return false;
    return true;
}

} // namespace

std::string_view ApaBuilder::sentence(std::string_view ecartroute, std::string_view sensecart,
                                      std::string_view capwpt, std::string_view wptarrivee) {
    if (built_ && same_text(fields_[0], ecartroute) && same_text(fields_[1], sensecart) &&
        same_text(fields_[2], capwpt) && same_text(fields_[3], wptarrivee))
        return sentence_;
    fields_[0].assign(ecartroute);
    fields_[1].assign(sensecart);
    fields_[2].assign(capwpt);
    fields_[3].assign(wptarrivee);
    write_apa_sentence(sentence_, ecartroute, sensecart, capwpt, wptarrivee);
    built_ = true;
    return sentence_;
}

} // namespace marivent::nmea
