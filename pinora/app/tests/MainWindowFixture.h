// The real main window, created hidden on 5 March 2009 at 10:00 in a private
// program folder, with nobody logged in until LogIn(); what a test leaves in the
// process state is undone after it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "App.h"
#include "Clock.h"
#include "MainDlg.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora::test {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        App() = AppState{};
        ASSERT_NE(dlg.CreateMain(), nullptr);
        ShowWindow(dlg.hwnd(), SW_HIDE);
    }
    void TearDown() override {
        dlg.Destroy();
        MSG msg;  // the WM_QUIT of the destroyed window is not for the next test
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        App() = AppState{};
        SetClock(nullptr);
        SetRunAtLogon(false);
    }
    void LogIn() {
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, "tester");
    }

    ProgramFolderFixture folder;
    ManualClock clock{LocalTime{2009, 3, 5, 10, 0, 0, DayOfWeek(2009, 3, 5)}};
    CMainDlg dlg;
};

}  // namespace pinora::test
