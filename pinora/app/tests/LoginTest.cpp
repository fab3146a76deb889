#include <gtest/gtest.h>

#include <cstring>

#include "App.h"
#include "DamagedTableMessage.h"
#include "DamagedTables.h"
#include "DoRoRazIds.h"
#include "FilledText.h"
#include "Handles.h"
#include "LoginDlg.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "TableCheck.h"
#include "TableFields.h"
#include "TextCipher.h"
#include "UserSecret.h"
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
        ForgetDamageReports();
        InstallDamagedTableMessage();
    }
    void TearDown() override {
        login.Destroy();
        DestroyWindow(owner);
        App() = AppState{};
        SetDamagedTableHandler(nullptr);
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

// A name in any script names the user's folder as it was typed, and in
// capitals it is the same user.
TEST_F(LoginTest, UserNamedJuergenGetsTheFolderJuergen) {
    AddUser("Jürgen", "pässwort");
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("JÜRGEN", "pässwort");
    EXPECT_EQ(App().bLoggedIn, 1);
    login.Destroy();
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("Jürgen", "pässwort");
    EXPECT_STREQ(App().szCurrentUser, "Jürgen");
    // The folder's name, as the file system holds it (UTF-16).
    const std::string path = folder.Path() + "Jürgen";
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), int(wide.size())) - 1));
    EXPECT_EQ(wide.substr(wide.size() - 6), L"J\u00FCrgen");
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_user", 64), "Jürgen");
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

// The remembered password is kept protected for the Windows user, nowhere in
// a form the program's own key opens; unticking "remember" deletes it (so
// automatic login then has no password to log in with).
TEST_F(LoginTest, RememberedPasswordIsProtectedAndGoneWhenRememberIsTurnedOff) {
    AddUser("anna", "secret");
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("anna", "secret", /*remember=*/true, /*automatic=*/true);
    const std::string stored = ReadSetting("SETTINGS", "auto_pwd", 4096);
    EXPECT_TRUE(IsProtectedForUser(stored)) << stored;
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_remember_pwd", 2), "1");
    std::string plain;
    ASSERT_TRUE(UnprotectForUser(stored, plain));
    EXPECT_EQ(plain, "secret");
    char oldForm[kCipherFieldSize] = {};
    ASSERT_EQ(cryptField("secret", oldForm, 0), 1);
    EXPECT_EQ(test::ReadFileBytes(SettingsPath()).find(oldForm), std::string::npos);

    App() = AppState{};
    ASSERT_TRUE(login.Open(owner, 0));
    // The dialog comes back with the remembered password filled in.
    char shown[64] = {};
    GetDlgItemTextA(login.hwnd(), IDC_PASSWORD, shown, sizeof shown);
    EXPECT_STREQ(shown, "secret");
    App() = AppState{};
    EXPECT_EQ(tryAutoLogin(), 1);
    EXPECT_STREQ(App().szCurrentUser, "anna");

    LoginAs("anna", "secret", /*remember=*/false, /*automatic=*/true);
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_remember_pwd", 2), "0");
    EXPECT_EQ(test::ReadFileBytes(SettingsPath()).find("auto_pwd"), std::string::npos);
    App() = AppState{};
    EXPECT_EQ(tryAutoLogin(), 0);
}

// Files of earlier builds: the old cipher's hex in user.dat and "auto_pwd" is
// read once, at the next login (automatic or in the dialog), and then replaced
// by a hash and the protected form; neither file keeps it afterwards.
TEST_F(LoginTest, OldPasswordFormsAreReplacedAtTheNextLogin) {
    createUserTable(userTablePath());
    char annaOld[kCipherFieldSize] = {}, bobOld[kCipherFieldSize] = {};
    ASSERT_EQ(cryptField("secret", annaOld, 0), 1);
    ASSERT_EQ(cryptField("bobs pw", bobOld, 0), 1);
    {
        FileDBF table;
        ASSERT_EQ(table.Open(userTablePath().c_str()), 0);
        for (const auto& [name, pwd] : {std::pair{"anna", annaOld}, std::pair{"bob", bobOld}}) {
            ASSERT_EQ(table.AppendRecord(), 0);
            ASSERT_EQ(table.WriteField(2, name), 0);
            ASSERT_EQ(table.WriteField(3, pwd), 0);
        }
    }
    WriteSetting("1", "SETTINGS", "auto_login_in");
    WriteSetting("anna", "SETTINGS", "auto_user");
    WriteSetting(annaOld, "SETTINGS", "auto_pwd");
    WriteSetting("1", "SETTINGS", "auto_remember_pwd");

    ASSERT_TRUE(login.Open(owner, 0));  // shows the old form's password
    char shown[64] = {};
    GetDlgItemTextA(login.hwnd(), IDC_PASSWORD, shown, sizeof shown);
    EXPECT_STREQ(shown, "secret");
    login.Destroy();

    EXPECT_EQ(tryAutoLogin(), 1);
    std::string plain;
    EXPECT_TRUE(UnprotectForUser(ReadSetting("SETTINGS", "auto_pwd", 4096), plain));
    EXPECT_EQ(plain, "secret");
    App() = AppState{};
    EXPECT_EQ(tryAutoLogin(), 1);  // from the protected form now

    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("bob", "bobs pw", /*remember=*/true);
    EXPECT_STREQ(App().szCurrentUser, "bob");
    const std::string users = test::ReadFileBytes(userTablePath()), settings = test::ReadFileBytes(SettingsPath());
    for (const char* old : {annaOld, bobOld}) {
        EXPECT_EQ(users.find(old), std::string::npos);
        EXPECT_EQ(settings.find(old), std::string::npos);
    }
    EXPECT_EQ(checkLogin("anna", "secret"), 1);
    EXPECT_EQ(checkLogin("bob", "bobs pw"), 1);

    // Protected for another Windows user, or damaged: nobody is logged in with it.
    WriteSetting("dpapi1:00112233", "SETTINGS", "auto_pwd");
    App() = AppState{};
    EXPECT_EQ(tryAutoLogin(), 0);
}

// The login is right, but the settings file takes no write: the user is logged
// in and told, once, that what was ticked is not stored.
TEST_F(LoginTest, LoginSettingsThatCannotBeWrittenAreSaidSo) {
    AddUser("anna", "secret");
    WriteSetting("0", "SETTINGS", "auto_login_in");
    ASSERT_TRUE(login.Open(owner, 0));
    uikit::UniqueFile held(CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    LoginAs("anna", "secret", /*remember=*/true, /*automatic=*/true);
    EXPECT_EQ(App().bLoggedIn, 1);
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText,
              uikit::FillByPosition(LoadResString(IDS_SETTINGS_NOT_WRITTEN, 512), {SettingsPath()}));
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
    // Characters, in any script: only the password's hash is stored.
    Add("Юлия", "Пароль12345xy", "Пароль12345xy");
    EXPECT_EQ(checkLogin("Юлия", "Пароль12345"), 1);
    EXPECT_EQ(checkLogin("Юлия", "Пароль"), 0);
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

TEST_F(NewUserTest, NamesThatCannotBeFolderNamesAreRefusedWithAMessage) {
    for (const char* name : {"..", "a\\b", "C:\\x", "CON", "lpt1.txt", "name.", "name ", "a?b"}) {
        test::g_lastMessageBoxText.clear();
        Add(name, "pw", "pw");
        EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_USER_NAME_UNSAFE)) << name;
    }
    EXPECT_TRUE(userNamesIn(userTablePath()).empty());
    Add("dora", "pw", "pw");
    EXPECT_EQ(userNamesIn(userTablePath()), std::vector<std::string>{"dora"});
}

// An empty password is stored as an empty PWD (there is nothing to hide), and
// such a user logs in, remembered and automatically too.
TEST_F(NewUserTest, UserWithoutPasswordIsAddedAndLogsIn) {
    Add("dora", "", "");
    ASSERT_EQ(userNamesIn(userTablePath()), std::vector<std::string>{"dora"});
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("dora", "", /*remember=*/true, /*automatic=*/true);
    EXPECT_EQ(App().bLoggedIn, 1);
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_remember_pwd", 2), "1");
    EXPECT_TRUE(IsProtectedForUser(ReadSetting("SETTINGS", "auto_pwd", 4096)));

    App() = AppState{};
    EXPECT_EQ(tryAutoLogin(), 1);
    EXPECT_STREQ(App().szCurrentUser, "dora");
}

// A name that slipped into the table some other way, remembered in the
// settings: it would become a path, so nobody is logged in.
TEST_F(LoginTest, RememberedNameThatIsNoFolderNameLogsNobodyIn) {
    AddUser("anna", "pw");
    {
        FileDBF table;
        ASSERT_EQ(table.Open(userTablePath().c_str()), 0);
        ASSERT_EQ(table.AppendRecord(), 0);
        ASSERT_EQ(table.WriteField(2, ".."), 0);
        char encrypted[kCipherFieldSize] = {};
        ASSERT_EQ(cryptField("pw", encrypted, 0), 1);
        ASSERT_EQ(table.WriteField(3, encrypted), 0);
        WriteSetting(encrypted, "SETTINGS", "auto_pwd");
    }
    WriteSetting("1", "SETTINGS", "auto_login_in");
    WriteSetting("..", "SETTINGS", "auto_user");
    EXPECT_EQ(tryAutoLogin(), 0);
    EXPECT_STREQ(App().szCurrentUser, "");

    ASSERT_TRUE(login.Open(owner, 0));
    HWND combo = GetDlgItem(login.hwnd(), IDC_USER_NAME);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 1);  // anna only
    LoginAs("..", "pw");
    EXPECT_EQ(App().bLoggedIn, 0);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_LOGIN_FAILED));
}

// A users table of another layout: one message however often it is read,
// nobody logs in, and the file stays as it was.
TEST_F(LoginTest, DamagedUserTableIsReportedOnceAndLeftAlone) {
    FieldHeaderCreat fields[3] = {CharField("NUMBER", 12), CharField("USERNAME", 255), CharField("PWD", 128)};
    {
        FileDBF table;
        ASSERT_EQ(table.Creat(userTablePath().c_str(), 3, fields), 0);
        ASSERT_EQ(table.AppendRecord(), 0);
        ASSERT_EQ(table.WriteField(2, std::string(200, 'n').c_str()), 0);
    }
    const std::string before = test::ReadFileBytes(userTablePath());
    ASSERT_TRUE(login.Open(owner, 0));
    LoginAs("anna", "pw");
    LoginAs("anna", "pw");
    EXPECT_EQ(App().bLoggedIn, 0);
    EXPECT_EQ(test::g_messageBoxCount, 3);  // the damage once, the failed login twice
    EXPECT_EQ(test::ReadFileBytes(userTablePath()), before);
}

}  // namespace
}  // namespace pinora
