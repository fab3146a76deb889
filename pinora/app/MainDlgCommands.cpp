// Commands, hotkeys and the quick note of the main window.
#include <windows.h>
#include <shellapi.h>

#include "AboutDlg.h"
#include "App.h"
#include "CommandRules.h"
#include "DoRoRazIds.h"
#include "Launchers.h"
#include "MainDlg.h"
#include "QuickNote.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SkinChooser.h"
#include "StickWindows.h"
#include "WindowPlacement.h"

namespace pinora {

void CMainDlg::OnCommand(UINT id, UINT code) {
    // Menus and buttons: the date may have changed since the last command.
    if (code == 0) RefreshDayFiles();

    switch (id) {
    case IDOK:
        SaveQuickNote(true);
        break;
    case IDCANCEL:
        HideMain();
        HideDictionary();
        break;
    case IDC_DIARY_OPEN:
        ShellExecuteA(nullptr, "open", files_.diaryFile.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case ID_EXIT:
        if (!CloseNotesManager(false)) break;  // a note the user wants kept could not be saved
        PostQuitMessage(0);
        DestroyWindow(hwnd());
        break;
    case ID_SHOW_MAIN:
        ShowAtCorner();
        break;
    case ID_PNMONEY:
        if (App().bLoggedIn) StartProgram(files_.userDataDir + "pnmoney\\pnmoney.exe", "");
        break;
    case ID_LOGIN:
        OpenLogin(0);
        break;
    case ID_SWITCH_USER:
        StopTickTimer();
        ClosePasswordBox();
        OpenLogin(1);
        break;
    case ID_LOGOUT:
        if (App().bLoggedIn && !SettleUserWindows()) break;  // a note of the user's could not be saved
        OpenLogin(0);
        App().bLoggedIn = 0;
        ClosePasswordBox();
        // Nothing of the user stays on the screen or runs while nobody is logged in:
        // no reminders, no list of the day's sticks, no sync.
        StopTickTimer();
        UpdateSync();
        if (Sticks().TodayShown()) SetTodayMenuText(Sticks().ToggleToday());
        OutputDebugStringA("Pinora: logged out\n");
        break;
    case ID_NEW_STICK:
        if (App().bLoggedIn) Sticks().OpenNewStickEditor(CalendarWindow());
        break;
    case ID_CALENDAR:
        OpenCalendar();
        break;
    case ID_TODAY_WINDOW:
        SetTodayMenuText(Sticks().ToggleToday());
        break;
    case ID_TODAY_MODE_1:
    case ID_TODAY_MODE_0:
        todayMode_ = id == ID_TODAY_MODE_1 ? 1 : 0;
        Sticks().SetTodayFilter(static_cast<int>(todayMode_));
        SendMessageA(hwnd(), MWM_STICKSCHANGED, 0, 0);
        if (trayMenu_)
            CheckMenuRadioItem(GetSubMenu(trayMenu_.get(), TRAYMENU_DISPLAY_MODE), ID_TODAY_MODE_1,
                               ID_TODAY_MODE_0, id, MF_BYCOMMAND);
        break;
    case IDC_NOTES_MANAGER:
    case ID_NOTES_MANAGER:
        OpenNotesManager();
        break;
    case ID_PASSWORD_BOX:
        OpenPasswordBox();
        break;
    case ID_SCREEN_CAPTURE:
        StartScreenCapture(hwnd());
        break;
    case ID_VEKPAD:
        StartCompanionEditorOnToday();
        break;
    case IDC_DICT_LOOKUP:
        LookUpWords();
        break;
    case ID_ABOUT: {
        CAboutDlg about;
        about.Run(hwnd());
        break;
    }
    case ID_HELP:
        ShellExecuteA(nullptr, "open", kHelpPage, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case ID_SKINS:
        CSkinChooserDlg::Run(hwnd());
        break;
    case ID_SETTINGS:
        OpenSettings();
        break;
    case ID_SYNC_NOW:
    case ID_EXPORT_ICS:
    case ID_EXPORT_TODAY_ICS:
    case ID_IMPORT_ICS:
        OnSyncCommand(id);
        break;
    default:
        // The other commands open windows that are not part of this build yet.
        break;
    }
}

void CMainDlg::OnHotkey(WPARAM id) {
    if (!App().bLoggedIn) return;
    switch (hotkeys_.Identify(id)) {
    case HotkeyId::Main:
        if (IsWindowVisible(hwnd())) {
            SaveQuickNote(false);
        } else {
            RefreshDayFiles();
            ShowAtCorner();
        }
        break;
    case HotkeyId::CtrlQ:
        ToggleNotesManager();
        break;
    case HotkeyId::NewStick:
        SendMessageA(hwnd(), WM_COMMAND, ID_NEW_STICK, 0);
        break;
    case HotkeyId::ScreenCapture:
        SendMessageA(hwnd(), WM_COMMAND, ID_SCREEN_CAPTURE, 0);
        break;
    case HotkeyId::None:
        break;
    }
}

void CMainDlg::SaveQuickNote(bool hideDictionary) {
    HWND edit = Item(IDC_QUICK_NOTE);
    int length = GetWindowTextLengthA(edit);
    if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), length + 1)));
        if (std::string afterWord; MatchReminderLine(text, &afterWord)) {
            if (SaveReminderLine(text, afterWord)) ClearAndHideQuickNote(hideDictionary);
            return;
        }
        if (!App().bLoggedIn) {
            // Nobody to write for: keep the text and ask who is there.
            SendMessageA(hwnd(), WM_COMMAND, ID_LOGIN, 0);
            return;
        }
        RefreshDayFiles();
        if (!AppendNote(files_.diaryFile, text)) {
            // Keep what the user typed; the box stays open so nothing is lost.
            MessageBeep(MB_ICONWARNING);
            return;
        }
        SyncAfterSave();
    }
    ClearAndHideQuickNote(hideDictionary);
}

void CMainDlg::ClearAndHideQuickNote(bool hideDictionary) {
    SetWindowTextA(Item(IDC_QUICK_NOTE), "");
    HideMain();
    if (hideDictionary) HideDictionary();
}

void CMainDlg::OpenLogin(int mode) {
    login_.SetUserChangeGuard([this] { return SettleUserWindows(); });
    login_.Open(hwnd(), mode);
}

void CMainDlg::HideMain() { ShowWindow(hwnd(), SW_HIDE); }

void CMainDlg::ShowAtCorner() {
    if (IsWindowVisible(hwnd())) return;
    // The bottom-right corner of the monitor the user works on, on its work area.
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    const uikit::Monitor m = uikit::MonitorAtCursor();
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const int left = m.bounds.right - w - 20, top = m.bounds.bottom - h - 50;
    const uikit::Rect at = uikit::FitInside(uikit::Rect{left, top, left + w, top + h}, m.work);
    SetWindowPos(hwnd(), HWND_TOPMOST, at.left, at.top, 0, 0, SWP_NOSIZE);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    HWND edit = Item(IDC_QUICK_NOTE);
    int end = GetWindowTextLengthA(edit);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
}

void CMainDlg::StartProgram(const std::string& path, const std::string& args) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    ShellExecuteA(nullptr, "open", path.c_str(), args.empty() ? nullptr : args.c_str(), nullptr, SW_SHOWNORMAL);
}

void CMainDlg::OpenPasswordBox() {
    // The box is a user's own: with nobody logged in there is none to open.
    if (!App().bLoggedIn || !App().szCurrentUser[0]) return;
    if (pwdBoxWnd_ && IsWindow(pwdBoxWnd_)) {
        PlacePasswordBox();
        return;
    }
    FreePasswordBoxLibrary();
    if (App().hPwdBoxLib) return;  // still busy going: not yet
    App().hPwdBoxLib = LoadLibraryA((ProgramFolder() + "PnPwdBox.dll").c_str());
    if (!App().hPwdBoxLib) return;
    const std::string user = App().szCurrentUser;
    using SetDbFn = int(__cdecl*)(const char*);
    using LaunchFn = HWND(__cdecl*)();
    if (auto setDb = reinterpret_cast<SetDbFn>(
            reinterpret_cast<void*>(GetProcAddress(App().hPwdBoxLib, "SetPBDBFile")))) {
        setDb((ProgramFolder() + App().szCurrentUser + "\\pnpb.dat").c_str());
    }
    if (auto launch = reinterpret_cast<LaunchFn>(
            reinterpret_cast<void*>(GetProcAddress(App().hPwdBoxLib, "LaunchPwdBox")))) {
        pwdBoxWnd_ = launch();
        // The first-use wizard runs its own loop: if the user logged out or
        // switched meanwhile, the box is not theirs who is logged in now.
        if (!App().bLoggedIn || user != App().szCurrentUser) {
            ClosePasswordBox();
            return;
        }
        if (pwdBoxWnd_ && IsWindow(pwdBoxWnd_)) PlacePasswordBox();
    }
}

void CMainDlg::ClosePasswordBox() {
    // The box belongs to the user who opened it. It goes with them: the
    // library destroys it (erasing its keys and what it showed) and is freed,
    // so nothing of it is there for whoever logs in next. When this comes from
    // within the box (its dialog or message box is up, and the tray menu was
    // used meanwhile), the library locks and hides the box at once and is
    // freed once its code has returned.
    if (App().hPwdBoxLib) {
        using DestroyFn = void(__cdecl*)();
        if (auto destroy = reinterpret_cast<DestroyFn>(
                reinterpret_cast<void*>(GetProcAddress(App().hPwdBoxLib, "PB_DestroyPwdBox"))))
            destroy();
    }
    if (pwdBoxWnd_ && IsWindow(pwdBoxWnd_) && !PasswordBoxInUse()) DestroyWindow(pwdBoxWnd_);
    pwdBoxWnd_ = nullptr;
    FreePasswordBoxLibrary();
}

bool CMainDlg::PasswordBoxInUse() const {
    if (!App().hPwdBoxLib) return false;
    using InUseFn = int(__cdecl*)();
    auto inUse = reinterpret_cast<InUseFn>(reinterpret_cast<void*>(GetProcAddress(App().hPwdBoxLib, "PB_InUse")));
    return inUse && inUse() != 0;
}

void CMainDlg::FreePasswordBoxLibrary() {
    if (!App().hPwdBoxLib || PasswordBoxInUse()) return;  // freed later, once it has returned
    FreeLibrary(App().hPwdBoxLib);
    App().hPwdBoxLib = nullptr;
}

void CMainDlg::PlacePasswordBox() {
    // 500 pixels from the right of the monitor the user works on, 100 from its
    // top, 450 wide and four fifths of its height, on its work area.
    const uikit::Monitor m = uikit::MonitorAtCursor();
    const int left = m.bounds.right - 500, top = m.bounds.top + 100;
    const uikit::Rect at =
        uikit::FitInside(uikit::Rect{left, top, left + 450, top + 4 * m.bounds.Height() / 5}, m.work);
    ShowWindow(pwdBoxWnd_, SW_RESTORE);
    SetWindowPos(pwdBoxWnd_, nullptr, at.left, at.top, at.Width(), at.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
}

void CMainDlg::SetTodayMenuText(bool shown) {
    if (!trayMenu_) return;
    std::string text = LoadResString(shown ? IDS_HIDE_TODAY : IDS_SHOW_TODAY);
    ModifyMenuA(trayMenu_.get(), ID_TODAY_WINDOW, MF_BYCOMMAND | MF_STRING, ID_TODAY_WINDOW, text.c_str());
}

}  // namespace pinora
