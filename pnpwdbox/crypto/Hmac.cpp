#include "Hmac.h"

#include <cstring>

#include "SecretMemory.h"

namespace pncrypto {
namespace {

constexpr size_t kBlockSize = 64;

}  // namespace

HmacSha256::HmacSha256(const void* key, size_t keyLength) {
    uint8_t block[kBlockSize] = {};
    if (keyLength > kBlockSize) {
        Sha256::Digest(key, keyLength, block);  // a long key is hashed first
    } else if (keyLength > 0) {
        std::memcpy(block, key, keyLength);
    }
    uint8_t pad[kBlockSize];
    for (size_t i = 0; i < kBlockSize; ++i) pad[i] = uint8_t(block[i] ^ 0x36);
    inner_.Update(pad, kBlockSize);
    for (size_t i = 0; i < kBlockSize; ++i) pad[i] = uint8_t(block[i] ^ 0x5C);
    outer_.Update(pad, kBlockSize);
    Wipe(pad, sizeof pad);
    Wipe(block, sizeof block);
}

HmacSha256::~HmacSha256() {
    // Both states were keyed; going back to the initial values forgets the key.
    inner_.Reset();
    outer_.Reset();
}

void HmacSha256::Update(const void* data, size_t length) { inner_.Update(data, length); }

void HmacSha256::Final(uint8_t mac[kHmacSha256Size]) {
    uint8_t innerDigest[kSha256DigestSize];
    inner_.Final(innerDigest);
    outer_.Update(innerDigest, sizeof innerDigest);
    outer_.Final(mac);
    Wipe(innerDigest, sizeof innerDigest);
}

void HmacSha256::Mac(const void* key, size_t keyLength, const void* data, size_t length,
                     uint8_t mac[kHmacSha256Size]) {
    HmacSha256 hmac(key, keyLength);
    hmac.Update(data, length);
    hmac.Final(mac);
}

}  // namespace pncrypto
