#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "App.h"
#include "DoRoRazIds.h"
#include "DropTarget_win.h"
#include "MainDlg.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::FileExists;
using test::ReadFileBytes;

LocalTime Date(int y, int m, int d, int hh = 10, int mm = 0) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

class MainDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        App() = AppState{};
        // Global atoms live as long as the desktop session; a program killed
        // earlier may have left its own reference behind.
        atomsLeftByOthers = GlobalFindAtomA("Pinora notes") != 0;
        ASSERT_NE(dlg.CreateMain(), nullptr);
        ShowWindow(dlg.hwnd(), SW_HIDE);
    }
    void TearDown() override {
        dlg.Destroy();
        App() = AppState{};
        SetClock(nullptr);
        SetRunAtLogon(false);
    }
    void LogIn(const char* user) {
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, user);
    }
    void TypeNote(const char* text) { SetDlgItemTextA(dlg.hwnd(), IDC_QUICK_NOTE, text); }
    std::string NoteText() {
        char buf[256] = {};
        GetDlgItemTextA(dlg.hwnd(), IDC_QUICK_NOTE, buf, sizeof buf);
        return buf;
    }
    void Command(UINT id) { SendMessageA(dlg.hwnd(), WM_COMMAND, id, 0); }
    void Hotkey(const char* atomName) {
        SendMessageA(dlg.hwnd(), WM_HOTKEY, GlobalFindAtomA(atomName), 0);
    }
    std::string Diary() { return folder.Path() + "tester\\data\\2009-03-05.txt"; }

    test::ProgramFolderFixture folder;
    ManualClock clock{Date(2009, 3, 5)};
    CMainDlg dlg;
    bool atomsLeftByOthers = false;
};

TEST_F(MainDlgTest, StartUpWritesFirstRunSettingsAndRegistersHotkeys) {
    EXPECT_TRUE(dlg.InitCompleted());
    EXPECT_TRUE(FileExists(SettingsPath()));
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "242");
    EXPECT_TRUE(dlg.Hotkeys().MainRegistered());
    EXPECT_EQ(dlg.Hotkeys().MainValue(), 0x242u);
    EXPECT_TRUE(dlg.Hotkeys().CtrlQRegistered());
    EXPECT_TRUE(dlg.Hotkeys().NewStickRegistered());
    EXPECT_NE(dlg.TrayMenu(), nullptr);
    EXPECT_FALSE(dlg.TickTimerRunning());  // nobody logged in
    EXPECT_TRUE(GetWindowLongPtrA(dlg.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongPtrA(dlg.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainDlgTest, DayFilesFollowTheInjectedClock) {
    LogIn("tester");
    dlg.RefreshDayFiles();
    EXPECT_EQ(dlg.Files().diaryFile, folder.Path() + "tester\\data\\2009-03-05.txt");
    EXPECT_EQ(dlg.Files().dayStickFile, folder.Path() + "tester\\data\\sticks\\2009-3-05.stk");
    EXPECT_TRUE(FileExists(folder.Path() + "tester\\data"));

    clock.Set(Date(2009, 11, 12));
    Command(ID_NO_ACTION_1);  // any menu command recomputes the names
    EXPECT_EQ(dlg.Files().diaryFile, folder.Path() + "tester\\data\\2009-11-12.txt");
    EXPECT_EQ(dlg.Files().dayStickFile, folder.Path() + "tester\\data\\sticks\\2009-11-12.stk");
}

TEST_F(MainDlgTest, QuickNoteAppendsTheTextAndALineBreak) {
    LogIn("tester");
    ShowWindow(dlg.hwnd(), SW_SHOW);
    TypeNote("abc");
    Command(IDOK);
    EXPECT_EQ(ReadFileBytes(Diary()), "abc\r\n");
    EXPECT_EQ(NoteText(), "");
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));

    TypeNote("de");
    Command(IDOK);
    EXPECT_EQ(ReadFileBytes(Diary()), "abc\r\nde\r\n");
}

TEST_F(MainDlgTest, EmptyNoteWritesNothing) {
    LogIn("tester");
    Command(IDOK);
    EXPECT_FALSE(FileExists(Diary()));
}

TEST_F(MainDlgTest, NoteWhileNobodyIsLoggedInStaysInTheBox) {
    TypeNote("keep me");
    Command(IDOK);
    EXPECT_EQ(NoteText(), "keep me");
    EXPECT_FALSE(FileExists("\\2009-03-05.txt"));
    EXPECT_FALSE(FileExists(folder.Path() + "tester"));
}

TEST_F(MainDlgTest, NoteIsKeptWhenTheDiaryCannotBeOpened) {
    LogIn("tester");
    dlg.RefreshDayFiles();
    HANDLE locked = CreateFileA(Diary().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    TypeNote("precious");
    Command(IDOK);
    EXPECT_EQ(NoteText(), "precious");
    CloseHandle(locked);
    Command(IDOK);
    EXPECT_EQ(ReadFileBytes(Diary()), "precious\r\n");
    EXPECT_EQ(NoteText(), "");
}

TEST_F(MainDlgTest, HotkeysDoNothingWhileNobodyIsLoggedIn) {
    Hotkey("Pinora notes");
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));

    LogIn("tester");
    Hotkey("Pinora notes");
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
    TypeNote("by hotkey");
    Hotkey("Pinora notes");
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_EQ(ReadFileBytes(Diary()), "by hotkey\r\n");
}

TEST_F(MainDlgTest, TickTimerRunsOnlyWhileLoggedIn) {
    SendMessageA(dlg.hwnd(), MWM_STARTTIMER, 0, 0);
    EXPECT_FALSE(dlg.TickTimerRunning());
    LogIn("tester");
    SendMessageA(dlg.hwnd(), MWM_STARTTIMER, 0, 0);
    EXPECT_TRUE(dlg.TickTimerRunning());
    EXPECT_EQ(SendMessageA(dlg.hwnd(), MWM_ISLOGGEDIN, 0, 0), 1);
    Command(ID_LOGOUT);
    EXPECT_FALSE(dlg.TickTimerRunning());
    EXPECT_EQ(SendMessageA(dlg.hwnd(), MWM_ISLOGGEDIN, 0, 0), 0);
}

// While the tray menu is open, a second click on the icon must not open another.
CMainDlg* g_dlg = nullptr;
std::string g_itemText;
void CALLBACK ClickAgainThenClose(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SendMessageA(g_dlg->hwnd(), MWM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONDOWN);
    char text[128] = {};
    GetMenuStringA(g_dlg->TrayMenu(), ID_SHOW_MAIN, text, sizeof text, MF_BYCOMMAND);
    g_itemText = text;
    EndMenu();
}

TEST_F(MainDlgTest, TrayMenuDoesNotOpenTwice) {
    LogIn("tester");
    g_dlg = &dlg;
    SetTimer(nullptr, 0, 200, ClickAgainThenClose);
    SendMessageA(dlg.hwnd(), MWM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_EQ(dlg.TrayMenuShown(), 1);
    EXPECT_EQ(dlg.TrayMenuRefused(), 1);
    // The quick-note item shows its hotkey after a tab.
    EXPECT_EQ(g_itemText, "&Quick note\t" + HotkeyText(0x242));

    // Closed again: the next click opens it.
    SetTimer(nullptr, 0, 200, ClickAgainThenClose);
    SendMessageA(dlg.hwnd(), MWM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_EQ(dlg.TrayMenuShown(), 2);
}

TEST_F(MainDlgTest, DestructionReleasesHotkeysAndAtoms) {
    dlg.Destroy();
    if (!atomsLeftByOthers) {
        EXPECT_EQ(GlobalFindAtomA("Pinora notes"), 0);
        EXPECT_EQ(GlobalFindAtomA("Pinora new stick ALT+SHIFT+S"), 0);
    }
    HWND other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL, 'B'));  // Ctrl+B is free again
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
}

TEST_F(MainDlgTest, TodayMenuItemTextFollowsTheWindowState) {
    LogIn("tester");
    char text[128] = {};
    GetMenuStringA(dlg.TrayMenu(), ID_TODAY_WINDOW, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Show &today's sticks");
    Command(ID_TODAY_WINDOW);
    GetMenuStringA(dlg.TrayMenu(), ID_TODAY_WINDOW, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Hide &today's sticks");
}

// Drops arrive as OLE data objects; the clipboard's object is a real one.
IDataObject* ClipboardObject(UINT format, HGLOBAL data) {
    if (!OpenClipboard(nullptr)) return nullptr;
    EmptyClipboard();
    SetClipboardData(format, data);
    CloseClipboard();
    IDataObject* obj = nullptr;
    OleGetClipboard(&obj);
    return obj;
}

HGLOBAL GlobalText(const char* text) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(GlobalLock(mem)), text);
    GlobalUnlock(mem);
    return mem;
}

HGLOBAL DroppedFiles(const char* doubleTerminatedList, size_t length) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + length);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), doubleTerminatedList, length);
    GlobalUnlock(mem);
    return mem;
}

TEST_F(MainDlgTest, DroppedTextAndFilesAreAddedAtTheEnd) {
    TypeNote("start ");
    IDataObject* text = ClipboardObject(CF_TEXT, GlobalText("dropped words"));
    ASSERT_NE(text, nullptr);
    auto* target = new QuickNoteDropTarget(GetDlgItem(dlg.hwnd(), IDC_QUICK_NOTE));
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(text, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->Drop(text, 0, POINTL{0, 0}, &effect);
    text->Release();
    EXPECT_EQ(NoteText(), "start dropped words");

    // Other programs' text comes as Unicode: every script whole.
    const wchar_t words[] = L" Caf\u00E9 \u2615 \u4F60\u597D";
    HGLOBAL unicode = GlobalAlloc(GMEM_MOVEABLE, sizeof words);
    std::memcpy(GlobalLock(unicode), words, sizeof words);
    GlobalUnlock(unicode);
    text = ClipboardObject(CF_UNICODETEXT, unicode);
    ASSERT_NE(text, nullptr);
    target->Drop(text, 0, POINTL{0, 0}, &effect);
    text->Release();
    EXPECT_EQ(NoteText(), "start dropped words Café ☕ 你好");

    const char files[] = "C:\\a.txt\0C:\\b c.txt\0";
    IDataObject* drop = ClipboardObject(CF_HDROP, DroppedFiles(files, sizeof files));
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(QuickNoteDropTarget::TextOf(drop), "C:\\a.txt" "C:\\b c.txt");
    drop->Release();
    target->Release();
}

}  // namespace
}  // namespace pinora
