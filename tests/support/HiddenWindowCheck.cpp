#include "HiddenWindowCheck.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace pinora::test {
namespace {

#ifndef WM_SYSTIMER
constexpr UINT WM_SYSTIMER = 0x0118;  // undocumented: caret blinking and other system timers
#endif

thread_local std::vector<TimerSeen>* t_seen = nullptr;

LRESULT CALLBACK OnGetMessage(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code == HC_ACTION && wp == PM_REMOVE && t_seen) {
        const MSG* msg = reinterpret_cast<const MSG*>(lp);
        if (msg->message == WM_TIMER || msg->message == WM_SYSTIMER) {
            try {
                t_seen->push_back(TimerSeen{msg->hwnd, msg->message, msg->wParam});
            } catch (...) {
            }
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

thread_local std::vector<TimerSeen> t_log;

bool IsWithin(HWND window, HWND candidate) {
    return candidate && (candidate == window || IsChild(window, candidate));
}

}  // namespace

TimerWatch::TimerWatch() {
    t_log.clear();
    t_seen = &t_log;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
}

TimerWatch::~TimerWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    t_seen = nullptr;
}

std::vector<TimerSeen> TimerWatch::For(HWND window) const {
    std::vector<TimerSeen> found;
    for (const TimerSeen& seen : t_log)
        if (IsWithin(window, seen.window)) found.push_back(seen);
    return found;
}

std::string Describe(HWND window) {
    char cls[128] = {}, title[128] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    return std::string(cls) + " \"" + title + "\"";
}

::testing::AssertionResult NoTimerRunsWhileHidden(const std::vector<HWND>& windows,
                                                  const std::vector<AllowedTimer>& allowed, DWORD watchMs) {
    if (windows.empty()) return ::testing::AssertionFailure() << "no window to watch";
    for (HWND window : windows) {
        if (!window || !IsWindow(window)) return ::testing::AssertionFailure() << "no window to watch";
        if (IsWindowVisible(window)) return ::testing::AssertionFailure() << Describe(window) << " is not hidden";
    }
    HWND shown = nullptr;
    TimerWatch watch;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < watchMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        for (HWND window : windows)
            if (!shown && IsWindow(window) && IsWindowVisible(window)) shown = window;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    if (shown) return ::testing::AssertionFailure() << Describe(shown) << " was shown while watched";

    std::ostringstream out;
    size_t count = 0;
    for (HWND window : windows) {
        for (const TimerSeen& t : watch.For(window)) {
            const bool isAllowed = std::any_of(allowed.begin(), allowed.end(), [&](const AllowedTimer& a) {
                return t.message == WM_TIMER && t.window == a.window && t.id == a.id;
            });
            if (isAllowed) continue;
            if (++count > 8) continue;
            char line[200];
            std::snprintf(line, sizeof line, " %s %llu to %s;", t.message == WM_TIMER ? "WM_TIMER" : "WM_SYSTIMER",
                          static_cast<unsigned long long>(t.id), Describe(t.window).c_str());
            out << line;
        }
    }
    if (count == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " timer message(s) in " << watchMs
                                         << " ms to windows that were hidden:" << out.str();
}

::testing::AssertionResult NoTimerRunsWhileHidden(HWND window, std::initializer_list<UINT_PTR> allowed,
                                                  DWORD watchMs) {
    std::vector<AllowedTimer> allowedTimers;
    for (UINT_PTR id : allowed) allowedTimers.push_back(AllowedTimer{window, id});
    return NoTimerRunsWhileHidden(std::vector<HWND>{window}, allowedTimers, watchMs);
}

std::vector<HWND> HiddenThreadWindows() {
    std::vector<HWND> hidden;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            if (!IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&hidden));
    return hidden;
}

std::vector<HWND> VisibleThreadWindows() {
    std::vector<HWND> shown;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

}  // namespace pinora::test
