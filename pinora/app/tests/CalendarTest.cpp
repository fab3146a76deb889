// The stick manager as the real main window drives it: command 32776, log-out,
// the windows that open it, and a stick opened from a day cell, changed in the
// real stick editor and saved into its own records and nowhere else.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "App.h"
#include "CalendarMessages.h"
#include "CalendarTestSupport.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "StickManager.h"
#include "StickStore.h"
#include "Tabulo.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::DoubleClickItem;

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

// Every field of every record of a table.
std::vector<std::vector<std::string>> Rows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    FileDBF table;
    if (table.Open(path.c_str()) != 0) return rows;
    for (long n = 1; n <= table.GetRecords(); ++n) {
        std::vector<std::string> row;
        for (int f = 1; f <= table.GetFieldCount(); ++f) {
            char value[300] = {};
            table.Go(n);
            table.ReadField(f, value);
            row.push_back(value);
        }
        rows.push_back(row);
    }
    return rows;
}

class CalendarMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        App() = AppState{};
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, "tester");
        ASSERT_NE(main.CreateMain(), nullptr);
        ShowWindow(main.hwnd(), SW_HIDE);
        sticksFolder = folder.Path() + "tester\\data\\sticks\\";
        CreateDirectoryA(sticksFolder.c_str(), nullptr);
        alarmPath = sticksFolder + kAlarmTableName;
        indexPath = sticksFolder + kStickIndexName;
    }
    void TearDown() override {
        main.Destroy();
        App() = AppState{};
        SetClock(nullptr);
        SetRunAtLogon(false);
    }

    void Put(int date, const char* state, const std::string& text) {
        const std::string d = std::to_string(date);
        PutCode(d + "|" + d.substr(0, 4) + "|" + d.substr(4, 2) + "|" + d.substr(6, 2) + "|9|0|4|1|" + d, state, text);
    }
    void PutCode(const std::string& code, const char* state, const std::string& text) {
        AlarmRecord r;
        const std::string d = code.substr(0, 8);
        const int date = std::atoi(d.c_str());
        r.code = code;
        r.stick = text;
        r.date = d;
        r.state = state;
        r.alarm5 = r.alarm30 = "0";
        ASSERT_GT(SaveNewStick(sticksFolder, date, text, r), 0);
    }
    void Command(UINT id) { SendMessageA(main.hwnd(), WM_COMMAND, id, 0); }
    HWND Editor() { return reinterpret_cast<HWND>(SendMessageA(main.hwnd(), MWM_GETSTICKEDITOR, 0, 0)); }
    CCalendarCell& CellOf(int date) {
        CCalendarCell* cell = main.Calendar()->Calendar().FindCell(date);
        if (!cell) ADD_FAILURE() << "no cell shows " << date;
        return cell ? *cell : main.Calendar()->Calendar().Cell(0);
    }
    static std::string ItemText(HWND list, int i) {
        const auto texts = test::ListTexts(list);
        return static_cast<size_t>(i) < texts.size() ? texts[static_cast<size_t>(i)] : "<none>";
    }
    std::string EditorText() {
        char text[300] = {};
        GetDlgItemTextA(Editor(), IDC_STICK_TEXT, text, sizeof text);
        return text;
    }

    test::ProgramFolderFixture folder;
    ManualClock clock{At(2009, 3, 5, 10, 20)};
    CMainDlg main;
    std::string sticksFolder, alarmPath, indexPath;
};

TEST_F(CalendarMainTest, CommandCreatesItOnceMaximisedAndLogOutDestroysIt) {
    Command(ID_CALENDAR);
    ASSERT_NE(main.Calendar(), nullptr);
    HWND manager = main.Calendar()->hwnd();
    ASSERT_TRUE(IsWindow(manager));
    EXPECT_TRUE(IsZoomed(manager));
    EXPECT_EQ(GetWindow(manager, GW_OWNER), nullptr);
    char title[128] = {};
    GetWindowTextA(manager, title, sizeof title);
    EXPECT_EQ(std::string(title), LoadResString(IDS_CALENDAR_TITLE));
    Command(ID_CALENDAR);
    EXPECT_EQ(main.Calendar()->hwnd(), manager);

    // The editor opened for a new stick reports its save to the calendar.
    Command(ID_NEW_STICK);
    SetDlgItemTextA(Editor(), IDC_STICK_TEXT, "made with the calendar open");
    SendMessageA(Editor(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ItemText(CellOf(20090305).List(), 0), "made with the calendar open");

    Command(ID_LOGOUT);
    EXPECT_FALSE(IsWindow(manager));
    // Nobody logged in: the command opens nothing.
    Command(ID_CALENDAR);
    EXPECT_FALSE(main.Calendar()->IsAlive());
}

TEST_F(CalendarMainTest, EditingTheSecondOfThreeSticksRewritesOnlyItsRecords) {
    Put(20090310, "0", "finished first");  // hidden: "del_stick_directly" is not written
    Put(20090310, "1", "second");
    Put(20090310, "3", "third");
    Put(20090311, "1", "next day");
    const auto alarmsBefore = Rows(alarmPath);
    const auto sticksBefore = Rows(indexPath);

    Command(ID_CALENDAR);
    CCalendarCell& cell = CellOf(20090310);
    ASSERT_EQ(SendMessageA(cell.List(), LB_GETCOUNT, 0, 0), 2);
    DoubleClickItem(cell, 0);
    HWND editor = Editor();
    ASSERT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(EditorText(), "second");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(editor, IDC_STICK_DELETE)));
    SetDlgItemTextA(editor, IDC_STICK_TEXT, "second, changed");
    SendMessageA(editor, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(test::g_lastMessageBoxText.find("alarm time"), std::string::npos);

    const auto alarmsAfter = Rows(alarmPath);
    const auto sticksAfter = Rows(indexPath);
    ASSERT_EQ(alarmsAfter.size(), 4u);
    ASSERT_EQ(sticksAfter.size(), 4u);
    for (size_t r : {0u, 2u, 3u}) {
        EXPECT_EQ(alarmsAfter[r], alarmsBefore[r]) << "alarm record " << r + 1;
        EXPECT_EQ(sticksAfter[r], sticksBefore[r]) << "stick record " << r + 1;
    }
    EXPECT_EQ(alarmsAfter[1][kAlarmStick - 1], "second, changed");
    EXPECT_EQ(alarmsAfter[1][kAlarmDate - 1], "20090310");
    EXPECT_EQ(alarmsAfter[1][kAlarmCode - 1].substr(0, 20), "20090310|2009|03|10|");
    EXPECT_EQ(sticksAfter[1][kStickText - 1], "second, changed");
    EXPECT_EQ(sticksAfter[1][kStickNumber - 1], "2");
    // The cell was told and shows the new text.
    EXPECT_EQ(ItemText(cell.List(), 0), "second, changed");
}

TEST_F(CalendarMainTest, RepeatingAlarmThatStartedBeforeTodayIsChangedInPlace) {
    // Daily at 09:00 from 1 to 31 March; today is the 5th.
    PutCode("20090301|2009|03|01|9|0|0|1|20090331", "1", "stretch");
    Command(ID_CALENDAR);
    DoubleClickItem(CellOf(20090301), 0);
    ASSERT_EQ(EditorText(), "stretch");
    SetDlgItemTextA(Editor(), IDC_STICK_TEXT, "stretch and walk");
    const int boxes = test::g_messageBoxCount;
    SendMessageA(Editor(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(test::g_messageBoxCount, boxes) << test::g_lastMessageBoxText;
    EXPECT_FALSE(IsWindowVisible(Editor()));
    const auto rows = Rows(alarmPath);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][kAlarmStick - 1], "stretch and walk");
    EXPECT_EQ(rows[0][kAlarmCode - 1], "20090301|2009|03|01|9|0|0|1|20090331");
    EXPECT_EQ(rows[0][kAlarmDate - 1], "20090301");
    EXPECT_EQ(ItemText(CellOf(20090301).List(), 0), "stretch and walk");
}

TEST_F(CalendarMainTest, NewSticksFromTheCalendarNeverLandOnTheStickOpenedBefore) {
    Put(20090310, "1", "kept as it is");
    const auto before = Rows(alarmPath);
    Command(ID_CALENDAR);
    CCalendarCell& cell = CellOf(20090310);
    DoubleClickItem(cell, 0);
    ASSERT_EQ(EditorText(), "kept as it is");
    SendMessageA(Editor(), WM_COMMAND, IDCANCEL, 0);

    // A new stick with the cell's text, from the calendar's own message.
    CellRequest request;
    request.date = cell.Date();
    request.text = "a copy";
    SendMessageA(main.Calendar()->Calendar().hwnd(), CALM_NEWSTICK, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_TRUE(IsWindowVisible(Editor()));
    EXPECT_EQ(EditorText(), "a copy");
    SendMessageA(Editor(), WM_COMMAND, IDOK, 0);

    // And one from the context menu of 12 March.
    main.Calendar()->Calendar().SetMenuChooser([](HMENU, POINT, HWND) { return static_cast<UINT>(ID_CAL_NEW_STICK); });
    SendMessageA(CellOf(20090312).hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(20, 30));
    ASSERT_TRUE(IsWindowVisible(Editor()));
    SetDlgItemTextA(Editor(), IDC_STICK_TEXT, "on the twelfth");
    SendMessageA(Editor(), WM_COMMAND, IDOK, 0);

    const auto after = Rows(alarmPath);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1][kAlarmStick - 1], "a copy");
    EXPECT_EQ(after[2][kAlarmStick - 1], "on the twelfth");
    EXPECT_EQ(after[2][kAlarmDate - 1], "20090312");
    EXPECT_EQ(Rows(indexPath)[2][kStickDate - 1], "20090312");
    EXPECT_EQ(ItemText(CellOf(20090312).List(), 0), "on the twelfth");
}

HWND g_todayWindow = nullptr;
BOOL CALLBACK FindToday(HWND h, LPARAM owner) {
    if (GetWindow(h, GW_OWNER) == reinterpret_cast<HWND>(owner) && (GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_LAYERED)) {
        g_todayWindow = h;
        return FALSE;
    }
    return TRUE;
}

TEST_F(CalendarMainTest, TodayWindowAndReminderOpenIt) {
    Put(20090305, "1", "due soon");  // 09:00 today, looked at from 08:40
    clock.Set(At(2009, 3, 5, 8, 40));
    // The first run's settings show the today window at start-up.
    g_todayWindow = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindToday, reinterpret_cast<LPARAM>(main.hwnd()));
    if (!g_todayWindow) {
        Command(ID_TODAY_WINDOW);
        EnumThreadWindows(GetCurrentThreadId(), FindToday, reinterpret_cast<LPARAM>(main.hwnd()));
    }
    ASSERT_NE(g_todayWindow, nullptr);
    SendMessageA(g_todayWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, 30));
    ASSERT_NE(main.Calendar(), nullptr);
    EXPECT_TRUE(main.Calendar()->IsAlive());

    main.Calendar()->Destroy();
    SendMessageA(main.hwnd(), WM_TIMER, kTickTimer, 0);
    HWND popup = FindWindowA(nullptr, "Pinora - reminder");
    ASSERT_NE(popup, nullptr);
    SendMessageA(popup, WM_COMMAND, MAKEWPARAM(IDC_ALARM_MANAGER, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(popup, IDC_ALARM_MANAGER)));
    EXPECT_TRUE(main.Calendar()->IsAlive());
    EXPECT_TRUE(IsZoomed(main.Calendar()->hwnd()));
}

}  // namespace
}  // namespace pinora
