#include "PwdGenerator.h"

#include <cstdint>
#include <cstring>

#include "Sha256.h"

namespace pngen {

const char* const kClassLabels[kClassCount] = {
    "Upper alphabetic characters (A, B, C, ...)",
    "Lower alphabetic characters (a, b, c, ...)",
    "Numerical characters (1, 2, 3, ...)",
    "Underline character '_'",
    "Minus '-'",
    "Space ' '",
    "Special characters (!, \xC2\xA7, $, %, &, ...)",
    "Special brackets ('{', '}', '[', ...)",
};

const bool kClassDefaults[kClassCount] = {true, true, true, true, false, false, false, false};

Options DefaultOptions() {
    Options options{};
    for (int i = 0; i < kClassCount; ++i) options.classes[i] = kClassDefaults[i];
    options.length = kDefaultLength;
    return options;
}

bool ClassContains(int row, int c) {
    switch (row) {
    case 0: return c >= 'A' && c <= 'Z';
    case 1: return c >= 'a' && c <= 'z';
    case 2: return c >= '0' && c <= '9';
    case 3: return c == '_';
    case 4: return c == '-';
    case 5: return c == ' ';
    // 33..47, 58..64 and 91..96 without the square brackets 91 and 93.
    case 6: return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || c == 92 || (c >= 94 && c <= 96);
    case 7: return c == '[' || c == ']' || c == '{' || c == '}';
    default: return false;
    }
}

Outcome Generate(const Options& options, std::string& password, CNewRandom::PoolFiller filler) {
    password.clear();
    bool anyClass = false;
    for (bool on : options.classes) anyClass = anyClass || on;
    if (!anyClass) return Outcome::NoClassChosen;
    if (options.length < 0 || options.length > kLargestLength) return Outcome::LengthOutOfRange;

    CNewRandom pool;
    if (filler)
        pool.InitializeWith(filler);
    else
        pool.Initialize();

    uint8_t seed[32];
    pool.GetRandomBuffer(seed, sizeof seed);
    uint8_t block[36];
    std::memcpy(block, seed, sizeof seed);
    uint8_t digest[pncrypto::kSha256DigestSize];
    unsigned position = 32;
    uint32_t counter = 0;

    const unsigned wanted = unsigned(options.length);
    while (unsigned(password.size()) < wanted) {
        if (position == 32) {
            block[32] = uint8_t(counter);
            block[33] = uint8_t(counter >> 8);
            block[34] = uint8_t(counter >> 16);
            block[35] = uint8_t(counter >> 24);
            pncrypto::Sha256::Digest(block, sizeof block, digest);
            position = 0;
            ++counter;
        }
        uint8_t r = 0;
        pool.GetRandomBuffer(&r, 1);
        if (r < 130) {  // about half of the digest's bytes are passed over
            ++position;
            continue;
        }
        const int c = static_cast<int8_t>(digest[position]);  // 128..255 read as negative: no class
        ++position;
        if (c == 0 || c == 13 || c == 10) continue;
        for (int row = 0; row < kClassCount; ++row)
            if (options.classes[row] && ClassContains(row, c)) password += char(c);
    }
    mem_erase(seed, sizeof seed);
    mem_erase(block, sizeof block);
    mem_erase(digest, sizeof digest);
    pool.Reset();
    return Outcome::Generated;
}

}  // namespace pngen
