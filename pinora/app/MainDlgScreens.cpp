// The main window's answer to a change of displays: a monitor removed or added,
// another resolution, the taskbar moved. Every window of the program is put back
// on a monitor that is there; pop-ups and the notifier, which move themselves,
// are asked to.
#include "MainDlg.h"
#include "StickWindows.h"
#include "WindowPlacement.h"

namespace pinora {

void CMainDlg::KeepWindowsOnScreen() {
    const int moved = uikit::KeepThreadWindowsOnScreen();
    if (sticks_) sticks_->KeepOnScreen();
    rest_.KeepOnScreen();
    if (moved > 0) OutputDebugStringA("Pinora: windows moved onto the screen\n");
}

}  // namespace pinora
