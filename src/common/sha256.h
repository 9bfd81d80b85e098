// SHA-256 from the system's cryptographic library: Nettle on Linux (sha256.cpp), Windows's own
// CNG, bcrypt.dll (sha256_win32.cpp), so that no digest code of our own has to be trusted and the
// Windows build needs no library Debian does not build for it.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace marivent {

using Sha256Digest = std::array<unsigned char, 32>;

// The digest of `first` followed by `second`, as one message.
Sha256Digest sha256(std::string_view first, std::string_view second = {});

// 64 lower-case hexadecimal digits.
std::string hex_text(const Sha256Digest& digest);

// The digest that 64 hexadecimal digits (either case) write, else nothing.
std::optional<Sha256Digest> digest_of_hex(std::string_view text);

} // namespace marivent
