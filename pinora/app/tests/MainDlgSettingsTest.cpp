// The settings dialog as the main window opens it: once, owned by the main
// window, with its pages wired to the quick-note font, the bitmap message
// window and the hotkey dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AlertsPage.h"
#include "App.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SettingsDlg.h"
#include "SettingsMessages.h"
#include "SticksPage.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

LOGFONTA FontOf(HWND window) {
    LOGFONTA font = {};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (handle) GetObjectA(handle, sizeof font, &font);
    return font;
}

class MainDlgSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        App() = AppState{};
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, "tester");
        ASSERT_NE(dlg.CreateMain(), nullptr);
        ShowWindow(dlg.hwnd(), SW_HIDE);
    }
    void TearDown() override {
        dlg.Destroy();
        App() = AppState{};
        SetRunAtLogon(false);
    }
    CSettingsDlg& OpenSettings() {
        SendMessageA(dlg.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
        EXPECT_NE(dlg.Settings(), nullptr);
        return *dlg.Settings();
    }
    void Ok() { SendMessageA(dlg.Settings()->hwnd(), WM_COMMAND, IDOK, 0); }
    void Press(HWND page, int id) { SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    test::ProgramFolderFixture folder;
    CMainDlg dlg;
};

TEST_F(MainDlgSettingsTest, CommandOpensOneDialogOwnedByTheMainWindow) {
    CSettingsDlg& settings = OpenSettings();
    HWND first = settings.hwnd();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(GetWindow(first, GW_OWNER), dlg.hwnd());
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(first, SPM_GETMAINWND, 0, 0)), dlg.hwnd());
    SendMessageA(first, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(OpenSettings().hwnd(), first);
    EXPECT_TRUE(IsWindowVisible(first));

    dlg.Destroy();
    EXPECT_FALSE(IsWindow(first));
}

TEST_F(MainDlgSettingsTest, TypedFontSizeReachesTheQuickNoteBoxAtOnce) {
    HWND box = dlg.Item(IDC_QUICK_NOTE);
    const LOGFONTA standard = FontOf(box);
    CSettingsDlg& settings = OpenSettings();
    SetDlgItemTextA(settings.Sticks().hwnd(), IDC_STICKS_NOTE_FONT, "11");
    Ok();
    EXPECT_EQ(ReadSetting("SETTINGS", "note_font", 12), "11");
    LOGFONTA font = FontOf(box);
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

    // 0 gives the box the standard font back.
    OpenSettings();
    SetDlgItemTextA(settings.Sticks().hwnd(), IDC_STICKS_NOTE_FONT, "0");
    Ok();
    font = FontOf(box);
    EXPECT_EQ(font.lfHeight, standard.lfHeight);
    EXPECT_STREQ(font.lfFaceName, standard.lfFaceName);
}

TEST_F(MainDlgSettingsTest, SampleButtonShowsTheBitmapMessageWindowWithItsText) {
    CSettingsDlg& settings = OpenSettings();
    Press(settings.Alerts().hwnd(), IDC_ALERTS_SAMPLE);
    const CBitmapMessageWnd& window = dlg.Rest().MessageWindow();
    ASSERT_TRUE(window.IsAlive());
    EXPECT_EQ(window.Text(), LoadResString(IDS_REST_SAMPLE));
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
}

// The hotkey dialog is modal: a timer finds it and cancels it.
std::string g_hotkeyCaption;
void CALLBACK CancelHotkeyDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    for (UINT caption : {IDS_HOTKEY_CAPTION_MAIN, IDS_HOTKEY_CAPTION_CAPTURE})
        if (!dialog) dialog = FindWindowA("#32770", LoadResString(caption).c_str());
    if (!dialog) return;
    char text[128] = {};
    GetWindowTextA(dialog, text, sizeof text);
    g_hotkeyCaption = text;
    KillTimer(nullptr, id);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(MainDlgSettingsTest, HotkeyButtonsOpenTheHotkeyDialogInTheirMode) {
    CSettingsDlg& settings = OpenSettings();
    const struct {
        int button;
        UINT caption;
    } cases[] = {{IDC_STICKS_MAIN_HOTKEY, IDS_HOTKEY_CAPTION_MAIN}, {IDC_STICKS_CAPTURE_HOTKEY, IDS_HOTKEY_CAPTION_CAPTURE}};
    for (const auto& c : cases) {
        g_hotkeyCaption.clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelHotkeyDialog);
        Press(settings.Sticks().hwnd(), c.button);  // returns once the timer cancelled it
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_hotkeyCaption, LoadResString(c.caption));
    }
}

}  // namespace
}  // namespace pinora
