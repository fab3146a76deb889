// The sticks windows in-process under the injected clock: the editor's rules and
// what it stores, the alarm pop-up's snooze and display, the today window's
// list, and the scheduler's tick as the main window runs it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "AlarmEffects.h"
#include "AlarmStore.h"
#include "App.h"
#include "DoRoRazIds.h"
#include "Presence.h"
#include "ResourceLibrary.h"
#include "Scheduler.h"
#include "Settings.h"
#include "StickStore.h"
#include "StickWindows.h"
#include "Tabulo.h"
#include "WinTestSupport.h"
#include "WindowText.h"

namespace pinora {
namespace {

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

// The alarm pop-ups on the screen, lowest first.
std::vector<HWND> Popups() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            char title[64] = {};
            GetWindowTextA(w, title, sizeof title);
            if (std::strcmp(title, "Pinora - reminder") == 0 && IsWindowVisible(w))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top > rb.top;
    });
    return found;
}

std::string TextOf(HWND dlg, int id) {
    char text[600] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

std::string FieldOf(const std::string& path, long n, int field) {
    FileDBF table;
    char buf[300] = {};
    if (table.Open(path.c_str()) != 0 || table.Go(n) != 0 || table.ReadField(field, buf) != 0) return "<none>";
    return buf;
}

class StickWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        App() = AppState{};
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, "tester");
        // Like the real main window, a top-most owner.
        main = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        menu = LoadMenuA(ResLib(), MAKEINTRESOURCEA(IDR_TRAYMENU));
        sticks = new StickWindows(main, menu);
        sticksFolder = folder.Path() + "tester\\data\\sticks\\";
        alarmPath = sticksFolder + kAlarmTableName;
        test::g_messageBoxCount = 0;
    }
    void TearDown() override {
        delete sticks;
        DestroyMenu(menu);
        DestroyWindow(main);
        SetAlarmReadFault(nullptr);
        SetAlarmAppendFault(nullptr);
        App() = AppState{};
        SetClock(nullptr);
    }

    HWND Editor() { return sticks->Editor().hwnd(); }
    HWND OpenEditor() {
        HWND editor = sticks->OpenNewStickEditor();
        EXPECT_NE(editor, nullptr);
        return editor;
    }
    // What a click on a check box or radio button does.
    void Click(HWND dlg, int id, bool check) {
        CheckDlgButton(dlg, id, check ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    }
    void SetPicker(int id, int y, int m, int d, int hh = 0, int mm = 0) {
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(y);
        st.wMonth = static_cast<WORD>(m);
        st.wDay = static_cast<WORD>(d);
        st.wHour = static_cast<WORD>(hh);
        st.wMinute = static_cast<WORD>(mm);
        st.wDayOfWeek = static_cast<WORD>(DayOfWeek(y, m, d));
        ASSERT_TRUE(DateTime_SetSystemtime(GetDlgItem(Editor(), id), GDT_VALID, &st));
    }
    void TypeStick(const std::string& text) { SetDlgItemTextA(Editor(), IDC_STICK_TEXT, text.c_str()); }
    void AlarmAt(int y, int m, int d, int hh, int mm) {
        Click(Editor(), IDC_STICK_ALARM_ON, true);
        SetPicker(IDC_STICK_DATE, y, m, d);
        SetPicker(IDC_STICK_TIME, y, m, d, hh, mm);
    }
    void Ok() { SendMessageA(Editor(), WM_COMMAND, IDOK, 0); }
    std::string Alarm(long n, int field) { return FieldOf(alarmPath, n, field); }
    std::string Stick(long n, int field) { return FieldOf(sticksFolder + kStickIndexName, n, field); }

    void PutAlarm(const std::string& code, const char* state, const std::string& text, const char* date = nullptr) {
        CreateDirectoryA((folder.Path() + "tester").c_str(), nullptr);
        CreateDirectoryA((folder.Path() + "tester\\data").c_str(), nullptr);
        CreateDirectoryA(sticksFolder.c_str(), nullptr);
        AlarmRecord r;
        r.code = code;
        r.alarm5 = "0";
        r.alarm30 = "0";
        r.stick = text;
        r.date = date ? date : code.substr(0, 8);
        r.state = state;
        ASSERT_TRUE(SaveNewStick(sticksFolder, std::atoi(r.date.c_str()), text, r) > 0);
    }

    test::ProgramFolderFixture folder;
    ManualClock clock{At(2009, 3, 5, 10, 20)};
    HWND main = nullptr;
    HMENU menu = nullptr;
    StickWindows* sticks = nullptr;
    std::string sticksFolder;
    std::string alarmPath;
};

TEST_F(StickWindowsTest, EditorOpensResetAtTheCornerWithTheClockRunning) {
    HWND editor = OpenEditor();
    EXPECT_TRUE(IsWindowVisible(editor));
    EXPECT_TRUE(GetWindowLongPtrA(editor, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rc;
    GetWindowRect(editor, &rc);
    EXPECT_EQ(rc.left, GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left) - 20);
    EXPECT_EQ(rc.top, GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top) - 50);
    EXPECT_EQ(sticks->Editor().Record(), -1);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, IDC_STICK_DELETE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_STICK_DATE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_STICK_REPEAT)));
    char text[128] = {};
    GetDlgItemTextA(editor, IDC_STICK_CAPTION, text, sizeof text);
    EXPECT_STREQ(text, "New stick");
    EXPECT_EQ(SendMessageA(GetDlgItem(editor, IDC_STICK_TEXT), EM_GETLIMITTEXT, 0, 0), 255);

    SendMessageA(editor, WM_TIMER, kClockTimer, 0);
    GetDlgItemTextA(editor, IDC_STICK_CLOCK, text, sizeof text);
    EXPECT_STREQ(text, "Now: 3/5/2009 10:20:0");
    EXPECT_TRUE(sticks->Editor().ClockTimerRunning());
    SendMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_FALSE(sticks->Editor().ClockTimerRunning());
}

TEST_F(StickWindowsTest, AlarmLessThanFiveMinutesAheadIsRefused) {
    OpenEditor();
    TypeStick("call Ann");
    AlarmAt(2009, 3, 5, 10, 24);
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_ALARM_TIME_INVALID));
    EXPECT_TRUE(IsWindowVisible(Editor()));
    EXPECT_FALSE(test::FileExists(alarmPath));

    SetPicker(IDC_STICK_TIME, 2009, 3, 5, 11, 24);  // the same minute, an hour later
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_FALSE(IsWindowVisible(Editor()));
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|11|24|4|1|20090305");
    EXPECT_EQ(Alarm(1, kAlarm5), "0");
    EXPECT_EQ(Alarm(1, kAlarm30), "0");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
    EXPECT_EQ(Alarm(1, kAlarmDate), "20090305");
    EXPECT_EQ(Stick(1, kStickText), "call Ann");
    char text[16] = {};
    GetDlgItemTextA(Editor(), IDC_STICK_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "");
}

TEST_F(StickWindowsTest, RepeatingAlarmStartingAfterItsEndIsRefused) {
    OpenEditor();
    TypeStick("course");
    AlarmAt(2009, 3, 10, 9, 0);
    Click(Editor(), IDC_STICK_REPEAT, true);
    EXPECT_TRUE(IsDlgButtonChecked(Editor(), IDC_STICK_KIND1));
    Click(Editor(), IDC_STICK_UNTIL, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_END_DATE)));
    SetPicker(IDC_STICK_END_DATE, 2009, 3, 8);
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_FALSE(test::FileExists(alarmPath));

    SetPicker(IDC_STICK_END_DATE, 2009, 3, 12);
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090310|2009|03|10|9|0|2|1|20090312");
}

TEST_F(StickWindowsTest, EmptyTextIsRefused) {
    OpenEditor();
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_STICK_EMPTY));
    EXPECT_TRUE(IsWindowVisible(Editor()));
}

TEST_F(StickWindowsTest, PlainStickIsKindZeroAndLongTextIsCut) {
    OpenEditor();
    std::string text(255, 'a');
    text[253] = 'b';
    TypeStick(text);
    Ok();
    const AlarmCode code = DecodeAlarmCode(Alarm(1, kAlarmCode).c_str());
    EXPECT_EQ(code.repeatKind, 0);
    EXPECT_EQ(code.endDate, 20090305);  // no repeat: the end is the start
    EXPECT_EQ(Alarm(1, kAlarm5), "1");
    EXPECT_EQ(Alarm(1, kAlarm30), "1");
    EXPECT_EQ(Alarm(1, kAlarmState), "3");
    EXPECT_EQ(Alarm(1, kAlarmStick), text.substr(0, 254));
    EXPECT_EQ(Stick(1, kStickText), text.substr(0, 254));
    EXPECT_EQ(Stick(1, kStickDate), "20090305");
}

TEST_F(StickWindowsTest, QuickReminderIsStoredFiveMinutesAfterItsDelay) {
    clock.Set(At(2009, 3, 5, 10, 52));
    OpenEditor();
    TypeStick("tea");
    Click(Editor(), IDC_STICK_QUICK, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_QUICK_DELAY)));
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmCode).substr(0, 25), "20090305|2009|03|05|11|2|");
    EXPECT_EQ(Alarm(1, kAlarm5), "0");
    EXPECT_EQ(Alarm(1, kAlarm30), "1");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");

    clock.Set(At(2009, 3, 5, 10, 50));
    OpenEditor();
    TypeStick("tea again");
    Click(Editor(), IDC_STICK_QUICK, true);
    Ok();
    EXPECT_EQ(Alarm(2, kAlarmCode).substr(0, 25), "20090305|2009|03|05|11|0|");
}

TEST_F(StickWindowsTest, UncheckingRepeatKeepsTheWeeklyKindWithEndAtStart) {
    OpenEditor();
    TypeStick("gym");
    AlarmAt(2009, 3, 6, 18, 0);
    Click(Editor(), IDC_STICK_REPEAT, true);
    CheckDlgButton(Editor(), IDC_STICK_KIND1, BST_UNCHECKED);
    Click(Editor(), IDC_STICK_KIND2, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_WEEKDAYS)));
    ListView_SetCheckState(GetDlgItem(Editor(), IDC_STICK_WEEKDAYS), 1, TRUE);
    Click(Editor(), IDC_STICK_REPEAT, false);
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090306|2009|03|06|18|0|5|2|20090306");
    EXPECT_EQ(Alarm(1, kAlarmWeekly), "0100000");
}

// Text in every script, as the program handles it in UTF-8.
TEST_F(StickWindowsTest, TextInEveryScriptIsStoredByteForByte) {
    OpenEditor();
    const std::string text = "Café ☕ Привет 你好";
    TypeStick(text);
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmStick), text);
    EXPECT_EQ(Stick(1, kStickText), text);
}

// The field holds bytes: a typed character that would not fit is not taken,
// and the text is stored cut between two characters.
TEST_F(StickWindowsTest, EditorTakesWholeCharactersUpToTheFieldsBytes) {
    OpenEditor();
    HWND edit = GetDlgItem(Editor(), IDC_STICK_TEXT);
    TypeStick(std::string(252, 'a'));
    SendMessageA(edit, EM_SETSEL, 252, 252);
    SendMessageW(edit, WM_CHAR, 0x4F60, 0);  // 你: three bytes, 255 in all
    SendMessageW(edit, WM_CHAR, 0x00E9, 0);  // é: two more would not fit
    const std::string typed = std::string(252, 'a') + "你";
    EXPECT_EQ(uikit::WindowText(edit), typed);
    Ok();
    // The field gives back 254 bytes: the last character goes whole.
    EXPECT_EQ(Stick(1, kStickText), std::string(252, 'a'));
    EXPECT_EQ(Alarm(1, kAlarmStick), std::string(252, 'a'));
}

// A text another program wrote that is not UTF-8 is shown with replacement
// characters, and an alarm changed around it leaves its bytes as they were.
TEST_F(StickWindowsTest, StoredTextThatIsNotUtf8IsSavedBackAsItWasUnlessEdited) {
    PutAlarm("20090306|2009|03|06|18|0|5|1|20090306", "1", "Caf\xE9");
    OpenEditor();
    SendMessageA(Editor(), SEM_SETTEXT, 0, reinterpret_cast<LPARAM>("Caf\xE9"));
    SendMessageA(Editor(), SEM_LOADSTICK, reinterpret_cast<WPARAM>("0000000"),
                 reinterpret_cast<LPARAM>("20090306|2009|03|06|18|0|5|1|20090306"));
    SendMessageA(Editor(), SEM_SETRECORD, 0, 1);
    EXPECT_EQ(uikit::WindowText(GetDlgItem(Editor(), IDC_STICK_TEXT)), "Caf\xEF\xBF\xBD");  // shown as "Caf�"
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmStick), "Caf\xE9");
    EXPECT_EQ(Stick(1, kStickText), "Caf\xE9");
    // Edited, it is what the box holds.
    OpenEditor();
    SendMessageA(Editor(), SEM_SETTEXT, 0, reinterpret_cast<LPARAM>("Caf\xE9"));
    SendMessageA(Editor(), SEM_SETRECORD, 0, 1);
    TypeStick("Café");
    Ok();
    EXPECT_EQ(Stick(1, kStickText), "Café");
}

TEST_F(StickWindowsTest, LoadedStickIsRewrittenInPlaceAndDeletedAfterConfirmation) {
    PutAlarm("20090306|2009|03|06|18|0|5|2|29991230", "1", "first");
    PutAlarm("20090306|2009|03|06|19|0|5|1|20090306", "1", "second");
    OpenEditor();
    SendMessageA(Editor(), SEM_LOADSTICK, reinterpret_cast<WPARAM>("0010000"),
                 reinterpret_cast<LPARAM>("20090306|2009|03|06|18|0|5|2|29991230"));
    SendMessageA(Editor(), SEM_SETRECORD, 0, 1);
    SendMessageA(Editor(), SEM_SHOWDELETE, 0, 1);
    EXPECT_TRUE(IsDlgButtonChecked(Editor(), IDC_STICK_KIND2));
    EXPECT_TRUE(IsDlgButtonChecked(Editor(), IDC_STICK_UNTIL));
    EXPECT_TRUE(ListView_GetCheckState(GetDlgItem(Editor(), IDC_STICK_WEEKDAYS), 2));
    TypeStick("first, changed");
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmStick), "first, changed");
    EXPECT_EQ(Alarm(1, kAlarmWeekly), "0010000");
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090306|2009|03|06|18|0|5|2|29991230");
    EXPECT_EQ(Alarm(2, kAlarmStick), "second");
    EXPECT_EQ(CountRecords(alarmPath), 2);

    SendMessageA(Editor(), SEM_SETRECORD, 0, 2);
    SendMessageA(Editor(), WM_COMMAND, IDC_STICK_DELETE, 0);
    EXPECT_EQ(test::g_messageBoxCount, 1);  // answered OK
    EXPECT_EQ(Alarm(2, kAlarmState), "0");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");

    SendMessageA(Editor(), SEM_RESET, 0, 0);  // a new stick: Delete does nothing
    SendMessageA(Editor(), WM_COMMAND, IDC_STICK_DELETE, 0);
    EXPECT_EQ(test::g_messageBoxCount, 1);
}

// Whatever the last stick chose, the next new one starts from the defaults.
TEST_F(StickWindowsTest, NewStickStartsFromTheDefaults) {
    OpenEditor();
    TypeStick("tea");
    Click(Editor(), IDC_STICK_QUICK, true);
    Ok();
    ASSERT_EQ(Alarm(1, kAlarmState), "1");

    clock.Set(At(2009, 3, 5, 11, 40));
    OpenEditor();
    EXPECT_FALSE(IsDlgButtonChecked(Editor(), IDC_STICK_QUICK));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_QUICK_DELAY)));
    SYSTEMTIME time = {};
    DateTime_GetSystemtime(GetDlgItem(Editor(), IDC_STICK_TIME), &time);
    EXPECT_EQ(time.wHour, 11);
    EXPECT_EQ(time.wMinute, 40);
    TypeStick("just a note");
    Ok();
    EXPECT_EQ(Alarm(2, kAlarmState), "3");
    EXPECT_EQ(Alarm(2, kAlarm5), "1");
    EXPECT_EQ(DecodeAlarmCode(Alarm(2, kAlarmCode).c_str()).repeatKind, 0);

    OpenEditor();
    TypeStick("course until Friday");
    AlarmAt(2009, 3, 5, 14, 0);
    Click(Editor(), IDC_STICK_REPEAT, true);
    Click(Editor(), IDC_STICK_UNTIL, true);
    SetPicker(IDC_STICK_END_DATE, 2009, 3, 6);
    Ok();
    ASSERT_EQ(DecodeAlarmCode(Alarm(3, kAlarmCode).c_str()).endDate, 20090306);

    OpenEditor();
    EXPECT_FALSE(IsDlgButtonChecked(Editor(), IDC_STICK_UNTIL));
    EXPECT_FALSE(IsDlgButtonChecked(Editor(), IDC_STICK_REPEAT));
    TypeStick("every day");
    AlarmAt(2009, 3, 5, 15, 0);
    Click(Editor(), IDC_STICK_REPEAT, true);
    Ok();
    EXPECT_EQ(DecodeAlarmCode(Alarm(4, kAlarmCode).c_str()).endDate, kEndlessDate);
}

// A stick that could not be written stays in the editor, and the user is told.
TEST_F(StickWindowsTest, FailedSaveKeepsTheEditorOpenWithItsText) {
    OpenEditor();
    TypeStick("do not lose me");
    SetAlarmAppendFault([] { return true; });
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_STICK_NOT_SAVED));
    EXPECT_TRUE(IsWindowVisible(Editor()));
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_TEXT), "do not lose me");

    SetAlarmAppendFault(nullptr);  // the next OK saves it
    Ok();
    EXPECT_FALSE(IsWindowVisible(Editor()));
    EXPECT_EQ(Alarm(2, kAlarmStick), "do not lose me");
    EXPECT_EQ(Alarm(1, kAlarmState), "0");  // the half-saved first try is finished

    // An existing stick whose records cannot be rewritten.
    OpenEditor();
    SendMessageA(Editor(), SEM_LOADSTICK, reinterpret_cast<WPARAM>("0000000"),
                 reinterpret_cast<LPARAM>("20090305|2009|03|05|0|0|4|0|20090305"));
    SendMessageA(Editor(), SEM_SETRECORD, 0, 7);
    TypeStick("edited");
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 2);
    EXPECT_TRUE(IsWindowVisible(Editor()));
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_TEXT), "edited");
}

// A table that cannot be read is said so once, copied aside and never written.
TEST_F(StickWindowsTest, DamagedAlarmTableIsReportedOnceAndLeftAsItIs) {
    PutAlarm("20090305|2009|03|05|11|0|4|1|20090305", "1", "kept");
    const std::string damaged = std::string(64, '\xff') + "rest";
    test::WriteFileBytes(alarmPath, damaged);

    EXPECT_TRUE(sticks->RunAlarmCheck());
    EXPECT_TRUE(sticks->RunAlarmCheck());
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_NE(test::g_lastMessageBoxText.find(alarmPath), std::string::npos);

    OpenEditor();
    TypeStick("new one");
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 2);
    EXPECT_TRUE(IsWindowVisible(Editor()));
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_TEXT), "new one");
    EXPECT_EQ(test::ReadFileBytes(alarmPath), damaged);
    EXPECT_EQ(test::ReadFileBytes(alarmPath + ".bad"), damaged);
    EXPECT_EQ(CountRecords(sticksFolder + kStickIndexName), 1);
}

TEST_F(StickWindowsTest, StartedRepeatingAlarmCanBeEdited) {
    PutAlarm("20090302|2009|03|02|9|0|1|1|29991230", "1", "daily since Monday");
    OpenEditor();
    SendMessageA(Editor(), SEM_LOADSTICK, reinterpret_cast<WPARAM>("0000000"),
                 reinterpret_cast<LPARAM>("20090302|2009|03|02|9|0|1|1|29991230"));
    SendMessageA(Editor(), SEM_SETRECORD, 0, 1);
    TypeStick("daily since Monday, at nine");
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 0);
    EXPECT_FALSE(IsWindowVisible(Editor()));
    EXPECT_EQ(Alarm(1, kAlarmStick), "daily since Monday, at nine");
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090302|2009|03|02|9|0|1|1|29991230");
}

TEST_F(StickWindowsTest, AlarmOnLateInTheEveningPresetsTomorrow) {
    clock.Set(At(2009, 2, 28, 23, 30));
    OpenEditor();
    TypeStick("after midnight");
    Click(Editor(), IDC_STICK_ALARM_ON, true);
    Ok();
    EXPECT_EQ(test::g_messageBoxCount, 0);
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090301|2009|03|01|0|30|0|1|20090301");
}

// The pop-up as the scheduler fills it, closed by the given button.
class AlarmPopupTest : public StickWindowsTest {
protected:
    void Snooze(const char* code, int delay, int button) {
        PutAlarm(code, "1", "stick");
        ASSERT_TRUE(sticks->Popup().Fill(main, DecodeAlarmCode(code), "stick", 1, alarmPath));
        HWND popup = sticks->Popup().hwnd();
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(popup, IDOK)));
        Click(popup, IDC_ALARM_AGAIN, true);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(popup, IDOK)));
        SendMessageA(GetDlgItem(popup, IDC_ALARM_DELAY), CB_SETCURSEL, static_cast<WPARAM>(delay), 0);
        SendMessageA(popup, WM_COMMAND, static_cast<WPARAM>(button), 0);
        EXPECT_FALSE(IsWindow(popup));
    }
};

TEST_F(AlarmPopupTest, SnoozeMovesTheAlarmFromItsOwnTime) {
    Snooze("20090305|2009|03|05|10|40|4|1|20090305", 2, IDOK);
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|11|10|4|1|20090305");
    EXPECT_EQ(Alarm(1, kAlarm5), "0");
}

TEST_F(AlarmPopupTest, SnoozeRevivesAOneTimeAlarmFinishedWhileThePopupWasOpen) {
    PutAlarm("20090305|2009|03|05|10|40|4|1|20090305", "1", "stick");
    ASSERT_TRUE(sticks->Popup().Fill(main, DecodeAlarmCode("20090305|2009|03|05|10|40|4|1|20090305"), "stick", 1,
                                     alarmPath));
    // The tick after 10:40 finishes the alarm before the user answers the pop-up.
    ASSERT_TRUE(SetAlarmField(alarmPath, 1, kAlarmState, kStateFinished));
    HWND popup = sticks->Popup().hwnd();
    Click(popup, IDC_ALARM_AGAIN, true);
    SendMessageA(GetDlgItem(popup, IDC_ALARM_DELAY), CB_SETCURSEL, 1, 0);
    SendMessageA(popup, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|10|55|4|1|20090305");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
}

TEST_F(AlarmPopupTest, SnoozePastMidnightMovesTheDate) {
    Snooze("20090305|2009|03|05|23|50|4|1|20090305", 1, IDOK);
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090306|2009|03|06|0|5|5|1|20090306");
}

TEST_F(AlarmPopupTest, CancelWithRemindAgainCheckedSnoozesToo) {
    Snooze("20090305|2009|03|05|10|30|4|1|20090305", 2, IDCANCEL);
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|11|0|4|1|20090305");
}

TEST_F(AlarmPopupTest, ClosingWithoutRemindAgainLeavesTheAlarm) {
    PutAlarm("20090305|2009|03|05|10|40|4|1|20090305", "1", "stick");
    ASSERT_TRUE(sticks->Popup().Fill(main, DecodeAlarmCode("20090305|2009|03|05|10|40|4|1|20090305"), "stick", 1,
                                     alarmPath));
    SendMessageA(sticks->Popup().hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|10|40|4|1|20090305");
}

TEST_F(AlarmPopupTest, PopupSlidesUpThenBlinksThroughItsColours) {
    AlarmEvent event;
    event.alarm = DecodeAlarmCode("20090305|2009|03|05|10|40|4|1|20090305");
    event.text = "look up";
    event.record = 1;
    sticks->ShowAlarm(event);
    CAlarmDlg& popup = sticks->Popup();
    ASSERT_TRUE(popup.IsWindowAlive());
    EXPECT_TRUE(IsWindowVisible(popup.hwnd()));
    char text[64] = {};
    GetDlgItemTextA(popup.hwnd(), IDC_ALARM_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "look up");

    EXPECT_TRUE(test::PumpUntil([&] { return popup.FrameColour() == kBlinkMagenta; }, 8000));
    RECT rc;
    GetWindowRect(popup.hwnd(), &rc);
    const int h = rc.bottom - rc.top;
    EXPECT_LE(rc.top, GetSystemMetrics(SM_CYSCREEN) - h - 30 + 8);  // fully up
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN) - 5);
    EXPECT_TRUE(test::PumpUntil([&] { return popup.FrameColour() == kBlinkGreen; }, 3000));
    EXPECT_TRUE(test::PumpUntil([&] { return popup.BlinkCounter() == 1; }, 5000));
    EXPECT_EQ(popup.FrameColour(), kFrameColour);

    // The stick-manager button asks the owner for the calendar and closes.
    SendMessageA(popup.hwnd(), WM_COMMAND, IDC_ALARM_MANAGER, 0);
    EXPECT_FALSE(popup.IsWindowAlive());
}

// Every alarm due in one pass gets a pop-up of its own, stacked up from the corner.
TEST_F(StickWindowsTest, AlarmsDueInOnePassEachGetTheirOwnPopup) {
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "first");
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "second");
    EXPECT_TRUE(sticks->RunAlarmCheck());
    ASSERT_EQ(Popups().size(), 2u);
    // Both up at their places once both blink.
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            for (CAlarmDlg* popup : sticks->Popups())
                if (popup->FrameColour() == kFrameColour) return false;
            return true;
        },
        8000));
    std::vector<HWND> shown = Popups();
    RECT lower, upper;
    GetWindowRect(shown[0], &lower);
    GetWindowRect(shown[1], &upper);
    EXPECT_LE(lower.bottom, GetSystemMetrics(SM_CYSCREEN) - 20);
    EXPECT_LE(upper.bottom, lower.top);  // one above the other, not on top of it
    EXPECT_EQ(upper.left, lower.left);
    EXPECT_EQ(TextOf(shown[0], IDC_ALARM_TEXT), "first");
    EXPECT_EQ(TextOf(shown[1], IDC_ALARM_TEXT), "second");

    // "Remind me again" acts on the pop-up's own record.
    Click(shown[1], IDC_ALARM_AGAIN, true);
    SendMessageA(shown[1], WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Alarm(2, kAlarmCode), "20090305|2009|03|05|10|50|4|1|20090305");
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|10|45|4|1|20090305");
    ASSERT_EQ(Popups().size(), 1u);
    EXPECT_EQ(TextOf(Popups()[0], IDC_ALARM_TEXT), "first");
}

std::vector<std::string> g_drawn;
void RecordDrawing(const char* text) { g_drawn.push_back(text); }
Presence Busy() { return Presence::Busy; }

// A presentation in front: both pop-ups come, slide up and blink, but the
// focus stays with the presentation, and neither the picture nor the wink shows.
TEST_F(StickWindowsTest, WhileTheUserIsBusyPopupsComeQuietlyAndNoneIsLeftOut) {
    WriteSetting("1", "ALERTS", "check_draw");
    g_drawn.clear();
    SetAlarmDrawing(RecordDrawing);
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "first");
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "second");
    HWND slides = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    SetForegroundWindow(slides);
    SetFocus(slides);
    SetPresenceProbe(Busy);
    EXPECT_TRUE(sticks->RunAlarmCheck());
    SetPresenceProbe(nullptr);
    ASSERT_EQ(sticks->Popups().size(), 2u);
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            for (CAlarmDlg* popup : sticks->Popups())
                if (!popup->Quiet() || !popup->SlidUp() || popup->FrameColour() != kFrameColour ||
                    popup->BlinkCounter() != 1 || !IsWindowVisible(popup->hwnd()))
                    return false;
            return true;
        },
        8000));
    EXPECT_EQ(GetActiveWindow(), slides);
    EXPECT_EQ(GetFocus(), slides);
    EXPECT_TRUE(g_drawn.empty());
    SetAlarmDrawing(nullptr);
    DestroyWindow(slides);
}

TEST_F(StickWindowsTest, OutOfDatePopupIsNotSnoozed) {
    PutAlarm("20090303|2009|03|03|9|0|2|1|20090303", "1", "Tuesday's");
    EXPECT_TRUE(sticks->RunAlarmCheck());
    ASSERT_EQ(Popups().size(), 1u);
    HWND popup = Popups()[0];
    EXPECT_EQ(TextOf(popup, IDC_ALARM_TEXT), kOutOfDateText);
    Click(popup, IDC_ALARM_AGAIN, true);
    SendMessageA(popup, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090303|2009|03|03|9|0|2|1|20090303");
    clock.Set(At(2009, 3, 5, 10, 21));
    EXPECT_TRUE(sticks->RunAlarmCheck());
    EXPECT_TRUE(Popups().empty());
}

TEST_F(StickWindowsTest, SnoozeDoesNotReviveAStickDeletedMeanwhile) {
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "cancelled meeting");
    EXPECT_TRUE(sticks->RunAlarmCheck());
    ASSERT_EQ(Popups().size(), 1u);
    HWND popup = Popups()[0];
    Click(popup, IDC_ALARM_AGAIN, true);

    OpenEditor();  // the stick is deleted while its pop-up waits
    SendMessageA(Editor(), SEM_DELETE, 0, 1);
    ASSERT_EQ(Alarm(1, kAlarmState), "0");
    SendMessageA(popup, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090305|2009|03|05|10|45|4|1|20090305");
}

TEST_F(StickWindowsTest, PopupClosedWhileBlinkingLeavesTheNextOneAFullBlink) {
    AlarmEvent event;
    event.alarm = DecodeAlarmCode("20090305|2009|03|05|10|40|4|1|20090305");
    event.text = "first";
    event.record = 1;
    sticks->ShowAlarm(event);
    // Closed in the middle of its blink, on a magenta step.
    ASSERT_TRUE(test::PumpUntil([&] { return sticks->Popup().FrameColour() == kBlinkGreen; }, 8000));
    ASSERT_TRUE(test::PumpUntil([&] { return sticks->Popup().FrameColour() == kBlinkMagenta; }, 3000));
    SendMessageA(sticks->Popup().hwnd(), WM_COMMAND, IDCANCEL, 0);

    event.text = "second";
    event.record = 2;
    sticks->ShowAlarm(event);
    ASSERT_TRUE(test::PumpUntil([&] { return sticks->Popup().FrameColour() != kFrameColour; }, 8000));
    EXPECT_EQ(sticks->Popup().FrameColour(), kBlinkMagenta);  // its blink starts from the first step
}

TEST_F(StickWindowsTest, TickShowsThePopupAndStopsOnAReadError) {
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "meeting");
    clock.Set(At(2009, 3, 5, 10, 20));
    EXPECT_TRUE(sticks->RunAlarmCheck());
    ASSERT_TRUE(sticks->Popup().IsWindowAlive());
    char text[64] = {};
    GetDlgItemTextA(sticks->Popup().hwnd(), IDC_ALARM_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "meeting");
    EXPECT_EQ(Alarm(1, kAlarm30), "1");
    sticks->Popup().Destroy();

    SetAlarmReadFault([](long, int field) { return field == kAlarmCode; });
    EXPECT_FALSE(sticks->RunAlarmCheck());
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_ALARM_READ_ERROR));
}

TEST_F(StickWindowsTest, TodayWindowTakesAPictureChosenMeanwhileAtItsNextRebuild) {
    PutAlarm("20090305|2009|03|05|11|0|4|1|20090305", "1", "short");
    ASSERT_TRUE(sticks->ToggleToday());
    EXPECT_EQ(sticks->Today().AgentHeight(), 64);  // the library's picture

    // The settings dialog stores another picture and asks for a rebuild.
    const std::string picture = folder.Path() + "agent.bmp";
    test::WriteBitmapFile(picture, 50, 20, RGB(0, 128, 0));
    WriteSetting(picture.c_str(), "SETTINGS", "agent_bmp");
    sticks->RebuildToday();
    EXPECT_EQ(sticks->Today().AgentWidth(), 50);
    EXPECT_EQ(sticks->Today().AgentHeight(), 20);

    WriteSetting("0", "SETTINGS", "agent_bmp");
    EXPECT_FALSE(sticks->ToggleToday());
    ASSERT_TRUE(sticks->ToggleToday());
    EXPECT_EQ(sticks->Today().AgentHeight(), 64);
}

TEST_F(StickWindowsTest, TodayWindowListsTodaysSticksByFilter) {
    const std::string longText(200, 'w');
    PutAlarm("20090305|2009|03|05|11|0|4|1|20090305", "1", "short");
    PutAlarm("20090305|2009|03|05|12|0|4|1|20090305", "1", longText);
    PutAlarm("20090305|2009|03|05|13|0|4|1|20090305", "0", "finished");
    PutAlarm("20090305|2009|03|05|0|0|4|0|20090305", "3", "plain");
    PutAlarm("20090306|2009|03|06|9|0|5|1|20090306", "1", "tomorrow");

    ASSERT_TRUE(sticks->ToggleToday());
    CTodayWnd& today = sticks->Today();
    ASSERT_EQ(today.Items().size(), 2u);  // filter 1: live alarms only
    EXPECT_EQ(today.Items()[0].text, "short");
    EXPECT_FALSE(today.Items()[0].tall);
    EXPECT_TRUE(today.Items()[1].tall);
    EXPECT_EQ(today.DrawnCount(), 2u);

    const int agent = today.AgentHeight();
    EXPECT_EQ(agent, 64);
    EXPECT_EQ(today.KeyColour(), 0xFF00FFu);
    EXPECT_EQ(today.Items()[0].top, 15 + agent);
    RECT rc;
    GetWindowRect(today.hwnd(), &rc);
    EXPECT_EQ(rc.bottom - rc.top, 20 + 60 + 30 + agent);  // the tall row adds 60
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.left, GetSystemMetrics(SM_CXSCREEN) - 300 - 10);
    EXPECT_EQ(rc.top, 10);
    EXPECT_TRUE(GetWindowLongPtrA(today.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

    sticks->SetTodayFilter(0);
    sticks->RebuildToday();
    ASSERT_EQ(sticks->Today().Items().size(), 4u);
    EXPECT_EQ(sticks->Today().Items()[2].state, 0);
    EXPECT_EQ(sticks->Today().Items()[3].state, 3);
    GetWindowRect(sticks->Today().hwnd(), &rc);
    EXPECT_EQ(rc.bottom - rc.top, 20 + 60 + 20 + 20 + 30 + agent);
    EXPECT_EQ(GetMenuState(GetSubMenu(menu, TRAYMENU_DISPLAY_MODE), ID_TODAY_MODE_0, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));

    EXPECT_FALSE(sticks->ToggleToday());
    EXPECT_FALSE(sticks->Today().IsAlive());
}

TEST_F(StickWindowsTest, TodayWindowFollowsMidnightAndFinishedAlarms) {
    PutAlarm("20090305|2009|03|05|10|45|4|1|20090305", "1", "today's");
    PutAlarm("20090306|2009|03|06|9|0|5|1|20090306", "1", "tomorrow's");
    ASSERT_TRUE(sticks->ToggleToday());
    ASSERT_EQ(sticks->Today().Items().size(), 1u);

    // 10:40 and 10:45 remind; the tick after 10:45 ends the one-time alarm.
    for (int minute : {40, 45, 46}) {
        clock.Set(At(2009, 3, 5, 10, minute));
        EXPECT_TRUE(sticks->RunAlarmCheck());
    }
    ASSERT_EQ(Alarm(1, kAlarmState), "0");
    EXPECT_TRUE(sticks->Today().Items().empty());

    clock.Set(At(2009, 3, 6, 0, 0));
    EXPECT_TRUE(sticks->RunAlarmCheck());
    ASSERT_EQ(sticks->Today().Items().size(), 1u);
    EXPECT_EQ(sticks->Today().Items()[0].text, "tomorrow's");
}

TEST_F(StickWindowsTest, TodayWindowStaysWhereTheUserPutIt) {
    PutAlarm("20090305|2009|03|05|11|0|4|1|20090305", "1", "stay");
    ASSERT_TRUE(sticks->ToggleToday());
    SetWindowPos(sticks->Today().hwnd(), nullptr, 100, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PutAlarm("20090305|2009|03|05|12|0|4|1|20090305", "1", "and another");
    sticks->RebuildToday();
    ASSERT_EQ(sticks->Today().Items().size(), 2u);
    RECT rc;
    GetWindowRect(sticks->Today().hwnd(), &rc);
    EXPECT_EQ(rc.left, 100);
    EXPECT_EQ(rc.top, 300);
}

// A row is tall exactly when its text does not fit in the font it is drawn in.
TEST_F(StickWindowsTest, TodayRowsAreMeasuredInTheFontTheyAreDrawnIn) {
    auto width = [](const std::string& text, int height) {
        HDC dc = GetDC(nullptr);
        HFONT font = CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
        return static_cast<int>(size.cx);
    };
    // Longest text that fits the row in the small font, drawn in the large one.
    const int room = kTodayWidth - 10 - kTodayRowLeft - 30;
    std::string medium = "m";
    while (width(medium + "m", -12) <= room) medium += "m";
    ASSERT_GT(width(medium, -15), room);
    PutAlarm("20090305|2009|03|05|11|0|4|1|20090305", "1", medium);
    PutAlarm("20090305|2009|03|05|12|0|4|1|20090305", "1", "short");
    ASSERT_TRUE(sticks->ToggleToday());
    ASSERT_EQ(sticks->Today().Items().size(), 2u);
    EXPECT_TRUE(sticks->Today().Items()[0].tall);
    EXPECT_FALSE(sticks->Today().Items()[1].tall);
}

TEST_F(StickWindowsTest, TodayWindowWithoutTableShowsFrameAndPicture) {
    ASSERT_TRUE(sticks->ToggleToday());
    EXPECT_TRUE(sticks->Today().Items().empty());
    RECT rc;
    GetWindowRect(sticks->Today().hwnd(), &rc);
    EXPECT_EQ(rc.bottom - rc.top, 30 + sticks->Today().AgentHeight());
}

// Typing a time in words: the hint under the text names the alarm read from it;
// nothing is set until Tab in the text (or a click on the hint) sets it.
class StickEditorHintTest : public StickWindowsTest {
protected:
    HWND Hint() { return GetDlgItem(Editor(), IDC_STICK_WHEN_HINT); }
    HWND Text() { return GetDlgItem(Editor(), IDC_STICK_TEXT); }
    // Typed key by key: a multi-line edit box tells of changes only when typed into.
    void Type(const char* text) {
        for (const char* c = text; *c; ++c) SendMessageA(Text(), WM_CHAR, static_cast<unsigned char>(*c), 1);
    }
    void Type(const wchar_t* text) {
        for (const wchar_t* c = text; *c; ++c) SendMessageW(Text(), WM_CHAR, *c, 1);
    }
    // Tab as the message loop hands it to the dialog.
    void PressTab() {
        SetFocus(Text());
        MSG tab = {Text(), WM_KEYDOWN, VK_TAB, 0x000F0001, GetTickCount(), {}};
        if (!IsDialogMessageA(Editor(), &tab)) {
            TranslateMessage(&tab);
            DispatchMessageA(&tab);
        }
        test::PumpUntil([] { return false; }, 50);  // the WM_CHAR that follows
    }
    SYSTEMTIME Picker(int id) {
        SYSTEMTIME st = {};
        DateTime_GetSystemtime(GetDlgItem(Editor(), id), &st);
        return st;
    }
    bool Checked(int id) { return IsDlgButtonChecked(Editor(), id) == BST_CHECKED; }
};

TEST_F(StickEditorHintTest, TabInTheTextSetsTheAlarmTheHintNames) {
    OpenEditor();
    Type("dentist tomorrow 9:30");
    EXPECT_TRUE(IsWindowVisible(Hint()));
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_WHEN_HINT), "Remind: Fri 6 Mar 09:30 — press Tab to set");
    EXPECT_FALSE(Checked(IDC_STICK_ALARM_ON));  // only shown, not set
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_DATE)));

    PressTab();
    EXPECT_EQ(GetFocus(), Text());
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_TEXT), "dentist tomorrow 9:30");  // no tab typed into it
    EXPECT_FALSE(IsWindowVisible(Hint()));
    EXPECT_TRUE(Checked(IDC_STICK_ALARM_ON));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_TIME)));
    const SYSTEMTIME date = Picker(IDC_STICK_DATE), time = Picker(IDC_STICK_TIME);
    EXPECT_EQ(date.wYear * 10000 + date.wMonth * 100 + date.wDay, 20090306);
    EXPECT_EQ(time.wHour * 100 + time.wMinute, 930);
    EXPECT_FALSE(Checked(IDC_STICK_REPEAT));

    // Tab without a hint moves on, as in any dialog.
    PressTab();
    EXPECT_NE(GetFocus(), Text());
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_TEXT), "dentist tomorrow 9:30");

    Ok();
    EXPECT_FALSE(IsWindowVisible(Editor()));
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090306|2009|03|06|9|30|5|1|20090306");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
    EXPECT_EQ(Stick(1, kStickText), "dentist tomorrow 9:30");
}

TEST_F(StickEditorHintTest, AClickOnTheHintSetsRepeatWeekdaysAndEnd) {
    OpenEditor();
    Type("gym every mon and thu at 10 until 31 mar");
    ASSERT_TRUE(IsWindowVisible(Hint()));
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_WHEN_HINT),
              "Remind: 10:00 every Mon, Thu until Tue 31 Mar — press Tab to set");
    SendMessageA(Hint(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(Hint(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(Checked(IDC_STICK_ALARM_ON));
    EXPECT_TRUE(Checked(IDC_STICK_REPEAT));
    EXPECT_TRUE(Checked(IDC_STICK_KIND2));
    EXPECT_FALSE(Checked(IDC_STICK_KIND1));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Editor(), IDC_STICK_WEEKDAYS)));
    EXPECT_TRUE(Checked(IDC_STICK_UNTIL));
    const SYSTEMTIME end = Picker(IDC_STICK_END_DATE);
    EXPECT_EQ(end.wYear * 10000 + end.wMonth * 100 + end.wDay, 20090331);
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090309|2009|03|09|10|0|1|2|20090331");
    EXPECT_EQ(Alarm(1, kAlarmWeekly), "0100100");

    // A stored stick's text is put in by the calendar, not typed: no hint.
    OpenEditor();
    SendMessageA(Editor(), SEM_SETTEXT, 0, reinterpret_cast<LPARAM>("dentist tomorrow 9:30"));
    EXPECT_FALSE(IsWindowVisible(Hint()));
    EXPECT_FALSE(sticks->Editor().HasWhenHint());
}

// Words of any script around the phrase: read as typed, and the stick keeps
// every byte of what was typed.
TEST_F(StickEditorHintTest, TextInAnyScriptAroundThePhraseIsSavedAsTyped) {
    OpenEditor();
    Type(L"Caf\u00E9 \u2615 \u041F\u0440\u0438\u0432\u0435\u0442 tomorrow 9:30 \u4F60\u597D");
    ASSERT_TRUE(IsWindowVisible(Hint()));
    EXPECT_EQ(TextOf(Editor(), IDC_STICK_WHEN_HINT), "Remind: Fri 6 Mar 09:30 — press Tab to set");
    PressTab();
    Ok();
    EXPECT_EQ(Alarm(1, kAlarmCode), "20090306|2009|03|06|9|30|5|1|20090306");
    EXPECT_EQ(Stick(1, kStickText), "Café ☕ Привет tomorrow 9:30 你好");
}

}  // namespace
}  // namespace pinora
