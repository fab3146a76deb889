// The activity record that every process with pnhook.dll loaded shares, and what
// the hook procedures and the exports do to it. Portable: the DLL hands in the
// tick and the system's hook calls, so the arithmetic is tested anywhere.
#pragma once
#include <cstdint>

namespace pnhook {

// Ten 32-bit words in this order, all zero until written. Handles are kept as
// their 32-bit values (window and hook handles fit in 32 bits on 64-bit Windows).
struct HookShared {
    std::uint32_t hKeyboardHook;
    std::uint32_t hWndOwner;         // stored only, never sent to
    std::uint32_t hMouseHook;
    std::uint32_t nActiveMinutes;    // last result of HK_GetCount
    std::uint32_t dwInstallTick;
    std::uint32_t dwPrevMouseTick;   // 0: no counted mouse event yet
    std::uint32_t dwPrevKeyTick;     // 0: no counted key press yet
    std::uint32_t dwMouseSpan;       // sum of the gaps between counted mouse events, ms
    std::uint32_t dwKeySpan;         // sum of the gaps between counted key presses, ms
    std::uint32_t dwLastActiveTick;  // any key or mouse event, key releases included
};
static_assert(sizeof(HookShared) == 40, "the shared record is exactly ten words");

// Other processes write the record at any time: every access goes to memory.
using SharedRecord = volatile HookShared;

// The first event after a reset only records its tick; every later one adds the
// gap to the previous one. Tick arithmetic is unsigned and wraps.
inline void CountEvent(volatile std::uint32_t& prevTick, volatile std::uint32_t& span, std::uint32_t now) noexcept {
    const std::uint32_t prev = prevTick;
    if (prev != 0) span = span + (now - prev);
    prevTick = now;
}

// A keyboard event: releases mark activity but are not counted.
inline void NoteKeyEvent(SharedRecord& s, std::uint32_t now, bool released) noexcept {
    s.dwLastActiveTick = now;
    if (!released) CountEvent(s.dwPrevKeyTick, s.dwKeySpan, now);
}

// A mouse event, moves included.
inline void NoteMouseEvent(SharedRecord& s, std::uint32_t now) noexcept {
    s.dwLastActiveTick = now;
    CountEvent(s.dwPrevMouseTick, s.dwMouseSpan, now);
}

// Whole minutes of both spans together (the sum wraps); remembered in the record.
std::uint32_t ActiveMinutes(SharedRecord& s) noexcept;

// What installing and removing need from the system.
class HookSystem {
public:
    virtual ~HookSystem() = default;
    // The new hook's handle, or 0 when the system refused it.
    virtual std::uint32_t InstallKeyboardHook() noexcept = 0;
    virtual std::uint32_t InstallMouseHook() noexcept = 0;
    virtual void Unhook(std::uint32_t hook) noexcept = 0;
    virtual std::uint32_t Tick() noexcept = 0;
};

// Both hooks, or none: a mouse hook the system refuses takes the keyboard hook
// away again. Returns 1 when both are in place, else 0. The spans and the
// previous-event ticks carry on from before; only Remove clears them.
int Install(SharedRecord& s, std::uint32_t owner, HookSystem& system) noexcept;

// Unhooks what is installed and clears the counters and the last-activity tick;
// the owner and the install tick stay.
void Remove(SharedRecord& s, HookSystem& system) noexcept;

}  // namespace pnhook
