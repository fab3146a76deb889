// Pinora spends its day hidden in the notification area: the real main window
// and the windows it opens, each checked for timers that fire while it is hidden
// (test::NoTimerRunsWhileHidden). Only the main window's 30-second tick may run.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "App.h"
#include "BrowserPopup.h"
#include "CallRecorders.h"
#include "DoRoRazIds.h"
#include "HiddenWindowCheck.h"
#include "MainDlg.h"
#include "Settings.h"
#include "SettingsDlg.h"
#include "StickEditor.h"
#include "StickManager.h"
#include "StickStore.h"
#include "TextCipher.h"
#include "Users.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::NoTimerRunsWhileHidden;

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

// Pinora as it starts at logon: a remembered user logged in automatically, the
// main window created and hidden, nothing else asked for.
class HiddenWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        App() = AppState{};
        ASSERT_EQ(createUserTable(userTablePath()), 1);
        ASSERT_EQ(addUserTo(userTablePath(), "tester", "pw"), 1);
        ASSERT_EQ(RememberPassword("pw"), Remembering::Remembered);
        WriteSetting("1", "SETTINGS", "auto_login_in");
        WriteSetting("tester", "SETTINGS", "auto_user");
        WriteSetting("1", "SETTINGS", "auto_remember_pwd");
        ASSERT_NE(main.CreateMain(), nullptr);
        ShowWindow(main.hwnd(), SW_HIDE);
        ASSERT_TRUE(App().bLoggedIn);
    }
    void TearDown() override {
        main.Destroy();
        App() = AppState{};
        SetClock(nullptr);
        SetRunAtLogon(false);
    }
    void Command(UINT id) { SendMessageA(main.hwnd(), WM_COMMAND, id, 0); }
    HWND Editor() { return reinterpret_cast<HWND>(SendMessageA(main.hwnd(), MWM_GETSTICKEDITOR, 0, 0)); }
    HWND QuickNote() { return GetDlgItem(main.hwnd(), IDC_QUICK_NOTE); }
    // A plain stick of 5 March 2009 (the clock's day), as the editor saves it.
    void PutStickOfToday(const char* text) {
        const std::string sticks = folder.Path() + "tester\\data\\sticks\\";
        CreateDirectoryA((folder.Path() + "tester\\data").c_str(), nullptr);
        CreateDirectoryA(sticks.c_str(), nullptr);
        AlarmRecord r;
        r.code = "20090305|2009|03|05|9|0|4|1|20090305";
        r.stick = text;
        r.date = "20090305";
        r.state = kStateLive;
        r.alarm5 = r.alarm30 = "0";
        ASSERT_GT(SaveNewStick(sticks, 20090305, text, r), 0);
    }
    // The day list of 5 March, opened from its calendar cell and closed again.
    HWND OpenAndCloseDayList() {
        Command(ID_CALENDAR);
        CCalendarCell* cell = main.Calendar() ? main.Calendar()->Calendar().FindCell(20090305) : nullptr;
        if (!cell) return nullptr;
        SendMessageA(cell->hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));  // on its header
        HWND dayList = main.Calendar()->Calendar().DayList().hwnd();
        if (!dayList || !IsWindowVisible(dayList)) return nullptr;
        SendMessageA(dayList, WM_COMMAND, IDCANCEL, 0);
        return dayList;
    }
    // The dictionary lookup from the shown main window, then Cancel hides both.
    HWND LookUpAndCancel() {
        Command(ID_SHOW_MAIN);
        SetDlgItemTextA(main.hwnd(), IDC_DICT_INPUT, "word");
        Command(IDC_DICT_LOOKUP);
        HWND popup = main.Dictionary() ? main.Dictionary()->hwnd() : nullptr;
        if (!popup || !IsWindowVisible(popup)) return nullptr;
        Command(IDCANCEL);
        return popup;
    }

    test::ProgramFolderFixture folder;
    test::ShellOpenRecorder shell;  // the lookup's web page is not opened
    ManualClock clock{At(2009, 3, 5, 10, 20)};
    CMainDlg main;
};

TEST_F(HiddenWindowsTest, AfterStartUpNothingIsShownAndOnlyTheTickRuns) {
    EXPECT_TRUE(main.TickTimerRunning());
    EXPECT_TRUE(test::VisibleThreadWindows().empty());
    EXPECT_TRUE(NoTimerRunsWhileHidden(main.hwnd(), {kTickTimer}));
}

// The quick-note box takes the keyboard whenever the window is shown, and lets
// go of it (and of its blinking caret) when the window hides again.
TEST_F(HiddenWindowsTest, MainWindowSleepsAgainAfterEachShowing) {
    // A double click on the icon shows it where it stands, ready for typing.
    SendMessageA(main.hwnd(), MWM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(IsWindowVisible(main.hwnd()));
    EXPECT_EQ(GetFocus(), QuickNote());
    SetWindowTextA(QuickNote(), "a note");
    Command(IDOK);
    ASSERT_FALSE(IsWindowVisible(main.hwnd()));
    EXPECT_TRUE(NoTimerRunsWhileHidden(main.hwnd(), {kTickTimer}));

    Command(ID_SHOW_MAIN);
    ASSERT_TRUE(IsWindowVisible(main.hwnd()));
    EXPECT_EQ(GetFocus(), QuickNote());
    Command(IDCANCEL);
    EXPECT_TRUE(NoTimerRunsWhileHidden(main.hwnd(), {kTickTimer}));
}

// The editor's clock ticks while the editor can be seen and stops with it,
// however it was closed.
TEST_F(HiddenWindowsTest, StickEditorClockRunsOnlyWhileItIsShown) {
    Command(ID_NEW_STICK);
    HWND editor = Editor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(IsWindowVisible(editor));
    {
        test::TimerWatch watch;
        const auto clockTicked = [&] {
            for (const test::TimerSeen& t : watch.For(editor))
                if (t.message == WM_TIMER && t.id == kClockTimer) return true;
            return false;
        };
        EXPECT_TRUE(test::PumpUntil(clockTicked, 2500));
    }
    Command(IDCANCEL);  // the main window's cancel does not touch the editor
    SendMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(NoTimerRunsWhileHidden(editor));

    Command(ID_NEW_STICK);
    ASSERT_TRUE(IsWindowVisible(editor));
    SetDlgItemTextA(editor, IDC_STICK_TEXT, "plain stick");
    SendMessageA(editor, WM_COMMAND, IDOK, 0);
    ASSERT_FALSE(IsWindowVisible(editor));
    EXPECT_TRUE(NoTimerRunsWhileHidden(editor));
    EXPECT_TRUE(NoTimerRunsWhileHidden(main.hwnd(), {kTickTimer}));
}

// The notes manager hides on Cancel and on Ctrl+Q and keeps nothing running.
TEST_F(HiddenWindowsTest, NotesManagerSleepsWhenHidden) {
    Command(ID_NOTES_MANAGER);
    HWND notes = main.Notes().hwnd();
    ASSERT_TRUE(notes && IsWindowVisible(notes));
    SendMessageA(notes, WM_COMMAND, IDCANCEL, 0);
    ASSERT_FALSE(IsWindowVisible(notes));
    EXPECT_TRUE(NoTimerRunsWhileHidden(notes));

    SendMessageA(main.hwnd(), WM_HOTKEY, GlobalFindAtomA("Pinora notes Ctrl+Q"), 0);
    ASSERT_TRUE(IsWindowVisible(notes));
    SendMessageA(main.hwnd(), WM_HOTKEY, GlobalFindAtomA("Pinora notes Ctrl+Q"), 0);
    ASSERT_FALSE(IsWindowVisible(notes));
    EXPECT_TRUE(NoTimerRunsWhileHidden(notes));
}

// The calendar's day list hides when closed; the stick manager itself is
// destroyed when closed, never hidden.
TEST_F(HiddenWindowsTest, CalendarDayListSleepsWhenClosed) {
    PutStickOfToday("buy milk");
    HWND dayList = OpenAndCloseDayList();
    ASSERT_NE(dayList, nullptr);
    ASSERT_FALSE(IsWindowVisible(dayList));
    EXPECT_TRUE(NoTimerRunsWhileHidden(dayList));
}

// The dictionary popup hides with the main window.
TEST_F(HiddenWindowsTest, DictionaryPopupSleepsWhenHidden) {
    HWND popup = LookUpAndCancel();
    ASSERT_NE(popup, nullptr);
    ASSERT_FALSE(IsWindowVisible(popup));
    EXPECT_TRUE(NoTimerRunsWhileHidden({popup, main.hwnd()}, {{main.hwnd(), kTickTimer}}));
}

// The settings dialog, each page looked at and then cancelled or confirmed,
// keeps nothing running while it waits hidden for the next opening.
TEST_F(HiddenWindowsTest, SettingsDialogSleepsWhenHidden) {
    for (UINT close : {IDCANCEL, IDOK}) {
        Command(ID_SETTINGS);
        CSettingsDlg* settings = main.Settings();
        ASSERT_TRUE(settings && IsWindowVisible(settings->hwnd()));
        for (int page = 0; page < settings->PageCount(); ++page) settings->SelectPage(page);
        SendMessageA(settings->hwnd(), WM_COMMAND, close, 0);
        ASSERT_FALSE(IsWindowVisible(settings->hwnd()));
        EXPECT_TRUE(NoTimerRunsWhileHidden(settings->hwnd()));
    }
}

// After each window family was used and put away, every hidden window of the
// program sleeps at once: only timer 10 of the main window runs.
TEST_F(HiddenWindowsTest, EveryHiddenWindowSleepsAfterUse) {
    Command(ID_NEW_STICK);
    SendMessageA(Editor(), WM_COMMAND, IDCANCEL, 0);
    Command(ID_NOTES_MANAGER);
    SendMessageA(main.Notes().hwnd(), WM_COMMAND, IDCANCEL, 0);
    Command(ID_SHOW_MAIN);
    Command(IDCANCEL);
    Command(ID_TODAY_WINDOW);
    Command(ID_TODAY_WINDOW);
    PutStickOfToday("buy milk");
    ASSERT_NE(OpenAndCloseDayList(), nullptr);
    main.Calendar()->Destroy();
    ASSERT_NE(LookUpAndCancel(), nullptr);
    Command(ID_SETTINGS);
    SendMessageA(main.Settings()->hwnd(), WM_COMMAND, IDCANCEL, 0);
    main.ShowBitmapMessage("a reminder");  // stays up, with its hidden tooltip
    const std::vector<HWND> hidden = test::HiddenThreadWindows();
    EXPECT_GE(hidden.size(), 3u);
    EXPECT_TRUE(NoTimerRunsWhileHidden(hidden, {{main.hwnd(), kTickTimer}}));
}

// The today window is shown while it exists; its tooltip stays hidden until the
// mouse rests on a stick, and sleeps until then.
TEST_F(HiddenWindowsTest, TodayWindowTooltipSleepsUntilNeeded) {
    Command(ID_TODAY_WINDOW);
    std::vector<HWND> tips;
    for (HWND w : test::HiddenThreadWindows()) {
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) tips.push_back(w);
    }
    ASSERT_FALSE(tips.empty());
    for (HWND tip : tips) EXPECT_TRUE(NoTimerRunsWhileHidden(tip));
}

}  // namespace
}  // namespace pinora
