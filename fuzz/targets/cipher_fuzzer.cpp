// Any text as a stored password (hexadecimal cipher text): decrypted into the
// buffers every caller uses; any text the field can hold comes back from its
// own cipher text.
#include <cstring>
#include <string>

#include "Scratch.h"
#include "TextCipher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);  // up to its first NUL
    char plain[kCipherFieldSize];
    std::memset(plain, 'p', sizeof plain);
    if (cryptField(text.c_str(), plain, 1) == 1) fuzz::Require(std::strlen(plain) < sizeof plain);
    for (int capacity : {1, 2, 17, 64}) {
        char small[64];
        int room = capacity;
        if (cipherText(text.c_str(), small, &room, 0) == 1) fuzz::Require(room >= 1 && room <= capacity);
    }

    const size_t length = std::strlen(text.c_str());
    char cipher[kCipherFieldSize] = {};
    const int encrypted = cryptField(text.c_str(), cipher, 0);
    fuzz::Require(encrypted == (length >= 1 && length <= kCipherMaxPlainBytes ? 1 : 0));
    if (encrypted == 1) {
        char back[kCipherFieldSize] = {};
        fuzz::Require(cryptField(cipher, back, 1) == 1 && std::strcmp(back, text.c_str()) == 0);
    }
    return 0;
}
