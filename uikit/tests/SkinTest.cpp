#include "Skin.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Handles.h"

namespace {

using uikit::ParseSkinColors;
using uikit::SkinColors;

bool Parse(const char* text, SkinColors& c) { return ParseSkinColors(text, std::strlen(text), c); }

TEST(SkinColorsParse, ReadsAllFourColoursInColorrefOrder) {
    SkinColors c;
    ASSERT_TRUE(Parse("; ocean\nwindow=#102030\r\n  Text = A0B0C0\nedit=FFFFFF\neditText=000001\n", c));
    EXPECT_EQ(c.window, 0x302010u);
    EXPECT_EQ(c.text, 0xC0B0A0u);
    EXPECT_EQ(c.edit, 0xFFFFFFu);
    EXPECT_EQ(c.editText, 0x010000u);
}

TEST(SkinColorsParse, IncompleteOrMalformedTablesLeaveTheColoursAlone) {
    SkinColors c;
    c.window = 0x123456;
    EXPECT_FALSE(Parse("window=102030\ntext=000000\nedit=FFFFFF\n", c));  // edittext missing
    EXPECT_FALSE(Parse("window=10203\ntext=000000\nedit=FFFFFF\nedittext=000000", c));
    EXPECT_FALSE(Parse("window=GG2030\ntext=000000\nedit=FFFFFF\nedittext=000000", c));
    EXPECT_FALSE(ParseSkinColors(nullptr, 10, c));
    EXPECT_EQ(c.window, 0x123456u);
}

TEST(SkinColorsParse, StopsAtTheLengthOrTheFirstZeroByte) {
    const char text[] = "window=010101\ntext=020202\nedit=030303\nedittext=040404";
    SkinColors c;
    EXPECT_FALSE(ParseSkinColors(text, std::strlen(text) - 10, c));  // the last line cut off
    char withZero[sizeof text + 20];
    std::memcpy(withZero, text, sizeof text);
    std::memcpy(withZero + sizeof text, "window=FFFFFF\n\0\0\0\0\0\0", 20);
    ASSERT_TRUE(ParseSkinColors(withZero, sizeof withZero, c));
    EXPECT_EQ(c.window, 0x010101u);
}

class SkinMessages : public ::testing::Test {
protected:
    void TearDown() override { uikit::ClearSkin(); }
    SkinColors Colours() {
        SkinColors c;
        c.window = RGB(10, 20, 30);
        c.text = RGB(200, 210, 220);
        c.edit = RGB(1, 2, 3);
        c.editText = RGB(250, 251, 252);
        return c;
    }
    static COLORREF BrushColour(INT_PTR brush) {
        LOGBRUSH lb = {};
        if (!brush || !GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb)) return CLR_INVALID;
        return lb.lbColor;
    }
};

TEST_F(SkinMessages, ControlColoursFollowTheSkinAndNothingWithoutOne) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    WPARAM wp = reinterpret_cast<WPARAM>(dc);
    EXPECT_EQ(uikit::HandleSkinMessage(nullptr, WM_CTLCOLORDLG, wp, 0), 0);

    uikit::UseSkinColors(Colours());
    ASSERT_TRUE(uikit::HasSkin());
    EXPECT_EQ(BrushColour(uikit::HandleSkinMessage(nullptr, WM_CTLCOLORDLG, wp, 0)), RGB(10, 20, 30));
    EXPECT_EQ(BrushColour(uikit::HandleSkinMessage(nullptr, WM_CTLCOLORSTATIC, wp, 0)), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 210, 220));
    EXPECT_EQ(BrushColour(uikit::HandleSkinMessage(nullptr, WM_CTLCOLOREDIT, wp, 0)), RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(dc), RGB(250, 251, 252));
    EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(uikit::HandleSkinMessage(nullptr, WM_PAINT, wp, 0), 0);

    uikit::ClearSkin();
    EXPECT_EQ(uikit::HandleSkinMessage(nullptr, WM_CTLCOLOREDIT, wp, 0), 0);
    DeleteDC(dc);
}

TEST_F(SkinMessages, SkinChangedMessageRepaintsTheWindow) {
    uikit::UniqueHwnd wnd(CreateWindowA("STATIC", "t", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                        nullptr, nullptr));
    ASSERT_TRUE(wnd);
    UpdateWindow(wnd.get());
    ValidateRect(wnd.get(), nullptr);
    ASSERT_FALSE(GetUpdateRect(wnd.get(), nullptr, FALSE));
    EXPECT_EQ(uikit::HandleSkinMessage(wnd.get(), uikit::kSkinChangedMsg, 0, 0), 1);
    EXPECT_TRUE(GetUpdateRect(wnd.get(), nullptr, FALSE));
}

TEST_F(SkinMessages, MissingLibraryIsRefusedAndKeepsTheSkin) {
    uikit::UseSkinColors(Colours());
    EXPECT_FALSE(uikit::SetSkin("Z:\\no\\such\\skin.dll"));
    EXPECT_FALSE(uikit::SetSkin(nullptr));
    EXPECT_TRUE(uikit::HasSkin());
    EXPECT_EQ(uikit::CurrentSkinColors().window, RGB(10, 20, 30));
}

}  // namespace
