#include "nmea/apa_sentence.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "nmea/checksum.h"

namespace marivent::nmea {

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
    o[0] = '*';
    put_checksum(o + 1, nmea_checksum(std::string_view(s.data(), body)));
    o[3] = '\r';
    o[4] = '\n';
}

namespace {

template <typename Word> Word load(const char* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Equality of a few characters without a call to memcmp: words that may overlap, never a byte
// outside either text.
bool same_text(const std::string& kept, std::string_view field) {
    const std::size_t n = field.size();
    if (kept.size() != n) return false;
    const char* a = kept.data();
    const char* b = field.data();
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 <= n; i += 8)
            if (load<std::uint64_t>(a + i) != load<std::uint64_t>(b + i)) return false;
        return load<std::uint64_t>(a + n - 8) == load<std::uint64_t>(b + n - 8);
    }
    if (n >= 4)
        return load<std::uint32_t>(a) == load<std::uint32_t>(b) &&
               load<std::uint32_t>(a + n - 4) == load<std::uint32_t>(b + n - 4);
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
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
