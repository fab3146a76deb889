// The main window's side of the notes manager: opening it on the user's diary,
// Ctrl+Q, and closing it without losing an edited note.
#include <windows.h>

#include "App.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"

namespace pinora {

void CMainDlg::OpenNotesManager() {
    // Without a user there is no diary to show: ask who is there instead.
    if (!App().bLoggedIn) {
        OpenLogin(0);
        return;
    }
    RefreshDayFiles();
    if (!notes_.CreateManager(hwnd())) return;
    notes_.SetDataFolder(files_.userDataDir);
    notes_.ShowInFront();
}

void CMainDlg::ToggleNotesManager() {
    if (notes_.IsWindowAlive() && IsWindowVisible(notes_.hwnd()))
        ShowWindow(notes_.hwnd(), SW_HIDE);
    else
        SendMessageA(hwnd(), WM_COMMAND, ID_NOTES_MANAGER, 0);
}

bool CMainDlg::CloseNotesManager(bool onlyIfVisible) {
    if (!notes_.IsWindowAlive()) return true;
    if (onlyIfVisible && !IsWindowVisible(notes_.hwnd())) return true;
    if (!notes_.SaveOrDiscardEdits()) return false;
    notes_.Destroy();
    return true;
}

}  // namespace pinora
