// AES-256 (FIPS-197) over lookup tables, and CBC chaining (SP 800-38A).
// Encryption and decryption keep separate expanded schedules so the
// decryption rounds can use the same table shape as the encryption rounds.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pncrypto {

constexpr int kAesBlockSize = 16;
constexpr int kAes256KeySize = 32;
constexpr int kAes256Rounds = 14;

// 4 words per round key, one more round key than rounds.
struct Aes256Schedule {
    uint32_t words[4 * (kAes256Rounds + 1)];
};

void Aes256ExpandEncryptKey(const uint8_t key[kAes256KeySize], Aes256Schedule& schedule);
void Aes256ExpandDecryptKey(const uint8_t key[kAes256KeySize], Aes256Schedule& schedule);

// One block; in and out may be the same buffer.
void Aes256EncryptBlock(const Aes256Schedule& encrypt, const uint8_t in[16], uint8_t out[16]);
void Aes256DecryptBlock(const Aes256Schedule& decrypt, const uint8_t in[16], uint8_t out[16]);

// CBC over whole blocks: length must be a multiple of 16 (a trailing partial
// block is left untouched). The vector is updated to the last cipher block so
// a message can be processed in pieces; in and out may be the same buffer.
void Aes256CbcEncrypt(const Aes256Schedule& encrypt, uint8_t iv[16],
                      const uint8_t* in, uint8_t* out, size_t length);
void Aes256CbcDecrypt(const Aes256Schedule& decrypt, uint8_t iv[16],
                      const uint8_t* in, uint8_t* out, size_t length);

}  // namespace pncrypto
