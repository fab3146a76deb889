// The real main window driving the features it owns: the wink catalogue and first
// run at start-up, the stored skin, the skin chooser command and a whole stick round.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "App.h"
#include "Catalogues_win.h"
#include "Clock.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "MessageBox.h"
#include "Scheduler.h"
#include "Settings.h"
#include "Skin.h"
#include "Skins.h"
#include "SkinsTestSupport.h"
#include "Tabulo.h"

namespace pinora {
namespace {

using test::SkinsWinksTest;

// What the folder listing returns, in its own order.
std::vector<std::string> ListingOrder(const std::string& dir, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(dir + fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

std::string FieldOf(const std::string& path, long n, int field) {
    FileDBF table;
    char buf[300] = {};
    if (table.Open(path.c_str()) != 0 || table.Go(n) != 0 || table.ReadField(field, buf) != 0) return "<none>";
    return buf;
}

std::vector<std::vector<std::string>> Records(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    FileDBF dbf;
    if (dbf.Open(table.c_str()) != 0) return rows;
    for (long n = 1; n <= dbf.GetRecords(); ++n) {
        std::vector<std::string> row;
        dbf.Go(n);
        for (int f = 1; f <= 3; ++f) row.push_back(FieldOf(table, n, f));
        rows.push_back(row);
    }
    return rows;
}

COLORREF BrushColour(LRESULT brush) {
    LOGBRUSH lb = {};
    if (!brush || !GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb)) return CLR_INVALID;
    return lb.lbColor;
}

class MainWindowTest : public SkinsWinksTest {
protected:
    void StartMain() {
        App() = AppState{};
        ASSERT_NE(main.CreateMain(), nullptr);
        ShowWindow(main.hwnd(), SW_HIDE);
    }
    void TearDown() override {
        main.Destroy();
        App() = AppState{};
        SetRunAtLogon(false);
        SetClock(nullptr);
        SkinsWinksTest::TearDown();
    }
    CMainDlg main;
};

TEST_F(MainWindowTest, StartUpNumbersTheWinksThenWritesTheFirstRun) {
    Stage("a.ewf", "winks");
    Stage("b.ewf", "winks");
    Stage("alpha.dll", "winks");  // wrong kind of file for this folder
    CreateDirectoryA((folder.Path() + "winks\\c.ewf").c_str(), nullptr);
    std::vector<std::string> order = ListingOrder(folder.Path() + "winks\\", "*.ewf");
    ASSERT_EQ(order.size(), 2u);

    StartMain();

    auto rows = Records(WinkCataloguePath());
    ASSERT_EQ(rows.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(rows[i][0], std::to_string(i + 1));
        EXPECT_EQ(rows[i][2], order[i]);
        bool isA = order[i].find("\\a.ewf") != std::string::npos;
        EXPECT_EQ(rows[i][1], isA ? "Wink A" : "Wink B");
    }
    EXPECT_EQ(DefaultWinkPath(), order[0]);
    EXPECT_EQ(ReadSetting("ALERTS", "stick_wink", 260), order[0]);
    EXPECT_EQ(ReadSetting("ALERTS", "auto_wink", 260), order[0]);
}

TEST_F(MainWindowTest, StartUpAppliesTheStoredSkinAndTheWindowPaintsWithIt) {
    std::string beta = Stage("beta.dll", "skins");
    SaveCurrentSkin("Beta", beta);
    StartMain();
    EXPECT_EQ(uikit::CurrentSkinFile(), beta);

    HDC dc = CreateCompatibleDC(nullptr);
    LRESULT brush = SendMessageA(main.hwnd(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(BrushColour(brush), RGB(0x40, 0x50, 0x60));
    SendMessageA(main.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(main.Item(IDC_QUICK_NOTE)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0xFF, 0));
    DeleteDC(dc);
}

TEST_F(MainWindowTest, NoStoredSkinKeepsTheSystemColours) {
    StartMain();
    EXPECT_FALSE(uikit::HasSkin());
    HDC dc = CreateCompatibleDC(nullptr);
    LRESULT brush = SendMessageA(main.hwnd(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(BrushColour(brush), GetSysColor(COLOR_3DFACE));
    DeleteDC(dc);
}

// Command 32789 opens dialog 212 modally.
HWND g_chooserSeen = nullptr;
void CALLBACK CancelChooser(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", "Pinora - skins");
    if (!dlg) return;
    g_chooserSeen = dlg;
    KillTimer(nullptr, id);
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(MainWindowTest, SkinsCommandOpensTheChooser) {
    Stage("alpha.dll", "skins");
    StartMain();
    DeleteFileA(SkinCataloguePath().c_str());
    g_chooserSeen = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelChooser);
    SendMessageA(main.hwnd(), WM_COMMAND, ID_SKINS, 0);  // returns once the timer cancelled it
    KillTimer(nullptr, timer);
    EXPECT_NE(g_chooserSeen, nullptr);
    EXPECT_EQ(ReadCatalogue(SkinCataloguePath()).size(), 1u);  // the opening rebuilt the catalogue
}

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

// The main window with "tester" logged in, at the clock's time.
class StickRoundTest : public MainWindowTest {
protected:
    void StartAsTester(const ManualClock& clock) {
        SetClock(&clock);
        App() = AppState{};
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, "tester");
        ASSERT_NE(main.CreateMain(), nullptr);
        ShowWindow(main.hwnd(), SW_HIDE);
    }
};

// Command 32775 opens the editor, OK saves, the tick shows the pop-up, and the
// sticks change rebuilds the today window.
TEST_F(StickRoundTest, RunsTheWholeStickRound) {
    ManualClock clock{At(2009, 3, 5, 10, 20)};
    ASSERT_NO_FATAL_FAILURE(StartAsTester(clock));
    SendMessageA(main.hwnd(), WM_COMMAND, ID_NEW_STICK, 0);
    HWND editor = reinterpret_cast<HWND>(SendMessageA(main.hwnd(), MWM_GETSTICKEDITOR, 0, 0));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsWindowVisible(editor));

    SetDlgItemTextA(editor, IDC_STICK_TEXT, "from the main window");
    CheckDlgButton(editor, IDC_STICK_ALARM_ON, BST_CHECKED);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_STICK_ALARM_ON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(editor, IDC_STICK_ALARM_ON)));
    SYSTEMTIME st = {2009, 3, 4, 5, 10, 45, 0, 0};
    DateTime_SetSystemtime(GetDlgItem(editor, IDC_STICK_DATE), GDT_VALID, &st);
    DateTime_SetSystemtime(GetDlgItem(editor, IDC_STICK_TIME), GDT_VALID, &st);
    SendMessageA(editor, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    std::string alarmPath = folder.Path() + "tester\\data\\sticks\\" + kAlarmTableName;
    EXPECT_EQ(FieldOf(alarmPath, 1, kAlarmCode), "20090305|2009|03|05|10|45|4|1|20090305");

    SendMessageA(main.hwnd(), WM_COMMAND, ID_TODAY_WINDOW, 0);
    clock.Set(At(2009, 3, 5, 10, 40));
    SendMessageA(main.hwnd(), WM_TIMER, kTickTimer, 0);
    HWND popup = FindWindowA(nullptr, "Pinora - reminder");
    ASSERT_NE(popup, nullptr);
    char text[64] = {};
    GetDlgItemTextA(popup, IDC_ALARM_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "from the main window");
    main.Destroy();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(IsWindow(editor));
}

// A table that cannot be read stops the tick before anything is shown, so the
// timer cannot bring up another box while the first one waits.
CMainDlg* g_tickingMain = nullptr;
bool g_timerRunningAtBox = true;
int RecordTimerAtBox(HWND, const char*, const char*, UINT) {
    g_timerRunningAtBox = g_tickingMain->TickTimerRunning();
    return IDOK;
}

TEST_F(StickRoundTest, ReadErrorStopsTheTimerBeforeItsBox) {
    ManualClock clock{At(2009, 3, 5, 10, 20)};
    ASSERT_NO_FATAL_FAILURE(StartAsTester(clock));
    const std::string sticksFolder = folder.Path() + "tester\\data\\sticks\\";
    CreateDirectoryA((folder.Path() + "tester").c_str(), nullptr);
    CreateDirectoryA((folder.Path() + "tester\\data").c_str(), nullptr);
    CreateDirectoryA(sticksFolder.c_str(), nullptr);
    AlarmRecord r;
    r.code = "20090305|2009|03|05|10|45|4|1|20090305";
    r.state = kStateLive;
    ASSERT_TRUE(AppendAlarm(sticksFolder + kAlarmTableName, r));
    SendMessageA(main.hwnd(), MWM_STARTTIMER, 0, 0);
    ASSERT_TRUE(main.TickTimerRunning());

    SetAlarmReadFault([](long, int field) { return field == kAlarmCode; });
    g_tickingMain = &main;
    g_timerRunningAtBox = true;
    uikit::MessageBoxHandler previous = uikit::SetMessageBoxHandler(RecordTimerAtBox);
    SendMessageA(main.hwnd(), WM_TIMER, kTickTimer, 0);
    uikit::SetMessageBoxHandler(previous);
    SetAlarmReadFault(nullptr);
    EXPECT_FALSE(g_timerRunningAtBox);
    EXPECT_FALSE(main.TickTimerRunning());
}

}  // namespace
}  // namespace pinora
