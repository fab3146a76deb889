#include <gtest/gtest.h>

#include <vector>

#include "App.h"
#include "DoRoRazIds.h"
#include "Handles.h"
#include "Settings.h"
#include "Skin.h"
#include "Skins.h"
#include "SkinsTestSupport.h"

namespace pinora {
namespace {

using test::SkinsWinksTest;

// A top-level window that counts the skin-changed messages it gets.
struct CountingWindow {
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        if (msg == uikit::kSkinChangedMsg) {
            auto* count = reinterpret_cast<int*>(GetWindowLongPtrA(h, GWLP_USERDATA));
            if (count) ++*count;
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    explicit CountingWindow(bool visible) {
        static const bool registered = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "PN_SKINTEST";
            return RegisterClassA(&wc) != 0;
        }();
        (void)registered;
        wnd.reset(CreateWindowA("PN_SKINTEST", "", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 20, 20, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr));
        SetWindowLongPtrA(wnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
    }
    int count = 0;
    uikit::UniqueHwnd wnd;
};

TEST_F(SkinsWinksTest, ApplySkinSwitchesColoursAndTellsEveryTopLevelWindowOnce) {
    std::string alpha = Stage("alpha.dll", "skins");
    CountingWindow shown(true), hidden(false);
    EXPECT_EQ(ApplySkin(alpha.c_str(), shown.wnd.get()), 1);
    EXPECT_EQ(shown.count, 1);
    EXPECT_EQ(hidden.count, 1);
    EXPECT_EQ(uikit::CurrentSkinFile(), alpha);
    EXPECT_EQ(uikit::CurrentSkinColors().window, RGB(0x10, 0x20, 0x30));
}

TEST_F(SkinsWinksTest, RefusedSkinReturnsMinusOneAndChangesNothing) {
    std::string alpha = Stage("alpha.dll", "skins");
    std::string plain = Stage("plain.dll", "skins");
    ASSERT_EQ(ApplySkin(alpha.c_str(), nullptr), 1);
    CountingWindow wnd(false);
    EXPECT_EQ(ApplySkin(plain.c_str(), wnd.wnd.get()), -1);
    EXPECT_EQ(ApplySkin((folder.Path() + "skins\\gone.dll").c_str(), wnd.wnd.get()), -1);
    EXPECT_EQ(wnd.count, 0);
    EXPECT_EQ(uikit::CurrentSkinFile(), alpha);
}

TEST_F(SkinsWinksTest, CurrentSkinKeysRoundTrip) {
    std::string name = "x", file = "y";
    LoadCurrentSkin(name, file);
    EXPECT_EQ(name, "");
    EXPECT_EQ(file, "");
    SaveCurrentSkin("Beta", "C:\\P\\skins\\beta.dll");
    EXPECT_EQ(ReadSetting("CUR_SKIN", "skin_name", 64), "Beta");
    EXPECT_EQ(ReadSetting("CUR_SKIN", "skin_file", 260), "C:\\P\\skins\\beta.dll");
    LoadCurrentSkin(name, file);
    EXPECT_EQ(name, "Beta");
    EXPECT_EQ(file, "C:\\P\\skins\\beta.dll");
}

TEST_F(SkinsWinksTest, ShippedSkinsAreNamedPicturedAcceptedAndDifferent) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(PINORA_DIST_DIR "/skins/*.dll", &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do files.push_back(std::string(PINORA_DIST_DIR "/skins/") + fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    ASSERT_GE(files.size(), 2u);

    std::vector<COLORREF> backgrounds;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        char name[64] = {};
        EXPECT_GT(LoadLibraryString(file.c_str(), kSkinNameString, name, sizeof name), 0);
        HBITMAP preview = LoadLibraryBitmap(file.c_str(), kSkinPreviewBitmap);
        EXPECT_NE(preview, nullptr);
        if (preview) DeleteObject(preview);
        ASSERT_TRUE(uikit::SetSkin(file.c_str()));
        for (COLORREF other : backgrounds) EXPECT_NE(uikit::CurrentSkinColors().window, other);
        backgrounds.push_back(uikit::CurrentSkinColors().window);
    }
}

}  // namespace
}  // namespace pinora
