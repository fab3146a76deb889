#include "HotkeyValue.h"

#include <gtest/gtest.h>

namespace pinora {
namespace {

TEST(HotkeyValue, ModifierConversionForRegistration) {
    HotkeyRegistration ctrlB = ToRegistration(0x242);
    EXPECT_EQ(ctrlB.modifiers, kModControl);
    EXPECT_EQ(ctrlB.virtualKey, 0x42u);

    HotkeyRegistration ctrlAltB = ToRegistration(0x642);
    EXPECT_EQ(ctrlAltB.modifiers, kModControl | kModAlt);
    EXPECT_EQ(ctrlAltB.virtualKey, 0x42u);

    EXPECT_EQ(ToRegistration(0x142).modifiers, kModShift);
    // The extended flag never reaches RegisterHotKey.
    EXPECT_EQ(ToRegistration(0x92D).modifiers, kModShift);
    EXPECT_EQ(ToRegistration(0x92D).virtualKey, 0x2Du);
    EXPECT_EQ(ToRegistration(0).modifiers, 0u);
    EXPECT_EQ(ToRegistration(0).virtualKey, 0u);
}

TEST(HotkeyValue, FixedHotkeysAreCtrlQAndAltShiftS) {
    EXPECT_EQ(ToRegistration(kNotesManagerHotkey).modifiers, kModControl);
    EXPECT_EQ(ToRegistration(kNotesManagerHotkey).virtualKey, 0x51u);
    EXPECT_EQ(ToRegistration(kNewStickHotkey).modifiers, kModAlt | kModShift);
    EXPECT_EQ(ToRegistration(kNewStickHotkey).virtualKey, 0x53u);
}

TEST(HotkeyValue, StoredTextParsesAsHex) {
    unsigned v = 7;
    EXPECT_TRUE(ParseHotkey("242", &v));
    EXPECT_EQ(v, 0x242u);
    EXPECT_TRUE(ParseHotkey("  0x642", &v));
    EXPECT_EQ(v, 0x642u);
    EXPECT_TRUE(ParseHotkey("4A1z", &v));  // stops at the first non-hex character
    EXPECT_EQ(v, 0x4A1u);
    v = 0x242;
    EXPECT_FALSE(ParseHotkey("zz", &v));
    EXPECT_FALSE(ParseHotkey("", &v));
    EXPECT_FALSE(ParseHotkey(nullptr, &v));
    EXPECT_EQ(v, 0x242u);  // untouched, so the main hotkey keeps Ctrl+B
}

// A hotkey value is 16 bits; longer texts used to wrap round ("1000000242"
// became Ctrl+B). Out of range is no hotkey, however many digits it has.
TEST(HotkeyValue, StoredTextBeyondSixteenBitsIsNoHotkey) {
    unsigned v = 7;
    EXPECT_EQ(ParseStoredHotkey("1000000242", &v), HotkeyParse::OutOfRange);
    EXPECT_EQ(ParseStoredHotkey("10000", &v), HotkeyParse::OutOfRange);
    EXPECT_EQ(ParseStoredHotkey("fffffffffffffffffffff", &v), HotkeyParse::OutOfRange);
    EXPECT_EQ(v, 7u);
    EXPECT_FALSE(ParseHotkey("1000000242", &v));
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(ParseStoredHotkey("ffff", &v), HotkeyParse::Parsed);
    EXPECT_EQ(v, 0xFFFFu);
    EXPECT_EQ(ParseStoredHotkey("0000000000242", &v), HotkeyParse::Parsed);
    EXPECT_EQ(v, 0x242u);
    EXPECT_EQ(ParseStoredHotkey("xyz", &v), HotkeyParse::NotANumber);
}

TEST(HotkeyValue, FormatIsLowerCaseHexWithoutPrefix) {
    EXPECT_EQ(FormatHotkey(0x242), "242");
    EXPECT_EQ(FormatHotkey(0x64B), "64b");
    EXPECT_EQ(FormatHotkey(0), "0");
}

TEST(HotkeyValue, DialogAcceptsOnlyAKeyWithARealModifier) {
    EXPECT_TRUE(IsAcceptableHotkey(0x242));
    EXPECT_TRUE(IsAcceptableHotkey(0x142));
    EXPECT_FALSE(IsAcceptableHotkey(0x042));  // no modifier
    EXPECT_FALSE(IsAcceptableHotkey(0x842));  // extended alone does not count
    EXPECT_FALSE(IsAcceptableHotkey(0x200));  // Ctrl and no key
}

}  // namespace
}  // namespace pinora
