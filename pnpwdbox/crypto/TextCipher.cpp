#include "TextCipher.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "Aes.h"
#include "NewRandom.h"

namespace {

using namespace pncrypto;

constexpr char kKeyText[] = "7 h2QWRTV,PLMZKXBY58HGT9D6RFAe41";
constexpr int kKeyBits = 8 * (sizeof kKeyText - 1);
static_assert(kKeyBits == 256, "the key text is the whole AES-256 key");

// Assembled on every call instead of sitting in the binary as one constant.
void BuildInitialisationVector(uint8_t iv[kAesBlockSize]) {
    iv[0] = 0x5C;
    iv[1] = 0x0E;
    iv[2] = 0x93;
    iv[3] = 0x27;
    iv[4] = 0xB1;
    iv[5] = 0x48;
    std::memcpy(iv + 6, "v3Ktq", 5);
    iv[11] = 0xD4;
    iv[12] = 0x6F;
    iv[13] = 0x02;
    iv[14] = 0xE8;
    iv[15] = 0x7B;
}

const uint8_t* KeyBytes() { return reinterpret_cast<const uint8_t*>(kKeyText); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Bounded length of a result buffer that may not hold a NUL within capacity.
size_t TextLength(const char* text, size_t capacity) {
    const void* nul = std::memchr(text, '\0', capacity);
    return nul ? size_t(static_cast<const char*>(nul) - text) : capacity;
}

void EraseBytes(std::vector<uint8_t>& bytes) {
    mem_erase(bytes.data(), int32_t(bytes.size()));
}

int Encrypt(const char* text, char* result, int capacity) {
    const size_t length = std::strlen(text);
    if (length == 0 || capacity <= 0) return 0;
    const size_t padded = (length + kAesBlockSize - 1) / kAesBlockSize * kAesBlockSize;
    const size_t existing = TextLength(result, size_t(capacity));
    // The digits and the NUL after them must fit; checked before any
    // allocation so an oversized text costs nothing.
    if (padded > size_t(capacity) || existing + 2 * padded >= size_t(capacity)) return 0;

    std::vector<uint8_t> buffer(padded, 0);
    std::memcpy(buffer.data(), text, length);
    Aes256Schedule schedule;
    Aes256ExpandEncryptKey(KeyBytes(), schedule);
    uint8_t iv[kAesBlockSize];
    BuildInitialisationVector(iv);
    Aes256CbcEncrypt(schedule, iv, buffer.data(), buffer.data(), padded);
    mem_erase(&schedule, sizeof schedule);

    static constexpr char kDigits[] = "0123456789ABCDEF";
    char* out = result + existing;
    for (uint8_t byte : buffer) {
        *out++ = kDigits[byte >> 4];
        *out++ = kDigits[byte & 0x0F];
    }
    *out = '\0';
    EraseBytes(buffer);
    return 1;
}

int Decrypt(const char* text, char* result, int* capacity) {
    if (*capacity <= 0) return 0;
    const size_t digits = std::strlen(text);
    if (digits == 0 || digits % (2 * kAesBlockSize) != 0) return 0;

    // One spare zero byte so the plain text always ends in a NUL.
    std::vector<uint8_t> bytes(digits / 2 + 1, 0);
    for (size_t i = 0; i < digits / 2; ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return 0;
        bytes[i] = uint8_t(high << 4 | low);
    }
    Aes256Schedule schedule;
    Aes256ExpandDecryptKey(KeyBytes(), schedule);
    uint8_t iv[kAesBlockSize];
    BuildInitialisationVector(iv);
    Aes256CbcDecrypt(schedule, iv, bytes.data(), bytes.data(), digits / 2);
    mem_erase(&schedule, sizeof schedule);

    // The plain text ends at the first zero byte of the padding.
    const size_t plain = std::strlen(reinterpret_cast<const char*>(bytes.data()));
    const size_t copied = plain < size_t(*capacity - 1) ? plain : size_t(*capacity - 1);
    std::memcpy(result, bytes.data(), copied);
    result[copied] = '\0';
    *capacity = int(copied + 1);
    EraseBytes(bytes);
    return 1;
}

}  // namespace

int cipherText(const char* text, char* result, int* capacity, int direction) {
    if (!text || !result || !capacity) return 0;
    if (direction == 1) return Encrypt(text, result, *capacity);
    if (direction == 0) return Decrypt(text, result, capacity);
    return 0;
}

int cryptField(const char* text, char* result, int decrypt) {
    int capacity = kCipherFieldSize;
    return cipherText(text, result, &capacity, decrypt ? 0 : 1);
}
