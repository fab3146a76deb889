// Where windows appear: on a monitor that exists, reachable with the mouse. The
// arithmetic is ScreenGeometry's; this is the thin layer that asks Windows for
// the monitors and moves the windows.
#pragma once
#include <windows.h>

#include "ScreenGeometry.h"

namespace uikit {

inline Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The monitors of the desktop now, the primary one first.
Monitors CurrentMonitors() noexcept;
// The primary monitor; the monitor under the cursor, where the user is working;
// the monitor a window is on (or nearest to).
Monitor PrimaryMonitor() noexcept;
Monitor MonitorAtCursor() noexcept;
Monitor MonitorOfWindow(HWND window) noexcept;

// Centres the window over `around` when that is a visible, not minimised window,
// otherwise over the work area of the cursor's monitor, and keeps it inside the
// work area of the monitor it lands on.
void CenterWindow(HWND window, HWND around) noexcept;

// Moves a window whose title strip and top-left corner are on no monitor's work
// area onto the nearest one, keeping its size where it fits. Minimised and
// maximised windows are left to Windows. True when it moved.
bool KeepOnScreen(HWND window) noexcept;

// A window that moves itself (a slide): KeepThreadWindowsOnScreen leaves it to
// its own code.
void SetPlacesItself(HWND window) noexcept;
// Called while such a window is destroyed (WM_DESTROY): the mark goes with it.
void ForgetPlacesItself(HWND window) noexcept;
// After the displays changed: every top-level window of the calling thread,
// shown or hidden, kept on screen, except those that place themselves and those
// without a size. Returns how many moved.
int KeepThreadWindowsOnScreen() noexcept;

}  // namespace uikit
