// Numbers as text, the same under every regional setting: Qt hands the user's locale to the C
// library, so printf, strtod, streams and std::to_string(double) would write "5,2" or stop at a
// "." on a French machine. Everything here goes through std::to_chars.
#pragma once
#include <string>

namespace marivent {

// A whole number in decimal: -12, 0, 1024.
std::string integer_text(long long value);

// A whole number in upper-case hexadecimal, without leading zeros: 0, 1F, FFFFFFFF.
std::string hex_text(unsigned long long value);

// A number with at most `significant` significant digits, in the shortest of fixed and
// scientific notation ("%g" of the C locale): 2, -3, 5.5, 1e+20.
std::string general_text(double value, int significant = 15);

// A number with `decimals` digits after the point, rounded to nearest: 3.14, 12.
std::string fixed_text(double value, int decimals);

// The scientific form d.dddde±XX with `decimals` digits after the point.
std::string scientific_text(double value, int decimals);

} // namespace marivent
