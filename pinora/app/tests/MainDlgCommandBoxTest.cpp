// The real main window as a command line and dictionary: command words typed
// into the note box, the launchers behind its commands, the lookup popup docked
// to its left, and the about box's link.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AboutDlg.h"
#include "App.h"
#include "BrowserPopup.h"
#include "CallRecorders.h"
#include "CommandRules.h"
#include "DoRoRazIds.h"
#include "Hotkeys.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "MainWindowFixture.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

class CommandBoxTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetWindowPos(dlg.hwnd(), nullptr, 700, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(dlg.hwnd(), SW_SHOW);
    }
    HWND Note() { return dlg.Item(IDC_QUICK_NOTE); }
    HWND Words() { return dlg.Item(IDC_DICT_INPUT); }
    std::string NoteText() {
        char buf[256] = {};
        GetWindowTextA(Note(), buf, sizeof buf);
        return buf;
    }
    void TypeAndEnter(const char* text) {
        SetWindowTextA(Note(), text);
        SendMessageA(Note(), EM_SETSEL, 0x7FFF, 0x7FFF);  // the caret after what was typed
        SendMessageA(Note(), WM_CHAR, VK_RETURN, 1);
    }
    void Notify(HWND from, UINT_PTR id, UINT code) {
        NMHDR hdr = {from, id, code};
        SendMessageA(dlg.hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&hdr));
    }
    RECT PopupRect() {
        RECT rc = {};
        GetWindowRect(dlg.Dictionary()->hwnd(), &rc);
        return rc;
    }

    test::ShellOpenRecorder shell;
};

TEST_F(CommandBoxTest, StkOpensANewStickAndHidesTheWindowKeepingTheText) {
    LogIn();
    TypeAndEnter("stk");
    HWND editor = reinterpret_cast<HWND>(SendMessageA(dlg.hwnd(), MWM_GETSTICKEDITOR, 0, 0));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsWindowVisible(editor));
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_EQ(NoteText(), "stk\r\n");  // neither saved nor cleared; Enter went on to the box
    EXPECT_FALSE(test::FileExists(folder.Path() + "tester\\data\\2009-03-05.txt"));
}

TEST_F(CommandBoxTest, StkWithNobodyLoggedInAsksForALoginAndKeepsTheWindow) {
    ShowWindow(dlg.Login().hwnd(), SW_HIDE);  // the start-up already asked once
    TypeAndEnter("STK");
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
    EXPECT_TRUE(IsWindowVisible(dlg.Login().hwnd()));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(dlg.hwnd(), MWM_GETSTICKEDITOR, 0, 0)), nullptr);
}

TEST_F(CommandBoxTest, CommandWordsRunTheirProgramsAndNotesRunNothing) {
    TypeAndEnter("cmd");
    TypeAndEnter("Calc\r\n");
    TypeAndEnter("mspt");
    TypeAndEnter("notepad");
    TypeAndEnter("cmd please");
    ASSERT_EQ(shell.Calls().size(), 3u);
    EXPECT_EQ(shell.Calls()[0].file, "cmd.exe");
    EXPECT_EQ(shell.Calls()[1].file, "calc.exe");
    EXPECT_EQ(shell.Calls()[2].file, "mspaint.exe");
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
}

TEST_F(CommandBoxTest, RunCodesCountOnlyFromTheNoteBox) {
    LogIn();
    Notify(Words(), IDC_DICT_INPUT, kCmdPaint);
    Notify(Words(), IDC_QUICK_NOTE, kCmdConsole);  // the right id from the wrong window
    Notify(Note(), IDC_DICT_INPUT, kCmdCalculator);
    Notify(Words(), IDC_DICT_INPUT, kCmdNewStick);
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(dlg.hwnd(), MWM_GETSTICKEDITOR, 0, 0)), nullptr);

    Notify(Note(), IDC_QUICK_NOTE, kCmdPaint);
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, "mspaint.exe");
}

TEST_F(CommandBoxTest, CompanionEditorAndScreenCaptureFromAnyWhere) {
    test::MessageBoxRecorder boxes;
    LogIn();
    Notify(Words(), IDC_DICT_INPUT, kCmdCompanionEditor);  // acted on from any sender
    SendMessageA(dlg.hwnd(), WM_COMMAND, ID_VEKPAD, 0);
    SendMessageA(dlg.hwnd(), WM_COMMAND, ID_SCREEN_CAPTURE, 0);
    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[0].text, LoadResString(IDS_VEKPAD_MISSING, 512));
    EXPECT_EQ(boxes.Calls()[0].owner, dlg.hwnd());
    EXPECT_EQ(boxes.Calls()[1].text, LoadResString(IDS_VEKPAD_MISSING, 512));
    EXPECT_EQ(boxes.Calls()[2].text, LoadResString(IDS_SCREEN_CAPTURE_MISSING, 512));
    EXPECT_TRUE(shell.Calls().empty());

    test::WriteFileBytes(folder.Path() + "VekPad.exe", "MZ");
    TypeAndEnter("vekpad");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, folder.Path() + "VekPad.exe");
    EXPECT_EQ(shell.Calls()[0].params, "\"" + folder.Path() + "tester\\data\\2009-03-05.txt\"");
}

TEST_F(CommandBoxTest, LookupDocksThePopupLeftOfTheWindowAndItFollowsTheDrag) {
    SetWindowTextA(Words(), "two words");
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDC_DICT_LOOKUP, 0);
    ASSERT_NE(dlg.Dictionary(), nullptr);
    ASSERT_TRUE(dlg.Dictionary()->Visible());

    RECT main;
    GetWindowRect(dlg.hwnd(), &main);
    int width = main.right - main.left, height = main.bottom - main.top;
    RECT popup = PopupRect();
    EXPECT_EQ(popup.right - popup.left, width / 2);
    EXPECT_EQ(popup.bottom - popup.top, height);
    EXPECT_EQ(popup.left, main.left - width / 2);
    EXPECT_EQ(popup.top, main.top);
    EXPECT_TRUE(GetWindowLongA(dlg.Dictionary()->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Wine has no HTML engine here: the words went to the web browser.
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, std::string(kDefaultDictionaryPrefix) + "two%20words");

    // Dragging: the rectangle being dragged gives the place, the window its size.
    RECT dragged = {400, 120, 400 + width, 120 + height};
    SendMessageA(dlg.hwnd(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&dragged));
    popup = PopupRect();
    EXPECT_EQ(popup.left, 400 - width / 2);
    EXPECT_EQ(popup.top, 120);
    EXPECT_EQ(popup.right, 400 - width / 2 + width / 2);

    // Cancel hides both; a hidden popup stays where it was while the window moves.
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_FALSE(dlg.Dictionary()->Visible());
    RECT elsewhere = {900, 500, 900 + width, 500 + height};
    SendMessageA(dlg.hwnd(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&elsewhere));
    EXPECT_EQ(PopupRect().left, popup.left);
    EXPECT_FALSE(dlg.Dictionary()->Visible());

    // The next lookup reuses it; an empty box gives the empty address, which
    // shows the popup but opens nothing.
    HWND first = dlg.Dictionary()->hwnd();
    SetWindowTextA(Words(), "");
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDC_DICT_LOOKUP, 0);
    EXPECT_EQ(dlg.Dictionary()->hwnd(), first);
    EXPECT_TRUE(dlg.Dictionary()->Visible());
    EXPECT_EQ(shell.Calls().size(), 1u);
}

TEST_F(CommandBoxTest, OkHidesThePopupButTheMainHotkeyLeavesIt) {
    LogIn();
    SetWindowTextA(Words(), "word");
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDC_DICT_LOOKUP, 0);
    ASSERT_TRUE(dlg.Dictionary()->Visible());
    SetWindowTextA(Note(), "a note");
    SendMessageA(dlg.hwnd(), WM_HOTKEY, GlobalFindAtomA("Pinora notes"), 0);
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_TRUE(dlg.Dictionary()->Visible());

    ShowWindow(dlg.hwnd(), SW_SHOW);
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(dlg.Dictionary()->Visible());
}

TEST_F(CommandBoxTest, EnterInTheWordBoxLooksUpAndInTheNoteBoxBreaksTheLine) {
    EXPECT_EQ(SendMessageA(dlg.hwnd(), DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
    SendMessageA(Words(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(Words(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(GetFocus(), Words());
    EXPECT_EQ(LOWORD(SendMessageA(dlg.hwnd(), DM_GETDEFID, 0, 0)), IDC_DICT_LOOKUP);
    SetWindowTextA(Words(), "enter");
    MSG enter = {Words(), WM_KEYDOWN, VK_RETURN, 0x001C0001, GetTickCount(), {}};
    EXPECT_TRUE(IsDialogMessageA(dlg.hwnd(), &enter));
    ASSERT_NE(dlg.Dictionary(), nullptr);
    EXPECT_TRUE(dlg.Dictionary()->Visible());
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, std::string(kDefaultDictionaryPrefix) + "enter");

    // Back in the note box, Enter is a line break again and OK the default.
    SetFocus(Note());
    EXPECT_EQ(LOWORD(SendMessageA(dlg.hwnd(), DM_GETDEFID, 0, 0)), IDOK);
    SetWindowTextA(Note(), "line");
    SendMessageA(Note(), EM_SETSEL, 4, 4);
    MSG noteEnter = {Note(), WM_KEYDOWN, VK_RETURN, 0x001C0001, GetTickCount(), {}};
    IsDialogMessageA(dlg.hwnd(), &noteEnter);
    test::PumpUntil([&] { return NoteText() == "line\r\n"; }, 1000);
    EXPECT_EQ(NoteText(), "line\r\n");
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));  // not saved and hidden by OK
}

// The hotkey dialog is modal: a timer reads what it shows and cancels it.
std::string g_hotkeyShown;
int g_hotkeyDialogs = 0;
void CALLBACK CancelHotkeyDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowA("#32770", LoadResString(IDS_HOTKEY_CAPTION_MAIN).c_str());
    if (!dialog) return;
    KillTimer(nullptr, id);
    ++g_hotkeyDialogs;
    char text[64] = {};
    GetDlgItemTextA(dialog, IDC_HOTKEY_CURRENT, text, sizeof text);
    g_hotkeyShown = text;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(CommandBoxTest, SetkeyOpensTheQuickNoteHotkeyDialogFromAnySender) {
    g_hotkeyDialogs = 0;
    g_hotkeyShown.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelHotkeyDialog);
    TypeAndEnter("SetKey");  // returns once the timer cancelled the dialog
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_hotkeyDialogs, 1);
    EXPECT_EQ(g_hotkeyShown, HotkeyText(0x242));  // mode 0: the quick-note hotkey
    EXPECT_EQ(NoteText(), "SetKey\r\n");

    timer = SetTimer(nullptr, 0, 50, CancelHotkeyDialog);
    Notify(Words(), IDC_DICT_INPUT, kCmdSetHotkey);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_hotkeyDialogs, 2);
}

// The about box is modal: a timer looks at it and presses its link, then closes it.
HWND g_aboutLink = nullptr;
LRESULT g_linkHit = 0;
void CALLBACK UseAboutLink(HWND, UINT, UINT_PTR id, DWORD) {
    HWND about = FindWindowA("#32770", "About Pinora");
    if (!about) return;
    KillTimer(nullptr, id);
    g_aboutLink = GetDlgItem(about, IDC_ABOUT_LINK);
    g_linkHit = SendMessageA(g_aboutLink, WM_NCHITTEST, 0, 0);
    SendMessageA(g_aboutLink, WM_CHAR, VK_RETURN, 1);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
}

TEST_F(CommandBoxTest, AboutBoxLinksToTheProductsWebAddress) {
    g_aboutLink = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, UseAboutLink);
    SendMessageA(dlg.hwnd(), WM_COMMAND, ID_ABOUT, 0);
    KillTimer(nullptr, timer);
    ASSERT_NE(g_aboutLink, nullptr);
    EXPECT_EQ(g_linkHit, HTCLIENT);  // a plain static lets the mouse through
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, kProductPage);
}

}  // namespace
}  // namespace pinora
