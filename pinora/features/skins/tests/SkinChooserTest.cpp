#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "App.h"
#include "DoRoRazIds.h"
#include "FilledText.h"
#include "Handles.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SkinChooser.h"
#include "Skins.h"
#include "SkinsIds.h"
#include "SkinsTestSupport.h"

namespace pinora {
namespace {

using test::ReadFileBytes;
using test::SkinsWinksTest;

class SkinChooserTest : public SkinsWinksTest {
protected:
    void TearDown() override {
        chooser.reset();
        SkinsWinksTest::TearDown();
    }
    // Opened modeless, so the test can drive it; it behaves as the modal one does.
    CSkinChooserDlg& Open() {
        chooser = std::make_unique<CSkinChooserDlg>();
        EXPECT_NE(chooser->Create(ResLib(), IDD_SKIN_CHOOSER, nullptr), nullptr);
        return *chooser;
    }
    HWND List() { return chooser->Item(IDC_SKIN_LIST); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        LRESULT n = SendMessageA(List(), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            char buf[64] = {};
            SendMessageA(List(), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
            names.push_back(buf);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    void Select(const char* name) {
        LRESULT i = SendMessageA(List(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
        ASSERT_NE(i, CB_ERR) << name;
        SendMessageA(List(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessageA(chooser->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SKIN_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(List()));
    }
    void Press(int id) { SendMessageA(chooser->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    std::unique_ptr<CSkinChooserDlg> chooser;
};

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

TEST_F(SkinChooserTest, EachOpeningListsWhatTheFolderHoldsNow) {
    Stage("alpha.dll", "skins");
    std::string beta = Stage("beta.dll", "skins");
    Open();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "Beta"}));
    Press(IDCANCEL);
    EXPECT_FALSE(chooser->IsWindowAlive());

    ASSERT_TRUE(DeleteFileA(beta.c_str()));
    Open();
    EXPECT_EQ(Names(), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(ReadCatalogue(SkinCataloguePath()).size(), 1u);
    EXPECT_EQ(SendMessageA(List(), CB_GETCURSEL, 0, 0), CB_ERR);  // no skin chosen yet
}

TEST_F(SkinChooserTest, OpensOnTheCurrentSkinWithItsPreview) {
    Stage("alpha.dll", "skins");
    std::string beta = Stage("beta.dll", "skins");
    SaveCurrentSkin("beta", beta);
    Open();
    EXPECT_EQ(chooser->SelectedName(), "Beta");
    EXPECT_EQ(chooser->SelectedFile(), beta);
    ASSERT_NE(chooser->Preview(), nullptr);
    EXPECT_EQ(PixelOf(chooser->Preview(), 2, 2), RGB(0x5A, 0x6B, 0x9A));  // the night picture's caption

    Select("Alpha");
    ASSERT_NE(chooser->Preview(), nullptr);
    EXPECT_EQ(PixelOf(chooser->Preview(), 2, 2), RGB(0x4A, 0x7A, 0x32));  // the meadow picture's caption
}

TEST_F(SkinChooserTest, ChoosingTheCurrentSkinInAnyCaseWritesAndAppliesNothing) {
    std::string alpha = Stage("alpha.dll", "skins");
    Stage("beta.dll", "skins");
    SaveCurrentSkin("ALPHA", alpha + ".old");
    std::string before = ReadFileBytes(SettingsPath());
    Open();
    Select("Alpha");
    Press(IDOK);
    EXPECT_FALSE(chooser->IsWindowAlive());
    EXPECT_EQ(ReadFileBytes(SettingsPath()), before);
    EXPECT_FALSE(uikit::HasSkin());
}

// While the settings file takes no write (held by another program), the choice
// is neither applied nor shown as made: one message names the file and the
// chooser stays open on it.
TEST_F(SkinChooserTest, ChoosingAnotherSkinAppliesAndStoresItOnceTheFileTakesIt) {
    std::string alpha = Stage("alpha.dll", "skins");
    std::string beta = Stage("beta.dll", "skins");
    SaveCurrentSkin("Alpha", alpha);
    Open();
    Select("Beta");
    {
        uikit::UniqueFile held(CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        const int boxes = test::g_messageBoxCount;
        Press(IDOK);
        EXPECT_EQ(test::g_messageBoxCount, boxes + 1);
        EXPECT_EQ(test::g_lastMessageBoxText,
                  uikit::FillByPosition(LoadResString(IDS_SETTINGS_NOT_WRITTEN, 512), {SettingsPath()}));
        EXPECT_TRUE(chooser->IsWindowAlive());
        EXPECT_FALSE(uikit::HasSkin());
    }
    Press(IDOK);
    EXPECT_FALSE(chooser->IsWindowAlive());
    EXPECT_EQ(ReadSetting("CUR_SKIN", "skin_name", 64), "Beta");
    EXPECT_EQ(ReadSetting("CUR_SKIN", "skin_file", 260), beta);
    EXPECT_EQ(uikit::CurrentSkinFile(), beta);
}

TEST_F(SkinChooserTest, RefusedSkinIsStillStoredAndCancelStoresNothing) {
    Stage("alpha.dll", "skins");
    std::string plain = Stage("plain.dll", "skins");
    Open();
    Select("Alpha");
    Press(IDCANCEL);
    EXPECT_FALSE(test::FileExists(SettingsPath()));
    EXPECT_FALSE(uikit::HasSkin());

    Open();
    Select("Plain");
    EXPECT_EQ(chooser->Preview(), nullptr);  // no bitmap 2: no preview
    Press(IDOK);
    EXPECT_EQ(ReadSetting("CUR_SKIN", "skin_name", 64), "Plain");
    EXPECT_EQ(ReadSetting("CUR_SKIN", "skin_file", 260), plain);
    EXPECT_FALSE(uikit::HasSkin());
}

TEST_F(SkinChooserTest, PreviewIsDrawnUnscaledFifteenPixelsInsideTheFrame) {
    std::string alpha = Stage("alpha.dll", "skins");
    SaveCurrentSkin("Alpha", alpha);
    Open();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT frame = {10, 20, 290, 190};
    chooser->DrawPreview(dc, frame);
    HBITMAP pic = chooser->Preview();
    ASSERT_NE(pic, nullptr);
    const int x0 = 10 + kSkinPreviewInset, y0 = 20 + kSkinPreviewInset;
    EXPECT_EQ(GetPixel(dc, x0, y0), PixelOf(pic, 0, 0));
    EXPECT_EQ(GetPixel(dc, x0 + 199, y0 + 99), PixelOf(pic, 199, 99));
    EXPECT_EQ(GetPixel(dc, x0 + 120, y0 + 45), PixelOf(pic, 120, 45));
    EXPECT_NE(GetPixel(dc, x0 - 1, y0 + 5), PixelOf(pic, 0, 5));   // left of the picture: the frame's face
    EXPECT_NE(GetPixel(dc, x0 + 200, y0 + 5), PixelOf(pic, 199, 5));  // unscaled: it ends after 200
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
}

}  // namespace
}  // namespace pinora
