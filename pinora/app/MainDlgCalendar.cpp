// Command 32776: the stick manager with its month calendar, created once and kept
// until log-out.
#include "App.h"
#include "MainDlg.h"
#include "StickManager.h"
#include "StickWindows.h"

namespace pinora {

void CMainDlg::OpenCalendar() {
    if (!App().bLoggedIn) return;
    if (!calendar_) calendar_ = std::make_unique<CStickManagerWnd>(UserSticksFolder);
    calendar_->Open(hwnd(), Sticks().EditorWindow());
}

void CMainDlg::CloseCalendar() {
    if (calendar_) calendar_->Destroy();
}

HWND CMainDlg::CalendarWindow() const { return calendar_ && calendar_->IsAlive() ? calendar_->hwnd() : nullptr; }

}  // namespace pinora
