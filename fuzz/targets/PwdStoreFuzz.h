// What the password-store target and its seed maker share: the master
// password of the seeds and the small limits the target runs with.
#pragma once
#include "CppSQLite3.h"
#include "Kdf.h"

namespace fuzz {

constexpr const char* kSeedMaster = "fuzz master";
// Small: a stored key's derivation stays well under a millisecond, and a
// file asking for more is refused as any file past the limits is.
constexpr pncrypto::KdfParameters kSeedKdf = {8, 1, 1};
constexpr pncrypto::KdfLimits kFuzzKdfLimits = {64, 2, 1, 128};

inline void UseSmallLimits() {
    pncrypto::SetKdfLimits(&kFuzzKdfLimits);
    pncrypto::SetNewKdfParameters(&kSeedKdf);
    CppSQLite3Connection::SetStatementBudget(200000);
}

}  // namespace fuzz
