// The dialogs and file commands around the records: generator, master
// password change, about, opening and backing up the database, export.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "BoxFixture.h"
#include "CppSQLite3.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "ShellOpen.h"
#include "PwdGenerator.h"
#include "PwdStore.h"

namespace {

using namespace pbtest;
using Strings = std::vector<std::string>;

std::string g_chosenFile;
bool ChooseTestFile(HWND, pwdbox::FileDialogKind, std::string& path) {
    path = g_chosenFile;
    return true;
}
std::vector<std::string> g_opened;
INT_PTR RecordOpen(HWND, const char* target, const char*) {
    g_opened.push_back(target);
    return 33;  // what ShellExecuteA returns on success
}

class DialogsTest : public LoggedInBox {
protected:
    void SetUp() override {
        LoggedInBox::SetUp();
        pwdbox::SetFileChooser(ChooseTestFile);
        g_opened.clear();
        uikit::SetShellOpenHandler(RecordOpen);
    }
};

TEST_F(DialogsTest, GeneratorMakesPasswordsAndRefusesImpossibleRequests) {
    std::string first, second, afterDefaults, ownLength;
    DialogDriver driver({[&](HWND d) {
        HWND list = GetDlgItem(d, IDC_PB_GEN_CLASSES);
        EXPECT_EQ(ListView_GetItemCount(list), 8);
        char label[128] = {};
        ListView_GetItemText(list, 6, 0, label, sizeof label);
        EXPECT_STREQ(label, pngen::kClassLabels[6]);
        EXPECT_EQ(ItemText(d, IDC_PB_GEN_LENGTH), "12");
        EXPECT_EQ(LOWORD(SendMessageA(GetDlgItem(d, IDC_PB_GEN_SPIN), UDM_GETRANGE, 0, 0)), 32);
        Click(d, IDC_PB_GEN_GENERATE);
        first = ItemText(d, IDC_PB_GEN_RESULT);
        Click(d, IDC_PB_GEN_GENERATE);
        second = ItemText(d, IDC_PB_GEN_RESULT);
        for (int row = 0; row < 8; ++row) ListView_SetCheckState(list, row, FALSE);
        Click(d, IDC_PB_GEN_GENERATE);  // no class: refused
        ListView_SetCheckState(list, 2, TRUE);
        SetItemText(d, IDC_PB_GEN_LENGTH, "2000");
        Click(d, IDC_PB_GEN_GENERATE);  // too long: refused
        SetItemText(d, IDC_PB_GEN_LENGTH, "40");  // typed past the up-down's range: used as typed
        Click(d, IDC_PB_GEN_GENERATE);
        ownLength = ItemText(d, IDC_PB_GEN_RESULT);
        Click(d, IDC_PB_GEN_DEFAULTS);
        EXPECT_TRUE(ListView_GetCheckState(list, 0));
        EXPECT_FALSE(ListView_GetCheckState(list, 6));
        EXPECT_EQ(ItemText(d, IDC_PB_GEN_LENGTH), "12");
        Click(d, IDOK);  // does nothing: the dialog stays
        EXPECT_TRUE(IsWindowVisible(d));
        Click(d, IDCANCEL);
    }});
    Command(ID_PB_GENERATE);
    ASSERT_EQ(driver.Done(), 1u);
    EXPECT_EQ(first.size(), 12u);
    EXPECT_NE(first, second);
    EXPECT_EQ(g_messages.texts, (Strings{Res(IDS_PB_GEN_NO_CLASS), Res(IDS_PB_GEN_BAD_LENGTH)}));
    EXPECT_EQ(ownLength.size(), 40u);
    EXPECT_EQ(ownLength.find_first_not_of("0123456789"), std::string::npos);
}

TEST_F(DialogsTest, ChangeMasterPassword) {
    DialogDriver driver({[&](HWND d) {
        Click(d, IDOK);  // nothing typed
        SetItemText(d, IDC_PB_OLD_PWD, "wrong");
        SetItemText(d, IDC_PB_NEW_PWD, "next-1");
        SetItemText(d, IDC_PB_NEW_CONFIRM, "Next-1");  // differs in letter case only
        Click(d, IDOK);
        SetItemText(d, IDC_PB_NEW_CONFIRM, "next-1");
        Click(d, IDOK);  // the old one is wrong (told once it has been checked)
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        PumpUntil([] { return g_messages.texts.size() >= 3; }, 20000);
        SetItemText(d, IDC_PB_OLD_PWD, "master-1");
        Click(d, IDOK);
    }});
    Command(ID_PB_CHANGE_PASSWORD);
    EXPECT_EQ(g_messages.texts, (Strings{Res(IDS_PB_EMPTY_FIELD), Res(IDS_PB_PASSWORDS_DIFFER),
                                         Res(IDS_PB_WRONG_OLD_PWD), Res(IDS_PB_PWD_CHANGED)}));
    EXPECT_EQ(pnstore::PwdStore().checkMasterPassword("next-1"), 1);
    EXPECT_EQ(pnstore::PwdStore().checkMasterPassword("master-1"), 0);
}

TEST_F(DialogsTest, AboutShowsTheWebAddressAsALinkAndForumOpensAPage) {
    std::string link;
    DialogDriver driver({[&](HWND d) {
        HWND label = GetDlgItem(d, IDC_PB_ABOUT_LINK);
        link = ItemText(d, IDC_PB_ABOUT_LINK);
        RECT rc;
        GetClientRect(label, &rc);
        LPARAM at = MAKELPARAM(4, rc.bottom / 2);  // on the start of its text
        SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(label, WM_LBUTTONUP, 0, at);
        Click(d, IDOK);
    }});
    Command(ID_PB_ABOUT);
    ASSERT_FALSE(link.empty());
    Command(ID_PB_FORUM);
    ASSERT_EQ(g_opened.size(), 2u);
    EXPECT_EQ(g_opened[0], link);
    EXPECT_EQ(g_opened[1].rfind("https://", 0), 0u);
}

TEST_F(DialogsTest, OpenAnotherDatabaseAndBackUpTheCurrentOne) {
    AddThroughDialog("https://a", "anna", "p", "Mail");
    ASSERT_EQ(List().RecordCount(), 1);

    g_chosenFile = box_.Path() + "backup.dat";
    Command(ID_PB_BACKUP);
    EXPECT_EQ(ReadFileBytes(g_chosenFile), ReadFileBytes(box_.Db()));
    g_chosenFile = box_.Path() + "no-such-folder\\backup.dat";
    Command(ID_PB_BACKUP);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_STORE_FAILED));  // a backup that failed says so

    g_chosenFile = "";
    Command(ID_PB_OPEN_DB);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_EMPTY_FILE_NAME));

    // A file that is no password database of ours is neither opened nor
    // remembered: the box stays with its own, unlocked.
    g_chosenFile = box_.Path() + "foreign.dat";
    {
        CppSQLite3Connection foreign;
        foreign.open(g_chosenFile.c_str());
        foreign.execute("create view pn_user as select 100 as user_id, 'x' as user_name, 'y' as user_pwd");
    }
    Command(ID_PB_OPEN_DB);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_DB_FOREIGN));
    EXPECT_EQ(pnstore::databasePath(), box_.Db());
    EXPECT_EQ(box_.IniValue("CUR_DB_FILE"), "<missing>");
    EXPECT_EQ(pwdbox::LoggedIn(), 1);

    // A new file gets its own master password at once, and is opened with it.
    g_chosenFile = box_.Path() + "second.dat";
    DialogDriver wizard({[](HWND d) {
        SetItemText(d, IDC_PB_MASTER_PWD, "second master");
        SetItemText(d, IDC_PB_MASTER_CONFIRM, "second master");
        Click(d, IDOK);
    }});
    Command(ID_PB_OPEN_DB);
    EXPECT_EQ(wizard.Done(), 1u);
    EXPECT_EQ(box_.IniValue("CUR_DB_FILE"), g_chosenFile);
    EXPECT_EQ(pwdbox::LoggedIn(), 0);
    EXPECT_EQ(List().RecordCount(), 0);
    SubmitMasterPassword(pwdbox::CurrentFrame()->LoginPanel().hwnd(), "second master");
    ASSERT_EQ(pwdbox::LoggedIn(), 1);
    WaitForList();
    EXPECT_EQ(List().RecordCount(), 0);
    AddThroughDialog("https://b", "bert", "p", "Other");
    EXPECT_EQ(List().RecordCount(), 1);
    EXPECT_EQ(Column("select count(*) from pn_pwd"), Strings{"1"});  // the first file is unchanged
}

TEST_F(DialogsTest, ExportWithoutASpreadsheetOffersACsvFile) {
    AddThroughDialog("https://a.example/x,y", "anna", "p\"1", "Mail");
    AddThroughDialog("https://b.example", "bert", "p2", "Mail");
    AddThroughDialog("@SUM(1+1)", "=HYPERLINK(\"http://x\")", "-2+3", "Mail");
    g_chosenFile = box_.Path() + "export.csv";
    g_messages.Clear();
    Command(ID_PB_EXPORT);
    // Wine has no spreadsheet program registered.
    ASSERT_GE(g_messages.texts.size(), 3u);
    EXPECT_EQ(g_messages.texts[0], "CLSIDFromProgID() failed");
    EXPECT_EQ(g_messages.titles[0], "Error");
    // The whole warning, not its first 127 characters.
    ASSERT_GT(Res(IDS_PB_CSV_OFFER).size(), 127u);
    EXPECT_EQ(g_messages.texts[1], Res(IDS_PB_CSV_OFFER));
    EXPECT_EQ(g_messages.texts[2], Res(IDS_PB_CSV_SAVED));
    // Cells a spreadsheet would take for formulas are written as text.
    EXPECT_EQ(ReadFileBytes(g_chosenFile),
              "1,anna,\"p\"\"1\",\"https://a.example/x,y\"\r\n2,bert,p2,https://b.example\r\n"
              "3,\"'=HYPERLINK(\"\"http://x\"\")\",'-2+3,'@SUM(1+1)\r\n");

    // Declining the offer writes nothing.
    DeleteFileA(g_chosenFile.c_str());
    g_messages.Clear();
    g_messages.answer = IDNO;
    Command(ID_PB_EXPORT);
    EXPECT_FALSE(FileExists(g_chosenFile));
}

}  // namespace
