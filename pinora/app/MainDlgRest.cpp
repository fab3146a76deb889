// The main window's side of activity tracking: the input hooks of pnhook.dll,
// the rest reminder on timer 10, the session and power notices that tell it the
// user is away, and the bitmap message window that alarms show.
#include <windows.h>
#include <wtsapi32.h>

#include "AlarmEffects.h"
#include "App.h"
#include "MainDlg.h"
#include "StickWindows.h"
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
    // Told when the session is locked or switched away, never asked in between.
    sessionNotices_ = WTSRegisterSessionNotification(hwnd(), NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void CMainDlg::StopActivityTracking() {
    if (sessionNotices_) WTSUnRegisterSessionNotification(hwnd());
    sessionNotices_ = false;
    SetAlarmDrawing(nullptr);
    rest_.CloseWindows();
    if (hooksInstalled_) removehook();
    hooksInstalled_ = false;
}

void CMainDlg::OnSessionChange(WPARAM change) {
    switch (change) {
    case WTS_SESSION_LOCK:
        OutputDebugStringA("Pinora: session locked\n");
        rest_.SetAway(RestPeriod::kLocked, true);
        break;
    case WTS_SESSION_UNLOCK:
        OutputDebugStringA("Pinora: session unlocked\n");
        rest_.SetAway(RestPeriod::kLocked, false);
        break;
    // Another user's session on the screen (fast user switching), or this one
    // left for a remote one: away as much as locked.
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
        rest_.SetAway(RestPeriod::kSwitchedAway, true);
        break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
        rest_.SetAway(RestPeriod::kSwitchedAway, false);
        break;
    default:
        break;
    }
}

void CMainDlg::OnPowerBroadcast(WPARAM event) {
    switch (event) {
    case PBT_APMSUSPEND:
        asleep_ = true;
        asleepSince_ = CurrentClock().Now();
        rest_.SetAway(RestPeriod::kAsleep, true);
        break;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
        // Both come after a sleep the user woke from; the first one counts.
        if (!asleep_) break;
        asleep_ = false;
        rest_.SetAway(RestPeriod::kAsleep, false);
        // What the sleep made the passes miss, at once and once (not at the
        // next tick, which may be half a minute away).
        if (App().bLoggedIn && timerRunning_) Sticks().RunAlarmCheck([this] { StopTickTimer(); }, &asleepSince_);
        break;
    default:
        break;
    }
}

void CMainDlg::ShowBitmapMessage(const char* text) { rest_.ShowBitmapMessage(text ? text : ""); }

}  // namespace pinora
