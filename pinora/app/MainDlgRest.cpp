// The main window's side of activity tracking: the input hooks of pnhook.dll,
// the rest reminder on timer 10, and the bitmap message window that alarms show.
#include "AlarmEffects.h"
#include "App.h"
#include "MainDlg.h"
#include "pnhook.h"

namespace pinora {
namespace {

// The alarm display's way to the message window (a plain function pointer).
void ShowAlarmDrawingOnMain(const char* text) {
    if (App().pMainDlg) App().pMainDlg->ShowBitmapMessage(text);
}

}  // namespace

std::uint32_t CMainDlg::LastInputTick() { return HK_GetLastActiveTick(); }

void CMainDlg::StartActivityTracking() {
    hooksInstalled_ = installhook(hwnd()) != 0;
    OutputDebugStringA(hooksInstalled_ ? "Pinora: input hooks installed\n" : "Pinora: input hooks not installed\n");
    rest_.SetOwner(hwnd());
    rest_.StartPeriod();
    SetAlarmDrawing(ShowAlarmDrawingOnMain);
}

void CMainDlg::StopActivityTracking() {
    SetAlarmDrawing(nullptr);
    rest_.CloseWindows();
    if (hooksInstalled_) removehook();
    hooksInstalled_ = false;
}

void CMainDlg::ShowBitmapMessage(const char* text) { rest_.ShowBitmapMessage(text ? text : ""); }

}  // namespace pinora
