#include "NewRandom.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "PwTime.h"
#include "Sha256.h"

namespace {

std::atomic<uint32_t> g_initializeCount{0};

void StoreLittleEndian(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t LoadLittleEndian(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

// ---- The process-wide xorshift generator --------------------------------

namespace pncrypto {
namespace {

struct XorshiftState {
    std::mutex lock;
    bool seeded = false;
    uint32_t x = 0, y = 0, z = 0, w = 0;
};

XorshiftState& Generator() {
    static XorshiftState state;
    return state;
}

// Called with the lock held. The pool is filled directly rather than through
// CNewRandom::Initialize, which itself draws from this generator.
void SeedFromPool(XorshiftState& g) {
    uint8_t pool[CNewRandom::kPoolSize] = {};
    FillPoolFromSystem(pool);
    StoreLittleEndian(pool + CNewRandom::kInitializeCountOffset, g_initializeCount.load());
    uint8_t digest[kSha256DigestSize];
    Sha256::Digest(pool, sizeof pool, digest);
    g.x = LoadLittleEndian(digest);
    g.y = LoadLittleEndian(digest + 4);
    g.z = LoadLittleEndian(digest + 8);
    g.w = LoadLittleEndian(digest + 12);
    if ((g.x | g.y | g.z | g.w) == 0) g.w = 1;  // the one state that never leaves zero
    mem_erase(pool, sizeof pool);
    mem_erase(digest, sizeof digest);
    g.seeded = true;
}

}  // namespace

uint32_t XorshiftNext() {
    XorshiftState& g = Generator();
    std::lock_guard<std::mutex> hold(g.lock);
    if (!g.seeded) SeedFromPool(g);
    const uint32_t t = g.x ^ (g.x << 15);
    g.x = g.y;
    g.y = g.z;
    g.z = g.w;
    g.w = g.w ^ t ^ (((g.w >> 17) ^ t) >> 4);
    return g.w;
}

void XorshiftSetState(uint32_t x, uint32_t y, uint32_t z, uint32_t w) {
    XorshiftState& g = Generator();
    std::lock_guard<std::mutex> hold(g.lock);
    g.x = x;
    g.y = y;
    g.z = z;
    g.w = w;
    g.seeded = true;
}

void XorshiftForget() {
    XorshiftState& g = Generator();
    std::lock_guard<std::mutex> hold(g.lock);
    g.x = g.y = g.z = g.w = 0;
    g.seeded = false;
}

// ---- UUID ---------------------------------------------------------------

void MixUuidWords(uint8_t bytes[16]) {
    uint32_t a = LoadLittleEndian(bytes), b = LoadLittleEndian(bytes + 4);
    uint32_t c = LoadLittleEndian(bytes + 8), d = LoadLittleEndian(bytes + 12);
    for (int round = 0; round < 2; ++round) {
        a += b; c += d; d += c;
        const uint32_t t = c + a;
        a += d; b += t; d += a; c += b; b += d; a += c; d += b; c += a;
    }
    StoreLittleEndian(bytes, a);
    StoreLittleEndian(bytes + 4, b);
    StoreLittleEndian(bytes + 8, c);
    StoreLittleEndian(bytes + 12, d);
}

void CreateUuidFrom(uint8_t out[16], CNewRandom& pool, const ClockReading& utc, uint32_t generatorValue) {
    _PackTimeToStruct(out, utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second);
    out[5] = uint8_t(utc.milliseconds / 4);
    out[6] = uint8_t(generatorValue);
    out[7] = uint8_t(generatorValue >> 8);
    pool.GetRandomBuffer(out + 8, 8);
    MixUuidWords(out);
}

}  // namespace pncrypto

// ---- CNewRandom ---------------------------------------------------------

CNewRandomInterface::~CNewRandomInterface() = default;

CNewRandom::CNewRandom() { Reset(); }

CNewRandom::~CNewRandom() { Reset(); }

void CNewRandom::Reset() {
    mem_erase(pool_, sizeof pool_);
    counter_ = 0;
}

void CNewRandom::Initialize() { InitializeWith(pncrypto::FillPoolFromSystem); }

void CNewRandom::InitializeWith(PoolFiller filler) {
    const uint32_t count = ++g_initializeCount;
    Reset();
    if (filler) filler(pool_);
    StoreLittleEndian(pool_ + kGeneratorOffset, pncrypto::XorshiftNext());
    StoreLittleEndian(pool_ + kInitializeCountOffset, count);
}

void CNewRandom::GetRandomBuffer(uint8_t* buffer, uint32_t length) {
    if (!buffer) return;
    uint8_t digest[pncrypto::kSha256DigestSize];
    while (length > 0) {
        ++counter_;
        uint8_t counterBytes[4];
        StoreLittleEndian(counterBytes, counter_);
        pncrypto::Sha256 hash;
        hash.Update(pool_, sizeof pool_);
        hash.Update(counterBytes, sizeof counterBytes);
        hash.Final(digest);
        const uint32_t take = length < sizeof digest ? length : uint32_t(sizeof digest);
        std::memcpy(buffer, digest, take);
        buffer += take;
        length -= take;
    }
    mem_erase(digest, sizeof digest);
}

void randCreateUUID(uint8_t* out, CNewRandom* pool) {
    if (!out || !pool) return;
    pncrypto::CreateUuidFrom(out, *pool, pncrypto::ReadUtcClock(), pncrypto::XorshiftNext());
}

extern "C" void mem_erase(void* buffer, int32_t length) {
    if (!buffer || length <= 0) return;
    // Written through volatile so the compiler cannot drop stores to memory
    // that is about to be freed.
    volatile uint8_t* p = static_cast<volatile uint8_t*>(buffer);
    for (int32_t i = 0; i < length; ++i) p[i] = uint8_t(std::rand());
    for (int32_t i = 0; i < length; ++i) p[i] = 0;
}
