// The notification icon and its menu.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "App.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "WindowText.h"

namespace pinora {

bool CMainDlg::AddTrayIcon() {
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd();
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = MWM_TRAYNOTIFY;
    nid.hIcon = static_cast<HICON>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDI_PINORA), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    std::strcpy(nid.szTip, "Pinora");
    trayAdded_ = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
    if (nid.hIcon) DestroyIcon(nid.hIcon);
    OutputDebugStringA(trayAdded_ ? "Pinora: notification icon added\n" : "Pinora: notification icon not added\n");
    return trayAdded_;
}

void CMainDlg::DeleteTrayIcon() {
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd();
    nid.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &nid);
    trayAdded_ = false;
}

void CMainDlg::ShowTrayBalloon(const std::string& text) {
    lastBalloon_ = text;
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd();
    nid.uID = kTrayIconId;
    uikit::SetBalloonText(nid, LoadResString(IDS_REMINDER_TITLE), text);
    nid.dwInfoFlags = NIIF_INFO;
    nid.uTimeout = 10000;
    const bool shown = trayAdded_ && Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    OutputDebugStringA(("Pinora: balloon " + std::string(shown ? "shown: " : "not shown: ") + text + "\n").c_str());
}

void CMainDlg::OnTrayNotify(WPARAM iconId, LPARAM mouseMsg) {
    switch (static_cast<UINT>(mouseMsg)) {
    case WM_LBUTTONDBLCLK:
        ShowWindow(hwnd(), SW_SHOW);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (iconId == kTrayIconId) ShowTrayMenu();
        break;
    default:
        break;
    }
}

void CMainDlg::ShowTrayMenu() {
    if (menuOpen_) {
        ++trayMenuRefused_;
        return;
    }
    if (!trayMenu_) return;
    HMENU menu = GetSubMenu(trayMenu_.get(), App().bLoggedIn ? TRAYMENU_LOGGED_IN : TRAYMENU_LOGGED_OUT);
    if (!menu) return;
    SetMenuItemHotkeyText(menu, ID_SHOW_MAIN, HotkeyTextFromSettings("hotkey"));
    SetMenuItemHotkeyText(menu, ID_SCREEN_CAPTURE, HotkeyTextFromSettings("hotkey_screen_capture"));
    // The fixed hotkeys, named in the keyboard's own words like the others.
    SetMenuItemHotkeyText(menu, ID_NEW_STICK, HotkeyText(kNewStickHotkey));
    SetMenuItemHotkeyText(menu, ID_NOTES_MANAGER, HotkeyText(kNotesManagerHotkey));

    menuOpen_ = true;
    ++trayMenuShown_;
    POINT pt;
    GetCursorPos(&pt);
    SetForegroundWindow(hwnd());
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd(), nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(hwnd(), WM_NULL, 0, 0);
    menuOpen_ = false;
}

void CMainDlg::SetMenuItemHotkeyText(HMENU menu, UINT id, const std::string& hotkey) {
    char text[256] = {};
    if (GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND) <= 0) return;
    if (hotkey.empty()) return;
    if (char* tab = std::strchr(text, '\t')) *tab = '\0';
    std::string label = std::string(text) + "\t" + hotkey;
    ModifyMenuA(menu, id, MF_BYCOMMAND | MF_STRING, id, label.c_str());
}

}  // namespace pinora
