#include "HookCore.h"

namespace pnhook {

std::uint32_t ActiveMinutes(SharedRecord& s) noexcept {
    const std::uint32_t total = s.dwMouseSpan + s.dwKeySpan;
    const std::uint32_t minutes = total / 60000u;
    s.nActiveMinutes = minutes;
    return minutes;
}

int Install(SharedRecord& s, std::uint32_t owner, HookSystem& system) noexcept {
    s.hKeyboardHook = 0;
    s.hWndOwner = owner;
    const std::uint32_t keyboard = system.InstallKeyboardHook();
    s.hKeyboardHook = keyboard;
    if (keyboard == 0) return 0;

    s.hMouseHook = 0;
    const std::uint32_t mouse = system.InstallMouseHook();
    s.hMouseHook = mouse;
    if (mouse == 0) {
        // The caller hears "not installed" and will never remove anything, so
        // nothing may stay installed behind its back.
        system.Unhook(keyboard);
        s.hKeyboardHook = 0;
        return 0;
    }

    s.dwInstallTick = system.Tick();
    s.dwLastActiveTick = system.Tick();
    return 1;
}

void Remove(SharedRecord& s, HookSystem& system) noexcept {
    if (s.hKeyboardHook != 0) system.Unhook(s.hKeyboardHook);
    s.hKeyboardHook = 0;
    if (s.hMouseHook != 0) system.Unhook(s.hMouseHook);
    s.hMouseHook = 0;
    s.dwPrevMouseTick = 0;
    s.dwPrevKeyTick = 0;
    s.dwMouseSpan = 0;
    s.dwKeySpan = 0;
    s.nActiveMinutes = 0;
    s.dwLastActiveTick = 0;
}

}  // namespace pnhook
