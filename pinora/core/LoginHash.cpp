#include "LoginHash.h"

#include <argon2.h>

#include <cstring>
#include <vector>

#include "SystemRandom.h"

namespace pinora {

// 2 MiB and 3 passes: a check takes a few milliseconds, so automatic login at
// start-up costs no more than the bare tray program's allowance (the figures are
// in docs/ARCHITECTURE.md), while each guess costs an attacker the same 6 MiB
// of memory traffic. Stored hashes may ask for up to 64 MiB and 16 times the
// work, room for stronger costs later, bounded for a hostile table.
const LoginHashPolicy kLoginHashPolicy = {{2048, 3, 1}, 65536, 16 * 2048 * 3, 4};

namespace {

constexpr char kPrefix[] = "$argon2id$";
constexpr std::uint32_t kVersion = ARGON2_VERSION_13;  // 19
constexpr std::size_t kMinSalt = 8, kMaxSalt = 64, kMinHash = 16, kMaxHash = 64;

const LoginHashPolicy*& PolicyOverride() {
    static const LoginHashPolicy* policy = nullptr;
    return policy;
}

struct ParsedHash {
    std::uint32_t memoryKiB = 0, passes = 0, lanes = 0;
    std::vector<unsigned char> salt, hash;
};

// Wipes a buffer that held key material, in a way the compiler keeps.
void Wipe(void* bytes, std::size_t size) {
    volatile unsigned char* p = static_cast<volatile unsigned char*>(bytes);
    while (size--) *p++ = 0;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Base64 without padding, as the encoded form writes it; unused low bits of the
// last character must be zero, so each value has one spelling only.
bool DecodeBase64(const std::string& text, std::vector<unsigned char>& out) {
    if (text.size() % 4 == 1) return false;
    out.clear();
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const int v = Base64Value(c);
        if (v < 0) return false;
        bits = (bits << 6) | static_cast<std::uint32_t>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<unsigned char>(bits >> count));
            bits &= (1u << count) - 1;
        }
    }
    return bits == 0;
}

// Decimal without sign or leading zeros, at most 32 bits.
bool ReadNumber(const std::string& text, std::size_t& at, std::uint32_t& value) {
    const std::size_t start = at;
    std::uint64_t v = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        v = v * 10 + static_cast<std::uint64_t>(text[at] - '0');
        if (v > 0xFFFFFFFFu) return false;
        ++at;
    }
    if (at == start || (text[start] == '0' && at - start > 1)) return false;
    value = static_cast<std::uint32_t>(v);
    return true;
}

bool Expect(const std::string& text, std::size_t& at, const char* literal) {
    const std::size_t n = std::strlen(literal);
    if (text.compare(at, n, literal) != 0) return false;
    at += n;
    return true;
}

bool Parse(const std::string& text, ParsedHash& out) {
    std::size_t at = 0;
    std::uint32_t version = 0;
    if (!Expect(text, at, kPrefix) || !Expect(text, at, "v=") || !ReadNumber(text, at, version) ||
        version != kVersion || !Expect(text, at, "$m=") || !ReadNumber(text, at, out.memoryKiB) ||
        !Expect(text, at, ",t=") || !ReadNumber(text, at, out.passes) || !Expect(text, at, ",p=") ||
        !ReadNumber(text, at, out.lanes) || !Expect(text, at, "$"))
        return false;
    const std::size_t saltEnd = text.find('$', at);
    if (saltEnd == std::string::npos) return false;
    return DecodeBase64(text.substr(at, saltEnd - at), out.salt) && DecodeBase64(text.substr(saltEnd + 1), out.hash);
}

bool WithinPolicy(const ParsedHash& h, const LoginHashPolicy& policy) {
    return h.lanes >= 1 && h.lanes <= policy.maxLanes && h.passes >= 1 && h.memoryKiB >= 8 * h.lanes &&
           h.memoryKiB <= policy.maxMemoryKiB &&
           static_cast<std::uint64_t>(h.memoryKiB) * h.passes <= policy.maxWork && h.salt.size() >= kMinSalt &&
           h.salt.size() <= kMaxSalt && h.hash.size() >= kMinHash && h.hash.size() <= kMaxHash;
}

}  // namespace

const LoginHashPolicy& LoginHashPolicyInUse() { return PolicyOverride() ? *PolicyOverride() : kLoginHashPolicy; }

void SetLoginHashPolicy(const LoginHashPolicy* policy) { PolicyOverride() = policy; }

bool IsLoginHash(const char* stored) { return stored != nullptr && std::strncmp(stored, kPrefix, sizeof kPrefix - 1) == 0; }

bool MakeLoginHash(const char* plain, std::string& encoded) {
    encoded.clear();
    if (plain == nullptr) return false;
    unsigned char salt[kLoginSaltBytes];
    if (!FillWithSystemRandom(salt, sizeof salt)) return false;
    const LoginHashCost& cost = LoginHashPolicyInUse().write;
    char text[128] = {};
    const int result = argon2id_hash_encoded(cost.passes, cost.memoryKiB, cost.lanes, plain, std::strlen(plain), salt,
                                             sizeof salt, kLoginHashBytes, text, sizeof text);
    if (result != ARGON2_OK) return false;
    encoded = text;
    return true;
}

LoginHashCheck CheckLoginHash(const std::string& encoded, const char* plain) {
    ParsedHash h;
    if (plain == nullptr || !Parse(encoded, h) || !WithinPolicy(h, LoginHashPolicyInUse())) return LoginHashCheck::Refused;
    std::vector<unsigned char> computed(h.hash.size());
    const int result = argon2id_hash_raw(h.passes, h.memoryKiB, h.lanes, plain, std::strlen(plain), h.salt.data(),
                                         h.salt.size(), computed.data(), computed.size());
    if (result != ARGON2_OK) return LoginHashCheck::Refused;
    // Compared in full whatever differs first.
    unsigned char difference = 0;
    for (std::size_t i = 0; i < computed.size(); ++i) difference |= static_cast<unsigned char>(computed[i] ^ h.hash[i]);
    Wipe(computed.data(), computed.size());
    return difference == 0 ? LoginHashCheck::Match : LoginHashCheck::NoMatch;
}

}  // namespace pinora
