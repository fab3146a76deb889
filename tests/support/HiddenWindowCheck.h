// Whether a hidden window sleeps: while it is hidden, none of its timers may fire.
// A thread-local WH_GETMESSAGE hook sees every timer message the thread takes
// from its queue: WM_TIMER, and WM_SYSTIMER, with which the system blinks the
// caret of a focused edit box. Any window family can use it:
//
//     EXPECT_TRUE(test::NoTimerRunsWhileHidden(editor));
//     EXPECT_TRUE(test::NoTimerRunsWhileHidden(main, {kTickTimer}));
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace pinora::test {

// One timer message taken from the queue.
struct TimerSeen {
    HWND window;
    UINT message;  // WM_TIMER or WM_SYSTIMER
    UINT_PTR id;
};

// Records the timer messages this thread takes while it lives.
class TimerWatch {
public:
    TimerWatch();
    ~TimerWatch();
    TimerWatch(const TimerWatch&) = delete;
    TimerWatch& operator=(const TimerWatch&) = delete;

    // Those for window or one of its descendants, oldest first.
    std::vector<TimerSeen> For(HWND window) const;

private:
    HHOOK hook_;
};

// The default watch is longer than the editor's one-second clock and two blinks
// of a caret.
constexpr DWORD kHiddenWatchMs = 1500;

// A timer a hidden window may run (the main window's 30-second tick).
struct AllowedTimer {
    HWND window;
    UINT_PTR id;
};

// Pumps the thread's messages for watchMs and succeeds when each window is a
// hidden window that stayed hidden and no timer of it or of its children fired,
// other than those allowed.
::testing::AssertionResult NoTimerRunsWhileHidden(const std::vector<HWND>& windows,
                                                  const std::vector<AllowedTimer>& allowed = {},
                                                  DWORD watchMs = kHiddenWatchMs);
// The same for one window, with the ids of its own timers that may run.
::testing::AssertionResult NoTimerRunsWhileHidden(HWND window, std::initializer_list<UINT_PTR> allowed = {},
                                                  DWORD watchMs = kHiddenWatchMs);

// Every hidden top-level window of this thread: the program's hidden windows,
// owned pop-ups such as tooltips, and the system's helper windows.
std::vector<HWND> HiddenThreadWindows();

// The visible top-level windows of this thread, for a check that nothing is shown.
std::vector<HWND> VisibleThreadWindows();

// A name for failure messages: class and title.
std::string Describe(HWND window);

}  // namespace pinora::test
