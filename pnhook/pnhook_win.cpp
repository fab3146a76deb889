// The DLL around HookCore: the shared section, the entry routine and the six
// exports. The hook procedures run in every process that receives input, for
// every keyboard and mouse message, so they read the tick once, store a few
// words and pass the message on: nothing else.
#include <windows.h>

#include "HookCore.h"
#include "pnhook.h"

namespace {

// One record for every process that loads this file: the section is marked
// shared and starts zero-filled. Word alignment, named here, keeps the compiler
// from padding the section beyond the ten words.
__attribute__((section(".HOOKDAT"), shared, aligned(4))) pnhook::HookShared g_shared = {};

// Per process: where this copy of the library is mapped (the hooks' module).
HINSTANCE g_module = nullptr;

pnhook::SharedRecord& Shared() noexcept { return g_shared; }

std::uint32_t HandleWord(const void* handle) noexcept {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

// Handle values are sign-extended 32-bit numbers.
HHOOK HookFromWord(std::uint32_t word) noexcept {
    return reinterpret_cast<HHOOK>(static_cast<std::intptr_t>(static_cast<std::int32_t>(word)));
}

class WindowsHooks final : public pnhook::HookSystem {
public:
    std::uint32_t InstallKeyboardHook() noexcept override {
        return HandleWord(SetWindowsHookExA(WH_KEYBOARD, hookproc, g_module, 0));
    }
    std::uint32_t InstallMouseHook() noexcept override {
        return HandleWord(SetWindowsHookExA(WH_MOUSE, hookMouseProc, g_module, 0));
    }
    void Unhook(std::uint32_t hook) noexcept override { UnhookWindowsHookEx(HookFromWord(hook)); }
    std::uint32_t Tick() noexcept override { return GetTickCount(); }
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" int __cdecl installhook(HWND owner) {
    WindowsHooks hooks;
    return pnhook::Install(Shared(), HandleWord(owner), hooks);
}

extern "C" void __cdecl removehook(void) {
    WindowsHooks hooks;
    pnhook::Remove(Shared(), hooks);
}

extern "C" LRESULT CALLBACK hookproc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        // Bit 31 of lParam is the transition state: set for a release.
        pnhook::NoteKeyEvent(Shared(), GetTickCount(), (static_cast<DWORD>(lParam) & 0x80000000u) != 0);
    }
    return CallNextHookEx(HookFromWord(Shared().hKeyboardHook), code, wParam, lParam);
}

extern "C" LRESULT CALLBACK hookMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) pnhook::NoteMouseEvent(Shared(), GetTickCount());
    return CallNextHookEx(HookFromWord(Shared().hMouseHook), code, wParam, lParam);
}

extern "C" int __cdecl HK_GetCount(void) { return static_cast<int>(pnhook::ActiveMinutes(Shared())); }

extern "C" DWORD __cdecl HK_GetLastActiveTick(void) { return Shared().dwLastActiveTick; }
