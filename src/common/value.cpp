#include "value.h"

#include <charconv>
#include <cmath>
#include <string>

#include "common/text.h"

namespace marivent {

double numeric_value(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
        ++i;

    // Collect the longest prefix of the form [sign] digits [. digits] [(e|E) [sign] digits].
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool mantissa_digits = false;
    while (i < text.size() && is_digit(text[i])) {
        number += text[i++];
        mantissa_digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && is_digit(text[i])) {
            number += text[i++];
            mantissa_digits = true;
        }
    }
    if (!mantissa_digits) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        bool exponent_digits = false;
        while (j < text.size() && is_digit(text[j])) {
            exponent += text[j++];
            exponent_digits = true;
        }
        if (exponent_digits) number += exponent; // "1e" or "1e+" is just 1
    }

    // from_chars ignores the C locale, which Qt sets from the environment (a French LC_NUMERIC
    // would make strtod stop at the ".").
    const char* first = number.data();
    if (*first == '+') ++first; // from_chars takes no leading plus
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

} // namespace marivent
