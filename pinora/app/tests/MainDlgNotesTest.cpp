// The main window's side of the notes manager: commands 1005 and 32772, Ctrl+Q,
// closing it with the other pop-ups, at log-out and at exit without losing an
// edited note.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "App.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "FilledText.h"
#include "MainWindowFixture.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "Users.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::ReadFileBytes;

class MainDlgNotesTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        data = folder.Path() + "tester\\data\\";
    }
    void Command(UINT id) { SendMessageA(dlg.hwnd(), WM_COMMAND, id, 0); }
    void CtrlQ() { SendMessageA(dlg.hwnd(), WM_HOTKEY, GlobalFindAtomA("Pinora notes Ctrl+Q"), 0); }
    CNotesManagerDlg& Notes() { return dlg.Notes(); }
    bool NotesShown() { return Notes().IsWindowAlive() && IsWindowVisible(Notes().hwnd()); }
    void EditNote(const char* text) {
        HWND box = Notes().Item(IDC_NOTES_TEXT);
        SetWindowTextA(box, text);
        SendMessageA(Notes().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_NOTES_TEXT, EN_CHANGE), reinterpret_cast<LPARAM>(box));
    }

    // A note of the logged-in user's edited in the manager, which is then hidden.
    void LeaveAnEditedNoteHidden(const char* text) {
        Command(ID_NOTES_MANAGER);
        EditNote(text);
        CtrlQ();
        ASSERT_TRUE(Notes().IsWindowAlive());
        ASSERT_FALSE(IsWindowVisible(Notes().hwnd()));
    }
    void SwitchTo(const char* name, const char* password) {
        Command(ID_SWITCH_USER);
        ASSERT_TRUE(dlg.Login().IsWindowAlive());
        SetDlgItemTextA(dlg.Login().hwnd(), IDC_USER_NAME, name);
        SetDlgItemTextA(dlg.Login().hwnd(), IDC_PASSWORD, password);
        SendMessageA(dlg.Login().hwnd(), WM_COMMAND, IDOK, 0);
    }

    std::string data;
};

TEST_F(MainDlgNotesTest, CommandsOpenTheManagerOnTodayInTheUsersDiary) {
    LogIn();
    Command(ID_SHOW_MAIN);  // the data folder exists from here on
    test::WriteFileBytes(data + "2009-03-05.txt", "quick notes of today\r\n");
    Command(ID_NOTES_MANAGER);
    ASSERT_TRUE(NotesShown());
    EXPECT_EQ(GetWindow(Notes().hwnd(), GW_OWNER), dlg.hwnd());
    EXPECT_EQ(Notes().DataFolder(), data);
    EXPECT_EQ(Notes().ShownFile(), "2009-03-05.txt");
    EXPECT_EQ(Notes().EntryCount(), 31);
    char text[64] = {};
    GetDlgItemTextA(Notes().hwnd(), IDC_NOTES_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "quick notes of today\r\n");

    // Created once: the button of the quick-note box shows the same window.
    HWND first = Notes().hwnd();
    ShowWindow(first, SW_HIDE);
    Command(IDC_NOTES_MANAGER);
    EXPECT_EQ(Notes().hwnd(), first);
    EXPECT_TRUE(NotesShown());
}

TEST_F(MainDlgNotesTest, CtrlQHidesAShownManagerAndOpensAHiddenOne) {
    CtrlQ();
    EXPECT_FALSE(Notes().IsWindowAlive());  // nobody logged in: hotkeys do nothing
    LogIn();
    CtrlQ();
    ASSERT_TRUE(NotesShown());
    HWND window = Notes().hwnd();
    CtrlQ();
    EXPECT_TRUE(Notes().IsWindowAlive());
    EXPECT_FALSE(IsWindowVisible(window));
    CtrlQ();
    EXPECT_TRUE(NotesShown());
    EXPECT_EQ(Notes().hwnd(), window);
}

TEST_F(MainDlgNotesTest, WithNobodyLoggedInTheLoginOpensInstead) {
    Command(IDC_NOTES_MANAGER);
    EXPECT_FALSE(Notes().IsWindowAlive());
    EXPECT_TRUE(IsWindowVisible(dlg.Login().hwnd()));
}

TEST_F(MainDlgNotesTest, ClosingPopUpsAndLoggingOutDestroyTheManager) {
    LogIn();
    Command(ID_NOTES_MANAGER);
    CtrlQ();  // hidden: the pop-ups that are closed are the visible ones
    SendMessageA(dlg.hwnd(), MWM_CLOSEPOPUPS, 0, 0);
    EXPECT_TRUE(Notes().IsWindowAlive());
    CtrlQ();
    SendMessageA(dlg.hwnd(), MWM_CLOSEPOPUPS, 0, 0);
    EXPECT_FALSE(Notes().IsWindowAlive());

    Command(ID_NOTES_MANAGER);
    Command(ID_LOGOUT);
    EXPECT_FALSE(Notes().IsWindowAlive());
}

TEST_F(MainDlgNotesTest, ExitSavesAnEditedNoteOrStaysWhenItCannotBeSaved) {
    LogIn();
    Command(ID_NOTES_MANAGER);
    EditNote("written just before exit");
    {
        uikit::UniqueFile held(CreateFileA((data + "2009-03-05.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        Command(ID_EXIT);  // the test's message box answers Yes: save it
        EXPECT_TRUE(IsWindow(dlg.hwnd()));
        EXPECT_TRUE(Notes().HasUnsavedEdits());
    }
    Command(ID_EXIT);
    EXPECT_FALSE(IsWindow(dlg.hwnd()));
    EXPECT_EQ(ReadFileBytes(data + "2009-03-05.txt"), "written just before exit\r\n");
}

// A note edited and hidden with Ctrl+Q belongs to the user who wrote it: a
// switch of user asks about it for that user (the test's box says Yes), saves it
// into that user's diary and destroys the manager, so the next user never sees
// the question or the first user's diary.
TEST_F(MainDlgNotesTest, HiddenEditedNoteIsSavedForItsUserAtASwitchOfUser) {
    createUserTable(userTablePath());
    ASSERT_EQ(addUserTo(userTablePath(), "anna", "pw"), 1);
    LogIn();
    LeaveAnEditedNoteHidden("tester's own words");
    SwitchTo("anna", "pw");
    EXPECT_STREQ(App().szCurrentUser, "anna");
    EXPECT_EQ(ReadFileBytes(data + "2009-03-05.txt"), "tester's own words\r\n");
    EXPECT_FALSE(Notes().IsWindowAlive());

    const int boxes = test::g_messageBoxCount;
    Command(ID_NOTES_MANAGER);
    EXPECT_EQ(test::g_messageBoxCount, boxes);  // nothing of tester's is asked about
    EXPECT_EQ(Notes().DataFolder(), folder.Path() + "anna\\data\\");
}

// When the note cannot be saved (its file is held), log-out and switch of user
// keep its user logged in and say so; the note stays in the manager, shown.
TEST_F(MainDlgNotesTest, NoteThatCannotBeSavedKeepsItsUserLoggedIn) {
    createUserTable(userTablePath());
    ASSERT_EQ(addUserTo(userTablePath(), "anna", "pw"), 1);
    LogIn();
    LeaveAnEditedNoteHidden("not yet saved");
    const std::string staysText = uikit::FillByPosition(LoadResString(IDS_STAYS_LOGGED_IN, 512), {"tester"});
    {
        uikit::UniqueFile held(CreateFileA((data + "2009-03-05.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        Command(ID_LOGOUT);
        EXPECT_EQ(App().bLoggedIn, 1);
        EXPECT_STREQ(App().szCurrentUser, "tester");
        EXPECT_EQ(test::g_lastMessageBoxText, staysText);
        EXPECT_TRUE(Notes().HasUnsavedEdits());
        EXPECT_TRUE(IsWindowVisible(Notes().hwnd()));

        CtrlQ();
        SwitchTo("anna", "pw");
        EXPECT_STREQ(App().szCurrentUser, "tester");
        EXPECT_EQ(test::g_lastMessageBoxText, staysText);
        EXPECT_TRUE(Notes().HasUnsavedEdits());
        EXPECT_EQ(Notes().DataFolder(), data);
        SendMessageA(dlg.Login().hwnd(), WM_COMMAND, IDCANCEL, 0);
    }
    Command(ID_LOGOUT);
    EXPECT_EQ(App().bLoggedIn, 0);
    EXPECT_FALSE(Notes().IsWindowAlive());
    EXPECT_EQ(ReadFileBytes(data + "2009-03-05.txt"), "not yet saved\r\n");
}

}  // namespace
}  // namespace pinora
