#include "Kdf.h"

#include <argon2.h>

#include <atomic>
#include <mutex>

namespace pncrypto {
namespace {

struct KdfSettings {
    std::mutex lock;
    KdfLimits limits = kDefaultKdfLimits;
    KdfParameters fresh = kDefaultKdfParameters;
};

KdfSettings& Settings() {
    static KdfSettings settings;
    return settings;
}

}  // namespace

KdfLimits CurrentKdfLimits() {
    std::lock_guard<std::mutex> hold(Settings().lock);
    return Settings().limits;
}

void SetKdfLimits(const KdfLimits* limits) {
    std::lock_guard<std::mutex> hold(Settings().lock);
    Settings().limits = limits ? *limits : kDefaultKdfLimits;
}

KdfParameters NewKdfParameters() {
    std::lock_guard<std::mutex> hold(Settings().lock);
    return Settings().fresh;
}

void SetNewKdfParameters(const KdfParameters* parameters) {
    std::lock_guard<std::mutex> hold(Settings().lock);
    Settings().fresh = parameters ? *parameters : kDefaultKdfParameters;
}

bool KdfParametersAllowed(const KdfParameters& p) {
    const KdfLimits limits = CurrentKdfLimits();
    if (p.lanes < 1 || p.lanes > limits.maxLanes) return false;
    if (p.passes < 1 || p.passes > limits.maxPasses) return false;
    if (uint64_t(p.memoryKiB) < uint64_t(8) * p.lanes || p.memoryKiB > limits.maxMemoryKiB) return false;
    return uint64_t(p.memoryKiB) * p.passes <= limits.maxWork;
}

bool DeriveKey(const void* password, size_t passwordLength, const uint8_t salt[kKdfSaltSize],
               const KdfParameters& parameters, uint8_t key[kKdfKeySize]) {
    if (!KdfParametersAllowed(parameters) || passwordLength > ARGON2_MAX_PWD_LENGTH) return false;
    // The reference implementation erases its working memory when done
    // (FLAG_clear_internal_memory); the password stays the caller's to erase.
    const int result = argon2id_hash_raw(parameters.passes, parameters.memoryKiB, parameters.lanes, password,
                                         passwordLength, salt, kKdfSaltSize, key, kKdfKeySize);
    return result == ARGON2_OK;
}

}  // namespace pncrypto
