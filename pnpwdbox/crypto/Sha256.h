// SHA-256 (FIPS 180-2) and the exported file digest.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pncrypto {

constexpr int kSha256DigestSize = 32;

class Sha256 {
public:
    Sha256() { Reset(); }
    void Reset();
    // Bytes may come in any amounts.
    void Update(const void* data, size_t length);
    // Appends the padding and bit length, writes the big-endian digest and
    // leaves the object ready for a new message.
    void Final(uint8_t digest[kSha256DigestSize]);

    static void Digest(const void* data, size_t length, uint8_t digest[kSha256DigestSize]);

private:
    void Compress(const uint8_t* block);

    uint32_t state_[8];
    uint64_t totalBytes_;
    uint8_t pending_[64];
    size_t pendingBytes_;
};

}  // namespace pncrypto

// 1 with the digest of the file's contents, 0 when an argument is absent or
// the file cannot be opened or read.
extern "C" int SHA256_HashFile(const char* path, uint8_t* digest);
