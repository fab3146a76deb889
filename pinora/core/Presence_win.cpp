#include "Presence.h"

#include <windows.h>
#include <shellapi.h>

#include "Settings.h"
#include "WindowPlacement.h"

namespace pinora {
namespace {

PresenceProbe g_probe = nullptr;

// The shell's own windows stand behind everything: never "full-screen work".
bool IsDesktopWindow(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, "Progman") == 0 || lstrcmpiA(cls, "WorkerW") == 0;
}

bool ForegroundCoversItsMonitor() {
    HWND window = GetForegroundWindow();
    if (!window || IsDesktopWindow(window) || !IsWindowVisible(window) || IsIconic(window)) return false;
    // A maximised window with its title bar is everyday work, even where an
    // auto-hidden taskbar lets it reach the monitor's edges.
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (IsZoomed(window) && (style & WS_CAPTION) == WS_CAPTION) return false;
    RECT rc;
    if (!GetWindowRect(window, &rc)) return false;
    return uikit::CoversMonitor(uikit::ToRect(rc), uikit::MonitorOfWindow(window).bounds);
}

Presence ShellPresence() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    if (FAILED(SHQueryUserNotificationState(&state))) return Presence::Here;
    switch (static_cast<int>(state)) {
    case QUNS_NOT_PRESENT:
        return Presence::Away;
    case QUNS_BUSY:
    case QUNS_RUNNING_D3D_FULL_SCREEN:
    case QUNS_PRESENTATION_MODE:
    case QUNS_QUIET_TIME:
    case 7:  // QUNS_APP: a full-screen app of the Windows 8 start screen
        return Presence::Busy;
    default:
        return Presence::Here;
    }
}

bool ScreenSaverRunning() {
    BOOL running = FALSE;
    return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}

}  // namespace

bool QuietWhenBusy() { return ReadSetting("ALERTS", "quiet_when_busy", 2) != "0"; }

Presence CurrentPresence() {
    if (g_probe) return g_probe();
    if (ScreenSaverRunning()) return Presence::Away;
    const Presence shell = ShellPresence();
    if (shell != Presence::Here) return shell;
    return ForegroundCoversItsMonitor() ? Presence::Busy : Presence::Here;
}

void SetPresenceProbe(PresenceProbe probe) { g_probe = probe; }

}  // namespace pinora
