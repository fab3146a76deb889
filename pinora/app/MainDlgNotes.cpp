// The main window's side of the notes manager: opening it on the user's diary,
// Ctrl+Q, and closing it without losing an edited note.
#include <windows.h>

#include "App.h"
#include "DoRoRazIds.h"
#include "FilledText.h"
#include "MainDlg.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"

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

bool CMainDlg::SettleUserWindows() {
    // The manager is settled whether it is shown or hidden (Ctrl+Q, OK and Close
    // only hide it): an edited note is saved or discarded for the user who wrote
    // it, before anybody else can open the manager.
    if (notes_.IsWindowAlive() && notes_.HasUnsavedEdits()) notes_.ShowInFront();
    if (!CloseNotesManager(false)) {
        notes_.ShowInFront();
        const std::string text =
            uikit::FillByPosition(LoadResString(IDS_STAYS_LOGGED_IN, 512), {App().szCurrentUser});
        uikit::ShowMessageBox(notes_.hwnd(), text.c_str(), LoadResString(IDS_CAPTION).c_str(),
                              MB_OK | MB_ICONWARNING);
        return false;
    }
    CloseCalendar();  // it shows the user's sticks
    return true;
}

}  // namespace pinora
