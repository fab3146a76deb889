// HMAC-SHA-256 (RFC 2104, FIPS 198-1) over our SHA-256.
#pragma once
#include <cstddef>
#include <cstdint>

#include "Sha256.h"

namespace pncrypto {

constexpr size_t kHmacSha256Size = 32;

class HmacSha256 {
public:
    HmacSha256(const void* key, size_t keyLength);
    ~HmacSha256();
    HmacSha256(const HmacSha256&) = delete;
    HmacSha256& operator=(const HmacSha256&) = delete;

    void Update(const void* data, size_t length);
    // The tag of everything given so far; the object is then spent.
    void Final(uint8_t mac[kHmacSha256Size]);

    static void Mac(const void* key, size_t keyLength, const void* data, size_t length,
                    uint8_t mac[kHmacSha256Size]);

private:
    Sha256 inner_;
    Sha256 outer_;
};

}  // namespace pncrypto
