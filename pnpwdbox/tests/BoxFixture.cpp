#include "BoxFixture.h"

#include "CppSQLite3.h"
#include "PNPBResIds.h"
#include "PwdStore.h"

namespace pbtest {

void LoggedInBox::SetUp() {
    ASSERT_EQ(SetPBDBFile(box_.Db().c_str()), 1);
    ASSERT_NE(LaunchLoggedIn(), nullptr);
    WaitForList();
    g_messages.Clear();
}

void LoggedInBox::TearDown() { PB_DestroyPwdBox(); }

void LoggedInBox::WaitForList() {
    PumpUntil([&] { return !Control().IsReading(); });
    PumpFor(30);
}

void LoggedInBox::ClickRow(int row, int column) {
    CPNPWDListViewCtrl& list = List();
    list.SelectRow(row);
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageA(list.ListHwnd(), LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&cell));
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list.ListHwnd();
    click.hdr.idFrom = UINT_PTR(GetDlgCtrlID(list.ListHwnd()));
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    click.iSubItem = column;
    click.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    SendMessageA(list.hwnd(), WM_NOTIFY, click.hdr.idFrom, LPARAM(&click));
}

void LoggedInBox::RightClickRow(int row) {
    CPNPWDListViewCtrl& list = List();
    list.SelectRow(row);
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list.ListHwnd();
    click.hdr.code = NM_RCLICK;
    click.iItem = row;
    // The pop-up menu's own loop runs until EndMenu from a timer closes it.
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    SendMessageA(list.hwnd(), WM_NOTIFY, 0, LPARAM(&click));
}

void LoggedInBox::AddThroughDialog(const std::string& url, const std::string& user, const std::string& password,
                                   const std::string& group, const std::string& confirm, bool close) {
    DialogDriver driver({[=](HWND d) {
        SetItemText(d, IDC_PB_URL, url);
        SetItemText(d, IDC_PB_USER, user);
        SetItemText(d, IDC_PB_PASSWORD, password);
        SetItemText(d, IDC_PB_CONFIRM, confirm.empty() ? password : confirm);
        SetItemText(d, IDC_PB_GROUP, group);
        Click(d, IDOK);
        if (close) Click(d, IDCANCEL);
    }});
    Command(ID_PB_ADD_RECORD);
    PumpFor(20);
}

int LoggedInBox::RowOfUser(const std::string& user) {
    for (int row = 0; row < List().RowCount(); ++row)
        if (!List().IsGroupRow(row) && List().CellText(List().RecordKeyOfRow(row), 1) == user) return row;
    return -1;
}

std::vector<std::string> LoggedInBox::Column(const std::string& sql) {
    std::vector<std::string> values;
    CppSQLite3Connection db;
    db.open(box_.Db().c_str());
    for (CppSQLite3ResultSet rows = db.query(sql.c_str()); !rows.atEnd(); rows.next()) values.push_back(rows.textField(0, "<null>"));
    return values;
}

}  // namespace pbtest
