#include <gtest/gtest.h>

#include "Handles.h"
#include "Hotkeys.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

class HotkeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.reset(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        other.reset(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    }
    test::ProgramFolderFixture folder;
    uikit::UniqueHwnd owner, other;
};

TEST_F(HotkeysTest, TextJoinsKeyNamesInCtrlShiftAltOrder) {
    EXPECT_EQ(HotkeyText(0), "");
    EXPECT_EQ(HotkeyText(0x242), KeyText(VK_CONTROL, false) + " + " + KeyText('B', false));
    EXPECT_EQ(HotkeyText(0x742), KeyText(VK_CONTROL, false) + " + " + KeyText(VK_SHIFT, false) + " + " +
                                     KeyText(VK_MENU, false) + " + " + KeyText('B', false));
    EXPECT_EQ(KeyText('B', false), "B");
}

TEST_F(HotkeysTest, StoredValuesAreRegisteredAtStartUp) {
    WriteSetting("642", "HOTKEY", "hotkey");
    HotkeySet set;
    set.Register(owner.get());
    EXPECT_TRUE(set.MainRegistered());
    EXPECT_EQ(set.MainValue(), 0x642u);
    // Ctrl+Alt+B is taken now; the fixed ones too.
    EXPECT_FALSE(RegisterHotKey(other.get(), 1, MOD_CONTROL | MOD_ALT, 'B'));
    EXPECT_FALSE(RegisterHotKey(other.get(), 2, MOD_CONTROL, 'Q'));
    EXPECT_FALSE(RegisterHotKey(other.get(), 3, MOD_ALT | MOD_SHIFT, 'S'));
    set.Release();
    EXPECT_TRUE(RegisterHotKey(other.get(), 1, MOD_CONTROL | MOD_ALT, 'B'));
    UnregisterHotKey(other.get(), 1);
}

TEST_F(HotkeysTest, UnparsableMainHotkeyFallsBackToCtrlB) {
    WriteSetting("zz", "HOTKEY", "hotkey");
    HotkeySet set;
    set.Register(owner.get());
    EXPECT_EQ(set.MainValue(), 0x242u);
    EXPECT_TRUE(set.MainRegistered());
}

TEST_F(HotkeysTest, ChangeIsStoredOnlyWhenRegistrationSucceeds) {
    HotkeySet set;
    set.Register(owner.get());
    EXPECT_FALSE(set.MainRegistered());  // nothing stored, nothing registered
    EXPECT_EQ(set.ApplyMainHotkey(nullptr, 0x243), -1);

    ASSERT_TRUE(RegisterHotKey(other.get(), 9, MOD_CONTROL | MOD_SHIFT, 'K'));
    EXPECT_EQ(set.ApplyMainHotkey("x", 0x34B), 0);  // Ctrl+Shift+K is held by another window
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "");
    EXPECT_EQ(set.ApplyCaptureHotkey("x", 0x34B), 0);
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey_screen_capture", 32), "");
    UnregisterHotKey(other.get(), 9);

    EXPECT_EQ(set.ApplyMainHotkey("x", 0x34B), 1);
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "34b");
    EXPECT_EQ(set.ApplyCaptureHotkey("x", 0x151), 1);
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey_screen_capture", 32), "151");
    EXPECT_EQ(HotkeyTextFromSettings("hotkey_screen_capture"), HotkeyText(0x151));
    EXPECT_EQ(HotkeyTextFromSettings("no_such"), "");
}

TEST_F(HotkeysTest, AFailedChangeKeepsThePreviousHotkeyRegistered) {
    HotkeySet set;
    set.Register(owner.get());
    ASSERT_EQ(set.ApplyMainHotkey("x", 0x34B), 1);
    ASSERT_EQ(set.ApplyCaptureHotkey("x", 0x351), 1);
    ASSERT_TRUE(RegisterHotKey(other.get(), 9, MOD_CONTROL | MOD_ALT, 'K'));

    EXPECT_EQ(set.ApplyMainHotkey("x", 0x64B), 0);
    EXPECT_TRUE(set.MainRegistered());
    EXPECT_EQ(set.MainValue(), 0x34Bu);
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "34b");
    EXPECT_FALSE(RegisterHotKey(other.get(), 10, MOD_CONTROL | MOD_SHIFT, 'K'));  // still ours

    EXPECT_EQ(set.ApplyCaptureHotkey("x", 0x64B), 0);
    EXPECT_TRUE(set.CaptureRegistered());
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey_screen_capture", 32), "351");
    EXPECT_FALSE(RegisterHotKey(other.get(), 11, MOD_CONTROL | MOD_SHIFT, 'Q'));
    UnregisterHotKey(other.get(), 9);
}

}  // namespace
}  // namespace pinora
