// The sticks windows cost nothing while hidden: an editor created but not yet
// shown, and a pop-up filled before it slides up, run no timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "AlarmPopup.h"
#include "App.h"
#include "DoRoRazIds.h"
#include "HiddenWindowCheck.h"
#include "ResourceLibrary.h"
#include "StickWindows.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::NoTimerRunsWhileHidden;

class SticksAsleepTest : public ::testing::Test {
protected:
    void SetUp() override {
        App() = AppState{};
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, "tester");
        main = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
        menu = LoadMenuA(ResLib(), MAKEINTRESOURCEA(IDR_TRAYMENU));
        sticks = new StickWindows(main, menu);
    }
    void TearDown() override {
        delete sticks;
        DestroyMenu(menu);
        DestroyWindow(main);
        App() = AppState{};
    }

    test::ProgramFolderFixture folder;
    HWND main = nullptr;
    HMENU menu = nullptr;
    StickWindows* sticks = nullptr;
};

// Another window may create the editor and fill it before showing it: the clock
// starts with the showing, not with the creation.
TEST_F(SticksAsleepTest, EditorCreatedButNotShownRunsNoClock) {
    HWND editor = sticks->Editor().CreateEditor(main);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(sticks->Editor().ClockTimerRunning());
    EXPECT_TRUE(NoTimerRunsWhileHidden(editor));

    // Shown, the clock line is filled at once and then every second.
    ShowWindow(editor, SW_SHOW);
    EXPECT_TRUE(sticks->Editor().ClockTimerRunning());
    char clock[64] = {};
    GetDlgItemTextA(editor, IDC_STICK_CLOCK, clock, sizeof clock);
    EXPECT_NE(std::strchr(clock, ':'), nullptr) << clock;
    ShowWindow(editor, SW_HIDE);
    EXPECT_FALSE(sticks->Editor().ClockTimerRunning());
    EXPECT_TRUE(NoTimerRunsWhileHidden(editor));
}

TEST_F(SticksAsleepTest, PopupFilledButNotShownRunsNoSlideOrBlink) {
    CAlarmDlg popup;
    AlarmCode alarm = DecodeAlarmCode("20090305|2009|03|05|10|45|4|1|20090305");
    ASSERT_TRUE(popup.Fill(main, alarm, "a stick", 1, folder.Path() + "alarm.ser"));
    EXPECT_TRUE(NoTimerRunsWhileHidden(popup.hwnd()));
}

}  // namespace
}  // namespace pinora
