#include "SystemRandom.h"

#include <windows.h>
#include <bcrypt.h>

namespace pinora {

bool FillWithSystemRandom(void* bytes, std::size_t size) {
    if (size > 0xFFFFFFFFu) return false;
    // Loaded for the call and freed after: salts are made rarely (a new user, a
    // password of the old form), and under Wine bcrypt brings the host's TLS
    // libraries, which the idle program need not keep.
    HMODULE bcrypt = LoadLibraryExA("bcrypt.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!bcrypt) return false;
    using GenRandom = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG);
    auto generate = reinterpret_cast<GenRandom>(reinterpret_cast<void*>(GetProcAddress(bcrypt, "BCryptGenRandom")));
    const bool filled = generate && BCRYPT_SUCCESS(generate(nullptr, static_cast<PUCHAR>(bytes),
                                                            static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
    FreeLibrary(bcrypt);
    return filled;
}

}  // namespace pinora
