#include "nmea/checksum.h"

#include <cstring>

namespace marivent::nmea {

unsigned char checksum_of(std::string_view body) {
    // Eight bytes at a time, folded at the end.
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= body.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, body.data() + i, sizeof w);
        wide ^= w;
    }
    unsigned char sum = fold_checksum(wide);
    for (; i < body.size(); ++i)
        sum ^= static_cast<unsigned char>(body[i]);
    return sum;
}

} // namespace marivent::nmea
