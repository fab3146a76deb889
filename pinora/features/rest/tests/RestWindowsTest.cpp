// The rest reminder's windows in-process: the reminder through an injected clock
// and input tick, the notifier's slide, hover and click, and the bitmap message
// window's shape, place, tooltip and closing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "BitmapMessageWnd.h"
#include "Clock.h"
#include "DoRoRazIds.h"
#include "Handles.h"
#include "MainMessages.h"
#include "ResourceLibrary.h"
#include "RestReminder.h"
#include "Settings.h"
#include "TaskbarNotifier.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::PumpUntil;

std::string ClassOf(HWND h) {
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

RECT WindowRect(HWND h) {
    RECT rc = {};
    GetWindowRect(h, &rc);
    return rc;
}

HBITMAP LoadRes(int id) {
    return static_cast<HBITMAP>(LoadImageA(ResLib(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

class RestWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        owner.reset(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        reminder.SetOwner(owner.get());
        WriteSetting("1", "ALERTS", "check_rest");
        WriteSetting("0", "ALERTS", "each_time");
    }
    void TearDown() override {
        reminder.CloseWindows();
        SetClock(nullptr);
    }
    // A tick of timer 10 while the user is at the keyboard.
    RestPeriod::Outcome TickWhileActive() {
        clock.SetTicks(clock.TickCount() + 30000);
        lastInput = clock.TickCount();
        return reminder.Check();
    }

    test::ProgramFolderFixture folder;
    ManualClock clock{LocalTime{}, 5'000'000};
    std::uint32_t lastInput = 5'000'000;
    uikit::UniqueHwnd owner;
    RestReminder reminder{[this] { return lastInput; }};
};

TEST_F(RestWindowsTest, ReminderSlidesTheNotifierInWithTheRestMessage) {
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    reminder.StartPeriod();
    ASSERT_TRUE(TickWhileActive().remind);
    const CTaskbarNotifier& n = reminder.Notifier();
    ASSERT_TRUE(n.IsAlive());
    EXPECT_EQ(ClassOf(n.hwnd()), kNotifierClass);
    EXPECT_EQ(GetWindow(n.hwnd(), GW_OWNER), owner.get());
    EXPECT_EQ(n.Text(), LoadResString(IDS_REST_MESSAGE));
    EXPECT_FALSE(n.Text().empty());
    EXPECT_TRUE(IsWindowVisible(n.hwnd()));
    RECT text = n.TextRect();
    EXPECT_EQ(text.left, 10);
    EXPECT_EQ(text.top, 10);

    // Shaped by the skin: the rounded corner is left out, the middle is not.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(n.hwnd(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 100, 60));
    DeleteObject(region);

    ASSERT_TRUE(PumpUntil([&] { return n.CurrentPhase() == CTaskbarNotifier::Showing; }, 5000));
    RECT rc = WindowRect(n.hwnd());
    EXPECT_EQ(rc.left, n.Motion().shown.x);
    EXPECT_EQ(rc.top, n.Motion().shown.y);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(rc.left >= work.left && rc.right <= work.right && rc.top >= work.top && rc.bottom <= work.bottom);

    // The next reminder reuses the window, with "tip_text" when there is one.
    HWND first = n.hwnd();
    WriteSetting("Stand up and stretch", "ALERTS", "tip_text");
    ASSERT_TRUE(TickWhileActive().remind);
    EXPECT_EQ(n.hwnd(), first);
    EXPECT_EQ(n.Text(), "Stand up and stretch");
}

TEST_F(RestWindowsTest, SwitchedOffOrNotAskedForShowsNothing) {
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    WriteSetting("1", "ALERTS", "check_rest_draw");
    WriteSetting("0", "ALERTS", "check_rest");
    reminder.StartPeriod();
    EXPECT_TRUE(TickWhileActive().restarted);
    EXPECT_FALSE(reminder.Notifier().IsAlive());
    EXPECT_FALSE(reminder.MessageWindow().IsAlive());

    WriteSetting("1", "ALERTS", "check_rest");
    WriteSetting("0", "ALERTS", "check_tip_wnd");
    WriteSetting("0", "ALERTS", "check_rest_draw");
    EXPECT_TRUE(TickWhileActive().remind);
    EXPECT_FALSE(reminder.Notifier().IsAlive());
    EXPECT_FALSE(reminder.MessageWindow().IsAlive());

    // Away for five minutes: no reminder at all.
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    clock.SetTicks(clock.TickCount() + 5 * 60000);
    EXPECT_FALSE(reminder.Check().remind);
    EXPECT_FALSE(reminder.Notifier().IsAlive());
}

TEST_F(RestWindowsTest, NotifierStaysThenSlidesBackOutAndHides) {
    CTaskbarNotifier n;
    ASSERT_TRUE(n.Create(owner.get(), LoadRes(IDB_REST_NOTIFIER)));
    ASSERT_TRUE(n.Show("rest", 60, 200, 60));
    RECT rc = WindowRect(n.hwnd());
    EXPECT_EQ(rc.left, n.Motion().start.x);
    EXPECT_EQ(rc.top, n.Motion().start.y);
    EXPECT_EQ(rc.right - rc.left, 220);

    ASSERT_TRUE(PumpUntil([&] { return n.CurrentPhase() == CTaskbarNotifier::Showing; }, 5000));
    // Shown again while showing: it stays, with the new text.
    ASSERT_TRUE(n.Show("again", 60, 200, 60));
    EXPECT_EQ(n.Text(), "again");
    ASSERT_TRUE(PumpUntil([&] { return n.CurrentPhase() == CTaskbarNotifier::Disappearing; }, 5000));
    // Shown while sliding out: back to fully shown at once.
    ASSERT_TRUE(n.Show("once more", 60, 200, 60));
    rc = WindowRect(n.hwnd());
    EXPECT_EQ(rc.left, n.Motion().shown.x);
    EXPECT_EQ(rc.top, n.Motion().shown.y);

    ASSERT_TRUE(PumpUntil([&] { return n.CurrentPhase() == CTaskbarNotifier::Hidden; }, 8000));
    EXPECT_FALSE(IsWindowVisible(n.hwnd()));
    rc = WindowRect(n.hwnd());
    EXPECT_EQ(rc.right - rc.left, 0);
    EXPECT_TRUE(n.IsAlive());  // kept for the next reminder
}

TEST_F(RestWindowsTest, NotifierHoverUnderlinesAndAClickTellsTheOwner) {
    CTaskbarNotifier n;
    ASSERT_TRUE(n.Create(owner.get(), LoadRes(IDB_REST_NOTIFIER)));
    ASSERT_TRUE(n.Show("rest", 500, 10000, 500));
    SendMessageA(n.hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(50, 50));
    EXPECT_TRUE(n.Highlighted());
    SendMessageA(n.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(n.Highlighted());

    EXPECT_TRUE(SendMessageA(n.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(n.hwnd()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

    SendMessageA(n.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, owner.get(), MWM_TIPHELP, MWM_TIPHELP, PM_REMOVE));

    // Without a skin there is nothing to slide.
    CTaskbarNotifier bare;
    ASSERT_TRUE(bare.Create(owner.get(), nullptr));
    EXPECT_FALSE(bare.Show("rest", 500, 10000, 500));
    EXPECT_FALSE(IsWindowVisible(bare.hwnd()));
}

TEST_F(RestWindowsTest, MessageWindowShowsTheTextOnItsShapeAtTheScreenCentre) {
    WriteSetting("1", "ALERTS", "check_rest_draw");
    reminder.StartPeriod();
    ASSERT_TRUE(TickWhileActive().remind);
    const CBitmapMessageWnd& w = reminder.MessageWindow();
    ASSERT_TRUE(w.IsAlive());
    EXPECT_EQ(ClassOf(w.hwnd()), kBitmapMessageClass);
    EXPECT_EQ(GetWindow(w.hwnd(), GW_OWNER), owner.get());
    EXPECT_EQ(w.Text(), LoadResString(IDS_REST_MESSAGE));
    EXPECT_TRUE(IsWindowVisible(w.hwnd()));
    EXPECT_NE(GetActiveWindow(), w.hwnd());

    RECT rc = WindowRect(w.hwnd());
    EXPECT_EQ(rc.left, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(rc.top, GetSystemMetrics(SM_CYSCREEN) / 2);
    EXPECT_EQ(rc.right - rc.left, 380);  // the picture's size
    EXPECT_EQ(rc.bottom - rc.top, 220);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w.hwnd(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    EXPECT_TRUE(PtInRegion(region, 190, 110));
    DeleteObject(region);

    // The text is drawn into the picture, in its colour, around the middle.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, w.Picture());
    int lettered = 0;
    for (int x = 100; x < 280; ++x)
        for (int y = 90; y < 115; ++y) lettered += GetPixel(dc, x, y) == kBitmapMessageTextColour;
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_GT(lettered, 50);

    char tip[128] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = w.hwnd();
    ti.uId = 1;
    ti.lpszText = tip;
    SendMessageA(w.Tooltip(), TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(std::string(tip), LoadResString(IDS_REST_TOOLTIP));

    // Each reminder brings a new window; a double click closes it.
    HWND first = w.hwnd();
    reminder.ShowBitmapMessage("Call the dentist");
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(w.Text(), "Call the dentist");
    SendMessageA(w.hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(190, 110));
    EXPECT_FALSE(w.IsAlive());

    // It goes with its owner.
    reminder.ShowBitmapMessage("x");
    HWND shown = w.hwnd();
    owner.reset();
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_FALSE(w.IsAlive());
}

TEST_F(RestWindowsTest, MessageWindowWithoutAPictureIsABlankBoxAtTheCentre) {
    CBitmapMessageWnd w;
    ASSERT_TRUE(w.Show(owner.get(), nullptr, "rest", "tip"));
    RECT rc = WindowRect(w.hwnd());
    EXPECT_EQ(rc.right - rc.left, kBitmapMessageWidth);
    EXPECT_EQ(rc.bottom - rc.top, kBitmapMessageHeight);
    EXPECT_EQ(rc.left, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(rc.top, GetSystemMetrics(SM_CYSCREEN) / 2);
    SendMessageA(w.hwnd(), WM_PAINT, 0, 0);  // paints without a picture
    EXPECT_TRUE(w.IsAlive());
}

}  // namespace
}  // namespace pinora
