// Display format patterns: "###.#", "##00.000000", "#00.00" for numbers, "@@@" for texts.
#pragma once
#include <string>
#include <string_view>

namespace marivent {

// Formats a number with a pattern of "#" (digit, left out when not significant), "0" (digit,
// always written) and one "." (the decimal separator, written as `decimal_separator`). The number
// is rounded half away from zero to the pattern's decimals, taken from its 15 significant digits
// so that 0.15 rounds like the decimal text it was read from. Optional decimals ("#") that are 0
// are left out; the separator is always written when the pattern has one. A whole part larger
// than the pattern is written in full.
//   format_number(12.34, "###.#", ',') == "12,3"     format_number(0, "###.#", ',') == ","
//   format_number(-5.5, "##00.000000", '.') == "-05.500000"
std::string format_number(double value, std::string_view pattern, char decimal_separator);

// Formats a text with a pattern of "@": each "@" is a character of the text or a blank, filled
// from the right, so the text is right-aligned; a text longer than the pattern is kept whole.
//   format_text("7", "@@@") == "  7"
std::string format_text(std::string_view text, std::string_view pattern);

} // namespace marivent
