// sha256.h with Nettle.
#include "sha256.h"

#include <nettle/sha2.h>

namespace marivent {

Sha256Digest sha256(std::string_view first, std::string_view second) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, first.size(), reinterpret_cast<const std::uint8_t*>(first.data()));
    sha256_update(&context, second.size(), reinterpret_cast<const std::uint8_t*>(second.data()));
    Sha256Digest digest{};
    sha256_digest(&context, digest.size(), digest.data());
    return digest;
}

} // namespace marivent
