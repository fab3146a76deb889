// The real Windows pool filler and clocks.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "NewRandom.h"
#include "SystemSources.h"
#include "TestHex.h"

namespace {

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

uint32_t Low32(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

}  // namespace

TEST(WindowsPool, FillsTheDocumentedSlots) {
    CNewRandom random;
    const DWORD before = GetTickCount();
    random.Initialize();
    const uint8_t* pool = random.Pool();
    EXPECT_GE(Word(pool + 0), before);
    EXPECT_LE(Word(pool + 0), GetTickCount());
    EXPECT_EQ(Word(pool + 86 + 12), GetCurrentProcessId());
    EXPECT_EQ(Word(pool + 86 + 16), Low32(GetCurrentProcess()));
    EXPECT_EQ(Word(pool + 86 + 24), GetCurrentThreadId());
    EXPECT_EQ(Word(pool + 86 + 32), Low32(GetDesktopWindow()));
    EXPECT_EQ(Word(pool + 86 + 60), Low32(GetProcessHeap()));
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(pool[12] | pool[13] << 8, now.wYear);
    EXPECT_NE(Word(pool + CNewRandom::kInitializeCountOffset), 0u);
    EXPECT_EQ(pool[262] | pool[263], 0) << "past the last slot stays zero";
}

TEST(WindowsPool, TwoInitialisationsGiveDifferentBuffers) {
    CNewRandom first, second;
    first.Initialize();
    second.Initialize();
    uint8_t a[64], b[64];
    first.GetRandomBuffer(a, sizeof a);
    second.GetRandomBuffer(b, sizeof b);
    EXPECT_NE(ToHex(a, sizeof a), ToHex(b, sizeof b));
    EXPECT_NE(std::memcmp(first.Pool(), second.Pool(), CNewRandom::kPoolSize), 0);
}

TEST(WindowsClock, UtcReadingMatchesSystemTime) {
    SYSTEMTIME st{};
    GetSystemTime(&st);
    const pncrypto::ClockReading utc = pncrypto::ReadUtcClock();
    EXPECT_EQ(utc.year, st.wYear);
    EXPECT_EQ(utc.month, st.wMonth);
    EXPECT_LT(utc.milliseconds, 1000u);
}
