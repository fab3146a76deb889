// The key derivation of the password box: Argon2id (RFC 9106) over the master
// password and a per-database salt. Its parameters are stored with the data,
// so they are checked against fixed limits before any memory is taken: a
// file cannot make us allocate gigabytes or work for minutes.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pncrypto {

constexpr size_t kKdfSaltSize = 32;
constexpr size_t kKdfKeySize = 32;

struct KdfParameters {
    uint32_t memoryKiB;
    uint32_t passes;
    uint32_t lanes;
};

// What a new database gets: 128 MiB, 3 passes, 1 lane (see docs/ARCHITECTURE.md
// for the measurements behind it).
constexpr KdfParameters kDefaultKdfParameters = {128 * 1024, 3, 1};

struct KdfLimits {
    uint32_t maxMemoryKiB;
    uint32_t maxPasses;
    uint32_t maxLanes;
    uint64_t maxWork;  // memoryKiB x passes
};

// 512 MiB, 16 passes, 8 lanes, and at most the work of 512 MiB x 3 passes.
constexpr KdfLimits kDefaultKdfLimits = {512 * 1024, 16, 8, uint64_t(512) * 1024 * 3};

// Whether stored parameters may be used: within the limits and what Argon2
// itself accepts (at least 8 KiB per lane, one pass, one lane).
bool KdfParametersAllowed(const KdfParameters& parameters);
// The limits in force; nullptr restores the defaults (the fuzz targets use
// small ones so each input stays quick).
void SetKdfLimits(const KdfLimits* limits);
KdfLimits CurrentKdfLimits();

// The parameters new databases get; nullptr restores the defaults (tests use
// small ones).
void SetNewKdfParameters(const KdfParameters* parameters);
KdfParameters NewKdfParameters();

// Argon2id of the password into a 32-byte key. False for parameters that are
// not allowed or when Argon2 fails (no memory).
bool DeriveKey(const void* password, size_t passwordLength, const uint8_t salt[kKdfSaltSize],
               const KdfParameters& parameters, uint8_t key[kKdfKeySize]);

}  // namespace pncrypto
