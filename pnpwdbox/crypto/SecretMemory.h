// Key material and decrypted secrets: erased in a way the compiler cannot
// drop, compared without leaking where they differ, and held in buffers that
// erase themselves.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace pncrypto {

// Sets the bytes to zero; stores through volatile, so they are not optimised
// away even when the memory is freed right after.
void Wipe(void* bytes, size_t length) noexcept;
void Wipe(std::string& text) noexcept;  // its characters, then empties it

// True when both ranges hold the same bytes; the time taken depends only on
// the length.
bool EqualInConstantTime(const void* a, const void* b, size_t length) noexcept;

// A fixed-size secret (a key) that is erased when it goes.
template <size_t N>
struct SecretKey {
    uint8_t bytes[N] = {};
    SecretKey() = default;
    SecretKey(const SecretKey& other) { *this = other; }
    SecretKey& operator=(const SecretKey& other) {
        for (size_t i = 0; i < N; ++i) bytes[i] = other.bytes[i];
        return *this;
    }
    ~SecretKey() { Wipe(bytes, N); }
    static constexpr size_t size() { return N; }
};

}  // namespace pncrypto
