// The exported entry points: first use, the master password, the login
// panel, the database path and the embeddable control.
#include <gtest/gtest.h>

#include "CppSQLite3.h"
#include "PNPBResIds.h"
#include "PnPwdBox.h"
#include "PwdBoxEnv.h"
#include "PwdBoxFrame.h"
#include "PwdBoxTestSupport.h"
#include "PwdStore.h"

namespace {

using namespace pbtest;

int MasterRows(const std::string& db) {
    CppSQLite3Connection c;
    c.open(db.c_str());
    int n = 0;
    for (CppSQLite3ResultSet r = c.query("select user_id from pn_user where user_name='pinora_pb'"); !r.atEnd(); r.next())
        ++n;
    return n;
}

std::string g_chosenFile;
bool ChooseTestFile(HWND, pwdbox::FileDialogKind, std::string& path) {
    path = g_chosenFile;
    return true;
}

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SetPBDBFile(box_.Db().c_str()), 1); }
    BoxFolder box_;
};

TEST_F(LaunchTest, FirstLaunchWritesTheIniAndCancellingTheWizardGivesNoBox) {
    ASSERT_FALSE(FileExists(box_.Ini()));
    DialogDriver driver({[](HWND d) { Click(d, IDCANCEL); }});
    EXPECT_EQ(LaunchPwdBox(), nullptr);
    EXPECT_EQ(driver.Done(), 1u);
    EXPECT_EQ(driver.Titles().at(0), "Password box - master password");
    EXPECT_EQ(box_.IniValue("HAVE_USED"), "0");
    EXPECT_EQ(pwdbox::CurrentFrameWindow(), nullptr);
    // The launcher's tables are there, the master row is not.
    EXPECT_EQ(MasterRows(box_.Db()), 0);
}

TEST_F(LaunchTest, StoredMasterPasswordLeadsToTheLoginPanelNextTime) {
    DialogDriver wizard({[](HWND d) {
        SetItemText(d, IDC_PB_MASTER_PWD, "Open Sesame");
        SetItemText(d, IDC_PB_MASTER_CONFIRM, "Open Sesame");
        Click(d, IDOK);
    }});
    HWND first = LaunchPwdBox();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(box_.IniValue("HAVE_USED"), "1");
    EXPECT_EQ(box_.IniValue("cmdbar_bk_color"), "0");
    EXPECT_EQ(MasterRows(box_.Db()), 1);
    EXPECT_EQ(pnstore::PwdStore().checkMasterPassword("Open Sesame"), 1);

    // The next launch asks for nothing and shows the login panel; the
    // earlier frame, hidden or not, is gone.
    DialogDriver none({[](HWND d) { Click(d, IDCANCEL); }});
    HWND second = LaunchPwdBox();
    ASSERT_NE(second, nullptr);
    PumpFor(100);
    EXPECT_EQ(none.Done(), 0u);
    EXPECT_FALSE(IsWindow(first));
    ShowWindow(second, SW_SHOW);
    CPwdBoxFrame* frame = pwdbox::CurrentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame->LoginPanel().hwnd()));
    EXPECT_FALSE(IsWindowVisible(frame->Control().hwnd()));
    char title[64] = {};
    GetWindowTextA(second, title, sizeof title);
    EXPECT_EQ(std::string(title), Res(IDS_PB_FRAME_TITLE));
    // A password box that can read its user table offers no link to set one.
    EXPECT_FALSE(frame->LoginPanel().LinkShown());
}

TEST_F(LaunchTest, WizardRefusesWhatItCannotStore) {
    const std::string tooLong(128, 'x');
    DialogDriver wizard({[&](HWND d) {
        SetItemText(d, IDC_PB_MASTER_PWD, "secret");
        SetItemText(d, IDC_PB_MASTER_CONFIRM, "Secret");  // letter case counts
        Click(d, IDOK);
        SetItemText(d, IDC_PB_MASTER_PWD, "");
        Click(d, IDOK);
        SetItemText(d, IDC_PB_MASTER_PWD, tooLong);
        SetItemText(d, IDC_PB_MASTER_CONFIRM, tooLong);
        Click(d, IDOK);
        Click(d, IDCANCEL);
    }});
    EXPECT_EQ(LaunchPwdBox(), nullptr);
    ASSERT_EQ(g_messages.texts.size(), 3u);
    EXPECT_EQ(g_messages.texts[0], Res(IDS_PB_PASSWORDS_DIFFER));
    EXPECT_EQ(g_messages.texts[1], Res(IDS_PB_EMPTY_FIELD));
    EXPECT_EQ(g_messages.texts[2], Res(IDS_PB_TOO_LONG));
    EXPECT_EQ(MasterRows(box_.Db()), 0);
    EXPECT_EQ(box_.IniValue("HAVE_USED"), "0");
}

TEST_F(LaunchTest, LoginPanelChecksTheMasterPassword) {
    HWND frameWindow = LaunchLoggedIn("right one");
    ASSERT_NE(frameWindow, nullptr);
    CPwdBoxFrame* frame = pwdbox::CurrentFrame();
    // Lock, then try again.
    SendMessageA(frameWindow, WM_COMMAND, ID_PB_LOCK, 0);
    ASSERT_EQ(pwdbox::LoggedIn(), 0);
    HWND panel = frame->LoginPanel().hwnd();
    g_messages.Clear();

    Click(panel, IDOK);
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_EMPTY_MASTER));
    SubmitMasterPassword(panel, "wrong one");
    EXPECT_EQ(g_messages.Last(), Res(IDS_PB_WRONG_MASTER));
    EXPECT_EQ(g_messages.titles.back(), Res(IDS_PB_MESSAGE_TITLE));
    EXPECT_EQ(pwdbox::LoggedIn(), 0);
    DWORD from = 0, to = 0;
    SendMessageA(GetDlgItem(panel, IDC_PB_LOGIN_PWD), EM_GETSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 9u);  // the wrong text is selected for typing over

    SubmitMasterPassword(panel, "right one");
    EXPECT_EQ(pwdbox::LoggedIn(), 1);
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_TRUE(IsWindowVisible(frame->Control().hwnd()));
    EXPECT_TRUE(IsWindowVisible(frame->CommandBar().Rebar()));
    EXPECT_EQ(ItemText(panel, IDC_PB_LOGIN_PWD), "");  // not kept in the hidden panel
    RECT bar, control;
    GetWindowRect(frame->CommandBar().Rebar(), &bar);
    GetWindowRect(frame->Control().hwnd(), &control);
    EXPECT_EQ(bar.bottom - bar.top, CPwdBoxFrame::kCommandBarHeight);
    EXPECT_EQ(control.top, bar.bottom);
}

TEST_F(LaunchTest, DatabaseWithoutAMasterPasswordOffersTheLinkToSetOne) {
    ASSERT_NE(LaunchLoggedIn(), nullptr);
    CPwdBoxFrame* frame = pwdbox::CurrentFrame();
    // Another database, new: its wizard comes at once; cancelled, the box
    // locks and offers the link instead.
    pwdbox::SetFileChooser(ChooseTestFile);
    g_chosenFile = box_.Path() + "other.dat";
    DialogDriver cancel({[](HWND d) { Click(d, IDCANCEL); }});
    SendMessageA(frame->hwnd(), WM_COMMAND, ID_PB_OPEN_DB, 0);
    pwdbox::SetFileChooser(nullptr);
    EXPECT_EQ(cancel.Done(), 1u);
    EXPECT_EQ(pwdbox::LoggedIn(), 0);
    ASSERT_TRUE(frame->LoginPanel().LinkShown());
    HWND link = GetDlgItem(frame->LoginPanel().hwnd(), IDC_PB_LOGIN_LINK);
    LPARAM at = MAKELPARAM(4, 4);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(link, WM_LBUTTONUP, 0, at);
    HWND wizard = FindWindowA(nullptr, "Password box - master password");
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(IsWindowVisible(wizard));
    Click(wizard, IDCANCEL);
    EXPECT_FALSE(IsWindow(wizard));  // the modeless one goes when closed

    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(link, WM_LBUTTONUP, 0, at);
    wizard = FindWindowA(nullptr, "Password box - master password");
    ASSERT_NE(wizard, nullptr);
    SetItemText(wizard, IDC_PB_MASTER_PWD, "other master");
    SetItemText(wizard, IDC_PB_MASTER_CONFIRM, "other master");
    Click(wizard, IDOK);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(wizard); }, 20000));
    EXPECT_FALSE(frame->LoginPanel().LinkShown());
    SubmitMasterPassword(frame->LoginPanel().hwnd(), "other master");
    EXPECT_EQ(pwdbox::LoggedIn(), 1);
    EXPECT_EQ(pnstore::databasePath(), box_.Path() + "other.dat");
}

TEST_F(LaunchTest, EnterInTheLoginPanelLogsIn) {
    ASSERT_NE(LaunchLoggedIn("typed"), nullptr);
    HWND frameWindow = pwdbox::CurrentFrameWindow();
    SendMessageA(frameWindow, WM_COMMAND, ID_PB_LOCK, 0);
    HWND edit = GetDlgItem(pwdbox::CurrentFrame()->LoginPanel().hwnd(), IDC_PB_LOGIN_PWD);
    SetWindowTextA(edit, "typed");
    // The host's message loop knows nothing of the panel: the box's own
    // message hook gives Enter to the dialog.
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x1C0001);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    EXPECT_TRUE(PumpUntil([] { return pwdbox::LoggedIn() == 1; }, 2000));
}

TEST_F(LaunchTest, ClosingHidesAndDestroyEndsTheFrame) {
    HWND frameWindow = LaunchLoggedIn();
    ASSERT_NE(frameWindow, nullptr);
    SendMessageA(frameWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(frameWindow));
    EXPECT_FALSE(IsWindowVisible(frameWindow));
    PB_DestroyPwdBox();
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(pwdbox::CurrentFrameWindow(), nullptr);
}

// Two Pinora users of one program folder share PnPwdBox.dll and its
// "pnpb.ini"; each has a database of their own in their own folder.
TEST_F(LaunchTest, SecondUserOfOneFolderGetsTheWizardAndABoxOfTheirOwn) {
    const std::string anna = box_.Path() + "anna\\", bert = box_.Path() + "bert\\";
    CreateDirectoryA(anna.c_str(), nullptr);
    CreateDirectoryA(bert.c_str(), nullptr);
    ASSERT_EQ(SetPBDBFile((anna + "pnpb.dat").c_str()), 1);
    ASSERT_NE(LaunchLoggedIn("anna's master"), nullptr);
    CPnPwdBoxCtrl& annasBox = pwdbox::CurrentFrame()->Control();
    ASSERT_EQ(pnstore::PwdStore().insertRecord(1, "anna", "anna-secret", "https://a.example", 1, 1, "", ""), 1);
    // Anna keeps her records in a file of her choice.
    pwdbox::SetFileChooser(ChooseTestFile);
    g_chosenFile = anna + "chosen.dat";
    {
        DialogDriver later({[](HWND d) { Click(d, IDCANCEL); }});  // its master password another time
        SendMessageA(annasBox.hwnd(), WM_COMMAND, ID_PB_OPEN_DB, 0);
    }
    pwdbox::SetFileChooser(nullptr);
    PB_DestroyPwdBox();  // what logging out does

    ASSERT_EQ(SetPBDBFile((bert + "pnpb.dat").c_str()), 1);
    EXPECT_EQ(pnstore::databasePath(), bert + "pnpb.dat");
    DialogDriver wizard({[](HWND d) {
        SetItemText(d, IDC_PB_MASTER_PWD, "bert's master");
        SetItemText(d, IDC_PB_MASTER_CONFIRM, "bert's master");
        Click(d, IDOK);
    }});
    HWND frame = LaunchPwdBox();
    EXPECT_EQ(wizard.Done(), 1u);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(MasterRows(bert + "pnpb.dat"), 1);
    EXPECT_EQ(pwdbox::LoggedIn(), 0);  // nothing of anna's box is open for bert
    HWND panel = pwdbox::CurrentFrame()->LoginPanel().hwnd();
    SubmitMasterPassword(panel, "anna's master");
    EXPECT_EQ(pwdbox::LoggedIn(), 0);
    SubmitMasterPassword(panel, "bert's master");
    ASSERT_EQ(pwdbox::LoggedIn(), 1);
    PumpUntil([] { return !pwdbox::CurrentFrame()->Control().IsReading(); });
    EXPECT_EQ(pwdbox::CurrentFrame()->Control().List().RecordCount(), 0);

    // Anna's choice is still hers the next time she opens her box.
    PB_DestroyPwdBox();
    ASSERT_EQ(SetPBDBFile((anna + "pnpb.dat").c_str()), 1);
    EXPECT_EQ(pnstore::databasePath(), anna + "chosen.dat");
}

TEST_F(LaunchTest, DatabasePathFromTheCallerUnlessTheIniNamesOne) {
    EXPECT_EQ(SetPBDBFile(nullptr), 0);
    EXPECT_EQ(SetPBDBFile(""), 0);
    EXPECT_EQ(pnstore::databasePath(), box_.Db());
    box_.SetIni("CUR_DB_FILE", (box_.Path() + "other.dat").c_str());
    EXPECT_EQ(SetPBDBFile(box_.Db().c_str()), 1);
    EXPECT_EQ(pnstore::databasePath(), box_.Path() + "other.dat");
}

TEST_F(LaunchTest, EmbeddedControlAndConstants) {
    EXPECT_EQ(fnPnPwdBox(), 42);
    EXPECT_EQ(nPnPwdBox, 0);
    EXPECT_EQ(CreatePwdBox(nullptr), nullptr);
    EXPECT_EQ(CreatePwdBox(reinterpret_cast<HWND>(0x1234)), nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    HWND control = CreatePwdBox(parent);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), parent);
    EXPECT_FALSE(IsWindowVisible(control));
    RECT rc;
    GetWindowRect(control, &rc);
    EXPECT_EQ(rc.right - rc.left, 0);
    // It made its tables and reads them; destroying the parent ends it (and
    // it deletes itself).
    EXPECT_TRUE(PumpUntil([] {
        CppSQLite3Connection c;
        c.open(pnstore::databasePath().c_str());
        return !c.query("select name from sqlite_master where name='pn_pwd_log'").atEnd();
    }));
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(control));
}

}  // namespace
