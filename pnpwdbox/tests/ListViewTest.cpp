// The grouped password list on its own: rows under groups that open and
// close, link cells, the header, and the Ctrl+F key wherever the focus is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoxFixture.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "ShellOpen.h"
#include "PwdListView.h"

namespace {

using namespace pbtest;

std::vector<std::string> g_opened;
INT_PTR RecordOpen(HWND, const char* target, const char*) {
    g_opened.push_back(target);
    return 33;  // what ShellExecuteA returns on success
}

// A list in a window of its own that records the commands the list sends.
class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_opened.clear();
        uikit::SetShellOpenHandler(RecordOpen);
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(list_.Create(parent_, 7), nullptr);
        MoveWindow(list_.hwnd(), 0, 0, 500, 400, TRUE);
        list_.AddColumn("", 20, 0);
        list_.AddColumn("User", 100, 1);
        list_.AddColumn("Password", 100, 2);
        list_.AddColumn("Address", 200, 3);
        list_.AddGroup(10, "Mail", 0xF7EFEF, nullptr, true);
        list_.AddGroup(20, "Bank", 0xF7EFEF, nullptr, true);
        AddRecord(20, 3, "carl", "https://bank.example");
        AddRecord(10, 1, "anna", "https://mail.example");
        AddRecord(10, 2, "bert", "https://other.example");
        PumpFor(20);
    }
    void TearDown() override {
        list_.Destroy();
        DestroyWindow(parent_);
        uikit::SetShellOpenHandler(nullptr);
    }
    void AddRecord(int group, int key, const char* user, const char* url) {
        ASSERT_TRUE(list_.AddRecord(group, key));
        list_.SetCellText(key, 1, user);
        list_.SetCellText(key, 2, "********");
        list_.SetCellSecondText(key, 2, "secret");
        list_.SetCellText(key, 3, url);
        list_.SetLinkCell(key, 3, true);
    }
    void Notify(UINT code, int row, int column) {
        RECT cell = {};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageA(list_.ListHwnd(), LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&cell));
        NMITEMACTIVATE n = {};
        n.hdr.hwndFrom = list_.ListHwnd();
        n.hdr.code = code;
        n.iItem = row;
        n.iSubItem = column;
        n.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        SendMessageA(list_.hwnd(), WM_NOTIFY, 0, LPARAM(&n));
    }
    std::vector<int> Keys() {
        std::vector<int> keys;
        for (int row = 0; row < list_.RowCount(); ++row)
            keys.push_back(list_.IsGroupRow(row) ? -list_.GroupKeyOfRow(row) : list_.RecordKeyOfRow(row));
        return keys;
    }

    HWND parent_ = nullptr;
    CPNPWDListViewCtrl list_;
};

TEST_F(ListViewTest, RecordsStayUnderTheirGroupsInTheOrderAdded) {
    // Groups negative, records positive, in row order.
    EXPECT_EQ(Keys(), (std::vector<int>{-10, 1, 2, -20, 3}));
    EXPECT_EQ(list_.RowOfRecord(3), 4);
    EXPECT_EQ(list_.GroupKeyOfRow(2), 10);
    EXPECT_EQ(list_.RecordKeyOfRow(0), uikit::GroupedList::kNoKey);
    EXPECT_FALSE(list_.AddRecord(99, 4));  // no such group
    EXPECT_FALSE(list_.AddRecord(10, 1));  // a key is used once
    EXPECT_EQ(ListView_GetItemCount(list_.ListHwnd()), 5);

    list_.OpenGroup(10, false);
    EXPECT_EQ(Keys(), (std::vector<int>{-10, -20, 3}));
    EXPECT_EQ(list_.RowOfRecord(1), -1);
    EXPECT_TRUE(list_.GroupHasRecords(10));
    PumpFor(20);  // the inner list catches up once the changes are in
    EXPECT_EQ(SendMessageA(list_.ListHwnd(), LVM_GETITEMCOUNT, 0, 0), 3);

    list_.RemoveRecord(3);
    EXPECT_FALSE(list_.GroupHasRecords(20));
    list_.RenameGroup(20, "Banks");
    EXPECT_EQ(list_.GroupText(20), "Banks");
    list_.RemoveGroup(10);
    EXPECT_FALSE(list_.HasRecord(1));
    EXPECT_EQ(Keys(), (std::vector<int>{-20}));
    list_.RemoveAll();
    EXPECT_EQ(list_.RowCount(), 0);
}

TEST_F(ListViewTest, SelectionStaysOnItsRecordWhenGroupsAboveCloseOrOpen) {
    list_.SelectRow(list_.RowOfRecord(3));
    EXPECT_EQ(list_.SelectedRow(), 4);
    list_.OpenGroup(10, false);
    EXPECT_EQ(list_.SelectedRow(), 2);
    EXPECT_EQ(list_.RecordKeyOfRow(list_.SelectedRow()), 3);
    // A selected record whose group closes is no longer selected.
    list_.OpenGroup(20, false);
    EXPECT_EQ(list_.SelectedRow(), -1);
}

TEST_F(ListViewTest, ClicksOpenGroupsAndLinksAndAreForwarded) {
    static std::vector<UINT> forwarded;
    forwarded.clear();
    // The parent hears the clicks as the inner list sent them.
    SetWindowLongPtrA(parent_, GWLP_WNDPROC, LONG_PTR(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_NOTIFY) forwarded.push_back(reinterpret_cast<NMHDR*>(l)->code);
        return DefWindowProcA(h, m, w, l);
    }));
    Notify(NM_CLICK, 1, 1);  // a user name: nothing opens
    EXPECT_EQ(g_opened, std::vector<std::string>{});
    Notify(NM_CLICK, 1, 3);  // its address: the browser opens it
    EXPECT_EQ(g_opened, std::vector<std::string>{"https://mail.example"});
    Notify(NM_CLICK, 0, 1);  // a group row opens or closes
    EXPECT_FALSE(list_.IsGroupOpen(10));
    Notify(NM_DBLCLK, 2, 1);
    Notify(NM_RCLICK, 2, 1);
    EXPECT_EQ(forwarded, (std::vector<UINT>{UINT(NM_CLICK), UINT(NM_CLICK), UINT(NM_CLICK), UINT(NM_DBLCLK),
                                            UINT(NM_RCLICK)}));
}

TEST_F(ListViewTest, OnlyWebAddressesAreOpenedFromLinkCells) {
    AddRecord(20, 4, "dave", "file:///C:/windows/system32/calc.exe");
    AddRecord(20, 5, "eve", "javascript:alert(1)");
    AddRecord(20, 6, "fay", "HTTP://upper.example");
    AddRecord(20, 7, "gus", "\\\\server\\share\\run.exe");
    PumpFor(20);
    for (int key : {4, 5, 6, 7}) Notify(NM_CLICK, list_.RowOfRecord(key), 3);
    EXPECT_EQ(g_opened, std::vector<std::string>{"HTTP://upper.example"});
}

TEST_F(ListViewTest, HeaderClicksDoNotSort) {
    NMLISTVIEW column = {};
    column.hdr.hwndFrom = list_.ListHwnd();
    column.hdr.code = LVN_COLUMNCLICK;
    column.iItem = -1;
    column.iSubItem = 1;
    SendMessageA(list_.hwnd(), WM_NOTIFY, 0, LPARAM(&column));
    EXPECT_EQ(Keys(), (std::vector<int>{-10, 1, 2, -20, 3}));
}

TEST_F(ListViewTest, KeyHookLivesWithTheListWindows) {
    EXPECT_TRUE(CPNPWDListViewCtrl::KeyHookInstalled());
    size_t before = CPNPWDListViewCtrl::KeyNoticeWindowCount();
    {
        CPNPWDListViewCtrl second;
        second.Create(parent_, 8);
        EXPECT_EQ(CPNPWDListViewCtrl::KeyNoticeWindowCount(), before + 1);
        second.Destroy();
    }
    EXPECT_EQ(CPNPWDListViewCtrl::KeyNoticeWindowCount(), before);
    list_.Destroy();
    EXPECT_EQ(CPNPWDListViewCtrl::KeyNoticeWindowCount(), before - 1);
    if (before == 1) {
        EXPECT_FALSE(CPNPWDListViewCtrl::KeyHookInstalled());
    }
    ASSERT_NE(list_.Create(parent_, 7), nullptr);
    EXPECT_TRUE(CPNPWDListViewCtrl::KeyHookInstalled());
}

// Ctrl+F from anywhere in the box's thread reaches the list through the hook.
class CtrlFTest : public LoggedInBox {
protected:
    void PressKey(HWND target, WPARAM key, bool ctrl) {
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(target, WM_KEYDOWN, key, 0x00210001);
        PumpFor(150);
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
    }
};

TEST_F(CtrlFTest, OpensSearchFromTheCommentPaneOnlyWhenLoggedIn) {
    HWND comments = Control().CommentPane();
    PressKey(comments, 'F', false);
    EXPECT_EQ(Control().SearchDialogWindow(), nullptr);  // F alone is just a letter

    SendMessageA(Frame(), WM_COMMAND, ID_PB_LOCK, 0);
    PressKey(comments, 'F', true);
    EXPECT_EQ(Control().SearchDialogWindow(), nullptr);  // locked: nothing

    SubmitMasterPassword(pwdbox::CurrentFrame()->LoginPanel().hwnd(), "master-1");
    ASSERT_EQ(pwdbox::LoggedIn(), 1);
    PressKey(comments, 'F', true);
    EXPECT_NE(Control().SearchDialogWindow(), nullptr);
}

}  // namespace
