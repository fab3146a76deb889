// The main window's side of the notes manager: commands 1005 and 32772, Ctrl+Q,
// closing it with the other pop-ups, at log-out and at exit without losing an
// edited note.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "App.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "Settings.h"
#include "MainWindowFixture.h"
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

}  // namespace
}  // namespace pinora
