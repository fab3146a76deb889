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

::testing::AssertionResult NoTimerRunsWhileHidden(HWND window, std::initializer_list<UINT_PTR> allowed,
                                                  DWORD watchMs) {
    if (!window || !IsWindow(window)) return ::testing::AssertionFailure() << "no window to watch";
    if (IsWindowVisible(window)) return ::testing::AssertionFailure() << Describe(window) << " is not hidden";
    bool shownMeanwhile = false;
    TimerWatch watch;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < watchMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        shownMeanwhile = shownMeanwhile || (IsWindow(window) && IsWindowVisible(window));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    if (shownMeanwhile) return ::testing::AssertionFailure() << Describe(window) << " was shown while watched";

    std::vector<TimerSeen> fired = watch.For(window);
    fired.erase(std::remove_if(fired.begin(), fired.end(),
                               [&](const TimerSeen& t) {
                                   return t.message == WM_TIMER && t.window == window &&
                                          std::find(allowed.begin(), allowed.end(), t.id) != allowed.end();
                               }),
                fired.end());
    if (fired.empty()) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << fired.size() << " timer message(s) in " << watchMs << " ms while " << Describe(window) << " was hidden:";
    for (size_t i = 0; i < fired.size() && i < 8; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, " %s %llu to %s;", fired[i].message == WM_TIMER ? "WM_TIMER" : "WM_SYSTIMER",
                      static_cast<unsigned long long>(fired[i].id), Describe(fired[i].window).c_str());
        out << line;
    }
    return ::testing::AssertionFailure() << out.str();
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
