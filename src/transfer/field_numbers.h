// The numbers of the transfer files, read and written exactly as common/value.h and
// common/format.h do, without their temporary strings on the short decimals these files hold.
// Anything else goes to those functions, so every text gives the same double and every double
// the same text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace marivent::transfer {

// numeric_value(text), bit for bit (the sign of a zero too). Leading blanks, a sign and at most
// 15 digits with or without a point are turned into the double directly: the digits make an
// exact whole number and one division by an exact power of ten rounds it as from_chars does.
double field_value(std::string_view text);

// A pattern of format_number with `min_int` "0"s before the point and `decimals` "0"s after it.
struct FixedPattern {
    std::string_view pattern;
    int min_int;
    int decimals;
};
inline constexpr FixedPattern degrees_pattern{"##00.000000", 2, 6};
inline constexpr FixedPattern minutes_pattern{"#00.00", 2, 2};

// Room that put_fixed needs at `out`.
inline constexpr std::size_t fixed_room = 16;

// Writes format_number(value, p.pattern, '.') at `out` and returns its length, for the two
// patterns above and values below 1000 in size that are not within 1e-5 of a rounding tie;
// returns 0, having written nothing useful, for every other pattern and value.
std::size_t put_fixed(char* out, double value, const FixedPattern& p);

// Appends format_number(value, p.pattern, '.'), whatever the value: through put_fixed when it
// can, else through format_number itself.
void append_fixed(std::string& out, double value, const FixedPattern& p);

// Writes the decimal digits of `value` so that they end just before `end`; returns where they
// start.
char* put_digits_before(char* end, unsigned long value);

} // namespace marivent::transfer
