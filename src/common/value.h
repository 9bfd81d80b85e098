// The numeric value of a text: the value of its leading number, 0 when there is none.
#pragma once
#include <string_view>

namespace marivent {

// Blanks, tabs and line feeds at the start are skipped; then an optional sign, digits, at most one
// ".", more digits and an optional exponent are taken; reading stops at the first other character.
// "." is the decimal point whatever the regional settings. Never fails: a text without a leading
// number, or a number too large for a double, gives 0.
double numeric_value(std::string_view text);

} // namespace marivent
