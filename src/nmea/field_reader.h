// The decoder's field reader: a sentence cut at its commas, and a field kept in a string that
// holds the last one. Header only: both run for every field of every line.
#pragma once
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace marivent::nmea {

// The fields of a line one after the other: each is the text before the next comma. Without a
// comma left the field cut last is given again, so the last field of a sentence and its checksum
// are never cut. The commas of a line of up to 256 characters are found once, sixteen bytes at a
// time, as bits; a longer line is cut a field at a time.
class SentenceFields {
  public:
    // The fields of `line` from `start` on.
    SentenceFields(std::string_view line, std::size_t start)
        : line_(line), pos_(std::min(start, line.size())) {
        mapped_ = line.size() <= 64 * words;
        if (!mapped_) return;
        std::size_t i = 0;
#ifdef __SSE2__
        const __m128i comma = _mm_set1_epi8(',');
        for (; i + 16 <= line.size(); i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i));
            const auto bits = static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma))));
            commas_[i / 64] |= bits << (i % 64);
        }
        if (i < line.size() && line.size() >= 16) {
            // The last bytes: the sixteen that end the line, those already mapped shifted out.
            const std::size_t last = line.size() - 16;
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + last));
            const auto bits = static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma))) >> (i - last));
            commas_[i / 64] |= bits << (i % 64); // i % 64 is at most 48: the bits fit the word
            i = line.size();
        }
#endif
        for (; i < line.size(); ++i)
            if (line[i] == ',') commas_[i / 64] |= std::uint64_t{1} << (i % 64);
    }

    std::string_view next() {
        const std::size_t p = next_comma();
        if (p != std::string_view::npos) {
            champ_ = line_.substr(pos_, p - pos_);
            pos_ = p + 1;
            cut_ = true;
        } else {
            cut_ = false;
        }
        return champ_;
    }

    // Whether the last call found a comma: the field it gave was the line's own, not one given
    // again.
    bool cut() const {
        return cut_;
    }

    // The field after the last one cut, up to its comma or "*"; empty when the last call found
    // no comma (the line had no more fields).
    std::string_view following() const {
        if (!cut_) return {};
        const std::string_view rest = line_.substr(pos_);
        return rest.substr(0, rest.find_first_of(",*"));
    }

  private:
    static constexpr std::size_t words = 4;

    std::size_t next_comma() const {
        if (!mapped_) return line_.find(',', pos_);
        std::size_t word = pos_ / 64;
        if (word >= words) return std::string_view::npos;
        std::uint64_t bits = commas_[word] & (~std::uint64_t{0} << (pos_ % 64));
        while (bits == 0) {
            if (++word == words) return std::string_view::npos;
            bits = commas_[word];
        }
        return word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }

    std::string_view line_;
    std::size_t pos_;
    std::string_view champ_;
    bool mapped_ = false;
    bool cut_ = true;
    std::array<std::uint64_t, words> commas_{};
};

// `field` into `kept`: fields keep their length from one sentence to the next, and resizing to
// the same length then copying costs less than a general assign.
inline void store_field(std::string& kept, std::string_view field) {
    const std::size_t n = field.size();
    kept.resize(n);
    char* to = kept.data();
    const char* from = field.data();
    // Up to sixteen characters in two moves that may overlap, without a call.
    if (n >= 8 && n <= 16) {
        std::uint64_t a, b;
        std::memcpy(&a, from, 8);
        std::memcpy(&b, from + n - 8, 8);
        std::memcpy(to, &a, 8);
        std::memcpy(to + n - 8, &b, 8);
    } else if (n >= 4 && n < 8) {
        std::uint32_t a, b;
        std::memcpy(&a, from, 4);
        std::memcpy(&b, from + n - 4, 4);
        std::memcpy(to, &a, 4);
        std::memcpy(to + n - 4, &b, 4);
    } else if (n < 4) {
        for (std::size_t i = 0; i < n; ++i)
            to[i] = from[i];
    } else {
        std::memcpy(to, from, n);
    }
}

} // namespace marivent::nmea
