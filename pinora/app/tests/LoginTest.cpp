#include <gtest/gtest.h>

#include <cstring>

#include "App.h"
#include "DoRoRazIds.h"
#include "LoginDlg.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "TextCipher.h"
#include "Users.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::FileExists;

// Stands in for the main window and counts what the login dialog tells it.
struct Owner {
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == MWM_STARTTIMER) ++startTimer;
        if (msg == MWM_CLOSEPOPUPS) ++closePopups;
        return DefWindowProcA(h, msg, wp, lp);
    }
    static int startTimer, closePopups;
};
int Owner::startTimer = 0;
int Owner::closePopups = 0;

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        App() = AppState{};
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Owner::Proc;
        wc.lpszClassName = "PinoraLoginTestOwner";
        RegisterClassA(&wc);
        owner = CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        Owner::startTimer = Owner::closePopups = 0;
        test::g_messageBoxCount = 0;
        test::g_lastMessageBoxText.clear();
    }
    void TearDown() override {
        login.Destroy();
        DestroyWindow(owner);
        App() = AppState{};
    }
    void AddUser(const char* name, const char* password) {
        createUserTable(userTablePath());
        ASSERT_EQ(addUserTo(userTablePath(), name, password), 1);
    }
    void LoginAs(const char* name, const char* password, bool remember = false, bool automatic = false) {
        ASSERT_TRUE(login.IsWindowAlive());
        SetDlgItemTextA(login.hwnd(), IDC_USER_NAME, name);
        SetDlgItemTextA(login.hwnd(), IDC_PASSWORD, password);
        CheckDlgButton(login.hwnd(), IDC_REMEMBER_PWD, remember ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(login.hwnd(), IDC_AUTO_LOGIN, automatic ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(login.hwnd(), WM_COMMAND, IDOK, 0);
    }

    test::ProgramFolderFixture folder;
    HWND owner = nullptr;
    CLoginDlg login;
};

TEST_F(LoginTest, NameInCapitalsLogsInAUserStoredInSmallLetters) {
    AddUser("anna", "secret");
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("ANNA", "secret");
    EXPECT_EQ(App().bLoggedIn, 1);
    EXPECT_STREQ(App().szCurrentUser, "ANNA");
    EXPECT_TRUE(FileExists(folder.Path() + "ANNA"));
    EXPECT_EQ(Owner::startTimer, 1);
    EXPECT_FALSE(login.IsWindowAlive());  // closed after a successful login
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_user", 64), "ANNA");
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_login_in", 2), "0");
}

TEST_F(LoginTest, WrongPasswordAndMissingTableAreRefusedWithTheSameMessage) {
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("anna", "secret");  // there is no user table at all
    EXPECT_EQ(App().bLoggedIn, 0);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_LOGIN_FAILED));
    EXPECT_TRUE(login.IsWindowAlive());
    EXPECT_EQ(checkLogin("anna", "secret"), -1);

    AddUser("anna", "secret");
    LoginAs("anna", "Secret");
    EXPECT_EQ(App().bLoggedIn, 0);
    EXPECT_EQ(test::g_messageBoxCount, 2);
    LoginAs("", "secret");
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_NAME_EMPTY));
}

TEST_F(LoginTest, RememberedPasswordStaysWhenRememberIsTurnedOff) {
    AddUser("anna", "secret");
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("anna", "secret", /*remember=*/true, /*automatic=*/true);
    std::string stored = ReadSetting("SETTINGS", "auto_pwd", 128);
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_remember_pwd", 2), "1");
    char plain[kCipherFieldSize] = {};
    ASSERT_EQ(cryptField(stored.c_str(), plain, 1), 1);
    EXPECT_STREQ(plain, "secret");

    App() = AppState{};
    ASSERT_TRUE(login.Open(owner, 0));
    // The dialog comes back with the remembered password filled in.
    char shown[64] = {};
    GetDlgItemTextA(login.hwnd(), IDC_PASSWORD, shown, sizeof shown);
    EXPECT_STREQ(shown, "secret");
    LoginAs("anna", "secret", /*remember=*/false, /*automatic=*/true);
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_remember_pwd", 2), "0");
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_pwd", 128), stored);

    App() = AppState{};
    EXPECT_EQ(tryAutoLogin(), 1);
    EXPECT_STREQ(App().szCurrentUser, "anna");
    WriteSetting("0", "SETTINGS", "auto_login_in");
    EXPECT_EQ(tryAutoLogin(), 0);
}

TEST_F(LoginTest, CancelInModeZeroLeavesNobodyLoggedIn) {
    ASSERT_TRUE(login.Open(owner, 0));
    SendMessageA(login.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(App().bLoggedIn, 0);
    EXPECT_EQ(Owner::closePopups, 0);
    EXPECT_FALSE(login.IsWindowAlive());
}

TEST_F(LoginTest, CancelInModeOneKeepsTheUserAndTellsTheOwner) {
    App().bLoggedIn = 1;
    std::strcpy(App().szCurrentUser, "anna");
    ASSERT_TRUE(login.Open(owner, 1));
    char caption[64] = {};
    GetWindowTextA(login.hwnd(), caption, sizeof caption);
    EXPECT_EQ(caption, LoadResString(IDS_LOGIN_CAPTION_SWITCH));
    SendMessageA(login.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(App().bLoggedIn, 1);
    EXPECT_STREQ(App().szCurrentUser, "anna");
    EXPECT_EQ(Owner::closePopups, 1);
}

class NewUserTest : public LoginTest {
protected:
    void Add(const char* name, const char* password, const char* again) {
        CNewUserDlg dlg;
        // Modeless here, so the test can drive it; the program runs it modally.
        ASSERT_NE(dlg.Create(ResLib(), IDD_NEW_USER, nullptr), nullptr);
        SetDlgItemTextA(dlg.hwnd(), IDC_NEW_USER_NAME, name);
        SetDlgItemTextA(dlg.hwnd(), IDC_PASSWORD, password);
        SetDlgItemTextA(dlg.hwnd(), IDC_PASSWORD_AGAIN, again);
        SendMessageA(dlg.hwnd(), WM_COMMAND, IDOK, 0);
    }
};

TEST_F(NewUserTest, OnlyTheFirstElevenPasswordCharactersExist) {
    Add("bob", "0123456789abc", "0123456789abc");
    EXPECT_TRUE(FileExists(userTablePath()));
    EXPECT_EQ(checkLogin("bob", "0123456789a"), 1);
    EXPECT_EQ(checkLogin("bob", "0123456789abc"), 0);
    EXPECT_EQ(userNamesIn(userTablePath()), std::vector<std::string>{"bob"});
}

TEST_F(NewUserTest, SameNameInAnotherCaseIsRefused) {
    Add("bob", "pw", "pw");
    Add("BOB", "other", "other");
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_USER_EXISTS));
    EXPECT_EQ(userNamesIn(userTablePath()).size(), 1u);
    EXPECT_EQ(checkLogin("Bob", "pw"), 1);
}

TEST_F(NewUserTest, DifferentRepetitionAndEmptyNameAreRefused) {
    Add("carol", "one", "two");
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_PASSWORDS_DIFFER));
    Add("", "one", "one");
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_NAME_EMPTY));
    EXPECT_TRUE(userNamesIn(userTablePath()).empty());
}

TEST_F(NewUserTest, UsersAreNumberedInOrderAndListedInTheLoginDialog) {
    Add("bob", "pw", "pw");
    Add("carol", "pw2", "pw2");
    EXPECT_EQ(userNamesIn(userTablePath()), (std::vector<std::string>{"bob", "carol"}));
    ASSERT_TRUE(login.Open(owner, 0));
    HWND combo = GetDlgItem(login.hwnd(), IDC_USER_NAME);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
    char second[64] = {};
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(second));
    EXPECT_STREQ(second, "carol");
    EXPECT_EQ(createUserTable(userTablePath()), 0);  // an existing table is left alone
}

}  // namespace
}  // namespace pinora
