// Character tests and cuts of text shared by every reader of files, fields and sentences.
#pragma once
#include <string_view>

namespace marivent {

// A decimal digit 0 to 9 of ASCII, whatever the regional settings (std::isdigit follows the C
// library's locale, which Qt sets from the user's).
constexpr bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The text without the spaces and tabs at its start and at its end.
constexpr std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace marivent
