#include <gtest/gtest.h>

#include "DoRoRazIds.h"
#include "Handles.h"
#include "MainDlg.h"
#include "SingleInstance.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

// Stands in for the running copy's main window and records what it is told.
struct FakeRunningCopy {
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == MWM_ISLOGGEDIN) {
            ++asked;
            return loggedIn;
        }
        if (msg == WM_COMMAND) lastCommand = LOWORD(wp);
        return DefWindowProcA(h, msg, wp, lp);
    }
    static int asked, loggedIn;
    static UINT lastCommand;
};
int FakeRunningCopy::asked = 0;
int FakeRunningCopy::loggedIn = 0;
UINT FakeRunningCopy::lastCommand = 0;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FakeRunningCopy::Proc;
        wc.lpszClassName = "PinoraFakeRunningCopy";
        wc.hInstance = GetModuleHandleA(nullptr);
        RegisterClassA(&wc);
        running.reset(CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                    wc.hInstance, nullptr));
        FakeRunningCopy::asked = 0;
        FakeRunningCopy::lastCommand = 0;
    }
    void TearDown() override { WithdrawMainWindow(); }
    uikit::UniqueHwnd running;
};

TEST_F(SingleInstanceTest, NoOtherCopyMeansThisOneStarts) {
    EXPECT_FALSE(HandOverToRunningCopy());
    EXPECT_EQ(FakeRunningCopy::asked, 0);
}

TEST_F(SingleInstanceTest, SecondCopyOpensLoginWhenNobodyIsLoggedIn) {
    uikit::UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
    PublishMainWindow(running.get());
    FakeRunningCopy::loggedIn = 0;
    EXPECT_TRUE(HandOverToRunningCopy());
    EXPECT_EQ(FakeRunningCopy::asked, 1);
    test::PumpUntil([] { return FakeRunningCopy::lastCommand != 0; });
    EXPECT_EQ(FakeRunningCopy::lastCommand, static_cast<UINT>(ID_LOGIN));
    EXPECT_FALSE(IsWindowVisible(running.get()));
}

TEST_F(SingleInstanceTest, SecondCopyShowsTheMainWindowOfALoggedInCopy) {
    uikit::UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
    PublishMainWindow(running.get());
    FakeRunningCopy::loggedIn = 1;
    EXPECT_TRUE(HandOverToRunningCopy());
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(running.get()) != FALSE; }));
    EXPECT_EQ(FakeRunningCopy::lastCommand, 0u);
}

TEST_F(SingleInstanceTest, RunningCopyWithoutAWindowStillStopsTheSecond) {
    uikit::UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
    EXPECT_TRUE(HandOverToRunningCopy());
    EXPECT_EQ(FakeRunningCopy::asked, 0);
}

}  // namespace
}  // namespace pinora
