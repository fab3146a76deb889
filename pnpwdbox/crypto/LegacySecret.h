// Secrets that an earlier version stored with the text cipher while the
// program's text was in the system's legacy ("ANSI") code page: the cipher
// text is plain hexadecimal, but the password inside is in that code page.
// Converting a folder to UTF-8 decrypts such a value, converts the password
// and encrypts it again with the same cipher, so the password typed in UTF-8
// still matches it. Values in the newer forms ("$argon2id$..." hashes,
// "dpapi1:" protected text) are only ever written in UTF-8 and stay as they
// are.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace pncrypto {

// Legacy text to UTF-8; false when it cannot be converted.
using LegacyDecoder = std::function<bool(std::string_view legacy, std::string& utf8)>;

enum class SecretConversion {
    Unchanged,   // empty, a newer form, or a password that is UTF-8 already
    Converted,   // `converted` holds the new cipher text
    NotCipher,   // no cipher text of the old form: left as it is
    TooLong,     // the password in UTF-8 is more than the cipher holds: left as it is
};

SecretConversion ConvertLegacySecret(std::string_view stored, const LegacyDecoder& decode, std::string& converted);

}  // namespace pncrypto
