#include "transfer/field_numbers.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/format.h"
#include "common/text.h"
#include "common/value.h"

namespace marivent::transfer {

namespace {

// Every power of ten up to 1e22 is a double exactly; these go to 1e15.
constexpr double exact_powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// "00" to "99" one after the other.
constexpr char digit_pairs[] = "00010203040506070809101112131415161718192021222324"
                               "25262728293031323334353637383940414243444546474849"
                               "50515253545556575859606162636465666768697071727374"
                               "75767778798081828384858687888990919293949596979899";

// Below 2^53, so the digits are a double exactly.
constexpr int most_exact_digits = 15;

} // namespace

double field_value(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && (*p == ' ' || *p == '\t' || *p == '\n'))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    std::uint64_t digits = 0; // wraps past 19 digits, but those go to numeric_value
    const char* const whole = p;
    for (; p != end && is_digit(*p); ++p)
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    std::ptrdiff_t count = p - whole;
    std::ptrdiff_t decimals = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        for (; p != end && is_digit(*p); ++p)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        decimals = p - fraction;
        count += decimals;
    }
    // No digit, too many for an exact double, or an exponent: the general reading.
    if (count == 0 || count > most_exact_digits || (p != end && (*p == 'e' || *p == 'E')))
        return numeric_value(text);
    // Both operands are exact, so the one rounding of the division is from_chars's rounding.
    const double value = static_cast<double>(digits) / exact_powers[decimals];
    return negative ? -value : value;
}

char* put_digits_before(char* end, unsigned long value) {
    do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return end;
}

namespace {

// put_fixed for one pattern, its divisions by constants.
template <int decimals, int min_int> std::size_t put_fixed_as(char* out, double value) {
    const double size = std::fabs(value);
    if (!(size < 1000.0)) return 0; // NaN too
    // format_number rounds half away from zero the 15-significant-digit text of the value. Below
    // 1000 that text is within 5e-7 of the value at 6 decimals, and the product below within
    // 1e-7 of the exact one: away from a tie both round to the same whole number.
    const double scaled = size * exact_powers[decimals];
    const double whole_scaled = std::floor(scaled);
    const double fraction = scaled - whole_scaled; // exact
    if (std::fabs(fraction - 0.5) < 1e-5) return 0;
    const auto n = static_cast<std::uint64_t>(whole_scaled) + (fraction > 0.5 ? 1 : 0);

    // The digits of n, two at a time, with zeros before them up to the pattern's; the point goes
    // before the last `decimals`.
    char digits[24];
    char* const end = digits + sizeof digits;
    char* first = end;
    for (std::uint64_t v = n; v != 0; v /= 100) {
        first -= 2;
        std::memcpy(first, digit_pairs + 2 * (v % 100), 2);
    }
    if (first != end && *first == '0') ++first;
    while (end - first < decimals + min_int)
        *--first = '0';
    const auto whole = static_cast<std::size_t>(end - first - decimals);

    char* o = out;
    if (value < 0 && n != 0) *o++ = '-';
    for (std::size_t k = 0; k < whole; ++k)
        *o++ = first[k]; // a few characters: no memcpy call
    *o++ = '.';
    std::memcpy(o, first + whole, decimals);
    return static_cast<std::size_t>(o + decimals - out);
}

} // namespace

std::size_t put_fixed(char* out, double value, const FixedPattern& p) {
    if (p.decimals == 6 && p.min_int == 2) return put_fixed_as<6, 2>(out, value);
    if (p.decimals == 2 && p.min_int == 2) return put_fixed_as<2, 2>(out, value);
    return 0;
}

void append_fixed(std::string& out, double value, const FixedPattern& p) {
    char fast[fixed_room];
    if (const std::size_t n = put_fixed(fast, value, p))
        out.append(fast, n);
    else
        out += format_number(value, p.pattern, '.');
}

} // namespace marivent::transfer
