// The wink chooser in-process: its rows from the catalogue, OK only with a
// selection, the chosen wink handed to its owner, and Play.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "Catalogues_win.h"
#include "DoRoRazIds.h"
#include "SettingsMessages.h"
#include "SkinsTestSupport.h"
#include "WinkChooser.h"

namespace pinora {
namespace {

// The window that opened the chooser: keeps what it was handed.
std::string g_chosenPath;
int g_chosenCode = 0;
int g_chosenCount = 0;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WCM_WINKCHOSEN) {
        const auto* choice = reinterpret_cast<const WinkChoice*>(lp);
        g_chosenPath = choice->path;
        g_chosenCode = choice->code;
        ++g_chosenCount;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

std::string CellText(HWND list, int row, int column) {
    char text[300] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

class WinkChooserTest : public test::SkinsWinksTest {
protected:
    void SetUp() override {
        SkinsWinksTest::SetUp();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PinoraWinkChooserTestOwner";
        RegisterClassA(&wc);
        owner.reset(CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                  nullptr));
        g_chosenPath.clear();
        g_chosenCode = 0;
        g_chosenCount = 0;
    }
    void TearDown() override {
        chooser.Destroy();
        owner.reset();
        SkinsWinksTest::TearDown();
    }
    HWND Open() { return chooser.Open(owner.get(), "Pinora - choose"); }
    bool OkEnabled() { return IsWindowEnabled(chooser.Item(IDOK)) != FALSE; }

    uikit::UniqueHwnd owner;
    CWinkChooserDlg chooser;
};

TEST_F(WinkChooserTest, MissingCatalogueLeavesTheListEmptyAndOkDisabled) {
    DeleteFileA(WinkCataloguePath().c_str());
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(IsWindowVisible(chooser.hwnd()));
    EXPECT_EQ(chooser.RowCount(), 0);
    EXPECT_EQ(SendMessageA(chooser.List(), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_FALSE(OkEnabled());
    EXPECT_FALSE(IsWindowEnabled(chooser.Item(IDC_WINK_PLAY)));
    SendMessageA(chooser.hwnd(), WM_COMMAND, IDOK, 0);  // Enter in the dialog
    EXPECT_EQ(g_chosenCount, 0);
}

TEST_F(WinkChooserTest, RowsNumberNameAndPreviewEachWinkOfTheCatalogue) {
    Stage("a.ewf", "winks");
    Stage("pic.ewf", "winks");
    ASSERT_TRUE(RebuildWinkCatalogue());
    const std::vector<CatalogueEntry> catalogue = ReadCatalogue(WinkCataloguePath());
    ASSERT_EQ(catalogue.size(), 2u);
    Open();
    HWND list = chooser.List();
    ASSERT_EQ(chooser.RowCount(), 2);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(CellText(list, row, 0), std::to_string(row + 1));
        EXPECT_EQ(CellText(list, row, 1), catalogue[static_cast<size_t>(row)].name);
        EXPECT_EQ(chooser.Row(row).code, 101);
        EXPECT_EQ(chooser.Row(row).path, catalogue[static_cast<size_t>(row)].file);
        const bool hasPreview = catalogue[static_cast<size_t>(row)].name == "Wink with picture";
        EXPECT_EQ(chooser.RowPreview(row) != nullptr, hasPreview) << row;
    }
    RECT row = {LVIR_BOUNDS};
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    EXPECT_EQ(row.bottom - row.top, kWinkRowHeight);
    RECT rc = {};
    GetWindowRect(list, &rc);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 30);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 120);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 2, 0), (rc.right - rc.left) - 172);

    // A wink removed from the folder is gone at the next opening.
    chooser.Hide();
    DeleteFileA(catalogue[0].file.c_str());
    ASSERT_TRUE(RebuildWinkCatalogue());
    Open();
    ASSERT_EQ(chooser.RowCount(), 1);
    EXPECT_EQ(chooser.Row(0).path, catalogue[1].file);
}

TEST_F(WinkChooserTest, OkFollowsTheSelectionAndHandsTheWinkToTheOwner) {
    const std::string a = Stage("a.ewf", "winks");
    Stage("b.ewf", "winks");
    ASSERT_TRUE(RebuildWinkCatalogue());
    Open();
    EXPECT_FALSE(OkEnabled());
    const int rowA = chooser.Row(0).path == a ? 0 : 1;
    chooser.SelectRow(rowA);
    EXPECT_TRUE(OkEnabled());
    EXPECT_TRUE(IsWindowEnabled(chooser.Item(IDC_WINK_PLAY)));
    chooser.SelectRow(-1);
    EXPECT_FALSE(OkEnabled());

    chooser.SelectRow(rowA);
    SendMessageA(chooser.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(g_chosenCount, 1);
    EXPECT_EQ(g_chosenPath, a);
    EXPECT_EQ(g_chosenCode, 101);
    EXPECT_FALSE(IsWindowVisible(chooser.hwnd()));

    // Cancel hands nothing over.
    Open();
    chooser.SelectRow(1 - rowA);
    SendMessageA(chooser.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(g_chosenCount, 1);
    EXPECT_FALSE(IsWindowVisible(chooser.hwnd()));
}

TEST_F(WinkChooserTest, PlayPlaysTheSelectedWink) {
    Stage("b.ewf", "winks");
    Stage("VekFlash.exe", "");
    ASSERT_TRUE(RebuildWinkCatalogue());
    Open();
    chooser.SelectRow(0);
    SendMessageA(chooser.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_WINK_PLAY, BN_CLICKED), 0);
    const std::string log = folder.Path() + "players.log";
    ASSERT_TRUE(test::PumpUntil([&] { return test::FileExists(log); }, 5000));
    EXPECT_TRUE(test::PumpUntil([&] { return test::ReadFileBytes(log).find("|movie B") != std::string::npos; }))
        << test::ReadFileBytes(log);
    EXPECT_TRUE(IsWindowVisible(chooser.hwnd()));  // playing does not choose
    EXPECT_EQ(g_chosenCount, 0);
}

}  // namespace
}  // namespace pinora
