// The hotkey dialog, opened by the command box's "setkey" and the settings
// page's buttons.
#include "HotkeyDialog.h"
#include "MainDlg.h"

namespace pinora {

void CMainDlg::OpenHotkeyDialog(int mode) {
    // Owned by whichever of our windows is active (the settings page, the command box).
    HWND owner = GetActiveWindow();
    CHotkeyDlg::Run(owner ? owner : hwnd(), mode, hotkeys_);
}

}  // namespace pinora
