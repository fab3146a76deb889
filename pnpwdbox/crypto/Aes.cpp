#include "Aes.h"

#include <array>
#include <cstring>

namespace pncrypto {
namespace {

// ---- Tables, computed by the compiler from the field arithmetic ----------

constexpr uint8_t Times2(uint8_t b) {
    return static_cast<uint8_t>((b << 1) ^ ((b & 0x80) ? 0x1B : 0x00));
}

constexpr uint8_t Multiply(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    while (b) {
        if (b & 1) product ^= a;
        a = Times2(a);
        b >>= 1;
    }
    return product;
}

constexpr uint8_t RotateLeft8(uint8_t b, int n) {
    return static_cast<uint8_t>((b << n) | (b >> (8 - n)));
}

struct ByteTables {
    std::array<uint8_t, 256> sbox{};
    std::array<uint8_t, 256> inverse{};
};

constexpr ByteTables MakeSboxes() {
    // Walk the multiplicative group with generator 3 to get logarithms,
    // then take each byte's inverse and apply the affine map.
    std::array<uint8_t, 256> exp{}, log{};
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        exp[i] = x;
        log[x] = static_cast<uint8_t>(i);
        x = static_cast<uint8_t>(x ^ Times2(x));
    }
    ByteTables t;
    for (int b = 0; b < 256; ++b) {
        const uint8_t inv = b == 0 ? 0 : exp[(255 - log[b]) % 255];
        const uint8_t s = static_cast<uint8_t>(inv ^ RotateLeft8(inv, 1) ^ RotateLeft8(inv, 2) ^
                                               RotateLeft8(inv, 3) ^ RotateLeft8(inv, 4) ^ 0x63);
        t.sbox[b] = s;
        t.inverse[s] = static_cast<uint8_t>(b);
    }
    return t;
}

constexpr ByteTables kBytes = MakeSboxes();
static_assert(kBytes.sbox[0x00] == 0x63 && kBytes.sbox[0x53] == 0xED, "S-box");

constexpr uint32_t Word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return (uint32_t(b0) << 24) | (uint32_t(b1) << 16) | (uint32_t(b2) << 8) | b3;
}

constexpr uint32_t RotateRight(uint32_t w, int n) { return n == 0 ? w : (w >> n) | (w << (32 - n)); }

using WordTable = std::array<uint32_t, 256>;

// Table i holds the round transformation of one byte in column position i:
// SubBytes + MixColumns for encryption, InvSubBytes + InvMixColumns for decryption.
struct RoundTables {
    WordTable t[4];
};

constexpr RoundTables MakeEncryptTables() {
    RoundTables r{};
    for (int b = 0; b < 256; ++b) {
        const uint8_t s = kBytes.sbox[b];
        const uint32_t w = Word(Multiply(s, 2), s, s, Multiply(s, 3));
        for (int i = 0; i < 4; ++i) r.t[i][b] = RotateRight(w, 8 * i);
    }
    return r;
}

constexpr RoundTables MakeDecryptTables() {
    RoundTables r{};
    for (int b = 0; b < 256; ++b) {
        const uint8_t s = kBytes.inverse[b];
        const uint32_t w = Word(Multiply(s, 14), Multiply(s, 9), Multiply(s, 13), Multiply(s, 11));
        for (int i = 0; i < 4; ++i) r.t[i][b] = RotateRight(w, 8 * i);
    }
    return r;
}

constexpr RoundTables kEnc = MakeEncryptTables();
constexpr RoundTables kDec = MakeDecryptTables();

// ---- Helpers ------------------------------------------------------------

inline uint32_t LoadBigEndian(const uint8_t* p) {
    return Word(p[0], p[1], p[2], p[3]);
}

inline void StoreBigEndian(uint8_t* p, uint32_t w) {
    p[0] = uint8_t(w >> 24);
    p[1] = uint8_t(w >> 16);
    p[2] = uint8_t(w >> 8);
    p[3] = uint8_t(w);
}

inline uint8_t Byte(uint32_t w, int index) {  // index 0 = most significant
    return uint8_t(w >> (24 - 8 * index));
}

inline uint32_t SubWord(uint32_t w) {
    return Word(kBytes.sbox[Byte(w, 0)], kBytes.sbox[Byte(w, 1)],
                kBytes.sbox[Byte(w, 2)], kBytes.sbox[Byte(w, 3)]);
}

// InvMixColumns of one word: the decryption tables already carry InvMixColumns
// after InvSubBytes, so feeding them S(x) cancels the substitution.
inline uint32_t InvMixColumn(uint32_t w) {
    return kDec.t[0][kBytes.sbox[Byte(w, 0)]] ^ kDec.t[1][kBytes.sbox[Byte(w, 1)]] ^
           kDec.t[2][kBytes.sbox[Byte(w, 2)]] ^ kDec.t[3][kBytes.sbox[Byte(w, 3)]];
}

// One full round for output column c: byte i comes from column (c + shift*i).
inline uint32_t EncryptColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t key) {
    return kEnc.t[0][Byte(a, 0)] ^ kEnc.t[1][Byte(b, 1)] ^ kEnc.t[2][Byte(c, 2)] ^
           kEnc.t[3][Byte(d, 3)] ^ key;
}

inline uint32_t DecryptColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t key) {
    return kDec.t[0][Byte(a, 0)] ^ kDec.t[1][Byte(b, 1)] ^ kDec.t[2][Byte(c, 2)] ^
           kDec.t[3][Byte(d, 3)] ^ key;
}

inline uint32_t LastEncryptColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t key) {
    return Word(kBytes.sbox[Byte(a, 0)], kBytes.sbox[Byte(b, 1)], kBytes.sbox[Byte(c, 2)],
                kBytes.sbox[Byte(d, 3)]) ^ key;
}

inline uint32_t LastDecryptColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t key) {
    return Word(kBytes.inverse[Byte(a, 0)], kBytes.inverse[Byte(b, 1)],
                kBytes.inverse[Byte(c, 2)], kBytes.inverse[Byte(d, 3)]) ^ key;
}

constexpr int kScheduleWords = 4 * (kAes256Rounds + 1);
constexpr int kKeyWords = kAes256KeySize / 4;

}  // namespace

void Aes256ExpandEncryptKey(const uint8_t key[kAes256KeySize], Aes256Schedule& schedule) {
    uint32_t* w = schedule.words;
    for (int i = 0; i < kKeyWords; ++i) w[i] = LoadBigEndian(key + 4 * i);
    uint8_t roundConstant = 0x01;
    for (int i = kKeyWords; i < kScheduleWords; ++i) {
        uint32_t temp = w[i - 1];
        if (i % kKeyWords == 0) {
            temp = SubWord((temp << 8) | (temp >> 24)) ^ (uint32_t(roundConstant) << 24);
            roundConstant = Times2(roundConstant);
        } else if (i % kKeyWords == 4) {
            temp = SubWord(temp);
        }
        w[i] = w[i - kKeyWords] ^ temp;
    }
}

void Aes256ExpandDecryptKey(const uint8_t key[kAes256KeySize], Aes256Schedule& schedule) {
    // The equivalent inverse cipher: round keys in reverse order, the inner
    // ones passed through InvMixColumns.
    Aes256Schedule forward;
    Aes256ExpandEncryptKey(key, forward);
    for (int round = 0; round <= kAes256Rounds; ++round) {
        const uint32_t* from = forward.words + 4 * (kAes256Rounds - round);
        uint32_t* to = schedule.words + 4 * round;
        const bool inner = round != 0 && round != kAes256Rounds;
        for (int c = 0; c < 4; ++c) to[c] = inner ? InvMixColumn(from[c]) : from[c];
    }
    std::memset(&forward, 0, sizeof forward);
}

void Aes256EncryptBlock(const Aes256Schedule& encrypt, const uint8_t in[16], uint8_t out[16]) {
    const uint32_t* rk = encrypt.words;
    uint32_t s0 = LoadBigEndian(in) ^ rk[0];
    uint32_t s1 = LoadBigEndian(in + 4) ^ rk[1];
    uint32_t s2 = LoadBigEndian(in + 8) ^ rk[2];
    uint32_t s3 = LoadBigEndian(in + 12) ^ rk[3];
    for (int round = 1; round < kAes256Rounds; ++round) {
        rk += 4;
        const uint32_t t0 = EncryptColumn(s0, s1, s2, s3, rk[0]);
        const uint32_t t1 = EncryptColumn(s1, s2, s3, s0, rk[1]);
        const uint32_t t2 = EncryptColumn(s2, s3, s0, s1, rk[2]);
        const uint32_t t3 = EncryptColumn(s3, s0, s1, s2, rk[3]);
        s0 = t0; s1 = t1; s2 = t2; s3 = t3;
    }
    rk += 4;
    StoreBigEndian(out, LastEncryptColumn(s0, s1, s2, s3, rk[0]));
    StoreBigEndian(out + 4, LastEncryptColumn(s1, s2, s3, s0, rk[1]));
    StoreBigEndian(out + 8, LastEncryptColumn(s2, s3, s0, s1, rk[2]));
    StoreBigEndian(out + 12, LastEncryptColumn(s3, s0, s1, s2, rk[3]));
}

void Aes256DecryptBlock(const Aes256Schedule& decrypt, const uint8_t in[16], uint8_t out[16]) {
    const uint32_t* rk = decrypt.words;
    uint32_t s0 = LoadBigEndian(in) ^ rk[0];
    uint32_t s1 = LoadBigEndian(in + 4) ^ rk[1];
    uint32_t s2 = LoadBigEndian(in + 8) ^ rk[2];
    uint32_t s3 = LoadBigEndian(in + 12) ^ rk[3];
    for (int round = 1; round < kAes256Rounds; ++round) {
        rk += 4;
        const uint32_t t0 = DecryptColumn(s0, s3, s2, s1, rk[0]);
        const uint32_t t1 = DecryptColumn(s1, s0, s3, s2, rk[1]);
        const uint32_t t2 = DecryptColumn(s2, s1, s0, s3, rk[2]);
        const uint32_t t3 = DecryptColumn(s3, s2, s1, s0, rk[3]);
        s0 = t0; s1 = t1; s2 = t2; s3 = t3;
    }
    rk += 4;
    StoreBigEndian(out, LastDecryptColumn(s0, s3, s2, s1, rk[0]));
    StoreBigEndian(out + 4, LastDecryptColumn(s1, s0, s3, s2, rk[1]));
    StoreBigEndian(out + 8, LastDecryptColumn(s2, s1, s0, s3, rk[2]));
    StoreBigEndian(out + 12, LastDecryptColumn(s3, s2, s1, s0, rk[3]));
}

void Aes256CbcEncrypt(const Aes256Schedule& encrypt, uint8_t iv[16],
                      const uint8_t* in, uint8_t* out, size_t length) {
    uint8_t block[kAesBlockSize];
    for (size_t offset = 0; offset + kAesBlockSize <= length; offset += kAesBlockSize) {
        for (int i = 0; i < kAesBlockSize; ++i) block[i] = in[offset + i] ^ iv[i];
        Aes256EncryptBlock(encrypt, block, iv);
        std::memcpy(out + offset, iv, kAesBlockSize);
    }
}

void Aes256CbcDecrypt(const Aes256Schedule& decrypt, uint8_t iv[16],
                      const uint8_t* in, uint8_t* out, size_t length) {
    uint8_t cipher[kAesBlockSize];
    uint8_t plain[kAesBlockSize];
    for (size_t offset = 0; offset + kAesBlockSize <= length; offset += kAesBlockSize) {
        // Keep the cipher block before writing: in and out may overlap.
        std::memcpy(cipher, in + offset, kAesBlockSize);
        Aes256DecryptBlock(decrypt, cipher, plain);
        for (int i = 0; i < kAesBlockSize; ++i) out[offset + i] = plain[i] ^ iv[i];
        std::memcpy(iv, cipher, kAesBlockSize);
    }
}

}  // namespace pncrypto
