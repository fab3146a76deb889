// The main window's activity tracking: pnhook.dll's hooks from start-up to
// destruction, the rest check on timer 10, and alarms showing the bitmap
// message window through the sticks' drawing seam.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "AlarmEffects.h"
#include "App.h"
#include "MainDlg.h"
#include "Settings.h"
#include "MainWindowFixture.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using LastActiveFn = DWORD(__cdecl*)();

// How another module of the process (the password box) finds the tick.
LastActiveFn LookUpLastActiveTick() {
    HMODULE hooks = GetModuleHandleA("pnhook.dll");
    if (!hooks) return nullptr;
    return reinterpret_cast<LastActiveFn>(reinterpret_cast<void*>(GetProcAddress(hooks, "HK_GetLastActiveTick")));
}

using MainDlgRestTest = test::MainWindowTest;

TEST_F(MainDlgRestTest, HooksAreInFromStartUpUntilDestruction) {
    EXPECT_TRUE(dlg.HooksInstalled());
    LastActiveFn lastActive = LookUpLastActiveTick();
    ASSERT_NE(lastActive, nullptr);
    const DWORD tick = lastActive();
    EXPECT_NE(tick, 0u);
    EXPECT_LE(GetTickCount() - tick, 60000u);

    dlg.Destroy();
    EXPECT_FALSE(dlg.HooksInstalled());
    EXPECT_EQ(lastActive(), 0u);  // removed
}

TEST_F(MainDlgRestTest, TimerTickRunsTheRestCheckAfterTheAlarms) {
    LogIn();
    WriteSetting("0", "ALERTS", "each_time");
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    // The clock runs with the tick the hooks record.
    clock.SetTicks(GetTickCount());
    SendMessageA(dlg.hwnd(), WM_TIMER, kTickTimer, 0);
    ASSERT_TRUE(dlg.Rest().Notifier().IsAlive());
    EXPECT_EQ(dlg.Rest().Period().WorkStartTick(), clock.TickCount());  // a new period

    // Away for five minutes: the next tick only starts a new period.
    dlg.Rest().CloseNotifier();
    clock.SetTicks(GetTickCount() + 5 * 60000);
    SendMessageA(dlg.hwnd(), WM_TIMER, kTickTimer, 0);
    EXPECT_FALSE(dlg.Rest().Notifier().IsAlive());
}

TEST_F(MainDlgRestTest, AlarmsShowTheBitmapMessageWindowThroughTheMainWindow) {
    ShowAlarmDrawing("Call the dentist");
    const CBitmapMessageWnd& w = dlg.Rest().MessageWindow();
    ASSERT_TRUE(w.IsAlive());
    EXPECT_EQ(w.Text(), "Call the dentist");
    EXPECT_EQ(GetWindow(w.hwnd(), GW_OWNER), dlg.hwnd());

    HWND shown = w.hwnd();
    dlg.Destroy();
    EXPECT_FALSE(IsWindow(shown));
    ShowAlarmDrawing("nobody draws this");  // the seam is unplugged with the window
    EXPECT_FALSE(w.IsAlive());
}

}  // namespace
}  // namespace pinora
