// The check of a received line, before anything of it is decoded: a word at a time for the
// usual line, the byte-by-byte rule for anything out of the ordinary and as the reference.
#include "nmea/line_check.h"

#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "nmea/checksum.h"

namespace marivent::nmea {

namespace {

// The character-by-character check; the fast path below falls back to it when a line holds
// anything out of the ordinary.
LineFault line_fault_slow(std::string_view line) {
    const std::size_t start = !line.empty() && line[0] == '\n' ? 1 : 0;
    std::size_t star = std::string_view::npos;
    int stars = 0;
    for (std::size_t i = start; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) return LineFault::control_character;
        if (i >= 2 && (c == '$' || c == '!')) return LineFault::joined;
        if (c == '*') {
            ++stars;
            star = i;
        }
    }
    if (stars == 0) return LineFault::none;
    if (stars > 1 || line.size() - star != 3) return LineFault::checksum;
    // The characters between the start character and the "*".
    const std::string_view body =
        star > start ? line.substr(start + 1, star - start - 1) : std::string_view{};
    if (written_checksum(line[star + 1], line[star + 2]) != checksum_of(body))
        return LineFault::checksum;
    return LineFault::none;
}

// Eight bytes at a time (SWAR): whether any byte of a word is zero, and the word with every byte
// set to `b`. Both exact as booleans for any word.
constexpr std::uint64_t ones = 0x0101010101010101ULL;
constexpr std::uint64_t highs = 0x8080808080808080ULL;
constexpr bool has_zero_byte(std::uint64_t x) {
    return ((x - ones) & ~x & highs) != 0;
}
constexpr std::uint64_t every_byte(unsigned char b) {
    return ones * b;
}

std::uint64_t load8(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Whether `x` holds a control character (below 0x20, or 0x7F), "$", "!" or "*". Bytes of 0x80
// and above (line noise, accented text) are ordinary here, as in the slow check.
bool has_special_byte(std::uint64_t x) {
    const std::uint64_t low7 = x & ~highs;
    // A byte below 0x20 with its high bit clear: (b & 0x7F) + 0x60 does not reach 0x80.
    const bool control = (~(low7 + every_byte(0x60)) & ~x & highs) != 0;
    return control || has_zero_byte(x ^ every_byte(0x7F)) || has_zero_byte(x ^ every_byte('$')) ||
           has_zero_byte(x ^ every_byte('!')) || has_zero_byte(x ^ every_byte('*'));
}

// The usual line checked a word at a time; `Wide`: sixteen bytes at a time with SSE2 first.
template <bool Wide> LineFault line_fault_words(std::string_view line) {
    // The usual line, "\n$" then the sentence and "*hh": checked a word at a time. Anything else
    // (no "*" where a checksum would be, a special character in the body) takes the slow path,
    // which decides.
    const std::size_t n = line.size();
    if (n < 6 || line[0] != '\n' || line[1] != '$' || line[n - 3] != '*')
        return line_fault_slow(line);
    const char* body = line.data() + 2; // after "$", up to the "*"
    const std::size_t body_size = n - 5;
    std::uint64_t sum = 0;
    std::size_t i = 0;
    bool special = false;
#ifdef __SSE2__
    // Sixteen bytes at a time where the processor has SSE2 (every x86-64).
    if constexpr (Wide) {
        __m128i wide_sum = _mm_setzero_si128(), flags = _mm_setzero_si128();
        const __m128i below_space = _mm_set1_epi8(0x1F), del = _mm_set1_epi8(0x7F);
        const __m128i dollar = _mm_set1_epi8('$'), bang = _mm_set1_epi8('!'),
                      star = _mm_set1_epi8('*');
        auto flag = [&](__m128i v) {
            const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(v, below_space), v); // v <= 0x1F
            flags = _mm_or_si128(flags, _mm_or_si128(control, _mm_cmpeq_epi8(v, del)));
            flags = _mm_or_si128(flags,
                                 _mm_or_si128(_mm_cmpeq_epi8(v, dollar), _mm_cmpeq_epi8(v, bang)));
            flags = _mm_or_si128(flags, _mm_cmpeq_epi8(v, star));
        };
        for (; i + 16 <= body_size; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(body + i));
            flag(v);
            wide_sum = _mm_xor_si128(wide_sum, v);
        }
        if (i < body_size && body_size >= 16) {
            // The last bytes: the sixteen that end the body, those already summed masked out (all
            // sixteen are checked: the earlier ones are known to be ordinary unless flagged
            // already).
            static constexpr unsigned char keep_last[32] = {
                0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                0,    0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
            const __m128i v =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(body + body_size - 16));
            const __m128i mask =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(keep_last + (body_size - i)));
            flag(v);
            wide_sum = _mm_xor_si128(wide_sum, _mm_and_si128(v, mask));
            i = body_size;
        }
        special = _mm_movemask_epi8(flags) != 0;
        sum = static_cast<std::uint64_t>(_mm_cvtsi128_si64(wide_sum)) ^
              static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(wide_sum, wide_sum)));
    }
#endif
    for (; i + 8 <= body_size; i += 8) {
        const std::uint64_t w = load8(body + i);
        special |= has_special_byte(w);
        sum ^= w;
    }
    if (special) return line_fault_slow(line);
    unsigned char folded = fold_checksum(sum);
    for (; i < body_size; ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c < 0x20 || c == 0x7F || c == '$' || c == '!' || c == '*') return line_fault_slow(line);
        folded ^= c;
    }
    // `folded` is checksum_of(body), summed here with the look for special bytes in one pass.
    const int written = written_checksum(line[n - 2], line[n - 1]);
    if (written < 0) return line_fault_slow(line); // control characters come first
    return written == folded ? LineFault::none : LineFault::checksum;
}

} // namespace

LineFault line_fault(std::string_view line) {
    return line_fault_words<true>(line);
}
LineFault line_fault_swar(std::string_view line) {
    return line_fault_words<false>(line);
}
LineFault line_fault_reference(std::string_view line) {
    return line_fault_slow(line);
}

std::string_view fault_text(LineFault fault) {
    switch (fault) {
    case LineFault::control_character:
        return "caractère de contrôle";
    case LineFault::joined:
        return "deux phrases mêlées";
    case LineFault::checksum:
        return "somme de contrôle fausse";
    case LineFault::no_checksum:
        return "somme de contrôle absente";
    case LineFault::input_lost:
        return "données perdues en cours de ligne";
    case LineFault::none:
        break;
    }
    return "";
}

} // namespace marivent::nmea
