// Login passwords as the users table keeps them: a salted Argon2id hash in its
// standard encoded form, "$argon2id$v=19$m=<KiB>,t=<passes>,p=<lanes>$<salt>$<hash>"
// (salt and hash in base64 without padding), about 100 characters, so it fits
// the 128-byte PWD field. Nobody can read a password back from it; guessing costs
// one Argon2id run per guess. Portable.
#pragma once
#include <cstdint>
#include <string>

namespace pinora {

struct LoginHashCost {
    std::uint32_t memoryKiB;
    std::uint32_t passes;
    std::uint32_t lanes;
};

// What new hashes are made with, and the most a stored hash may ask for before
// it is computed: a user table is a file anybody may have written, and one that
// asks for gigabytes or a million passes is refused unverified.
struct LoginHashPolicy {
    LoginHashCost write;
    std::uint32_t maxMemoryKiB;
    std::uint64_t maxWork;  // memory in KiB times passes: the time one check may take
    std::uint32_t maxLanes;
};
extern const LoginHashPolicy kLoginHashPolicy;
const LoginHashPolicy& LoginHashPolicyInUse();
// Tests and the fuzz target work with small costs; nullptr restores kLoginHashPolicy.
void SetLoginHashPolicy(const LoginHashPolicy* policy);

constexpr std::size_t kLoginSaltBytes = 16;
constexpr std::size_t kLoginHashBytes = 32;

// Whether a stored value is in this form (starts with "$argon2id$").
bool IsLoginHash(const char* stored);

// A new hash of `plain` with a fresh salt from the system's generator; false
// when no salt could be had or hashing failed.
bool MakeLoginHash(const char* plain, std::string& encoded);

enum class LoginHashCheck { Match, NoMatch, Refused };
// Refused: not exactly the encoded form (version 19, parameters in range, salt
// of 8 to 64 bytes, hash of 16 to 64 bytes), nothing computed.
LoginHashCheck CheckLoginHash(const std::string& encoded, const char* plain);

}  // namespace pinora
