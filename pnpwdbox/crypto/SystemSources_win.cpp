// The crypto code's view of Windows: the random pool's system state, the
// clocks and file removal.
#include "SystemSources.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pncrypto {
namespace {

void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// Handles are 64 bits wide here; the pool keeps their low word, which is the
// part that varies.
template <typename T>
uint32_t Low32(T* handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

// The pool's slots were sized for the 32-bit records; the 64-bit ones are
// larger, so a record is folded into its slot by XOR and nothing is lost.
void FoldInto(uint8_t* slot, size_t slotSize, const void* record, size_t recordSize) {
    const uint8_t* bytes = static_cast<const uint8_t*>(record);
    for (size_t i = 0; i < recordSize; ++i) slot[i % slotSize] ^= bytes[i];
}

ClockReading FromSystemTime(const SYSTEMTIME& st) {
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace

void FillPoolFromSystem(uint8_t* pool) {
    Put32(pool + 0, GetTickCount());

    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::memcpy(pool + 4, &counter, 8);

    SYSTEMTIME local{};
    GetLocalTime(&local);
    static_assert(sizeof local == 16, "SYSTEMTIME fills its slot");
    std::memcpy(pool + 12, &local, 16);

    POINT point{};
    GetCursorPos(&point);
    Put32(pool + 28, uint32_t(point.x));
    Put32(pool + 32, uint32_t(point.y));

    for (int i = 0; i < 3; ++i) {
        const int r = std::rand();
        pool[36 + 2 * i] = uint8_t(r);
        pool[37 + 2 * i] = uint8_t(r >> 8);
    }

    point = POINT{};
    GetCaretPos(&point);
    Put32(pool + 42, uint32_t(point.x));
    Put32(pool + 46, uint32_t(point.y));

    MEMORYSTATUS memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    FoldInto(pool + 50, 32, &memory, sizeof memory);

    Put32(pool + 82, Low32(GetActiveWindow()));

    const uint32_t handles[16] = {
        Low32(GetCapture()),          Low32(GetClipboardOwner()),
        Low32(GetClipboardViewer()),  uint32_t(GetCurrentProcessId()),
        Low32(GetCurrentProcess()),   Low32(GetActiveWindow()),
        uint32_t(GetCurrentThreadId()), Low32(GetCurrentThread()),
        Low32(GetDesktopWindow()),    Low32(GetFocus()),
        Low32(GetForegroundWindow()), uint32_t(GetInputState()),
        uint32_t(GetMessagePos()),    uint32_t(GetMessageTime()),
        Low32(GetOpenClipboardWindow()), Low32(GetProcessHeap()),
    };
    for (int i = 0; i < 16; ++i) Put32(pool + 86 + 4 * i, handles[i]);

    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    FoldInto(pool + 150, 36, &system, sizeof system);

    // 186..189 is the generator's value, written by CNewRandom.

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    FoldInto(pool + 190, 68, &startup, sizeof startup);

    // The system's generator, so the pool never rests on clocks and cursor
    // positions alone.
    uint8_t fresh[32];
    if (FillFromSystemRandom(fresh, sizeof fresh)) FoldInto(pool + 190, 68, fresh, sizeof fresh);
}

bool FillFromSystemRandom(uint8_t* bytes, size_t length) {
    // bcrypt.dll is loaded at the first call, not at start-up: Pinora.exe
    // carries this code, and most of its runs never need a random byte.
    using GenRandom = LONG(WINAPI*)(void*, PUCHAR, ULONG, ULONG);
    static const GenRandom generate = [] {
        HMODULE bcrypt = LoadLibraryExA("bcrypt.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!bcrypt) bcrypt = LoadLibraryA("bcrypt.dll");
        return bcrypt ? reinterpret_cast<GenRandom>(reinterpret_cast<void*>(GetProcAddress(bcrypt, "BCryptGenRandom")))
                      : nullptr;
    }();
    constexpr ULONG kUseSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG
    if (!generate || !bytes) return false;
    while (length > 0) {
        const ULONG chunk = length > 0x10000000 ? 0x10000000 : ULONG(length);
        if (generate(nullptr, bytes, chunk, kUseSystemPreferredRng) != 0) return false;
        bytes += chunk;
        length -= chunk;
    }
    return true;
}

ClockReading ReadUtcClock() {
    SYSTEMTIME st{};
    GetSystemTime(&st);
    return FromSystemTime(st);
}

ClockReading ReadLocalClock() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return FromSystemTime(st);
}

bool DeleteFileAtPath(const char* path) {
    if (!path) return false;
    return DeleteFileA(path) || std::remove(path) == 0;
}

}  // namespace pncrypto
