// The hexadecimal text of a digest, shared by both systems' sha256.h.
#include "sha256.h"

namespace marivent {

std::string hex_text(const Sha256Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (const unsigned char b : digest) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

std::optional<Sha256Digest> digest_of_hex(std::string_view text) {
    if (text.size() != 64) return std::nullopt;
    const auto value = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    Sha256Digest digest{};
    for (std::size_t k = 0; k < digest.size(); ++k) {
        const int high = value(text[2 * k]), low = value(text[2 * k + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[k] = static_cast<unsigned char>(high << 4 | low);
    }
    return digest;
}

} // namespace marivent
