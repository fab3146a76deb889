// How the password box keeps its secrets (database format 1).
//
// A random 256-bit data key is wrapped under a key derived from the master
// password (Argon2id, Kdf.h): AES-256-CBC with PKCS#7, then HMAC-SHA-256 over
// the format, the derivation's parameters, the salt and the cipher text, with
// separate encryption and MAC keys taken from the derived key. So the master
// password can change without touching a record, and a wrong password shows
// as a MAC that does not hold.
//
// Each record's password is sealed with keys taken from the data key: a fresh
// IV, AES-256-CBC with PKCS#7, then HMAC-SHA-256 over the format, record and
// group numbers, user name, address, comments, IV and cipher text
// (encrypt-then-MAC). A record whose fields were changed, moved or cut does
// not open, and nothing of it is decrypted.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Kdf.h"
#include "SecretMemory.h"

namespace pncrypto {

constexpr uint32_t kBoxFormat = 1;
constexpr size_t kDataKeySize = 32;
using DataKey = SecretKey<kDataKeySize>;

// The two keys of an open box's records.
struct RecordKeys {
    SecretKey<32> encryption;
    SecretKey<32> authentication;
};
void DeriveRecordKeys(const DataKey& dataKey, RecordKeys& keys);

// A fresh data key from the system's generator; false when it gave none.
bool NewDataKey(DataKey& key);

// ---- AES-256-CBC with PKCS#7 padding, and hexadecimal text ----

void CbcPkcs7Encrypt(const uint8_t key[32], const uint8_t iv[16], const uint8_t* plain, size_t length,
                     std::vector<uint8_t>& cipher);
// False for a length that is not whole blocks or padding that does not hold.
bool CbcPkcs7Decrypt(const uint8_t key[32], const uint8_t iv[16], const uint8_t* cipher, size_t length,
                     std::vector<uint8_t>& plain);
std::string ToUpperHex(const uint8_t* bytes, size_t length);
// False for anything but pairs of hexadecimal digits.
bool FromHex(const std::string& hex, std::vector<uint8_t>& bytes);

// ---- Records ----

// What a record's MAC binds besides its cipher text.
struct RecordFields {
    int64_t id;
    int64_t group;
    std::string user;
    std::string url;
    std::string comments;
};

// The password's sealed form, upper-case hex of IV, cipher text and MAC.
// False only when the system gave no random IV.
bool SealRecord(const RecordKeys& keys, const RecordFields& fields, const std::string& password, std::string& sealed);
// True with the password when the MAC holds for these fields; false (and
// nothing decrypted) otherwise.
bool OpenRecord(const RecordKeys& keys, const RecordFields& fields, const std::string& sealed, std::string& password);

// ---- The wrapped data key ----

struct WrappedKey {
    KdfParameters parameters{};
    uint8_t salt[kKdfSaltSize] = {};
    std::vector<uint8_t> wrapped;  // IV, cipher text, MAC
    uint8_t check[32] = {};        // SHA-256 of all the above: tells damage from a wrong password
};

// Wraps the data key under the password with a fresh salt and IV.
bool WrapDataKey(const std::string& password, const KdfParameters& parameters, const DataKey& dataKey,
                 WrappedKey& out);

enum class UnwrapResult {
    Unwrapped,
    WrongPassword,  // the stored form is whole, the MAC does not hold
    Damaged,        // the stored form does not match its check
    Refused,        // parameters outside the limits, or no memory for them
};
UnwrapResult UnwrapDataKey(const std::string& password, const WrappedKey& stored, DataKey& dataKey);

// The check value of a wrapped key as it stands.
void ComputeKeyCheck(const WrappedKey& key, uint8_t check[32]);

}  // namespace pncrypto
