#include "MainDlg.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "App.h"
#include "BrowserPopup.h"
#include "DoRoRazIds.h"
#include "DropTarget_win.h"
#include "ResourceLibrary.h"
#include "Catalogues_win.h"
#include "Settings.h"
#include "SettingsDlg.h"
#include "Skins.h"
#include "StickManager.h"
#include "StoredNumber.h"
#include "StickWindows.h"
#include "SyncController.h"
#include "Users.h"
#include "WindowPlacement.h"

namespace pinora {

CMainDlg::CMainDlg() = default;

CMainDlg::~CMainDlg() {
    // Destroy while the derived object still exists, so WM_DESTROY runs our cleanup.
    Destroy();
}

HWND CMainDlg::CreateMain() {
    HINSTANCE res = ResLib();
    if (!res) return nullptr;
    App().pMainDlg = this;
    HWND h = Create(res, IDD_MAIN, nullptr);
    if (!h) App().pMainDlg = nullptr;
    return h;
}

INT_PTR CMainDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (taskbarCreatedMsg_ != 0 && msg == taskbarCreatedMsg_) {
        // Explorer restarted: the icon it knew is gone.
        if (initCompleted_) AddTrayIcon();
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_HOTKEY:
        OnHotkey(wp);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_MOVING:
        OnMoving(*reinterpret_cast<const RECT*>(lp));
        return FALSE;
    case WM_TIMER:
        if (wp == kTickTimer) OnTick();
        else if (sync_ && (wp == kSyncTimer || wp == kSyncSoonTimer)) sync_->OnTimer(wp);
        return TRUE;
    case MWM_SYNCCALL:
        if (sync_) sync_->OnCall(wp, lp);
        return TRUE;
    case MWM_SYNCDONE:
        if (sync_) sync_->OnDone();
        return TRUE;
    case WM_RBUTTONUP:
        OnTrayNotify(kTrayIconId, WM_LBUTTONDOWN);
        return TRUE;
    case WM_CLOSE:
        OnCommand(IDCANCEL, 0);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        OnSessionChange(wp);
        return TRUE;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(wp);
        return Result(TRUE);
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:
        KeepWindowsOnScreen();
        return TRUE;
    case WM_SETTINGCHANGE:
        if (wp == SPI_SETWORKAREA) KeepWindowsOnScreen();  // the taskbar moved or grew
        return FALSE;
    case MWM_TRAYNOTIFY:
        OnTrayNotify(wp, lp);
        return TRUE;
    case MWM_ISLOGGEDIN:
        return Result(App().bLoggedIn);
    case MWM_STARTTIMER:
        StartTickTimer();
        return TRUE;
    case MWM_CLOSEPOPUPS:
        CloseNotesManager(true);
        CloseCalendar();  // it showed the user who was logged in before
        SendMessageA(hwnd(), MWM_STICKSCHANGED, 0, 0);
        StartTickTimer();
        return TRUE;
    case MWM_STICKSCHANGED:
        Sticks().RebuildToday();
        SyncAfterSave();
        return TRUE;
    case MWM_GETSTICKEDITOR:
        return Result(reinterpret_cast<LRESULT>(Sticks().EditorWindow()));
    case MWM_TIPHELP:
        ShellExecuteA(nullptr, "open", kHelpPage, nullptr, nullptr, SW_SHOWNORMAL);
        rest_.CloseNotifier();
        return TRUE;
    case MWM_HOTKEYDIALOG:
        OpenHotkeyDialog(static_cast<int>(wp));
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CMainDlg::OnInitDialog() {
    HWND edit = Item(IDC_QUICK_NOTE);
    InitCommandBox();

    // Without the drop target the window stays a bare hidden box: no icon, no hotkeys.
    dropTargetRegistered_ = RegisterQuickNoteDropTarget(edit);
    if (!dropTargetRegistered_) return TRUE;

    RebuildWinkCatalogue();
    WriteFirstRunSettings(DefaultWinkPath());

    StartActivityTracking();
    InitSync();

    ApplyCurrentSkin(hwnd());

    if (tryAutoLogin()) {
        App().bLoggedIn = 1;
        OutputDebugStringA("Pinora: logged in\n");
        StartTickTimer();
    } else {
        OpenLogin(0);
    }

    RefreshDayFiles();

    hotkeys_.Register(hwnd());

    taskbarCreatedMsg_ = RegisterWindowMessageA("TaskbarCreated");
    AddTrayIcon();

    trayMenu_.reset(LoadMenuA(ResLib(), MAKEINTRESOURCEA(IDR_TRAYMENU)));
    // The sticks windows borrow the menu (the today window's display-mode submenu).
    sticks_ = std::make_unique<StickWindows>(hwnd(), trayMenu_.get());

    CenterOverWorkArea();
    bigIcon_ = static_cast<HICON>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDI_PINORA), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDI_PINORA), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    char showToday[2] = {};
    ReadSetting("SETTINGS", "auto_start_dk", showToday, sizeof showToday);
    if (showToday[0] == '1' && showToday[1] == '\0' && App().bLoggedIn) {
        SetTodayMenuText(true);
        SendMessageA(hwnd(), WM_COMMAND, ID_TODAY_WINDOW, 0);
    } else {
        SetTodayMenuText(false);
    }

    SetWindowLongPtrA(hwnd(), GWL_EXSTYLE, GetWindowLongPtrA(hwnd(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ApplyNoteFont();
    initCompleted_ = true;
    return TRUE;
}

void CMainDlg::OnDestroy() {
    StopTickTimer();
    // The sync's worker is ended first: it may still ask this window for the tables.
    sync_.reset();
    calendar_.reset();
    settings_.reset();
    sticks_.reset();  // its windows borrow the tray menu
    dictionary_.reset();
    DeleteTrayIcon();
    login_.Destroy();
    notes_.Destroy();
    hotkeys_.Release();
    trayMenu_.reset();
    StopActivityTracking();
    // The animation player's temporary file lives in the temp folder, not the drive root.
    char temp[MAX_PATH + 1] = {};
    if (GetTempPathA(MAX_PATH, temp)) DeleteFileA((std::string(temp) + "Temp1.swf").c_str());
    ClosePasswordBox();
    noteFont_.reset();
    if (dropTargetRegistered_) RevokeQuickNoteDropTarget(Item(IDC_QUICK_NOTE));
    dropTargetRegistered_ = false;
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    bigIcon_ = smallIcon_ = nullptr;
    if (App().pMainDlg == this) App().pMainDlg = nullptr;
    initCompleted_ = false;
}

void CMainDlg::OnTick() {
    // Each tick runs the alarm check, then the rest check. A table that cannot be
    // read stops the timer, before its message box, until the timer is started again.
    Sticks().RunAlarmCheck([this] { StopTickTimer(); });
    rest_.Check();
}

StickWindows& CMainDlg::Sticks() {
    if (!sticks_) sticks_ = std::make_unique<StickWindows>(hwnd(), trayMenu_.get());
    return *sticks_;
}

void CMainDlg::StartTickTimer() {
    if (!App().bLoggedIn) return;
    timerRunning_ = SetTimer(hwnd(), kTickTimer, kTickPeriodMs, nullptr) != 0;
    // Somebody logged in (or back): the sync follows who it is.
    UpdateSync();
}

void CMainDlg::StopTickTimer() {
    KillTimer(hwnd(), kTickTimer);
    timerRunning_ = false;
}

void CMainDlg::RefreshDayFiles() {
    std::string user = App().bLoggedIn ? App().szCurrentUser : "";
    files_ = MakeDayFiles(CurrentClock().Now(), ProgramFolder(), user);
    if (!user.empty()) {
        CreateDirectoryA((ProgramFolder() + user).c_str(), nullptr);
        CreateDirectoryA(files_.userDataDir.c_str(), nullptr);
    }
}

void CMainDlg::ApplyNoteFont() {
    // Also called by the settings dialog while the box is in use: the box gets its
    // new font before the old one is deleted.
    HWND edit = Item(IDC_QUICK_NOTE);
    int height = SettingNumber(ReadSetting("SETTINGS", "note_font", 12));
    if (height < 1) {
        // The standard font is the window's own.
        if (noteFont_) SendMessageA(edit, WM_SETFONT, SendMessageA(hwnd(), WM_GETFONT, 0, 0), TRUE);
        noteFont_.reset();
        return;
    }
    uikit::UniqueFont font(CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    if (!font) return;
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    noteFont_ = std::move(font);
}

void CMainDlg::CenterOverWorkArea() { uikit::CenterWindow(hwnd(), nullptr); }

}  // namespace pinora
