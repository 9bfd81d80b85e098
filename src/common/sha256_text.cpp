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
    // The value of each byte as a hexadecimal digit, 16 for any other byte: a seal holds one
    // digest a line, read at every start.
    static constexpr auto values = [] {
        std::array<unsigned char, 256> v{};
        v.fill(16);
        for (int c = 0; c < 10; ++c)
            v['0' + c] = static_cast<unsigned char>(c);
        for (int c = 0; c < 6; ++c)
            v['a' + c] = v['A' + c] = static_cast<unsigned char>(10 + c);
        return v;
    }();
    Sha256Digest digest{};
    unsigned bad = 0;
    for (std::size_t k = 0; k < digest.size(); ++k) {
        const unsigned high = values[static_cast<unsigned char>(text[2 * k])];
        const unsigned low = values[static_cast<unsigned char>(text[2 * k + 1])];
        bad |= (high | low) & 16;
        digest[k] = static_cast<unsigned char>(high << 4 | (low & 15));
    }
    if (bad) return std::nullopt;
    return digest;
}

} // namespace marivent
