// The stick manager and its calendar in-process, under the injected clock, with a
// stand-in main window and editor that record what the calendar asks of them:
// the month shown, what the cells list, the context menu, the day list and the
// editor sequence for a stick.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "CalendarMessages.h"
#include "CalendarTestSupport.h"
#include "DoRoRazIds.h"
#include "MainMessages.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "StickEditorMessages.h"
#include "StickManager.h"
#include "StickStore.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::DoubleClickItem;
using test::ListTexts;

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

// One message the stand-in editor received.
struct EditorCall {
    UINT msg;
    std::string text;  // the text for SEM_SETTEXT, SEM_SETCAPTION, SEM_LOADSTICK ("weekly code")
    LPARAM value;
};

// The main window and the stick editor as the calendar sees them: command 32775
// shows the editor, MWM_GETSTICKEDITOR returns it, and it writes down the
// editor messages it is sent.
struct StandIns {
    HWND main = nullptr;
    HWND editor = nullptr;
    int newStickCommands = 0;
    std::vector<EditorCall> calls;

    static StandIns*& Current() {
        static StandIns* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK MainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        StandIns* self = Current();
        if (self && msg == WM_COMMAND && LOWORD(wp) == ID_NEW_STICK) {
            ++self->newStickCommands;
            self->calls.clear();
            ShowWindow(self->editor, SW_SHOW);
            return 0;
        }
        if (self && msg == MWM_GETSTICKEDITOR) return reinterpret_cast<LRESULT>(self->editor);
        return DefWindowProcA(h, msg, wp, lp);
    }
    static LRESULT CALLBACK EditorProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        StandIns* self = Current();
        if (self && msg >= SEM_SETTEXT && msg <= SEM_SETNOTIFY) {
            EditorCall call{msg, "", lp};
            if (msg == SEM_SETTEXT || msg == SEM_SETCAPTION) call.text = reinterpret_cast<const char*>(lp);
            if (msg == SEM_LOADSTICK)
                call.text = std::string(reinterpret_cast<const char*>(wp)) + " " + reinterpret_cast<const char*>(lp);
            self->calls.push_back(call);
            return TRUE;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    StandIns() {
        Current() = this;
        WNDCLASSA wc = {};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpfnWndProc = MainProc;
        wc.lpszClassName = "CalendarTestMain";
        RegisterClassA(&wc);
        wc.lpfnWndProc = EditorProc;
        wc.lpszClassName = "CalendarTestEditor";
        RegisterClassA(&wc);
        main = CreateWindowExA(0, "CalendarTestMain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        editor = CreateWindowExA(0, "CalendarTestEditor", "", WS_POPUP, 0, 0, 10, 10, main, nullptr, nullptr, nullptr);
    }
    ~StandIns() {
        DestroyWindow(editor);
        DestroyWindow(main);
        Current() = nullptr;
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> m;
        for (const EditorCall& c : calls) m.push_back(c.msg);
        return m;
    }
    const EditorCall* Last(UINT msg) const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->msg == msg) return &*it;
        return nullptr;
    }
};

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        sticksFolder = folder.Path() + "tester\\data\\sticks\\";
        CreateDirectoryA((folder.Path() + "tester").c_str(), nullptr);
        CreateDirectoryA((folder.Path() + "tester\\data").c_str(), nullptr);
        CreateDirectoryA(sticksFolder.c_str(), nullptr);
        alarmPath = sticksFolder + kAlarmTableName;
    }
    void TearDown() override {
        manager.Destroy();
        SetClock(nullptr);
    }

    // A stick saved as the editor saves it: record n in both tables.
    int Put(int date, const char* state, const std::string& text, const char* weekly = "0000000") {
        AlarmRecord r;
        const std::string d = std::to_string(date);
        r.code = d + "|" + d.substr(0, 4) + "|" + d.substr(4, 2) + "|" + d.substr(6, 2) + "|9|0|4|1|" + d;
        r.stick = text;
        r.weekly = weekly;
        r.date = d;
        r.state = state;
        return SaveNewStick(sticksFolder, date, text, r);
    }
    HWND Open() {
        HWND h = manager.Open(standIns.main, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    CCalendarCell& CellOf(int date) {
        CCalendarCell* cell = manager.Calendar().FindCell(date);
        if (!cell) ADD_FAILURE() << "no cell shows " << date;
        return cell ? *cell : manager.Calendar().Cell(0);
    }
    static const ListedStick* ItemData(HWND list, int i) {
        return reinterpret_cast<const ListedStick*>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    }
    void Setting(const char* value) { WriteSetting(value, "SETTINGS", "del_stick_directly"); }

    test::ProgramFolderFixture folder;
    ManualClock clock{At(2009, 3, 5, 10, 20)};
    StandIns standIns;
    std::string sticksFolder;
    std::string alarmPath;
    CStickManagerWnd manager{[this] { return sticksFolder; }};
};

TEST_F(CalendarTest, OpensMaximisedOnTodaysMonthAndTheButtonsCrossTheYear) {
    HWND h = Open();
    EXPECT_TRUE(IsZoomed(h));
    char text[128] = {};
    GetWindowTextA(h, text, sizeof text);
    EXPECT_EQ(std::string(text), LoadResString(IDS_CALENDAR_TITLE));
    EXPECT_EQ(manager.Calendar().DayNames()[0], LoadResString(IDS_DAYNAME_FIRST));
    EXPECT_EQ(manager.Calendar().DayNames()[6], LoadResString(IDS_DAYNAME_FIRST + 6));
    GetDlgItemTextA(h, kPreviousMonthButton, text, sizeof text);
    EXPECT_EQ(std::string(text), LoadResString(IDS_PREVIOUS_MONTH));

    // March 2009 begins on a Sunday: the first row is the last week of February.
    EXPECT_EQ(manager.Calendar().Cell(0).HeaderText(), "0,2-22.2009");
    EXPECT_EQ(manager.Calendar().Cell(0).Date().currentMonth, 0);
    EXPECT_EQ(manager.Calendar().Cell(11).HeaderText(), "4,3-5.2009");
    EXPECT_EQ(manager.Calendar().Cell(11).Date().currentMonth, 1);
    EXPECT_EQ(GetDlgCtrlID(manager.Calendar().Cell(11).hwnd()), 8011);

    // Each cell sits in its square of the grid.
    RECT client;
    GetClientRect(manager.Calendar().hwnd(), &client);
    for (int i : {0, 8, 41}) {
        RECT rc;
        GetWindowRect(manager.Calendar().Cell(i).hwnd(), &rc);
        MapWindowPoints(nullptr, manager.Calendar().hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        const CellBox box = CellBoxOf(i, client.right, client.bottom);
        EXPECT_EQ(rc.left, box.left) << i;
        EXPECT_EQ(rc.top, box.top) << i;
        EXPECT_EQ(rc.right, box.right) << i;
        EXPECT_EQ(rc.bottom, box.bottom) << i;
    }

    auto click = [&](int id) {
        SendMessageA(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(h, id)));
    };
    click(kPreviousMonthButton);
    click(kPreviousMonthButton);
    EXPECT_EQ(manager.Calendar().Date().month, 1);
    click(kPreviousMonthButton);
    const CivilDate shown = manager.Calendar().Date();
    EXPECT_EQ(DateNumber(shown.year, shown.month, shown.day), 20081220);
    EXPECT_EQ(manager.Calendar().Cell(1).HeaderText(), "1,12-1.2008");
    click(kNextMonthButton);
    EXPECT_EQ(manager.Calendar().Date().year, 2009);
    EXPECT_EQ(manager.Calendar().Date().month, 1);

    // Opening it again brings the same window back, still on its month.
    EXPECT_EQ(manager.Open(standIns.main, nullptr), h);
    EXPECT_EQ(manager.Calendar().Date().month, 1);
}

TEST_F(CalendarTest, FinishedStickVanishesOnReloadOrStaysStruckThrough) {
    Setting("1");
    Put(20090310, "1", "first");
    Put(20090310, "1", "second");
    Put(20090310, "3", "third");
    Put(20090311, "1", "next day");
    HWND h = Open();
    CCalendarCell& cell = CellOf(20090310);
    EXPECT_EQ(ListTexts(cell.List()), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(ListTexts(CellOf(20090311).List()), (std::vector<std::string>{"next day"}));

    // Deleted in the editor: STATE "0", then the editor's refresh.
    ASSERT_TRUE(SetAlarmField(alarmPath, 1, kAlarmState, kStateFinished));
    SendMessageA(h, CAL_REFRESH, 0, -1);
    EXPECT_EQ(ListTexts(cell.List()), (std::vector<std::string>{"second", "third"}));
    EXPECT_EQ(ItemData(cell.List(), 0)->record, 2);
    EXPECT_EQ(ItemData(cell.List(), 0)->finished, 0);

    Setting("0");
    SendMessageA(cell.hwnd(), CELLM_RELOAD, 0, 0);
    ASSERT_EQ(ListTexts(cell.List()), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(ItemData(cell.List(), 0)->finished, 1);
    EXPECT_EQ(ItemData(cell.List(), 0)->record, 1);
    EXPECT_EQ(ItemData(cell.List(), 1)->finished, 0);
    EXPECT_EQ(ItemData(cell.List(), 2)->finished, 0);
}

TEST_F(CalendarTest, ContextMenuOffersNewSticksFromTodayOn) {
    HWND h = Open();
    UINT answer = 0;
    int shown = 0;
    bool newStickEnabled = false;
    manager.Calendar().SetMenuChooser([&](HMENU menu, POINT, HWND) {
        ++shown;
        newStickEnabled = !(GetMenuState(menu, ID_CAL_NEW_STICK, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
        return answer;
    });
    auto rightClick = [&](int date) { SendMessageA(CellOf(date).hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(20, 30)); };
    rightClick(20090304);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(newStickEnabled);
    rightClick(20090222);
    EXPECT_FALSE(newStickEnabled);
    rightClick(20090305);
    EXPECT_TRUE(newStickEnabled);
    rightClick(20090404);
    EXPECT_TRUE(newStickEnabled);
    EXPECT_EQ(standIns.newStickCommands, 0);

    // A past day gets no new stick, whatever comes back from the menu.
    answer = ID_CAL_NEW_STICK;
    rightClick(20090304);
    EXPECT_EQ(standIns.newStickCommands, 0);

    // A new stick on 12 March starts from that day at the time now.
    clock.Set(At(2009, 3, 5, 16, 7));
    rightClick(20090312);
    EXPECT_EQ(standIns.newStickCommands, 1);
    EXPECT_EQ(standIns.Messages(), (std::vector<UINT>{SEM_LOADSTICK, SEM_SETNOTIFY}));
    EXPECT_EQ(standIns.calls[0].text, "0000000 20090312|2009|3|12|16|7|4|0|20090312");
    EXPECT_EQ(reinterpret_cast<HWND>(standIns.calls[1].value), h);
}

TEST_F(CalendarTest, DayListOpensOnlyForADayWithSticks) {
    Setting("1");
    Put(20090310, "0", "done already");
    Put(20090310, "1", "buy milk");
    Put(20090310, "3", "call Ann");
    Open();
    // No sticks on the 9th: a double click on its header opens nothing.
    SendMessageA(CellOf(20090309).hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
    EXPECT_FALSE(manager.Calendar().DayList().IsWindowAlive());
    // Below the header is the list: a double click there opens no day list either.
    SendMessageA(CellOf(20090310).hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 40));
    EXPECT_FALSE(manager.Calendar().DayList().IsWindowAlive());

    SendMessageA(CellOf(20090310).hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
    ASSERT_TRUE(manager.Calendar().DayList().IsWindowAlive());
    HWND dialog = manager.Calendar().DayList().hwnd();
    EXPECT_TRUE(IsWindowVisible(dialog));
    // Every stick of the day, the finished one the cell leaves out too.
    EXPECT_EQ(ListTexts(GetDlgItem(dialog, IDC_DAY_LIST_ITEMS)),
              (std::vector<std::string>{"done already", "buy milk", "call Ann"}));
    char text[256] = {};
    GetDlgItemTextA(dialog, IDC_DAY_LIST_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "done already\r\nbuy milk\r\ncall Ann");
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(dialog));

    // The context menu's second item shows it again, for that day.
    Put(20090311, "1", "dentist");
    SendMessageA(manager.hwnd(), CAL_REFRESH, 0, -1);
    manager.Calendar().SetMenuChooser([](HMENU, POINT, HWND) { return static_cast<UINT>(ID_CAL_DAY_LIST); });
    SendMessageA(CellOf(20090311).hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(20, 30));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(manager.Calendar().DayList().hwnd(), dialog);
    EXPECT_EQ(ListTexts(GetDlgItem(dialog, IDC_DAY_LIST_ITEMS)), (std::vector<std::string>{"dentist"}));
}

TEST_F(CalendarTest, OpeningAStickSendsTheEditorThatSticksOwnRecord) {
    Setting("1");
    Put(20090310, "0", "finished first");
    Put(20090310, "1", "second", "0010000");
    Put(20090310, "3", "third");
    HWND h = Open();
    CCalendarCell& cell = CellOf(20090310);
    ASSERT_EQ(ListTexts(cell.List()), (std::vector<std::string>{"second", "third"}));

    // The first item listed is record 2: the finished record 1 is hidden.
    DoubleClickItem(cell, 0);
    ASSERT_EQ(standIns.newStickCommands, 1);  // the editor is reset first
    EXPECT_EQ(standIns.Messages(), (std::vector<UINT>{SEM_SETTEXT, SEM_SETTEXT, SEM_ENABLEOK, SEM_LOADSTICK,
                                                      SEM_SETRECORD, SEM_SHOWDELETE, SEM_SETCAPTION, SEM_SETNOTIFY}));
    EXPECT_EQ(standIns.calls[1].text, "second");
    EXPECT_EQ(standIns.calls[3].text, "0010000 20090310|2009|03|10|9|0|4|1|20090310");
    EXPECT_EQ(standIns.Last(SEM_SETRECORD)->value, 2);
    EXPECT_EQ(standIns.Last(SEM_SHOWDELETE)->value, 1);
    EXPECT_EQ(standIns.Last(SEM_SETCAPTION)->text, LoadResString(IDS_STICK_EDIT));
    EXPECT_EQ(reinterpret_cast<HWND>(standIns.Last(SEM_SETNOTIFY)->value), h);

    // A stick without alarm: its own caption, OK on, no Delete.
    DoubleClickItem(cell, 1);
    EXPECT_EQ(standIns.Last(SEM_SETRECORD)->value, 3);
    EXPECT_EQ(standIns.Last(SEM_SETCAPTION)->text, LoadResString(IDS_STICK_NO_ALARM));
    EXPECT_EQ(standIns.Last(SEM_ENABLEOK)->value, 1);
    EXPECT_EQ(standIns.Last(SEM_SHOWDELETE)->value, 0);

    // Listed too, the finished one is shown with OK off.
    Setting("0");
    SendMessageA(cell.hwnd(), CELLM_RELOAD, 0, 0);
    DoubleClickItem(cell, 0);
    EXPECT_EQ(standIns.Last(SEM_SETRECORD)->value, 1);
    EXPECT_EQ(standIns.Last(SEM_SETCAPTION)->text, LoadResString(IDS_STICK_FINISHED));
    EXPECT_EQ(standIns.Last(SEM_ENABLEOK)->value, 0);
    EXPECT_EQ(standIns.Last(SEM_SHOWDELETE)->value, 0);
    DoubleClickItem(cell, 2);
    EXPECT_EQ(standIns.Last(SEM_SETRECORD)->value, 3);

    // Nothing selected, or a double click below the last item: nothing opens.
    const int before = standIns.newStickCommands;
    SendMessageA(cell.List(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(cell.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 40));
    EXPECT_EQ(standIns.newStickCommands, before);
}

TEST_F(CalendarTest, AListReadBeforeTheTableChangedNeverOpensAnotherRecord) {
    Setting("1");
    Put(20090310, "1", "first");
    Put(20090310, "1", "second");
    Open();
    CCalendarCell& cell = CellOf(20090310);
    ASSERT_EQ(ListTexts(cell.List()).size(), 2u);

    // The table is replaced behind the calendar's back (restored from a copy, say):
    // record 2 is now a stick of another day.
    ASSERT_TRUE(DeleteFileA(alarmPath.c_str()));
    ASSERT_TRUE(DeleteFileA((sticksFolder + kStickIndexName).c_str()));
    Put(20090310, "1", "first");
    Put(20090401, "1", "April");
    DoubleClickItem(cell, 1);
    EXPECT_EQ(standIns.newStickCommands, 0);
    // The cell read its day again instead.
    EXPECT_EQ(ListTexts(cell.List()), (std::vector<std::string>{"first"}));

    // A changed text is opened as the record holds it now.
    ASSERT_TRUE(SetAlarmField(alarmPath, 1, kAlarmStick, "first, changed elsewhere"));
    DoubleClickItem(cell, 0);
    ASSERT_EQ(standIns.newStickCommands, 1);
    EXPECT_EQ(standIns.calls[1].text, "first, changed elsewhere");
    EXPECT_EQ(standIns.Last(SEM_SETRECORD)->value, 1);
}

TEST_F(CalendarTest, NewStickFromACellStartsWithItsTextAndNoRecord) {
    Put(20090310, "1", "template text");
    Open();
    CCalendarCell& cell = CellOf(20090310);
    SendMessageA(cell.List(), LB_SETCURSEL, 0, 0);
    char text[64] = {};
    EXPECT_EQ(SendMessageA(cell.hwnd(), CELLM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 13);
    EXPECT_STREQ(text, "template text");
    EXPECT_EQ(SendMessageA(cell.hwnd(), CELLM_GETTEXT, 5, reinterpret_cast<LPARAM>(text)), 4);
    EXPECT_STREQ(text, "temp");

    CellRequest request;
    request.date = cell.Date();
    request.text = "template text";
    SendMessageA(manager.Calendar().hwnd(), CALM_NEWSTICK, 0, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(standIns.newStickCommands, 1);
    EXPECT_EQ(standIns.Messages(), (std::vector<UINT>{SEM_SETTEXT, SEM_SETNOTIFY}));
    EXPECT_EQ(standIns.calls[0].text, "template text");
}

TEST_F(CalendarTest, HoverEndsWhenTheCursorIsElsewhereWithoutALeaveNotice) {
    Open();
    CCalendarCell& cell = manager.Calendar().Cell(20);
    RECT rc;
    GetWindowRect(cell.hwnd(), &rc);
    SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(cell.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(cell.Hovered());
    EXPECT_FALSE(test::PumpUntil([&] { return !cell.Hovered(); }, 400));  // still over it
    // The cursor jumps onto the button band: no WM_MOUSELEAVE is sent here.
    SetCursorPos(300, 20);
    EXPECT_TRUE(test::PumpUntil([&] { return !cell.Hovered(); }, 2000));
}

TEST_F(CalendarTest, MissingTableShowsEmptyCells) {
    HWND h = Open();
    EXPECT_NE(h, nullptr);
    for (int i = 0; i < kCalendarCells; ++i)
        EXPECT_EQ(SendMessageA(manager.Calendar().Cell(i).List(), LB_GETCOUNT, 0, 0), 0) << i;
    SendMessageA(manager.Calendar().Cell(3).hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
    EXPECT_FALSE(manager.Calendar().DayList().IsWindowAlive());
}

}  // namespace
}  // namespace pinora
