// The settings dialog in-process: the frame and its pages, what OK writes and in
// which order, what each page shows for what is stored, and what it refuses.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AlertsPage.h"
#include "App.h"
#include "Clock.h"
#include "DoRoRazIds.h"
#include "FilledText.h"
#include "GeneralPage.h"
#include "Handles.h"
#include "ResourceLibrary.h"
#include "RestLog.h"
#include "Settings.h"
#include "SettingsDlg.h"
#include "SettingsMessages.h"
#include "SettingsTestSupport.h"
#include "SkinsTestSupport.h"
#include "SticksPage.h"
#include "SyncPage.h"
#include "SyncSettings.h"
#include "UserSecret.h"
#include "WinkChooser.h"

namespace pinora {
namespace {

using test::Click;
using test::IsChecked;
using test::TextOf;
using test::Type;
using test::ValueOf;

RECT RectIn(HWND parent, HWND child) {
    RECT rc = {};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

SIZE SizeOf(HWND h) {
    RECT rc = {};
    GetWindowRect(h, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

class SettingsDlgTest : public test::SkinsWinksTest {
protected:
    void SetUp() override {
        SkinsWinksTest::SetUp();
        SetRunAtLogon(false);
        test::g_messageBoxCount = 0;
        links.openHotkeyDialog = [this](int mode) { hotkeyModes.push_back(mode); };
        links.showBitmapMessage = [this](const char* text) { bitmapTexts.push_back(text); };
        links.noteFontChanged = [this] { ++fontChanges; };
    }
    void TearDown() override {
        dlg.reset();
        CGeneralPage::SetPictureChooser(nullptr);
        CGeneralPage::SetRunAtLogonAccess({});
        SetRunAtLogon(false);
        SkinsWinksTest::TearDown();
    }
    CSettingsDlg& Open() {
        if (!dlg) dlg = std::make_unique<CSettingsDlg>(links);
        EXPECT_NE(dlg->Open(main.hwnd()), nullptr);
        return *dlg;
    }
    HWND General() { return dlg->General().hwnd(); }
    HWND Alerts() { return dlg->Alerts().hwnd(); }
    HWND Sticks() { return dlg->Sticks().hwnd(); }
    test::IniLines Ini() { return test::ReadIniInOrder(SettingsPath()); }

    test::FakeMainWindow main;
    SettingsLinks links;
    std::vector<int> hotkeyModes;
    std::vector<std::string> bitmapTexts;
    int fontChanges = 0;
    std::unique_ptr<CSettingsDlg> dlg;
};

TEST_F(SettingsDlgTest, FrameListsFourPagesAndShowsTheChosenOneBesideTheList) {
    CSettingsDlg& d = Open();
    EXPECT_TRUE(IsWindowVisible(d.hwnd()));
    EXPECT_EQ(GetWindow(d.hwnd(), GW_OWNER), main.hwnd());
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(d.hwnd(), SPM_GETMAINWND, 0, 0)), main.hwnd());

    HWND list = d.Item(IDC_SETTINGS_PAGES);
    ASSERT_EQ(d.PageCount(), 4);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
    const UINT names[] = {IDS_PAGE_GENERAL, IDS_PAGE_ALERTS, IDS_PAGE_STICKS, IDS_PAGE_SYNC};
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(text, LoadResString(names[i]));
        EXPECT_EQ(GetParent(d.PageWindow(i)), d.hwnd());
    }
    EXPECT_EQ(d.PageWindow(0), General());
    EXPECT_EQ(d.PageWindow(1), Alerts());
    EXPECT_EQ(d.PageWindow(2), Sticks());
    EXPECT_EQ(d.ShownPage(), 0);
    EXPECT_EQ(TextOf(d.hwnd(), IDC_SETTINGS_TITLE), LoadResString(IDS_PAGE_GENERAL));

    // A click on "Sticks" in the list.
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_PAGES, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(d.ShownPage(), 2);
    EXPECT_FALSE(IsWindowVisible(General()));
    EXPECT_FALSE(IsWindowVisible(Alerts()));
    EXPECT_EQ(TextOf(d.hwnd(), IDC_SETTINGS_TITLE), LoadResString(IDS_PAGE_STICKS));

    RECT client = {}, listRect = RectIn(d.hwnd(), list), page = RectIn(d.hwnd(), Sticks());
    GetClientRect(d.hwnd(), &client);
    const int x = (listRect.right - listRect.left) + 30;
    EXPECT_EQ(page.left, x);
    EXPECT_EQ(page.top, 30);
    EXPECT_EQ(page.right - page.left, client.right - 20 - x);
    EXPECT_EQ(page.bottom - page.top, listRect.bottom - listRect.top);

    // The name line: its own font and colours.
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(d.TitleFont(), sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(d.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(d.Item(IDC_SETTINGS_TITLE))));
    EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(0xFF0080));
    EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(0xB0B6B3));
    LOGBRUSH lb = {};
    ASSERT_TRUE(GetObjectA(brush, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(0xB0B6B3));
    DeleteDC(dc);

    // Cancel hides; the next opening shows the same dialog.
    HWND first = d.hwnd();
    SendMessageA(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(Open().hwnd(), first);
    EXPECT_TRUE(IsWindowVisible(first));
}

// Every key of the three pages is written, in this order within its section.
const std::vector<std::string> kGeneralAndSticksKeys = {"auto_start_os", "auto_start_dk", "agent_bmp",
                                                        "del_stick_directly", "note_font"};
const std::vector<std::string> kAlertsKeys = {"check_dlg",   "check_winks",     "check_draw",    "check_each_time",
                                              "each_time",   "stick_wink",      "auto_wink",     "check_rest",
                                              "check_rest_draw", "check_tip_wnd", "tip_text", "quiet_when_busy"};

TEST_F(SettingsDlgTest, OkWithoutChangeRewritesEveryKeyInOrderWithCheckDlgOn) {
    const std::string wink = Stage("a.ewf", "winks");
    WriteSetting("1", "SETTINGS", "auto_start_dk");
    WriteSetting("0", "SETTINGS", "agent_bmp");
    WriteSetting("0", "SETTINGS", "del_stick_directly");
    WriteSetting("14", "SETTINGS", "note_font");
    WriteSetting("0", "ALERTS", "check_dlg");
    WriteSetting("1", "ALERTS", "check_winks");
    WriteSetting("0", "ALERTS", "check_draw");
    WriteSetting("1", "ALERTS", "check_each_time");
    WriteSetting("120", "ALERTS", "each_time");
    WriteSetting(wink.c_str(), "ALERTS", "stick_wink");
    WriteSetting("", "ALERTS", "auto_wink");
    WriteSetting("1", "ALERTS", "check_rest");
    WriteSetting("0", "ALERTS", "check_rest_draw");
    WriteSetting("1", "ALERTS", "check_tip_wnd");
    WriteSetting("Stand up", "ALERTS", "tip_text");
    Open();
    // Whatever OK writes now comes from the pages alone.
    ASSERT_TRUE(DeleteFileA(SettingsPath().c_str()));

    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);

    const test::IniLines ini = Ini();
    EXPECT_EQ(test::KeysOf(ini, "SETTINGS"), kGeneralAndSticksKeys);
    EXPECT_EQ(test::KeysOf(ini, "ALERTS"), kAlertsKeys);
    const test::IniLines expected = {
        {"SETTINGS/auto_start_os", "0"}, {"SETTINGS/auto_start_dk", "1"}, {"SETTINGS/agent_bmp", "0"},
        {"SETTINGS/del_stick_directly", "0"}, {"SETTINGS/note_font", "14"},
        {"ALERTS/check_dlg", "1"},       {"ALERTS/check_winks", "1"},     {"ALERTS/check_draw", "0"},
        {"ALERTS/check_each_time", "1"}, {"ALERTS/each_time", "120"},     {"ALERTS/stick_wink", wink},
        {"ALERTS/auto_wink", ""},        {"ALERTS/check_rest", "1"},      {"ALERTS/check_rest_draw", "0"},
        {"ALERTS/check_tip_wnd", "1"},   {"ALERTS/tip_text", "Stand up"},  {"ALERTS/quiet_when_busy", "1"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(ValueOf(ini, key), value) << key;
    EXPECT_EQ(main.TodayRebuilds(), 1);
    EXPECT_EQ(fontChanges, 1);
    EXPECT_FALSE(IsWindowVisible(dlg->hwnd()));
    EXPECT_EQ(test::g_messageBoxCount, 0);
}

TEST_F(SettingsDlgTest, QuietWhileBusyBoxAndTodaysBreakCount) {
    ManualClock clock{LocalTime{2009, 3, 5, 16, 0, 0, DayOfWeek(2009, 3, 5)}};
    struct Undo {
        ~Undo() {
            App() = AppState{};
            SetClock(nullptr);
        }
    } undo;
    SetClock(&clock);
    App().bLoggedIn = 1;
    std::strcpy(App().szCurrentUser, "tester");
    CreateDirectoryA((ProgramFolder() + "tester").c_str(), nullptr);
    auto shown = [this](int id) { return (GetWindowLongPtrA(dlg->Alerts().Item(id), GWL_STYLE) & WS_VISIBLE) != 0; };

    // Never written: quiet; no break record kept, so no count.
    Open();
    EXPECT_TRUE(IsChecked(Alerts(), IDC_ALERTS_QUIET));
    EXPECT_FALSE(shown(IDC_ALERTS_BREAKS_TODAY));
    test::Click(Alerts(), IDC_ALERTS_QUIET);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ValueOf(Ini(), "ALERTS/quiet_when_busy"), "0");

    // The record kept: yesterday's break and today's reminder are not counted.
    WriteSetting("1", "ALERTS", "rest_log");
    const std::string record = CurrentUserRestLog();
    EXPECT_EQ(record, ProgramFolder() + "tester\\rest.log");
    AppendRestLog(record, {LocalTime{2009, 3, 4, 17, 0}, true, 40, 5});
    AppendRestLog(record, {LocalTime{2009, 3, 5, 9, 45}, false, 45, 0});
    AppendRestLog(record, {LocalTime{2009, 3, 5, 10, 0}, true, 45, 15});
    AppendRestLog(record, {LocalTime{2009, 3, 5, 12, 0}, true, 60, 50});
    Open();
    EXPECT_FALSE(IsChecked(Alerts(), IDC_ALERTS_QUIET));
    EXPECT_TRUE(shown(IDC_ALERTS_BREAKS_TODAY));
    EXPECT_EQ(TextOf(Alerts(), IDC_ALERTS_BREAKS_TODAY), "Breaks taken today: 2");
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDCANCEL, 0);
}

TEST_F(SettingsDlgTest, PagesShowWhatTheReadersOfTheKeysDo) {
    // An empty file: what a program that never wrote these keys does.
    Open();
    EXPECT_TRUE(IsChecked(Alerts(), IDC_ALERTS_DLG));
    EXPECT_FALSE(IsWindowEnabled(dlg->Alerts().Item(IDC_ALERTS_DLG)));
    EXPECT_EQ(TextOf(Alerts(), IDC_ALERTS_EACH_TIME), "45");  // the spin's start
    EXPECT_EQ(TextOf(Alerts(), IDC_ALERTS_TIP_TEXT), LoadResString(IDS_REST_MESSAGE));
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_DROP_DELETED));  // missing: deleted sticks are hidden
    EXPECT_FALSE(IsChecked(Sticks(), IDC_STICKS_KEEP_DELETED));
    EXPECT_EQ(TextOf(Sticks(), IDC_STICKS_NOTE_FONT), "");
    int low = -1, high = -1;
    SendMessageA(dlg->Alerts().Item(IDC_ALERTS_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 150);
    EXPECT_EQ(SendMessageA(dlg->Sticks().Item(IDC_STICKS_NOTE_FONT), CB_GETCOUNT, 0, 0), 8);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDCANCEL, 0);

    // Flags the rest reminder and alarms compare with "1" show off for "2"; those
    // they take as numbers show on. "del_stick_directly": only "0" keeps them listed.
    WriteSetting("2", "ALERTS", "check_rest");
    WriteSetting("2", "ALERTS", "check_draw");
    WriteSetting("2", "ALERTS", "check_winks");
    WriteSetting("2", "ALERTS", "check_each_time");
    WriteSetting("2", "SETTINGS", "auto_start_dk");
    WriteSetting("yes", "SETTINGS", "del_stick_directly");
    Open();
    EXPECT_FALSE(IsChecked(Alerts(), IDC_ALERTS_REST));
    EXPECT_FALSE(IsChecked(Alerts(), IDC_ALERTS_DRAW));
    EXPECT_TRUE(IsChecked(Alerts(), IDC_ALERTS_WINKS));
    EXPECT_TRUE(IsChecked(Alerts(), IDC_ALERTS_EACH_TIME_WINK));
    EXPECT_FALSE(IsChecked(General(), IDC_GENERAL_TODAY));
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_DROP_DELETED));
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "del_stick_directly", 2), "1");
    EXPECT_EQ(ReadSetting("ALERTS", "check_rest", 2), "0");
    EXPECT_EQ(ReadSetting("ALERTS", "check_winks", 2), "1");
}

TEST_F(SettingsDlgTest, DeletedSticksBoxesAreOppositesAndZeroKeepsThemListed) {
    WriteSetting("0", "SETTINGS", "del_stick_directly");
    Open();
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_KEEP_DELETED));
    EXPECT_FALSE(IsChecked(Sticks(), IDC_STICKS_DROP_DELETED));
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "del_stick_directly", 2), "0");

    Open();
    Click(Sticks(), IDC_STICKS_DROP_DELETED);
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_DROP_DELETED));
    EXPECT_FALSE(IsChecked(Sticks(), IDC_STICKS_KEEP_DELETED));
    Click(Sticks(), IDC_STICKS_DROP_DELETED);  // unticked again: the other box comes back
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_KEEP_DELETED));
    Click(Sticks(), IDC_STICKS_KEEP_DELETED);
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_DROP_DELETED));
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "del_stick_directly", 2), "1");
}

TEST_F(SettingsDlgTest, RestBoxTicksAndUnticksItsThreeWaysTogether) {
    WriteSetting("1", "ALERTS", "check_rest");
    WriteSetting("0", "ALERTS", "check_rest_draw");
    WriteSetting("1", "ALERTS", "check_each_time");
    WriteSetting("0", "ALERTS", "check_tip_wnd");
    Open();
    const int ways[] = {IDC_ALERTS_REST_DRAW, IDC_ALERTS_EACH_TIME_WINK, IDC_ALERTS_TIP};
    Click(Alerts(), IDC_ALERTS_REST);
    EXPECT_FALSE(IsChecked(Alerts(), IDC_ALERTS_REST));
    for (int id : ways) EXPECT_FALSE(IsChecked(Alerts(), id)) << id;
    Click(Alerts(), IDC_ALERTS_REST);
    for (int id : ways) EXPECT_TRUE(IsChecked(Alerts(), id)) << id;
    // The stick alarm's boxes are not the rest reminder's.
    EXPECT_FALSE(IsChecked(Alerts(), IDC_ALERTS_DRAW));
}

TEST_F(SettingsDlgTest, TypedFontSizeIsStoredEmptyLeavesItAloneAndWordsAreRefused) {
    WriteSetting("9", "SETTINGS", "note_font");
    Open();
    EXPECT_EQ(TextOf(Sticks(), IDC_STICKS_NOTE_FONT), "9");
    Type(Sticks(), IDC_STICKS_NOTE_FONT, "11");  // not one of the offered sizes
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "note_font", 12), "11");
    EXPECT_EQ(fontChanges, 1);

    Open();
    Type(Sticks(), IDC_STICKS_NOTE_FONT, "");
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "note_font", 12), "11");
    EXPECT_EQ(fontChanges, 1);

    // A word: nothing of any page is written, the sticks page comes forward.
    ASSERT_TRUE(DeleteFileA(SettingsPath().c_str()));
    Open();
    Type(Sticks(), IDC_STICKS_NOTE_FONT, "big");
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_NOTE_FONT_BAD, 512));
    EXPECT_TRUE(IsWindowVisible(dlg->hwnd()));
    EXPECT_EQ(dlg->ShownPage(), 2);
    EXPECT_FALSE(test::FileExists(SettingsPath()));
    EXPECT_EQ(fontChanges, 1);
}

// The settings file held by another program (opened without sharing): OK says
// so once, naming the file, and the dialog stays with what the user set; the
// running program is left as it was (no Run value, no new font). Once the file
// can be written, OK stores it all.
TEST_F(SettingsDlgTest, OkThatCannotWriteTheFileSaysSoOnceAndKeepsTheDialog) {
    WriteSetting("9", "SETTINGS", "note_font");
    Open();
    Click(General(), IDC_GENERAL_AUTOSTART);
    Click(Alerts(), IDC_ALERTS_DRAW);
    Type(Sticks(), IDC_STICKS_NOTE_FONT, "14");
    {
        uikit::UniqueFile held(CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(test::g_messageBoxCount, 1);
        EXPECT_EQ(test::g_lastMessageBoxText,
                  uikit::FillByPosition(LoadResString(IDS_SETTINGS_NOT_WRITTEN, 512), {SettingsPath()}));
        EXPECT_TRUE(IsWindowVisible(dlg->hwnd()));
        EXPECT_TRUE(IsChecked(General(), IDC_GENERAL_AUTOSTART));
        EXPECT_TRUE(IsChecked(Alerts(), IDC_ALERTS_DRAW));
        EXPECT_EQ(TextOf(Sticks(), IDC_STICKS_NOTE_FONT), "14");
        EXPECT_FALSE(IsRunAtLogon());
        EXPECT_EQ(fontChanges, 0);
        EXPECT_EQ(main.TodayRebuilds(), 0);
    }
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_FALSE(IsWindowVisible(dlg->hwnd()));
    EXPECT_EQ(ReadSetting("SETTINGS", "note_font", 12), "14");
    EXPECT_EQ(ReadSetting("ALERTS", "check_draw", 2), "1");
    EXPECT_TRUE(IsRunAtLogon());
    EXPECT_EQ(fontChanges, 1);
}

TEST_F(SettingsDlgTest, RestPeriodMustBeAWholeNumberAndIsStoredPlain) {
    WriteSetting("45", "ALERTS", "each_time");
    Open();
    for (const char* typed : {"abc", "-5", "1000", ""}) {
        test::g_messageBoxCount = 0;
        Type(Alerts(), IDC_ALERTS_EACH_TIME, typed);
        SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(test::g_messageBoxCount, 1) << typed;
        EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_REST_PERIOD_BAD, 512));
        EXPECT_EQ(dlg->ShownPage(), 1);
        EXPECT_EQ(ReadSetting("SETTINGS", "auto_start_dk", 2), "") << "the general page wrote for " << typed;
    }
    EXPECT_EQ(ReadSetting("ALERTS", "each_time", 4), "45");
    Type(Alerts(), IDC_ALERTS_EACH_TIME, "0090");  // the rest check reads three characters
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("ALERTS", "each_time", 4), "90");
}

TEST_F(SettingsDlgTest, TipTextKeepsToOneLineOfTheFile) {
    Open();
    Type(Alerts(), IDC_ALERTS_TIP_TEXT, "Stand up\r\ncheck_rest=0");
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("ALERTS", "tip_text", 511), "Stand up check_rest=0");
    EXPECT_EQ(ReadSetting("ALERTS", "check_rest", 2), "0");  // from the box, not from the text
    const test::IniLines ini = Ini();
    EXPECT_EQ(test::KeysOf(ini, "ALERTS"), kAlertsKeys);

    Open();
    EXPECT_EQ(SendMessageA(dlg->Alerts().Item(IDC_ALERTS_TIP_TEXT), EM_GETLIMITTEXT, 0, 0), 510);
}

TEST_F(SettingsDlgTest, CancelWritesNothingAndTheNextOpeningShowsWhatIsStored) {
    WriteSetting("1", "ALERTS", "check_rest");
    WriteSetting("30", "ALERTS", "each_time");
    Open();
    const std::string before = test::ReadFileBytes(SettingsPath());
    Click(Alerts(), IDC_ALERTS_REST);
    Type(Alerts(), IDC_ALERTS_EACH_TIME, "5");
    Click(Sticks(), IDC_STICKS_KEEP_DELETED);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(test::ReadFileBytes(SettingsPath()), before);

    Open();
    EXPECT_TRUE(IsChecked(Alerts(), IDC_ALERTS_REST));
    EXPECT_EQ(TextOf(Alerts(), IDC_ALERTS_EACH_TIME), "30");
    EXPECT_TRUE(IsChecked(Sticks(), IDC_STICKS_DROP_DELETED));

    // Opened again while shown: what is being typed stays.
    Type(Alerts(), IDC_ALERTS_EACH_TIME, "5");
    Open();
    EXPECT_EQ(TextOf(Alerts(), IDC_ALERTS_EACH_TIME), "5");
}

TEST_F(SettingsDlgTest, StartWithWindowsSetsAndDeletesTheRunValue) {
    Open();
    EXPECT_FALSE(IsChecked(General(), IDC_GENERAL_AUTOSTART));
    Click(General(), IDC_GENERAL_AUTOSTART);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsRunAtLogon());
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_start_os", 2), "1");

    // The box shows the registry, whatever the file says.
    WriteSetting("0", "SETTINGS", "auto_start_os");
    Open();
    EXPECT_TRUE(IsChecked(General(), IDC_GENERAL_AUTOSTART));
    Click(General(), IDC_GENERAL_AUTOSTART);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsRunAtLogon());
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_start_os", 2), "0");
    EXPECT_EQ(test::g_messageBoxCount, 0);
}

TEST_F(SettingsDlgTest, RefusedRunValueIsNeitherStoredNorShownAsMade) {
    bool registered = false;
    CGeneralPage::SetRunAtLogonAccess({[](bool) { return false; }, [&registered] { return registered; }});
    Open();
    Click(General(), IDC_GENERAL_AUTOSTART);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_start_os", 2), "0");
    EXPECT_FALSE(IsChecked(General(), IDC_GENERAL_AUTOSTART));
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_RUN_AT_LOGON_FAILED, 512));
    // The rest is written all the same.
    EXPECT_EQ(ReadSetting("ALERTS", "check_dlg", 2), "1");

    // Registered and cannot be taken off.
    registered = true;
    test::g_messageBoxCount = 0;
    Open();
    Click(General(), IDC_GENERAL_AUTOSTART);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_start_os", 2), "1");
    EXPECT_TRUE(IsChecked(General(), IDC_GENERAL_AUTOSTART));
    EXPECT_EQ(test::g_messageBoxCount, 1);
}

TEST_F(SettingsDlgTest, AgentPictureFromTheFileOnlyWhenItLoadsAndFits) {
    const std::string small = folder.Path() + "small.bmp", large = folder.Path() + "large.bmp";
    test::WriteBitmapFile(small, 40, 30, RGB(0, 128, 0));
    test::WriteBitmapFile(large, 400, 300, RGB(0, 0, 128));

    WriteSetting(small.c_str(), "SETTINGS", "agent_bmp");
    Open();
    CGeneralPage& page = dlg->General();
    const SIZE shown = SizeOf(page.Item(IDC_GENERAL_AGENT));  // the button takes the picture's size
    EXPECT_FALSE(page.ShowsDefaultPicture());
    EXPECT_EQ(shown.cx, 40);
    EXPECT_EQ(shown.cy, 30);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDCANCEL, 0);

    // Too large, then missing: the library's picture shows and the path is kept.
    for (const std::string& stored : {large, folder.Path() + "gone.bmp"}) {
        WriteSetting(stored.c_str(), "SETTINGS", "agent_bmp");
        Open();
        EXPECT_TRUE(page.ShowsDefaultPicture()) << stored;
        const SIZE fallback = SizeOf(page.Item(IDC_GENERAL_AGENT));
        EXPECT_EQ(fallback.cx, 96);
        EXPECT_EQ(fallback.cy, 64);
        SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(ReadSetting("SETTINGS", "agent_bmp", 260), stored);
    }
}

TEST_F(SettingsDlgTest, ChosenPictureIsKeptOnlyWhenItLoadsAndFitsTheFrame) {
    const std::string small = folder.Path() + "small.bmp", large = folder.Path() + "large.bmp",
                      text = folder.Path() + "notes.bmp";
    test::WriteBitmapFile(small, 40, 30, RGB(0, 128, 0));
    test::WriteBitmapFile(large, 400, 300, RGB(0, 0, 128));
    test::WriteFileBytes(text, "not a picture");
    std::string answer;
    CGeneralPage::SetPictureChooser([&answer](HWND, std::string& path) {
        path = answer;
        return !answer.empty();
    });
    Open();
    CGeneralPage& page = dlg->General();
    ASSERT_TRUE(page.ShowsDefaultPicture());
    const SIZE most = SizeOf(page.Item(IDC_GENERAL_AGENT));

    answer = large;
    Click(General(), IDC_GENERAL_CHOOSE_AGENT);
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_NE(test::g_lastMessageBoxText.find("400 x 300"), std::string::npos) << test::g_lastMessageBoxText;
    answer = text;
    Click(General(), IDC_GENERAL_CHOOSE_AGENT);
    EXPECT_EQ(test::g_messageBoxCount, 2);
    EXPECT_NE(test::g_lastMessageBoxText.find(text), std::string::npos);
    EXPECT_TRUE(page.ShowsDefaultPicture());
    EXPECT_EQ(page.AgentPath(), "");

    answer = "";  // cancelled
    Click(General(), IDC_GENERAL_CHOOSE_AGENT);
    EXPECT_EQ(test::g_messageBoxCount, 2);

    answer = small;
    Click(General(), IDC_GENERAL_AGENT);  // the picture itself opens the chooser too
    EXPECT_FALSE(page.ShowsDefaultPicture());
    EXPECT_EQ(SizeOf(page.Item(IDC_GENERAL_AGENT)).cx, 40);
    // A picture as large as the frame still fits.
    const std::string exact = folder.Path() + "exact.bmp";
    test::WriteBitmapFile(exact, most.cx, most.cy, RGB(128, 0, 0));
    answer = exact;
    Click(General(), IDC_GENERAL_CHOOSE_AGENT);
    EXPECT_EQ(page.AgentPath(), exact);
    answer = small;
    Click(General(), IDC_GENERAL_CHOOSE_AGENT);

    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SETTINGS", "agent_bmp", 260), small);
    EXPECT_EQ(main.TodayRebuilds(), 1);
}

TEST_F(SettingsDlgTest, ButtonsReachTheHotkeyDialogAndTheSamplePicture) {
    Open();
    Click(Sticks(), IDC_STICKS_MAIN_HOTKEY);
    Click(Sticks(), IDC_STICKS_CAPTURE_HOTKEY);
    EXPECT_EQ(hotkeyModes, (std::vector<int>{0, 1}));
    Click(Alerts(), IDC_ALERTS_SAMPLE);
    ASSERT_EQ(bitmapTexts.size(), 1u);
    EXPECT_EQ(bitmapTexts[0], LoadResString(IDS_REST_SAMPLE));
    EXPECT_FALSE(bitmapTexts[0].empty());
}

TEST_F(SettingsDlgTest, EachSetWinkShowsItsPreviewAndPlaysIt) {
    const std::string pic = Stage("pic.ewf", "winks");
    Stage("VekFlash.exe", "");
    WriteSetting(pic.c_str(), "ALERTS", "stick_wink");
    WriteSetting("", "ALERTS", "auto_wink");
    Open();
    CAlertsPage& page = dlg->Alerts();
    ASSERT_NE(page.StickPreview(), nullptr);
    EXPECT_EQ(page.RestPreview(), nullptr);
    // The 200 x 100 preview is shrunk into the button's frame, proportions kept.
    const SIZE stick = SizeOf(page.Item(IDC_ALERTS_STICK_PREVIEW)), rest = SizeOf(page.Item(IDC_ALERTS_REST_PREVIEW));
    EXPECT_EQ(stick.cx, rest.cx);
    EXPECT_EQ(stick.cy, rest.cx / 2);

    Click(Alerts(), IDC_ALERTS_REST_PREVIEW);  // no rest wink: nothing plays
    Click(Alerts(), IDC_ALERTS_STICK_PREVIEW);
    const std::string log = folder.Path() + "players.log";
    ASSERT_TRUE(test::PumpUntil([&] { return test::FileExists(log); }, 5000));
    EXPECT_TRUE(test::PumpUntil([&] { return test::ReadFileBytes(log).find("|movie P") != std::string::npos; }));
    Sleep(200);
    const std::string lines = test::ReadFileBytes(log);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1);
}

TEST_F(SettingsDlgTest, RestWinkButtonStoresTheChosenWinkAsTheRestWink) {
    const std::string a = Stage("a.ewf", "winks");
    Open();
    const std::string b = Stage("b.ewf", "winks");  // added while the dialog is up
    WriteSetting(a.c_str(), "ALERTS", "stick_wink");
    WriteSetting(a.c_str(), "ALERTS", "auto_wink");
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDCANCEL, 0);
    Open();
    CAlertsPage& page = dlg->Alerts();

    Click(Alerts(), IDC_ALERTS_REST_WINK);
    CWinkChooserDlg* chooser = page.WinkChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(IsWindowVisible(chooser->hwnd()));
    EXPECT_EQ(page.ChooserMode(), kChooseRestWink);
    char caption[128] = {};
    GetWindowTextA(chooser->hwnd(), caption, sizeof caption);
    EXPECT_EQ(caption, LoadResString(IDS_WINK_CHOOSER_REST));
    ASSERT_EQ(chooser->RowCount(), 2);
    const int rowB = chooser->Row(0).path == b ? 0 : 1;
    ASSERT_EQ(chooser->Row(rowB).path, b);
    chooser->SelectRow(rowB);
    SendMessageA(chooser->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindowVisible(chooser->hwnd()));
    EXPECT_EQ(page.RestWink(), b);
    EXPECT_EQ(page.StickWink(), a);

    // The stick wink's button opens the same chooser for the stick wink.
    Click(Alerts(), IDC_ALERTS_STICK_WINK);
    EXPECT_EQ(page.WinkChooser(), chooser);
    EXPECT_EQ(page.ChooserMode(), kChooseStickWink);
    EXPECT_EQ(chooser->SelectedRow(), -1);
    // Hiding the settings takes the chooser along.
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(chooser->hwnd()));
    EXPECT_EQ(ReadSetting("ALERTS", "auto_wink", 260), a);  // cancelled: nothing written

    Open();
    Click(Alerts(), IDC_ALERTS_REST_WINK);
    chooser->SelectRow(rowB);
    SendMessageA(chooser->hwnd(), WM_COMMAND, IDOK, 0);
    SendMessageA(dlg->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("ALERTS", "auto_wink", 260), b);
    EXPECT_EQ(ReadSetting("ALERTS", "stick_wink", 260), a);
}

}  // namespace
}  // namespace pinora

namespace pinora {
namespace {

TEST_F(SettingsDlgTest, SyncPageKeepsThePasswordProtectedAndRefusesWhatCannotWork) {
    // As a script sets it up: the password in plain.
    WriteSetting("https://dav.example.org/anna/tasks/", "SYNC", "sync_url");
    WriteSetting("anna", "SYNC", "sync_user");
    WriteSetting("s3cret", "SYNC", "sync_password");
    int changed = 0, syncs = 0;
    links.syncSettingsChanged = [&] { ++changed; };
    links.syncNow = [&] { ++syncs; };
    links.syncStatus = [] { return std::string("Synced at 10:00."); };
    CSettingsDlg& d = Open();
    HWND page = d.Sync().hwnd();
    const std::string stored = ReadSetting("SYNC", "sync_password", 4096);
    ASSERT_TRUE(IsProtectedForUser(stored)) << "read once, kept protected: " << stored;
    std::string plain;
    ASSERT_TRUE(UnprotectForUser(stored, plain));
    EXPECT_EQ(plain, "s3cret");
    EXPECT_EQ(test::ValueOf(Ini(), "SYNC/sync_password").find("s3cret"), std::string::npos);
    EXPECT_EQ(TextOf(page, IDC_SYNC_URL), "https://dav.example.org/anna/tasks/");
    EXPECT_EQ(TextOf(page, IDC_SYNC_PASSWORD), kStoredPasswordMark) << "the page never holds the password";
    EXPECT_EQ(TextOf(page, IDC_SYNC_STATUS), "Synced at 10:00.");

    // OK with nothing changed keeps the stored password and tells nobody.
    SendMessageA(d.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadSetting("SYNC", "sync_password", 4096), stored);
    EXPECT_EQ(changed, 0);

    // What cannot work is refused, the page brought forward, nothing written.
    const struct {
        int id;
        const char* text;
        UINT why;
    } bad[] = {{IDC_SYNC_URL, "ftp://x/", IDS_SYNC_URL_BAD},
               {IDC_SYNC_MINUTES, "0", IDS_SYNC_MINUTES_BAD},
               {IDC_SYNC_CERT, "12:34", IDS_SYNC_CERT_BAD}};
    for (const auto& b : bad) {
        Open();
        Type(page, b.id, b.text);
        test::g_messageBoxCount = 0;
        SendMessageA(d.hwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(test::g_messageBoxCount, 1) << b.text;
        EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(b.why, 512));
        EXPECT_EQ(d.ShownPage(), 3);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), b.id);
        SendMessageA(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
    }
    EXPECT_EQ(ReadSyncSettings().url, "https://dav.example.org/anna/tasks/");

    // A new password and another calendar: written, protected, the sync told;
    // "Sync now" writes what is typed first.
    Open();
    Type(page, IDC_SYNC_URL, "http://192.168.1.5:5232/anna/pinora/");
    Type(page, IDC_SYNC_PASSWORD, "new one");
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_SYNC_NOW, BN_CLICKED), 0);
    EXPECT_EQ(syncs, 1);
    EXPECT_EQ(changed, 1);
    const SyncSettings now = ReadSyncSettings();
    EXPECT_EQ(now.url, "http://192.168.1.5:5232/anna/pinora/");
    EXPECT_EQ(now.password, "new one");
    EXPECT_TRUE(IsProtectedForUser(ReadSetting("SYNC", "sync_password", 4096)));
}

}  // namespace
}  // namespace pinora
