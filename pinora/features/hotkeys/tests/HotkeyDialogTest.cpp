// The hotkey dialog driven in-process: opened modeless, the hotkey control set
// by message, OK pressed; checked through its controls, the settings file, the
// message box it showed and what another window can still register.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "DoRoRazIds.h"
#include "FilledText.h"
#include "Handles.h"
#include "HotkeyDialog.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

constexpr unsigned kCtrlShiftK = 0x34B;
constexpr unsigned kCtrlShiftL = 0x34C;
constexpr unsigned kCtrlAltK = 0x64B;

class HotkeyDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        main.reset(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        other.reset(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        boxesBefore = test::g_messageBoxCount;
    }
    void TearDown() override {
        for (int id = 1; id <= 3; ++id) UnregisterHotKey(other.get(), id);
    }
    HWND Open(CHotkeyDlg& dlg) {
        HWND h = dlg.OpenModeless(main.get());
        EXPECT_NE(h, nullptr);
        return h;
    }
    void PressOk(CHotkeyDlg& dlg, unsigned value) {
        SendDlgItemMessageA(dlg.hwnd(), IDC_HOTKEY_INPUT, HKM_SETHOTKEY, value, 0);
        SendMessageA(dlg.hwnd(), WM_COMMAND, IDOK, 0);
    }
    std::string Text(HWND dialog, int id) {
        char buf[256] = {};
        GetDlgItemTextA(dialog, id, buf, sizeof buf);
        return buf;
    }
    std::string Caption(HWND window) {
        char buf[256] = {};
        GetWindowTextA(window, buf, sizeof buf);
        return buf;
    }
    // Whether another program could take the combination now.
    bool FreeForOthers(unsigned value, int id = 3) {
        HotkeyRegistration r = ToRegistration(value);
        if (!RegisterHotKey(other.get(), id, r.modifiers, r.virtualKey)) return false;
        UnregisterHotKey(other.get(), id);
        return true;
    }
    int BoxesShown() const { return test::g_messageBoxCount - boxesBefore; }

    test::ProgramFolderFixture folder;
    uikit::UniqueHwnd main, other;
    int boxesBefore = 0;
};

TEST_F(HotkeyDialogTest, OpensWithTheModesCaptionAndTheStoredHotkey) {
    WriteSetting("642", "HOTKEY", "hotkey");
    HotkeySet set;
    set.Register(main.get());
    CHotkeyDlg quickNote(kHotkeyModeMain, set);
    HWND h = Open(quickNote);
    EXPECT_EQ(Caption(h), LoadResString(IDS_HOTKEY_CAPTION_MAIN));
    EXPECT_FALSE(Caption(h).empty());
    EXPECT_EQ(Text(h, IDC_HOTKEY_CURRENT), HotkeyText(0x642));
    EXPECT_EQ(SendDlgItemMessageA(h, IDC_HOTKEY_INPUT, HKM_GETHOTKEY, 0, 0), 0);

    CHotkeyDlg capture(kHotkeyModeCapture, set);
    h = Open(capture);
    EXPECT_EQ(Caption(h), LoadResString(IDS_HOTKEY_CAPTION_CAPTURE));
    EXPECT_EQ(Text(h, IDC_HOTKEY_CURRENT), "");  // never set

    CHotkeyDlg unknown(2, set);
    EXPECT_EQ(unknown.OpenModeless(main.get()), nullptr);
    EXPECT_EQ(CHotkeyDlg::Run(main.get(), 7, set), -1);
}

TEST_F(HotkeyDialogTest, RefusesAKeyWithoutShiftCtrlOrAltAndAModifierWithoutAKey) {
    HotkeySet set;
    set.Register(main.get());
    CHotkeyDlg dlg(kHotkeyModeMain, set);
    Open(dlg);
    for (unsigned refused : {0x042u, 0x200u, 0x842u, 0u}) {
        test::g_lastMessageBoxText.clear();
        PressOk(dlg, refused);
        EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_HOTKEY_REFUSED)) << std::hex << refused;
        EXPECT_TRUE(dlg.IsWindowAlive());
    }
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "");
    EXPECT_TRUE(FreeForOthers(0x042));
}

TEST_F(HotkeyDialogTest, AnAcceptedChangeIsRegisteredStoredAndConfirmed) {
    WriteSetting("242", "HOTKEY", "hotkey");
    HotkeySet set;
    set.Register(main.get());
    ASSERT_TRUE(set.MainRegistered());
    CHotkeyDlg dlg(kHotkeyModeMain, set);
    Open(dlg);
    PressOk(dlg, kCtrlAltK);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_HOTKEY_MAIN_SET));
    EXPECT_FALSE(dlg.IsWindowAlive());
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "64b");
    EXPECT_FALSE(FreeForOthers(kCtrlAltK));  // in force at once
    EXPECT_TRUE(FreeForOthers(0x242));       // and Ctrl+B let go

    CHotkeyDlg capture(kHotkeyModeCapture, set);
    Open(capture);
    PressOk(capture, kCtrlShiftL);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_HOTKEY_CAPTURE_SET));
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey_screen_capture", 32), "34c");
    EXPECT_FALSE(FreeForOthers(kCtrlShiftL));
}

TEST_F(HotkeyDialogTest, ACombinationHeldElsewhereKeepsTheDialogAndTheOldHotkey) {
    HotkeySet set;
    set.Register(main.get());
    ASSERT_EQ(set.ApplyCaptureHotkey("x", kCtrlShiftL), 1);
    ASSERT_TRUE(RegisterHotKey(other.get(), 1, MOD_CONTROL | MOD_SHIFT, 'K'));

    CHotkeyDlg dlg(kHotkeyModeCapture, set);
    Open(dlg);
    PressOk(dlg, kCtrlShiftK);
    EXPECT_TRUE(dlg.IsWindowAlive());
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_HOTKEY_TAKEN, 512));
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey_screen_capture", 32), "34c");
    EXPECT_FALSE(FreeForOthers(kCtrlShiftL));  // the old one still works
    EXPECT_TRUE(set.CaptureRegistered());
    EXPECT_EQ(set.CaptureValue(), kCtrlShiftL);
}

// The settings file held by another program (opened without sharing): a new
// hotkey would be gone at the next start, so it is not put in force; the old one
// keeps working, the dialog stays with what was pressed, and one message names
// the file.
TEST_F(HotkeyDialogTest, AChangeTheSettingsFileCannotTakeKeepsTheOldHotkeyAndSaysSo) {
    WriteSetting("242", "HOTKEY", "hotkey");
    HotkeySet set;
    set.Register(main.get());
    ASSERT_EQ(set.ApplyCaptureHotkey("x", kCtrlShiftL), 1);
    CHotkeyDlg quickNote(kHotkeyModeMain, set), capture(kHotkeyModeCapture, set);
    Open(quickNote);
    Open(capture);
    const std::string notWritten = uikit::FillByPosition(LoadResString(IDS_SETTINGS_NOT_WRITTEN, 512), {SettingsPath()});
    {
        uikit::UniqueFile held(CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        PressOk(quickNote, kCtrlAltK);
        EXPECT_EQ(BoxesShown(), 1);
        EXPECT_EQ(test::g_lastMessageBoxText, notWritten);
        EXPECT_TRUE(quickNote.IsWindowAlive());
        EXPECT_EQ(SendDlgItemMessageA(quickNote.hwnd(), IDC_HOTKEY_INPUT, HKM_GETHOTKEY, 0, 0), kCtrlAltK);
        EXPECT_TRUE(FreeForOthers(kCtrlAltK));
        EXPECT_FALSE(FreeForOthers(0x242));
        EXPECT_EQ(set.MainValue(), 0x242u);

        PressOk(capture, kCtrlShiftK);
        EXPECT_EQ(BoxesShown(), 2);
        EXPECT_EQ(test::g_lastMessageBoxText, notWritten);
        EXPECT_TRUE(capture.IsWindowAlive());
        EXPECT_TRUE(FreeForOthers(kCtrlShiftK));
        EXPECT_FALSE(FreeForOthers(kCtrlShiftL));
        EXPECT_EQ(set.CaptureValue(), kCtrlShiftL);
    }
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "242");
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey_screen_capture", 32), "34c");
}

TEST_F(HotkeyDialogTest, OkDoesNothingWithoutTheMainWindow) {
    HotkeySet set;  // never registered on a window
    CHotkeyDlg dlg(kHotkeyModeMain, set);
    Open(dlg);
    PressOk(dlg, kCtrlAltK);
    EXPECT_TRUE(dlg.IsWindowAlive());
    EXPECT_EQ(BoxesShown(), 0);
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "");

    SendMessageA(dlg.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(dlg.IsWindowAlive());
}

}  // namespace
}  // namespace pinora
