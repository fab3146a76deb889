#include "Sha256.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>

namespace pncrypto {
namespace {

constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr uint32_t kInitialState[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

inline uint32_t Rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
inline uint32_t BigSigma0(uint32_t x) { return Rotr(x, 2) ^ Rotr(x, 13) ^ Rotr(x, 22); }
inline uint32_t BigSigma1(uint32_t x) { return Rotr(x, 6) ^ Rotr(x, 11) ^ Rotr(x, 25); }
inline uint32_t SmallSigma0(uint32_t x) { return Rotr(x, 7) ^ Rotr(x, 18) ^ (x >> 3); }
inline uint32_t SmallSigma1(uint32_t x) { return Rotr(x, 17) ^ Rotr(x, 19) ^ (x >> 10); }
inline uint32_t Choose(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t Majority(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); }

inline uint32_t LoadBigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// One round with the working variables renamed instead of shifted: the
// caller rotates the argument order, so no register moves are needed.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, i)                                   \
    do {                                                                          \
        const uint32_t t1 = h + BigSigma1(e) + Choose(e, f, g) + kRoundConstants[i] + w[i]; \
        d += t1;                                                                  \
        h = t1 + BigSigma0(a) + Majority(a, b, c);                                \
    } while (0)

#define SHA256_EIGHT_ROUNDS(i)                      \
    SHA256_ROUND(a, b, c, d, e, f, g, h, (i) + 0);  \
    SHA256_ROUND(h, a, b, c, d, e, f, g, (i) + 1);  \
    SHA256_ROUND(g, h, a, b, c, d, e, f, (i) + 2);  \
    SHA256_ROUND(f, g, h, a, b, c, d, e, (i) + 3);  \
    SHA256_ROUND(e, f, g, h, a, b, c, d, (i) + 4);  \
    SHA256_ROUND(d, e, f, g, h, a, b, c, (i) + 5);  \
    SHA256_ROUND(c, d, e, f, g, h, a, b, (i) + 6);  \
    SHA256_ROUND(b, c, d, e, f, g, h, a, (i) + 7)

}  // namespace

void Sha256::Reset() {
    std::memcpy(state_, kInitialState, sizeof state_);
    totalBytes_ = 0;
    pendingBytes_ = 0;
    // What was hashed may have been a key (HMAC keeps keyed states).
    std::memset(pending_, 0, sizeof pending_);
}

void Sha256::Compress(const uint8_t* block) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian(block + 4 * i);
    for (int i = 16; i < 64; ++i)
        w[i] = SmallSigma1(w[i - 2]) + w[i - 7] + SmallSigma0(w[i - 15]) + w[i - 16];

    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    SHA256_EIGHT_ROUNDS(0);
    SHA256_EIGHT_ROUNDS(8);
    SHA256_EIGHT_ROUNDS(16);
    SHA256_EIGHT_ROUNDS(24);
    SHA256_EIGHT_ROUNDS(32);
    SHA256_EIGHT_ROUNDS(40);
    SHA256_EIGHT_ROUNDS(48);
    SHA256_EIGHT_ROUNDS(56);
    state_[0] += a; state_[1] += b; state_[2] += c; state_[3] += d;
    state_[4] += e; state_[5] += f; state_[6] += g; state_[7] += h;
}

#undef SHA256_EIGHT_ROUNDS
#undef SHA256_ROUND

void Sha256::Update(const void* data, size_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    totalBytes_ += length;
    if (pendingBytes_ > 0) {
        const size_t take = std::min(length, sizeof pending_ - pendingBytes_);
        std::memcpy(pending_ + pendingBytes_, bytes, take);
        pendingBytes_ += take;
        bytes += take;
        length -= take;
        if (pendingBytes_ < sizeof pending_) return;
        Compress(pending_);
        pendingBytes_ = 0;
    }
    for (; length >= 64; bytes += 64, length -= 64) Compress(bytes);
    if (length > 0) {
        std::memcpy(pending_, bytes, length);
        pendingBytes_ = length;
    }
}

void Sha256::Final(uint8_t digest[kSha256DigestSize]) {
    const uint64_t bitLength = totalBytes_ * 8;
    uint8_t tail[72] = {0x80};
    // Pad to 56 bytes past a block boundary, then the 64-bit length.
    const size_t padBytes = (pendingBytes_ < 56 ? 56 : 120) - pendingBytes_;
    for (int i = 0; i < 8; ++i) tail[padBytes + i] = uint8_t(bitLength >> (56 - 8 * i));
    Update(tail, padBytes + 8);
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = uint8_t(state_[i] >> 24);
        digest[4 * i + 1] = uint8_t(state_[i] >> 16);
        digest[4 * i + 2] = uint8_t(state_[i] >> 8);
        digest[4 * i + 3] = uint8_t(state_[i]);
    }
    std::memset(pending_, 0, sizeof pending_);
    Reset();
}

void Sha256::Digest(const void* data, size_t length, uint8_t digest[kSha256DigestSize]) {
    Sha256 hash;
    hash.Update(data, length);
    hash.Final(digest);
}

}  // namespace pncrypto

namespace {
struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};
}  // namespace

extern "C" int SHA256_HashFile(const char* path, uint8_t* digest) {
    if (!path || !digest) return 0;
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return 0;
    constexpr size_t kBlock = 1024;
    uint8_t buffer[kBlock];
    pncrypto::Sha256 hash;
    size_t got;
    do {
        got = std::fread(buffer, 1, kBlock, file.get());
        hash.Update(buffer, got);
    } while (got == kBlock);
    // A short read is either the end or an error; only the end gives a digest.
    if (std::ferror(file.get())) return 0;
    hash.Final(digest);
    return 1;
}
