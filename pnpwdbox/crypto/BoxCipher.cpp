#include "BoxCipher.h"

#include <cstring>

#include "Aes.h"
#include "Hmac.h"
#include "Sha256.h"
#include "SystemSources.h"

namespace pncrypto {
namespace {

constexpr size_t kIvSize = kAesBlockSize;
constexpr size_t kMacSize = kHmacSha256Size;
constexpr char kRecordTag[] = "pnpb record";
constexpr char kKeyTag[] = "pnpb data key";
constexpr char kKdfName[] = "argon2id";

// Fields go into a MAC each with its length first, so no two different
// records give the same input.
class MacInput {
public:
    explicit MacInput(HmacSha256& mac) : mac_(mac) {}
    void Bytes(const void* data, size_t length) {
        Number(uint64_t(length));
        mac_.Update(data, length);
    }
    void Text(const std::string& text) { Bytes(text.data(), text.size()); }
    void Number(uint64_t value) {
        uint8_t bytes[8];
        for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(value >> (8 * i));
        mac_.Update(bytes, sizeof bytes);
    }

private:
    HmacSha256& mac_;
};

// Separate keys for separate jobs, both from one key.
void SplitKey(const uint8_t* key, size_t length, const char* purpose, uint8_t out[32]) {
    HmacSha256::Mac(key, length, purpose, std::strlen(purpose), out);
}

void RecordMac(const RecordKeys& keys, const RecordFields& f, const uint8_t* ivAndCipher, size_t length,
               uint8_t mac[kMacSize]) {
    HmacSha256 hmac(keys.authentication.bytes, keys.authentication.size());
    MacInput in(hmac);
    in.Text(kRecordTag);
    in.Number(kBoxFormat);
    in.Number(uint64_t(f.id));
    in.Number(uint64_t(f.group));
    in.Text(f.user);
    in.Text(f.url);
    in.Text(f.comments);
    in.Bytes(ivAndCipher, length);
    hmac.Final(mac);
}

void KeyMac(const uint8_t macKey[32], const WrappedKey& key, const uint8_t* ivAndCipher, size_t length,
            uint8_t mac[kMacSize]) {
    HmacSha256 hmac(macKey, 32);
    MacInput in(hmac);
    in.Text(kKeyTag);
    in.Number(kBoxFormat);
    in.Text(kKdfName);
    in.Number(key.parameters.memoryKiB);
    in.Number(key.parameters.passes);
    in.Number(key.parameters.lanes);
    in.Bytes(key.salt, sizeof key.salt);
    in.Bytes(ivAndCipher, length);
    hmac.Final(mac);
}

// The wrapping keys from the password: none when the parameters are refused.
bool WrappingKeys(const std::string& password, const WrappedKey& key, SecretKey<32>& encryption,
                  SecretKey<32>& authentication) {
    SecretKey<kKdfKeySize> derived;
    if (!DeriveKey(password.data(), password.size(), key.salt, key.parameters, derived.bytes)) return false;
    SplitKey(derived.bytes, derived.size(), "pnpb wrap encryption", encryption.bytes);
    SplitKey(derived.bytes, derived.size(), "pnpb wrap authentication", authentication.bytes);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void DeriveRecordKeys(const DataKey& dataKey, RecordKeys& keys) {
    SplitKey(dataKey.bytes, dataKey.size(), "pnpb record encryption", keys.encryption.bytes);
    SplitKey(dataKey.bytes, dataKey.size(), "pnpb record authentication", keys.authentication.bytes);
}

bool NewDataKey(DataKey& key) { return FillFromSystemRandom(key.bytes, key.size()); }

void CbcPkcs7Encrypt(const uint8_t key[32], const uint8_t iv[16], const uint8_t* plain, size_t length,
                     std::vector<uint8_t>& cipher) {
    const size_t padding = kAesBlockSize - length % kAesBlockSize;  // 1..16: always some
    cipher.assign(length + padding, uint8_t(padding));
    if (length > 0) std::memcpy(cipher.data(), plain, length);
    Aes256Schedule schedule;
    Aes256ExpandEncryptKey(key, schedule);
    uint8_t chain[kIvSize];
    std::memcpy(chain, iv, kIvSize);
    Aes256CbcEncrypt(schedule, chain, cipher.data(), cipher.data(), cipher.size());
    Wipe(&schedule, sizeof schedule);
}

bool CbcPkcs7Decrypt(const uint8_t key[32], const uint8_t iv[16], const uint8_t* cipher, size_t length,
                     std::vector<uint8_t>& plain) {
    plain.clear();
    if (length == 0 || length % kAesBlockSize != 0) return false;
    std::vector<uint8_t> out(cipher, cipher + length);
    Aes256Schedule schedule;
    Aes256ExpandDecryptKey(key, schedule);
    uint8_t chain[kIvSize];
    std::memcpy(chain, iv, kIvSize);
    Aes256CbcDecrypt(schedule, chain, out.data(), out.data(), out.size());
    Wipe(&schedule, sizeof schedule);
    // Only ever reached for authenticated cipher text, so the time this takes
    // tells an attacker nothing he could not forge anyway.
    const uint8_t padding = out.back();
    bool sound = padding >= 1 && padding <= kAesBlockSize;
    for (size_t i = 0; sound && i < padding; ++i) sound = out[out.size() - 1 - i] == padding;
    if (!sound) {
        Wipe(out.data(), out.size());
        return false;
    }
    out.resize(out.size() - padding);
    plain.swap(out);
    return true;
}

std::string ToUpperHex(const uint8_t* bytes, size_t length) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(2 * length);
    for (size_t i = 0; i < length; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0F];
    }
    return hex;
}

bool FromHex(const std::string& hex, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (hex.size() % 2 != 0) return false;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(uint8_t(high << 4 | low));
    }
    return true;
}

bool SealRecord(const RecordKeys& keys, const RecordFields& fields, const std::string& password, std::string& sealed) {
    std::vector<uint8_t> blob(kIvSize);
    if (!FillFromSystemRandom(blob.data(), kIvSize)) return false;
    std::vector<uint8_t> cipher;
    CbcPkcs7Encrypt(keys.encryption.bytes, blob.data(), reinterpret_cast<const uint8_t*>(password.data()),
                    password.size(), cipher);
    blob.insert(blob.end(), cipher.begin(), cipher.end());
    uint8_t mac[kMacSize];
    RecordMac(keys, fields, blob.data(), blob.size(), mac);
    blob.insert(blob.end(), mac, mac + kMacSize);
    sealed = ToUpperHex(blob.data(), blob.size());
    return true;
}

bool OpenRecord(const RecordKeys& keys, const RecordFields& fields, const std::string& sealed, std::string& password) {
    password.clear();
    std::vector<uint8_t> blob;
    if (!FromHex(sealed, blob) || blob.size() < kIvSize + kAesBlockSize + kMacSize) return false;
    const size_t body = blob.size() - kMacSize;
    uint8_t mac[kMacSize];
    RecordMac(keys, fields, blob.data(), body, mac);
    if (!EqualInConstantTime(mac, blob.data() + body, kMacSize)) return false;
    std::vector<uint8_t> plain;
    if (!CbcPkcs7Decrypt(keys.encryption.bytes, blob.data(), blob.data() + kIvSize, body - kIvSize, plain)) return false;
    password.assign(plain.begin(), plain.end());
    Wipe(plain.data(), plain.size());
    return true;
}

void ComputeKeyCheck(const WrappedKey& key, uint8_t check[32]) {
    Sha256 hash;
    uint8_t header[16];
    const uint32_t numbers[4] = {kBoxFormat, key.parameters.memoryKiB, key.parameters.passes, key.parameters.lanes};
    for (int n = 0; n < 4; ++n)
        for (int i = 0; i < 4; ++i) header[4 * n + i] = uint8_t(numbers[n] >> (8 * i));
    hash.Update(kKdfName, sizeof kKdfName - 1);
    hash.Update(header, sizeof header);
    hash.Update(key.salt, sizeof key.salt);
    hash.Update(key.wrapped.data(), key.wrapped.size());
    hash.Final(check);
}

bool WrapDataKey(const std::string& password, const KdfParameters& parameters, const DataKey& dataKey,
                 WrappedKey& out) {
    out = WrappedKey{};
    out.parameters = parameters;
    uint8_t iv[kIvSize];
    if (!FillFromSystemRandom(out.salt, sizeof out.salt) || !FillFromSystemRandom(iv, sizeof iv)) return false;
    SecretKey<32> encryption, authentication;
    if (!WrappingKeys(password, out, encryption, authentication)) return false;
    std::vector<uint8_t> cipher;
    CbcPkcs7Encrypt(encryption.bytes, iv, dataKey.bytes, dataKey.size(), cipher);
    out.wrapped.assign(iv, iv + kIvSize);
    out.wrapped.insert(out.wrapped.end(), cipher.begin(), cipher.end());
    uint8_t mac[kMacSize];
    KeyMac(authentication.bytes, out, out.wrapped.data(), out.wrapped.size(), mac);
    out.wrapped.insert(out.wrapped.end(), mac, mac + kMacSize);
    ComputeKeyCheck(out, out.check);
    return true;
}

UnwrapResult UnwrapDataKey(const std::string& password, const WrappedKey& stored, DataKey& dataKey) {
    uint8_t check[32];
    ComputeKeyCheck(stored, check);
    if (!EqualInConstantTime(check, stored.check, sizeof check)) return UnwrapResult::Damaged;
    if (stored.wrapped.size() != kIvSize + 48 + kMacSize) return UnwrapResult::Damaged;
    if (!KdfParametersAllowed(stored.parameters)) return UnwrapResult::Refused;
    SecretKey<32> encryption, authentication;
    if (!WrappingKeys(password, stored, encryption, authentication)) return UnwrapResult::Refused;
    const size_t body = stored.wrapped.size() - kMacSize;
    uint8_t mac[kMacSize];
    KeyMac(authentication.bytes, stored, stored.wrapped.data(), body, mac);
    if (!EqualInConstantTime(mac, stored.wrapped.data() + body, kMacSize)) return UnwrapResult::WrongPassword;
    std::vector<uint8_t> plain;
    const bool opened = CbcPkcs7Decrypt(encryption.bytes, stored.wrapped.data(), stored.wrapped.data() + kIvSize,
                                        body - kIvSize, plain);
    // Authenticated but not a key: only a bug of ours could have written it.
    if (!opened || plain.size() != kDataKeySize) {
        Wipe(plain.data(), plain.size());
        return UnwrapResult::Damaged;
    }
    std::memcpy(dataKey.bytes, plain.data(), kDataKeySize);
    Wipe(plain.data(), plain.size());
    return UnwrapResult::Unwrapped;
}

}  // namespace pncrypto
