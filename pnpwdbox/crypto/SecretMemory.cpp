#include "SecretMemory.h"

namespace pncrypto {

void Wipe(void* bytes, size_t length) noexcept {
    if (!bytes) return;
    volatile uint8_t* p = static_cast<volatile uint8_t*>(bytes);
    for (size_t i = 0; i < length; ++i) p[i] = 0;
}

void Wipe(std::string& text) noexcept {
    if (!text.empty()) Wipe(&text[0], text.size());
    text.clear();
}

bool EqualInConstantTime(const void* a, const void* b, size_t length) noexcept {
    const volatile uint8_t* x = static_cast<const volatile uint8_t*>(a);
    const volatile uint8_t* y = static_cast<const volatile uint8_t*>(b);
    uint8_t difference = 0;
    for (size_t i = 0; i < length; ++i) difference |= uint8_t(x[i] ^ y[i]);
    return difference == 0;
}

}  // namespace pncrypto
