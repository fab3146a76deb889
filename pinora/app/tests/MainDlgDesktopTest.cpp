// The main window on a real desktop: a full-screen window holds the rest
// reminder back, a locked session is a pause, and windows remembered or left
// where no monitor is come back onto the screen.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <string>

#include "AlarmStore.h"
#include "DoRoRazIds.h"
#include "Handles.h"
#include "MainDlg.h"
#include "MainWindowFixture.h"
#include "Settings.h"
#include "StickWindows.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

constexpr std::uint32_t kMinute = 60000;

RECT WindowRect(HWND h) {
    RECT rc = {};
    GetWindowRect(h, &rc);
    return rc;
}

bool InsideWorkArea(HWND h) {
    RECT work = {}, rc = WindowRect(h);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return rc.left >= work.left && rc.top >= work.top && rc.right <= work.right && rc.bottom <= work.bottom;
}

class MainDlgDesktopTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        LogIn();
        CreateDirectoryA((folder.Path() + "tester").c_str(), nullptr);
    }
    // A tick of timer 10 at the clock's tick count.
    void Tick(std::uint32_t ticks) {
        clock.SetTicks(ticks);
        SendMessageA(dlg.hwnd(), WM_TIMER, kTickTimer, 0);
    }
    void Session(WPARAM change, std::uint32_t ticks) {
        clock.SetTicks(ticks);
        SendMessageA(dlg.hwnd(), WM_WTSSESSION_CHANGE, change, 0);
    }
    std::string RestLog() { return test::ReadFileBytes(folder.Path() + "tester\\rest.log"); }
};

// A presentation: a top-level window of another class covering the whole screen,
// in front.
uikit::UniqueHwnd FullScreenWindow() {
    uikit::UniqueHwnd window(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "slides", WS_POPUP, 0, 0,
                                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                             nullptr, nullptr, nullptr));
    ShowWindow(window.get(), SW_SHOW);
    SetForegroundWindow(window.get());
    return window;
}

TEST_F(MainDlgDesktopTest, AFullScreenWindowHoldsTheRestReminderUntilItCloses) {
    WriteSetting("0", "ALERTS", "each_time");
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    WriteSetting("1", "ALERTS", "rest_log");
    {
        uikit::UniqueHwnd slides = FullScreenWindow();
        ASSERT_EQ(GetForegroundWindow(), slides.get());
        const std::uint32_t start = dlg.Rest().Period().WorkStartTick();
        Tick(GetTickCount());
        Tick(GetTickCount() + 30000);
        EXPECT_FALSE(dlg.Rest().Notifier().IsAlive());
        EXPECT_EQ(dlg.Rest().Period().WorkStartTick(), start);  // still due, not dropped
        EXPECT_EQ(RestLog(), "");
    }
    // Closed: the next tick gives the one reminder.
    Tick(GetTickCount() + 60000);
    EXPECT_TRUE(dlg.Rest().Notifier().IsAlive());
    EXPECT_NE(RestLog().find(" reminder worked="), std::string::npos);

    // Quiet while busy switched off on the alerts page: on time, full screen or not.
    dlg.Rest().CloseNotifier();
    WriteSetting("0", "ALERTS", "quiet_when_busy");
    uikit::UniqueHwnd again = FullScreenWindow();
    Tick(GetTickCount() + 90000);
    EXPECT_TRUE(dlg.Rest().Notifier().IsAlive());
}

TEST_F(MainDlgDesktopTest, ALockedSessionIsAPauseFromFourMinutesOn) {
    EXPECT_TRUE(dlg.SessionNoticesRegistered());
    WriteSetting("45", "ALERTS", "each_time");
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    WriteSetting("1", "ALERTS", "rest_log");
    const std::uint32_t t0 = GetTickCount();
    clock.SetTicks(t0);
    dlg.Rest().StartPeriod();
    Session(WTS_SESSION_LOCK, t0);
    WriteSetting("0", "ALERTS", "each_time");  // due on every tick: nobody to remind while locked
    Tick(t0 + 2 * kMinute);
    EXPECT_FALSE(dlg.Rest().Notifier().IsAlive());
    WriteSetting("45", "ALERTS", "each_time");
    Session(WTS_SESSION_UNLOCK, t0 + 4 * kMinute);
    EXPECT_EQ(dlg.Rest().Period().WorkStartTick(), t0 + 4 * kMinute);
    EXPECT_NE(RestLog().find(" break worked=0 break=4\r\n"), std::string::npos) << RestLog();

    // Locked again right away, for 3:59: the period goes on.
    const std::string before = RestLog();
    Session(WTS_SESSION_LOCK, t0 + 4 * kMinute);
    Session(WTS_SESSION_UNLOCK, t0 + 8 * kMinute - 1000);
    EXPECT_EQ(dlg.Rest().Period().WorkStartTick(), t0 + 4 * kMinute);
    Tick(t0 + 8 * kMinute);
    EXPECT_EQ(dlg.Rest().Period().WorkStartTick(), t0 + 4 * kMinute);  // no pause seen by the tick either
    EXPECT_EQ(RestLog(), before);
}

TEST_F(MainDlgDesktopTest, AnAlarmWhoseTimePassedInSleepIsRemindedOnceAtWaking) {
    AlarmRecord r;
    r.code = "20090305|2009|03|05|10|40|4|1|20090305";
    r.alarm5 = r.alarm30 = "0";
    r.stick = "call the garage";
    r.weekly = "0000000";
    r.date = "20090305";
    r.state = "1";
    CreateDirectoryA(UserSticksFolder().c_str(), nullptr);
    ASSERT_TRUE(AppendAlarm(UserSticksFolder() + kAlarmTableName, r));
    SendMessageA(dlg.hwnd(), MWM_STARTTIMER, 0, 0);
    SendMessageA(dlg.hwnd(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);  // at 10:00
    clock.Set(LocalTime{2009, 3, 5, 11, 15, 0, DayOfWeek(2009, 3, 5)});
    SendMessageA(dlg.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageA(dlg.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);  // the second notice adds nothing
    ASSERT_EQ(dlg.Sticks().Popups().size(), 1u);
    char text[64] = {};
    GetDlgItemTextA(dlg.Sticks().Popups()[0]->hwnd(), IDC_ALARM_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "call the garage");
}

TEST_F(MainDlgDesktopTest, ATodayWindowSavedWhereNoMonitorIsComesBackOnScreen) {
    WriteSetting("5000", "SETTINGS", "today_x");
    WriteSetting("50", "SETTINGS", "today_y");
    // What start-up sends when "auto_start_dk" is "1".
    SendMessageA(dlg.hwnd(), WM_COMMAND, ID_TODAY_WINDOW, 0);
    CTodayWnd& today = dlg.Sticks().Today();
    ASSERT_TRUE(today.IsAlive());
    EXPECT_TRUE(InsideWorkArea(today.hwnd()));
    EXPECT_EQ(WindowRect(today.hwnd()).top, 50);

    // Left where a monitor was: the display change brings it and every other
    // window of the program back, with its size.
    SendMessageA(dlg.hwnd(), WM_COMMAND, ID_SHOW_MAIN, 0);
    const RECT mainBefore = WindowRect(dlg.hwnd());
    SetWindowPos(today.hwnd(), nullptr, -3000, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(dlg.hwnd(), nullptr, 4000, 3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(dlg.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN),
                                                              GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_TRUE(InsideWorkArea(today.hwnd()));
    EXPECT_TRUE(InsideWorkArea(dlg.hwnd()));
    const RECT mainAfter = WindowRect(dlg.hwnd());
    EXPECT_EQ(mainAfter.right - mainAfter.left, mainBefore.right - mainBefore.left);
    EXPECT_EQ(mainAfter.bottom - mainAfter.top, mainBefore.bottom - mainBefore.top);
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDCANCEL, 0);
}

}  // namespace
}  // namespace pinora
