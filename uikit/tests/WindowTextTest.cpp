// Edit boxes limited in UTF-8 bytes: whole characters only, whatever brings
// them in (typing, pasting, the program), in ANSI windows made Unicode as the
// dialogs make theirs, and read back whole.
#include "WindowText.h"

#include <gtest/gtest.h>

namespace uikit {
namespace {

class LimitedEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr, nullptr, nullptr,
                               nullptr);
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(TakeUnicodeInput(edit));
        ASSERT_TRUE(LimitTextBytes(edit, 5));
    }
    void TearDown() override { DestroyWindow(edit); }
    void TypeW(wchar_t c) { SendMessageW(edit, WM_CHAR, c, 1); }
    HWND edit = nullptr;
};

TEST_F(LimitedEditTest, TypedCharacterThatWouldNotFitIsNotTaken) {
    EXPECT_TRUE(IsWindowUnicode(edit));
    TypeW(L'a');
    TypeW(L'b');
    TypeW(0x20AC);  // €: three bytes, five in all
    EXPECT_EQ(WindowText(edit), "ab\xE2\x82\xAC");
    TypeW(L'x');
    EXPECT_EQ(WindowText(edit), "ab\xE2\x82\xAC");
    SendMessageW(edit, WM_CHAR, VK_BACK, 1);  // three bytes free again
    TypeW(0x00E9);                            // é takes two
    EXPECT_EQ(WindowText(edit), "ab\xC3\xA9");
    TypeW(0x20AC);  // € would need three of the one left
    EXPECT_EQ(WindowText(edit), "ab\xC3\xA9");
    TypeW(L'c');
    EXPECT_EQ(WindowText(edit), "ab\xC3\xA9" "c");
}

TEST_F(LimitedEditTest, PastedAndSetTextKeepsWhatFitsBetweenCharacters) {
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\xD0\x9F\xD1\x80\xD0\xB8"));  // При
    EXPECT_EQ(WindowText(edit), "\xD0\x9F\xD1\x80");
    SetWindowTextA(edit, "a\xF0\x9F\x98\x80z");  // a😀z: six bytes
    EXPECT_EQ(WindowText(edit), "a\xF0\x9F\x98\x80");
    SetWindowTextA(edit, "abcdef");
    EXPECT_EQ(WindowText(edit), "abcde");
    SetWindowTextA(edit, "ab");
    SendMessageA(edit, EM_SETSEL, 1, 1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\xE4\xBD\xA0\xE5\xA5\xBD"));  // 你好 in the middle
    EXPECT_EQ(WindowText(edit), "a\xE4\xBD\xA0" "b");
}

TEST(WindowTextTest, ReadsWholeAndCutsBetweenCharacters) {
    HWND label = CreateWindowExA(0, "STATIC", "Caf\xC3\xA9 \xE2\x98\x95", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(WindowText(label), "Caf\xC3\xA9 \xE2\x98\x95");
    EXPECT_EQ(WindowText(label, 4), "Caf");
    EXPECT_EQ(WindowText(label, 7), "Caf\xC3\xA9 ");
    DestroyWindow(label);
}

}  // namespace
}  // namespace uikit
