#include "format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/number_text.h"

namespace marivent {

namespace {

struct NumberPattern {
    int min_int_digits = 0; // "0" before the point
    int min_decimals = 0;   // "0" after the point
    int decimals = 0;       // "0" and "#" after the point
    bool has_point = false;
};

NumberPattern parse_pattern(std::string_view pattern) {
    NumberPattern p;
    for (char c : pattern) {
        if (c == '.') {
            p.has_point = true;
        } else if (p.has_point) {
            if (c == '0' || c == '#') ++p.decimals;
            if (c == '0') p.min_decimals = p.decimals;
        } else if (c == '0') {
            ++p.min_int_digits;
        }
    }
    return p;
}

// Digits of |value| rounded half away from zero to `decimals` places, as a whole-number string
// (the value times 10^decimals). Works on the 15-significant-digit decimal text of the value.
std::string rounded_digits(double value, int decimals) {
    const std::string text = scientific_text(std::fabs(value), 14); // d.dddddddddddddde±XX
    const std::size_t e = text.find('e');
    std::string mantissa;
    for (std::size_t q = 0; q < e; ++q)
        if (text[q] != '.') mantissa += text[q];
    const char* exp_first = text.data() + e + 1;
    if (*exp_first == '+') ++exp_first; // from_chars takes no leading plus
    int exponent = 0;
    std::from_chars(exp_first, text.data() + text.size(), exponent);
    // The value is 0.mantissa × 10^(exponent+1); keep (exponent + 1 + decimals) leading digits.
    const int keep = exponent + 1 + decimals;
    if (keep < 0) return "0";
    std::string digits = mantissa.substr(0, std::min<std::size_t>(keep, mantissa.size()));
    while (static_cast<int>(digits.size()) < keep)
        digits += '0';
    const bool round_up = keep < static_cast<int>(mantissa.size()) && mantissa[keep] >= '5';
    if (round_up) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i];
    }
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

} // namespace

std::string format_number(double value, std::string_view pattern, char decimal_separator) {
    const NumberPattern p = parse_pattern(pattern);
    if (!std::isfinite(value)) value = 0.0;

    std::string digits = rounded_digits(value, p.decimals);
    if (static_cast<int>(digits.size()) < p.decimals + 1)
        digits.insert(0, p.decimals + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - p.decimals);
    std::string fraction = digits.substr(digits.size() - p.decimals);
    const bool is_zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;

    if (whole == "0") whole.clear();
    if (static_cast<int>(whole.size()) < p.min_int_digits)
        whole.insert(0, p.min_int_digits - whole.size(), '0');
    while (static_cast<int>(fraction.size()) > p.min_decimals && fraction.back() == '0')
        fraction.pop_back();

    std::string out;
    if (value < 0 && !is_zero) out += '-';
    out += whole;
    if (p.has_point) {
        out += decimal_separator;
        out += fraction;
    }
    return out;
}

std::string format_text(std::string_view text, std::string_view pattern) {
    const std::size_t width = pattern.size();
    if (text.size() >= width) return std::string(text);
    return std::string(width - text.size(), ' ') + std::string(text);
}

} // namespace marivent
