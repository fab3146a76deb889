#include "NewRandom.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PwTime.h"
#include "Sha256.h"
#include "TestHex.h"

using namespace pncrypto;

namespace {

// Stands in for the system: a fixed pattern everywhere the filler may write.
void PatternFiller(uint8_t* pool) {
    for (size_t i = 0; i < CNewRandom::kGeneratorOffset; ++i) pool[i] = uint8_t(i * 13 + 1);
    for (size_t i = 190; i < CNewRandom::kInitializeCountOffset; ++i) pool[i] = uint8_t(i);
}

std::vector<uint8_t> CounterDigest(const CNewRandom& random, uint32_t counter) {
    const uint8_t counterBytes[4] = {uint8_t(counter), uint8_t(counter >> 8),
                                     uint8_t(counter >> 16), uint8_t(counter >> 24)};
    Sha256 hash;
    hash.Update(random.Pool(), CNewRandom::kPoolSize);
    hash.Update(counterBytes, 4);
    std::vector<uint8_t> digest(32);
    hash.Final(digest.data());
    return digest;
}

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

class NewRandomTest : public ::testing::Test {
protected:
    void TearDown() override { XorshiftForget(); }
};

}  // namespace

TEST_F(NewRandomTest, XorshiftStepsFromKnownState) {
    XorshiftSetState(1, 2, 3, 4);
    EXPECT_EQ(XorshiftNext(), 0x8805u);
    EXPECT_EQ(XorshiftNext(), 0x19807u);
    EXPECT_EQ(XorshiftNext(), 0x4u);
    EXPECT_EQ(XorshiftNext(), 0x22000u);
    EXPECT_EQ(XorshiftNext(), 0x40400885u);
}

// Left at its all-zero start the generator would only ever give zeros.
TEST_F(NewRandomTest, XorshiftSeedsItselfOnFirstUse) {
    XorshiftForget();
    uint32_t any = 0;
    for (int i = 0; i < 8; ++i) any |= XorshiftNext();
    EXPECT_NE(any, 0u);
}

TEST_F(NewRandomTest, InitializeLaysOutFillerGeneratorAndCount) {
    XorshiftSetState(1, 2, 3, 4);
    CNewRandom first;
    first.InitializeWith(PatternFiller);
    const uint8_t* pool = first.Pool();
    EXPECT_EQ(pool[0], 1);
    EXPECT_EQ(pool[185], uint8_t(185 * 13 + 1));
    EXPECT_EQ(Word(pool + CNewRandom::kGeneratorOffset), 0x8805u);
    EXPECT_EQ(pool[190], 190);
    EXPECT_EQ(pool[262], 0);
    EXPECT_EQ(pool[263], 0);

    CNewRandom second;
    second.InitializeWith(PatternFiller);
    EXPECT_EQ(Word(second.Pool() + CNewRandom::kInitializeCountOffset),
              Word(pool + CNewRandom::kInitializeCountOffset) + 1);
    EXPECT_EQ(Word(second.Pool() + CNewRandom::kGeneratorOffset), 0x19807u);
}

// 33 bytes: all of digest 1 and the first byte of digest 2; the counter runs
// on into the next call.
TEST_F(NewRandomTest, GetRandomBufferIsCounterModeOverThePool) {
    CNewRandom random;
    random.InitializeWith(PatternFiller);
    const auto d1 = CounterDigest(random, 1), d2 = CounterDigest(random, 2), d3 = CounterDigest(random, 3);

    uint8_t buffer[34];
    std::memset(buffer, 0xAA, sizeof buffer);
    random.GetRandomBuffer(buffer, 33);
    EXPECT_EQ(ToHex(buffer, 32), ToHex(d1));
    EXPECT_EQ(buffer[32], d2[0]);
    EXPECT_EQ(buffer[33], 0xAA) << "wrote past the requested length";

    random.GetRandomBuffer(buffer, 0);  // no digest used
    random.GetRandomBuffer(buffer, 1);
    EXPECT_EQ(buffer[0], d3[0]);
}

TEST_F(NewRandomTest, CopiesCarryPoolAndCounterAndResetErases) {
    CNewRandom random;
    random.InitializeWith(PatternFiller);
    uint8_t skip[5];
    random.GetRandomBuffer(skip, 5);

    CNewRandom copy(random);
    CNewRandom assigned;
    assigned = random;
    uint8_t a[16], b[16], c[16];
    random.GetRandomBuffer(a, 16);
    copy.GetRandomBuffer(b, 16);
    assigned.GetRandomBuffer(c, 16);
    EXPECT_EQ(ToHex(a, 16), ToHex(b, 16));
    EXPECT_EQ(ToHex(a, 16), ToHex(c, 16));

    random.Reset();
    const std::vector<uint8_t> zeros(CNewRandom::kPoolSize, 0);
    EXPECT_EQ(std::memcmp(random.Pool(), zeros.data(), zeros.size()), 0);
    random.GetRandomBuffer(a, 16);
    EXPECT_EQ(ToHex(a, 16), ToHex(CounterDigest(random, 1).data(), 16)) << "counter back to 0";
}

// Independently computed: two rounds of the twelve additions over 00..0f.
TEST_F(NewRandomTest, UuidMixingKnownAnswer) {
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = uint8_t(i);
    MixUuidWords(bytes);
    EXPECT_EQ(ToHex(bytes, 16), "e4b5824f886f51334893d619d452c83d");
}

TEST_F(NewRandomTest, UuidIsTimeGeneratorAndPoolBytesMixed) {
    CNewRandom random;
    random.InitializeWith(PatternFiller);
    CNewRandom twin(random);
    const ClockReading utc{2009, 3, 7, 8, 5, 9, 999};

    uint8_t uuid[16];
    CreateUuidFrom(uuid, random, utc, 0xBEEF1234);

    uint8_t expected[16] = {0x1f, 0x64, 0xce, 0x81, 0x49,  // packed 2009-03-07 08:05:09
                            999 / 4, 0x34, 0x12};
    twin.GetRandomBuffer(expected + 8, 8);
    MixUuidWords(expected);
    EXPECT_EQ(ToHex(uuid, 16), ToHex(expected, 16));

    uint8_t again[16];
    CreateUuidFrom(again, random, utc, 0xBEEF1234);
    EXPECT_NE(ToHex(uuid, 16), ToHex(again, 16)) << "the pool counter moves on";
}

TEST_F(NewRandomTest, RandCreateUuidIgnoresAbsentArguments) {
    uint8_t uuid[16] = {};
    randCreateUUID(uuid, nullptr);
    EXPECT_EQ(ToHex(uuid, 16), std::string(32, '0'));
    CNewRandom random;
    randCreateUUID(nullptr, &random);
    randCreateUUID(uuid, &random);
    EXPECT_NE(ToHex(uuid, 16), std::string(32, '0'));
}

TEST_F(NewRandomTest, MemEraseZeroesOnlyValidRanges) {
    uint8_t buffer[64];
    std::memset(buffer, 0x5A, sizeof buffer);
    mem_erase(buffer, 0);
    mem_erase(buffer, -5);
    EXPECT_EQ(buffer[0], 0x5A);
    mem_erase(buffer, 40);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(buffer[40], 0x5A);
}
