// What the crypto code needs from the operating system, one implementation
// per platform (SystemSources_win.cpp, SystemSources_host.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

namespace pncrypto {

struct ClockReading {
    uint32_t year, month, day, hour, minute, second, milliseconds;
};

// Writes the system's changing state into the random pool (the layout is the
// pool's: see NewRandom.h).
void FillPoolFromSystem(uint8_t* pool);

ClockReading ReadUtcClock();
ClockReading ReadLocalClock();

// Random bytes from the operating system's generator (BCryptGenRandom on
// Windows, getrandom on the host). False when it gave none: callers never
// fall back to anything weaker.
bool FillFromSystemRandom(uint8_t* bytes, size_t length);

// Removes a file by its path; true when it is gone.
bool DeleteFileAtPath(const char* path);

}  // namespace pncrypto
