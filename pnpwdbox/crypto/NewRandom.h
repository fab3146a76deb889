// The random pool: system state hashed with SHA-256 to give random bytes,
// a UUID maker on top of it, and a memory erase.
#pragma once
#include <cstddef>
#include <cstdint>

#include "SystemSources.h"

class CNewRandomInterface {
public:
    virtual ~CNewRandomInterface();
};

class CNewRandom : public CNewRandomInterface {
public:
    static constexpr size_t kPoolSize = 264;
    // Where Initialize puts its own values; the rest is the filler's.
    static constexpr size_t kGeneratorOffset = 186;
    static constexpr size_t kInitializeCountOffset = 258;

    // Writes the system's state into a zeroed pool of kPoolSize bytes. It
    // must leave the generator and count fields alone.
    using PoolFiller = void (*)(uint8_t* pool);

    CNewRandom();
    ~CNewRandom() override;
    CNewRandom(const CNewRandom&) = default;
    CNewRandom& operator=(const CNewRandom&) = default;

    void Reset();
    // Fills the pool from the running system.
    void Initialize();
    // The same with another source of system state (tests, other platforms).
    void InitializeWith(PoolFiller filler);
    // Counter-mode SHA-256 over the pool: each 32 bytes cost one digest.
    void GetRandomBuffer(uint8_t* buffer, uint32_t length);

    const uint8_t* Pool() const { return pool_; }

private:
    uint8_t pool_[kPoolSize];
    uint32_t counter_;
};

// A 16-byte identifier from the current UTC time, the process-wide
// generator and the pool. Does nothing when either argument is absent.
void randCreateUUID(uint8_t* out, CNewRandom* pool);

// Overwrites with noise, then with zeros; nothing for an absent buffer or a
// length below 1.
extern "C" void mem_erase(void* buffer, int32_t length);

namespace pncrypto {

// randCreateUUID with its time and generator value given: the algorithm
// without the clocks.
void CreateUuidFrom(uint8_t out[16], CNewRandom& pool, const ClockReading& utc, uint32_t generatorValue);

// The two rounds of word additions that spread every input byte over the
// identifier, in place on 16 bytes.
void MixUuidWords(uint8_t bytes[16]);

// The process-wide xorshift generator. Its state is seeded from a freshly
// initialised pool the first time a value is drawn (an all-zero state would
// only ever give zeros).
uint32_t XorshiftNext();
// Tests: put a known state, or return to the unseeded state.
void XorshiftSetState(uint32_t x, uint32_t y, uint32_t z, uint32_t w);
void XorshiftForget();

}  // namespace pncrypto
