// The SeaTalk capture file "c:\seafile.txt" (one 4-character decimal field per byte received)
// and its decoding into "c:\code.txt" (one upper-case hexadecimal value and a space per field).
#pragma once
#include <string>
#include <string_view>

namespace marivent::seatalk {

// A byte as a field: its value 0 to 255, right-aligned in 4 characters ("   0", " 132").
std::string byte_field(unsigned char byte);

// A text received in text mode as a field: right-aligned in 4 characters.
std::string text_field(std::string_view text);

// Each 4-character piece of a capture (the last may be shorter), read as a decimal number with
// leading spaces skipped, written in hexadecimal followed by a space. An empty capture gives an
// empty text.
std::string decode_capture(std::string_view capture);

} // namespace marivent::seatalk
