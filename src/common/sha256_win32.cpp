// sha256.h with Windows's CNG (bcrypt.dll). The algorithm is opened once; each digest takes a
// hash object of its own, so calls from several threads do not meet.
#include "sha256.h"

#include <windows.h>

#include <bcrypt.h>
#include <cstdlib>

namespace marivent {

namespace {

BCRYPT_ALG_HANDLE algorithm() {
    static const BCRYPT_ALG_HANDLE handle = [] {
        BCRYPT_ALG_HANDLE h = nullptr;
        // SHA-256 is in every Windows since Vista: a failure here is a broken system.
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&h, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            std::abort();
        return h;
    }();
    return handle;
}

void hash_data(BCRYPT_HASH_HANDLE hash, std::string_view bytes) {
    // BCryptHashData takes at most 4 GiB at once.
    while (!bytes.empty()) {
        const std::size_t n = bytes.size() < 0x40000000u ? bytes.size() : 0x40000000u;
        ::BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                         static_cast<ULONG>(n), 0);
        bytes.remove_prefix(n);
    }
}

} // namespace

Sha256Digest sha256(std::string_view first, std::string_view second) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(::BCryptCreateHash(algorithm(), &hash, nullptr, 0, nullptr, 0, 0)))
        std::abort();
    hash_data(hash, first);
    hash_data(hash, second);
    Sha256Digest digest{};
    ::BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
    ::BCryptDestroyHash(hash);
    return digest;
}

} // namespace marivent
