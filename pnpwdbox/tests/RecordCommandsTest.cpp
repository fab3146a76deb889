// The control's commands on records and groups, through the frame as the
// command bar sends them, checked in the list and in the database.
#include <gtest/gtest.h>

#include "BoxFixture.h"
#include "CppSQLite3.h"
#include "FillDatabase.h"
#include "PNPBResIds.h"
#include "PwdClipboard.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "ShellOpen.h"

namespace {

using namespace pbtest;
using Strings = std::vector<std::string>;

class RecordCommandsTest : public LoggedInBox {};

TEST_F(RecordCommandsTest, RecordsGoIntoNewAndExistingGroups) {
    const std::string longPassword = "0123456789abcdefghijklmnopqrstuvwxyzABCD";  // 40: more than 31
    AddThroughDialog("https://mail.example.com", "anna", longPassword, "Mail");
    AddThroughDialog("https://bank.example.org", "o'hara", "b4nk", "Bob's bank");
    AddThroughDialog("https://webmail.example.net", "anna2", "second", "Mail");
    EXPECT_EQ(g_messages.texts, Strings{});

    EXPECT_EQ(Column("select grp_name from pn_group order by grp_id"), (Strings{"Mail", "Bob's bank"}));
    EXPECT_EQ(Column("select pwd_id || ' ' || pwd_user || ' ' || pwd_grp_id from pn_pwd order by pwd_id"),
              (Strings{"1 anna 1", "2 o'hara 2", "3 anna2 1"}));
    CPNPWDListViewCtrl& list = List();
    ASSERT_EQ(list.GroupCount(), 2);
    ASSERT_EQ(list.RecordCount(), 3);
    EXPECT_EQ(list.GroupOfRecord(3), 1);
    EXPECT_EQ(list.CellText(1, 2), "********");
    EXPECT_EQ(list.CellSecondText(1, 2), longPassword);  // whole, not cut at 31
    EXPECT_EQ(list.CellText(2, 3), "https://bank.example.org");

    // Copying copies the real password, whole.
    ClickRow(RowOfUser("anna"));
    EXPECT_EQ(Control().CurrentRecord(), 1);
    Command(ID_PB_COPY_PASSWORD);
    EXPECT_EQ(pwdbox::ReadClipboardText(), longPassword);
    Command(ID_PB_COPY_USER);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "anna");
    Command(ID_PB_COPY_URL);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "https://mail.example.com");
    Command(ID_PB_VIEW_PASSWORD);
    EXPECT_EQ(g_messages.Last(), longPassword);
    EXPECT_EQ(g_messages.titles.back(), Res(IDS_PB_VIEW_TITLE));
}

TEST_F(RecordCommandsTest, RecordDialogRefusesWhatCannotBeStoredAsTyped) {
    AddThroughDialog("https://a", "u", "Secret", "G", "secret");  // letter case differs
    AddThroughDialog("https://a", "u", std::string(128, 'p'), "G");
    AddThroughDialog("https://a", "u", "p", "");
    AddThroughDialog("", "u", "p", "G");
    EXPECT_EQ(g_messages.texts, (Strings{Res(IDS_PB_PASSWORDS_DIFFER), Res(IDS_PB_TOO_LONG), Res(IDS_PB_NO_GROUP),
                                         Res(IDS_PB_EMPTY_FIELD)}));
    EXPECT_EQ(Column("select count(*) from pn_pwd"), Strings{"0"});
    EXPECT_EQ(Column("select count(*) from pn_group"), Strings{"0"});
}

TEST_F(RecordCommandsTest, AddedRecordClearsTheFormAndShowsTheStatus) {
    DialogDriver driver({[](HWND d) {
        EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_PB_URL));
        SetItemText(d, IDC_PB_URL, "https://x");
        SetItemText(d, IDC_PB_USER, "x");
        SetItemText(d, IDC_PB_PASSWORD, "p");
        SetItemText(d, IDC_PB_CONFIRM, "p");
        SetItemText(d, IDC_PB_GROUP, "G");
        SetItemText(d, IDC_PB_COMMENTS, "note");
        Click(d, IDOK);
        EXPECT_EQ(ItemText(d, IDC_PB_STATUS), Res(IDS_PB_RECORD_ADDED));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        for (int id : {IDC_PB_URL, IDC_PB_USER, IDC_PB_PASSWORD, IDC_PB_CONFIRM, IDC_PB_COMMENTS})
            EXPECT_EQ(ItemText(d, id), "") << id;
        EXPECT_EQ(ItemText(d, IDC_PB_GROUP), "G");  // the group stays for the next record
        SendMessageA(d, WM_TIMER, 1000, 0);
        EXPECT_EQ(ItemText(d, IDC_PB_STATUS), "");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        Click(d, IDCANCEL);
    }});
    Command(ID_PB_ADD_RECORD);
    EXPECT_EQ(driver.Done(), 1u);
    EXPECT_EQ(Column("select pwd_comments from pn_pwd"), Strings{"note"});
}

TEST_F(RecordCommandsTest, EditChangesPasswordAddressAndCommentsAndKeepsTheOldRow) {
    AddThroughDialog("https://old.example", "anna", "old-pass", "Mail");
    ClickRow(RowOfUser("anna"));
    DialogDriver driver({[&](HWND d) {
        EXPECT_EQ(ItemText(d, IDC_PB_USER), "anna");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PB_USER)));
        EXPECT_EQ(ItemText(d, IDC_PB_GROUP), "Mail");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PB_GROUP)));
        EXPECT_EQ(ItemText(d, IDC_PB_PASSWORD), "old-pass");
        EXPECT_EQ(ItemText(d, IDC_PB_URL), "https://old.example");
        SetItemText(d, IDC_PB_URL, "https://new.example");
        SetItemText(d, IDC_PB_PASSWORD, "new-pass");
        SetItemText(d, IDC_PB_CONFIRM, "new-pass");
        SetItemText(d, IDC_PB_COMMENTS, "");
        Click(d, IDOK);
        EXPECT_EQ(ItemText(d, IDC_PB_STATUS), Res(IDS_PB_RECORD_UPDATED));
        Click(d, IDCANCEL);
    }});
    Command(ID_PB_EDIT_RECORD);
    EXPECT_EQ(driver.Done(), 1u);
    EXPECT_EQ(driver.Titles().at(0), Res(IDS_PB_EDIT_TITLE));
    EXPECT_EQ(g_messages.texts, Strings{});
    EXPECT_EQ(Column("select pwd_url from pn_pwd"), Strings{"https://new.example"});
    EXPECT_EQ(Column("select pwd_url from pn_pwd_log"), Strings{"https://old.example"});
    // The list follows through the update channel.
    EXPECT_EQ(List().CellText(1, 3), "https://new.example");
    EXPECT_EQ(List().CellSecondText(1, 2), "new-pass");
}

TEST_F(RecordCommandsTest, FailedEditIsReportedNotShownAsSaved) {
    AddThroughDialog("https://a.example", "anna", "pass", "Mail");
    ClickRow(RowOfUser("anna"));
    std::string status;
    DialogDriver driver({[&](HWND d) {
        SetItemText(d, IDC_PB_URL, "https://b.example");
        // The database goes away under the open dialog.
        pnstore::setDatabasePath((box_.Path() + "gone\\pnpb.dat").c_str());
        Click(d, IDOK);
        status = ItemText(d, IDC_PB_STATUS);
        Click(d, IDCANCEL);
    }});
    Command(ID_PB_EDIT_RECORD);
    EXPECT_EQ(g_messages.texts, Strings{Res(IDS_PB_STORE_FAILED)});
    EXPECT_EQ(status, "");
    EXPECT_EQ(List().CellText(1, 3), "https://a.example");
}

TEST_F(RecordCommandsTest, DeletingRecordsAndGroups) {
    AddThroughDialog("https://a", "anna", "p", "Mail");
    AddThroughDialog("https://b", "bert", "p", "Mail");
    AddThroughDialog("https://c", "carl", "p", "Shop");

    ClickRow(RowOfUser("carl"));
    Command(ID_PB_DELETE_RECORD);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_DELETE_RECORD));
    EXPECT_EQ(Column("select pwd_state from pn_pwd where pwd_user='carl'"), Strings{"2"});
    EXPECT_EQ(RowOfUser("carl"), -1);

    // Cancelled: nothing happens.
    g_messages.answer = IDCANCEL;
    ClickRow(RowOfUser("bert"));
    Command(ID_PB_DELETE_RECORD);
    EXPECT_EQ(Column("select pwd_state from pn_pwd where pwd_user='bert'"), Strings{"1"});
    g_messages.answer = 0;

    // A group that still shows records is refused and opened.
    int mail = List().RowOfGroup(1);
    List().OpenGroup(1, false);
    List().SelectRow(mail);
    Command(ID_PB_DELETE_GROUP);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_GROUP_NOT_EMPTY));
    EXPECT_TRUE(List().IsGroupOpen(1));
    EXPECT_EQ(Column("select count(*) from pn_group"), Strings{"2"});

    // The empty one goes, after Yes.
    List().SelectRow(List().RowOfGroup(2));
    Command(ID_PB_DELETE_GROUP);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_DELETE_GROUP));
    EXPECT_EQ(Column("select grp_name from pn_group"), Strings{"Mail"});
    EXPECT_FALSE(List().HasGroup(2));
    // A record that was deleted keeps its group number.
    EXPECT_EQ(Column("select pwd_grp_id from pn_pwd where pwd_user='carl'"), Strings{"2"});
}

// Text in any script goes into the database as UTF-8 and comes back on the
// screen as it was typed; the search folds its case.
TEST_F(RecordCommandsTest, CyrillicGroupIsStoredAndShown) {
    AddThroughDialog("https://почта.example", "Иван", "пароль", "Почта");
    EXPECT_EQ(g_messages.texts, Strings{});
    EXPECT_EQ(Column("select grp_name from pn_group"), Strings{"Почта"});
    EXPECT_EQ(Column("select pwd_user from pn_pwd"), Strings{"Иван"});
    EXPECT_EQ(List().GroupText(1), "Почта");
    // What the list view draws, asked in UTF-16.
    wchar_t shown[64] = {};
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = shown;
    item.cchTextMax = 64;
    SendMessageW(List().ListHwnd(), LVM_GETITEMTEXTW, WPARAM(List().RowOfGroup(1)), LPARAM(&item));
    EXPECT_NE(std::wstring(shown).find(L"\u041F\u043E\u0447\u0442\u0430"), std::wstring::npos) << "the group row shows Почта";
    ClickRow(RowOfUser("Иван"));
    Command(ID_PB_VIEW_PASSWORD);
    EXPECT_EQ(g_messages.Last(), "пароль");
}

TEST_F(RecordCommandsTest, RenameGroupThroughItsDialog) {
    AddThroughDialog("https://a", "anna", "p", "Mail");
    List().SelectRow(List().RowOfGroup(1));
    Command(ID_PB_RENAME_GROUP);
    HWND dialog = Control().RenameDialogWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ItemText(dialog, IDC_PB_OLD_NAME), "Mail");
    Click(dialog, IDOK);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_EMPTY_GROUP_NAME));
    SetItemText(dialog, IDC_PB_NEW_NAME, "Anna's mail");
    Click(dialog, IDOK);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(Column("select grp_name from pn_group"), Strings{"Anna's mail"});
    EXPECT_EQ(List().GroupText(1), "Anna's mail");
    // The same dialog serves the next rename.
    Command(ID_PB_RENAME_GROUP);
    EXPECT_EQ(Control().RenameDialogWindow(), dialog);
    EXPECT_EQ(ItemText(dialog, IDC_PB_OLD_NAME), "Anna's mail");
}

TEST_F(RecordCommandsTest, SearchFindsListedRecordsByAddress) {
    AddThroughDialog("https://bank.example/one", "anna", "p", "Money");
    AddThroughDialog("https://mail.example", "bert", "p", "Mail");
    AddThroughDialog("https://BANK.example/two", "carl", "p", "Money");
    AddThroughDialog("https://bank.example/old", "dora", "p", "Money");
    ClickRow(RowOfUser("dora"));
    Command(ID_PB_DELETE_RECORD);
    List().OpenGroup(1, false);
    g_messages.Clear();

    Command(ID_PB_SEARCH);
    HWND search = Control().SearchDialogWindow();
    ASSERT_NE(search, nullptr);
    Click(search, IDOK);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_EMPTY_SEARCH));
    SetItemText(search, IDC_PB_SEARCH_TEXT, "bank.");
    Click(search, IDOK);
    char title[128] = {};
    GetWindowTextA(search, title, sizeof title);
    EXPECT_EQ(std::string(title), Res(IDS_PB_SEARCH_TITLE) + ":2 found");  // the deleted one is no finding
    EXPECT_TRUE(List().IsGroupOpen(1));  // everything was opened first
    EXPECT_EQ(List().RecordKeyOfRow(List().SelectedRow()), 1);
    EXPECT_EQ(Control().CurrentRecord(), 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(search, IDC_PB_SEARCH_NEXT)));
    Click(search, IDC_PB_SEARCH_NEXT);
    EXPECT_EQ(List().RecordKeyOfRow(List().SelectedRow()), 3);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(search, IDC_PB_SEARCH_NEXT)));

    SetItemText(search, IDC_PB_SEARCH_TEXT, "nowhere'");
    Click(search, IDOK);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_NO_MATCH));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(search, IDC_PB_SEARCH_NEXT)));

    // Close destroys it; the next search makes it again, empty.
    Click(search, IDCANCEL);
    EXPECT_FALSE(IsWindow(search));
    Command(ID_PB_SEARCH);
    ASSERT_NE(Control().SearchDialogWindow(), nullptr);
    EXPECT_EQ(ItemText(Control().SearchDialogWindow(), IDC_PB_SEARCH_TEXT), "");
}

TEST_F(RecordCommandsTest, ClicksAndRightClicksChooseTheCurrentRecordOrGroup) {
    AddThroughDialog("https://a", "anna", "p", "Mail");
    AddThroughDialog("https://b", "bert", "p", "Shop");
    pnstore::PwdStore().updateRecord(2, "p", "https://b", "bert's note", "");
    ClickRow(RowOfUser("bert"));
    EXPECT_EQ(Control().CurrentRecord(), 2);
    char comments[64] = {};
    GetWindowTextA(Control().CommentPane(), comments, sizeof comments);
    EXPECT_STREQ(comments, "bert's note");
    RightClickRow(RowOfUser("anna"));
    EXPECT_EQ(Control().CurrentRecord(), 1);
    RightClickRow(List().RowOfGroup(2));
    EXPECT_EQ(Control().CurrentGroup(), 2);
    EXPECT_EQ(Control().CurrentRecord(), 1);  // a group row leaves the record alone
    // Collapse and expand work on the current group.
    Command(ID_PB_COLLAPSE_GROUP);
    EXPECT_FALSE(List().IsGroupOpen(2));
    Command(ID_PB_EXPAND_GROUP);
    EXPECT_TRUE(List().IsGroupOpen(2));
    Command(ID_PB_COLLAPSE_ALL);
    EXPECT_FALSE(List().IsGroupOpen(1));
    EXPECT_FALSE(List().IsGroupOpen(2));
    Command(ID_PB_EXPAND_ALL);
    EXPECT_TRUE(List().IsGroupOpen(1));
}

TEST_F(RecordCommandsTest, RowsOfNumbersPastSixteenBitsAndOfMissingGroups) {
    tagRECORD record{};
    record.nId = 70001;
    record.nGroup = 65537;
    std::snprintf(record.szUser, sizeof record.szUser, "big");
    SendMessageA(Control().hwnd(), PBM_ADDRECORDROW, MAKEWPARAM(WORD(record.nGroup), WORD(record.nId)),
                 LPARAM(&record));
    EXPECT_TRUE(List().HasRecord(70001));
    EXPECT_EQ(List().GroupOfRecord(70001), 65537);  // under a stand-in row for its missing group
    // A sender that packs the numbers only is taken at its word.
    tagRECORD plain{};
    SendMessageA(Control().hwnd(), PBM_ADDRECORDROW, MAKEWPARAM(3, 9), LPARAM(&plain));
    EXPECT_TRUE(List().HasRecord(9));
    EXPECT_EQ(List().GroupOfRecord(9), 3);
}

std::vector<std::string> g_opened;
INT_PTR RecordOpen(HWND, const char* target, const char*) {
    g_opened.push_back(target);
    return 33;
}

TEST_F(RecordCommandsTest, DamagedRecordsAreShownAsSuchAndNeverUsed) {
    AddThroughDialog("https://mail.example", "anna", "mail-pass", "Mail");
    AddThroughDialog("https://bank.example", "bert", "bank-pass", "Mail");
    // Someone with the file gives Anna's record another address.
    {
        CppSQLite3Connection db;
        db.open(box_.Db().c_str());
        db.execute("update pn_pwd set pwd_url='https://evil.example' where pwd_user='anna'");
    }
    Control().ReadDBToListView();
    WaitForList();
    const int anna = List().RecordKeyOfRow(RowOfUser("anna")), bert = List().RecordKeyOfRow(RowOfUser("bert"));
    EXPECT_TRUE(Control().IsDamaged(anna));
    EXPECT_FALSE(Control().IsDamaged(bert));
    EXPECT_EQ(List().CellText(anna, CPnPwdBoxCtrl::kPasswordColumn), Res(IDS_PB_DAMAGED_CELL));
    EXPECT_EQ(List().CellSecondText(anna, CPnPwdBoxCtrl::kPasswordColumn), "");

    g_opened.clear();
    uikit::SetShellOpenHandler(RecordOpen);
    ClickRow(RowOfUser("anna"), CPnPwdBoxCtrl::kUrlColumn);  // no link
    ClickRow(RowOfUser("bert"), CPnPwdBoxCtrl::kUrlColumn);
    EXPECT_EQ(g_opened, Strings{"https://bank.example"});

    ASSERT_TRUE(pwdbox::PutClipboardText(Frame(), "before"));
    ClickRow(RowOfUser("anna"));
    g_messages.Clear();
    DialogDriver none({[](HWND d) { Click(d, IDCANCEL); }});
    for (int command : {ID_PB_COPY_PASSWORD, ID_PB_COPY_USER, ID_PB_COPY_URL, ID_PB_VIEW_PASSWORD, ID_PB_EDIT_RECORD})
        Command(command);
    PumpFor(100);
    EXPECT_EQ(none.Done(), 0u);  // no record dialog for it
    EXPECT_EQ(g_messages.texts, Strings(5, Res(IDS_PB_RECORD_DAMAGED)));
    EXPECT_EQ(pwdbox::ReadClipboardText(), "before");
    EXPECT_EQ(ItemText(GetParent(Control().CommentPane()), GetDlgCtrlID(Control().CommentPane())), "");

    ClickRow(RowOfUser("bert"));
    Command(ID_PB_COPY_PASSWORD);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "bank-pass");
    // It can still be deleted.
    ClickRow(RowOfUser("anna"));
    Command(ID_PB_DELETE_RECORD);
    EXPECT_EQ(List().RecordCount(), 1);
}

TEST_F(RecordCommandsTest, ReadingThreadFillsTheListFromTheDatabase) {
    storetest::FillDatabase(box_.Path() + "many.dat", 5, 300);
    ASSERT_TRUE(pnstore::setDatabasePath((box_.Path() + "many.dat").c_str()));
    ASSERT_EQ(pnstore::PwdStore().createMasterUser("many"), 1);
    ASSERT_EQ(pnstore::PwdStore().checkMasterPassword("many"), 1);
    pnstore::PwdStore().deleteRecords({7, 8});
    Control().ReadDBToListView();
    WaitForList();
    EXPECT_EQ(List().GroupCount(), 5);
    EXPECT_EQ(List().RecordCount(), 298);
    EXPECT_EQ(List().CellSecondText(300, 2), "pw300");
    EXPECT_EQ(List().RowCount(), 303);
    // A second read replaces the rows instead of adding to them.
    Control().ReadDBToListView();
    WaitForList();
    EXPECT_EQ(List().RecordCount(), 298);
}

}  // namespace
