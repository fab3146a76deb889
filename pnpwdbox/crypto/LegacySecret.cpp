#include "LegacySecret.h"

#include "NewRandom.h"
#include "TextCipher.h"
#include "Utf8Text.h"

namespace pncrypto {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Wipes a password buffer on every way out.
struct Wiped {
    char bytes[kCipherFieldSize] = {};
    ~Wiped() { mem_erase(bytes, static_cast<int32_t>(sizeof bytes)); }
};

}  // namespace

SecretConversion ConvertLegacySecret(std::string_view stored, const LegacyDecoder& decode, std::string& converted) {
    converted.clear();
    if (stored.empty() || StartsWith(stored, "$argon2") || StartsWith(stored, "dpapi1:"))
        return SecretConversion::Unchanged;
    if (stored.size() >= kCipherFieldSize) return SecretConversion::NotCipher;
    const std::string cipher(stored);
    Wiped plain;
    if (cryptField(cipher.c_str(), plain.bytes, 1) != 1) return SecretConversion::NotCipher;
    if (uikit::IsValidUtf8(plain.bytes)) return SecretConversion::Unchanged;
    std::string utf8;
    const bool decoded = decode(plain.bytes, utf8);
    Wiped encrypted;
    const bool fits = decoded && !utf8.empty() && cryptField(utf8.c_str(), encrypted.bytes, 0) == 1;
    mem_erase(utf8.data(), static_cast<int32_t>(utf8.size()));
    if (!decoded) return SecretConversion::NotCipher;
    if (!fits) return SecretConversion::TooLong;
    converted = encrypted.bytes;
    return SecretConversion::Converted;
}

}  // namespace pncrypto
