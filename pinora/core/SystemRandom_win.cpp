#include "SystemRandom.h"

#include <windows.h>
#include <bcrypt.h>

namespace pinora {

bool FillWithSystemRandom(void* bytes, std::size_t size) {
    if (size > 0xFFFFFFFFu) return false;
    return BCRYPT_SUCCESS(BCryptGenRandom(nullptr, static_cast<PUCHAR>(bytes), static_cast<ULONG>(size),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

}  // namespace pinora
