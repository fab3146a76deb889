#include <gtest/gtest.h>

#include "App.h"
#include "AppMain.h"
#include "DamagedTables.h"
#include "DoRoRazIds.h"
#include "Handles.h"
#include "MainDlg.h"
#include "MessageBox.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "TableCheck.h"
#include "TableFields.h"
#include "Tabulo.h"
#include "Users.h"
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

// What start-up had done when the damaged-table message came, and the
// answer: Exit, so the whole program runs once in the test.
struct StartUpSeenByTheMessage {
    static int Answer(HWND, const char* text, const char*, UINT) {
        ++boxes;
        lastText = text;
        HWND published = static_cast<HWND>(GetPropA(GetDesktopWindow(), kDesktopProp));
        markInPlace = published != nullptr && App().pMainDlg != nullptr && published == App().pMainDlg->hwnd();
        trayIconAdded = App().pMainDlg != nullptr && App().pMainDlg->TrayIconAdded();
        if (App().pMainDlg) PostMessageA(App().pMainDlg->hwnd(), WM_COMMAND, ID_EXIT, 0);
        return IDOK;
    }
    static int boxes;
    static bool markInPlace, trayIconAdded;
    static std::string lastText;
};
int StartUpSeenByTheMessage::boxes = 0;
bool StartUpSeenByTheMessage::markInPlace = false;
bool StartUpSeenByTheMessage::trayIconAdded = false;
std::string StartUpSeenByTheMessage::lastText;

// A users table of another layout found by the automatic login: its message
// waits until start-up has finished (notification icon and the mark a second
// copy looks for in place), so neither a second copy nor a script that waits
// for Pinora waits on the box.
TEST(StartUpTest, DamagedTableMessageComesAfterStartUpHasFinished) {
    test::ProgramFolderFixture folder;
    {
        FieldHeaderCreat fields[3] = {CharField("NUMBER", 12), CharField("USERNAME", 255), CharField("PWD", 128)};
        FileDBF table;
        ASSERT_EQ(table.Creat(userTablePath().c_str(), 3, fields), 0);
    }
    WriteSetting("1", "SETTINGS", "auto_login_in");
    WriteSetting("anna", "SETTINGS", "auto_user");
    ForgetDamageReports();
    const auto previous = uikit::SetMessageBoxHandler(&StartUpSeenByTheMessage::Answer);
    EXPECT_EQ(RunPinora(), 0);
    uikit::SetMessageBoxHandler(previous);
    SetDamagedTableHandler(nullptr);
    App() = AppState{};

    EXPECT_EQ(StartUpSeenByTheMessage::boxes, 1);
    EXPECT_NE(StartUpSeenByTheMessage::lastText.find(userTablePath()), std::string::npos);
    EXPECT_TRUE(StartUpSeenByTheMessage::markInPlace);
    EXPECT_TRUE(StartUpSeenByTheMessage::trayIconAdded);
    EXPECT_EQ(GetPropA(GetDesktopWindow(), kDesktopProp), nullptr);  // withdrawn at the end
}

}  // namespace
}  // namespace pinora
