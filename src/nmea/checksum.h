// The NMEA 0183 checksum: the exclusive or of the characters between a sentence's start character
// ("$" or "!") and its "*", written after the "*" as two hexadecimal digits.
#pragma once
#include <cstdint>
#include <string_view>

#include "common/text.h"

namespace marivent::nmea {

// The checksum of `body`, the characters between the start character and the "*".
unsigned char checksum_of(std::string_view body);

// The checksum of a sentence's text up to its "*": its leading "$" is skipped when present.
inline unsigned char nmea_checksum(std::string_view sentence) {
    if (!sentence.empty() && sentence.front() == '$') sentence.remove_prefix(1);
    return checksum_of(sentence);
}

// The exclusive or of the eight bytes of a word: what characters XORed eight at a time in a word
// leave as their checksum.
constexpr unsigned char fold_checksum(std::uint64_t word) {
    word ^= word >> 32;
    word ^= word >> 16;
    word ^= word >> 8;
    return static_cast<unsigned char>(word);
}

// The checksum written after the "*": the value of two hexadecimal digits of either case, or -1
// when they are not two such digits. A line holds its checksum when this equals checksum_of its
// body.
constexpr int written_checksum(char high, char low) {
    auto digit = [](char h) {
        if (is_digit(h)) return h - '0';
        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
        return -1;
    };
    const int h = digit(high), l = digit(low);
    return h < 0 || l < 0 ? -1 : h * 16 + l;
}

// Writes the checksum as a sentence carries it: two upper-case hexadecimal digits at `out`.
constexpr void put_checksum(char* out, unsigned char sum) {
    constexpr char hex[] = "0123456789ABCDEF";
    out[0] = hex[sum >> 4];
    out[1] = hex[sum & 0x0F];
}

} // namespace marivent::nmea
