// Windows-1252, the code page of every file and of every byte on the wire.
#pragma once
#include <string>
#include <string_view>

namespace marivent {

// Each byte becomes one character. The five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same code, so every byte round-trips.
std::u32string cp1252_decode(std::string_view bytes);
std::string cp1252_encode(std::u32string_view text, char replacement = '?');

// The same through UTF-8, for the boundary with the widgets and with UTF-8 literals.
std::string cp1252_to_utf8(std::string_view bytes);
std::string utf8_to_cp1252(std::string_view utf8, char replacement = '?');

} // namespace marivent
