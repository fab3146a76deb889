// Random bytes from the operating system's generator (BCryptGenRandom on
// Windows, getrandom elsewhere): salts of the login password hashes.
#pragma once
#include <cstddef>

namespace pinora {

// Fills `size` bytes; false when the system could not (nothing is to be used then).
bool FillWithSystemRandom(void* bytes, std::size_t size);

}  // namespace pinora
