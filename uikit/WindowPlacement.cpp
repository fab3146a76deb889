#include "WindowPlacement.h"

namespace uikit {
namespace {

constexpr const char* kPlacesItselfProp = "Pinora places itself";

Monitor MonitorFrom(HMONITOR handle) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (handle && GetMonitorInfoA(handle, &info)) return Monitor{ToRect(info.rcMonitor), ToRect(info.rcWork)};
    // No monitor API answer: the primary screen as the old metrics give it.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return Monitor{Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, ToRect(work)};
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) noexcept {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(handle, &info)) return TRUE;
    auto* monitors = reinterpret_cast<Monitors*>(list);
    const Monitor m{ToRect(info.rcMonitor), ToRect(info.rcWork)};
    try {
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            monitors->insert(monitors->begin(), m);
        else
            monitors->push_back(m);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK KeepOneOnScreen(HWND window, LPARAM moved) noexcept {
    if (GetPropA(window, kPlacesItselfProp)) return TRUE;
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "tooltips_class32") == 0) return TRUE;  // placed at the cursor when shown
    RECT rc;
    if (!GetWindowRect(window, &rc) || rc.right <= rc.left || rc.bottom <= rc.top) return TRUE;
    if (KeepOnScreen(window)) ++*reinterpret_cast<int*>(moved);
    return TRUE;
}

}  // namespace

Monitors CurrentMonitors() noexcept {
    Monitors monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        try {
            monitors.push_back(PrimaryMonitor());
        } catch (...) {
        }
    }
    return monitors;
}

Monitor PrimaryMonitor() noexcept { return MonitorFrom(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

Monitor MonitorAtCursor() noexcept {
    POINT cursor = {};
    if (!GetCursorPos(&cursor)) return PrimaryMonitor();
    return MonitorFrom(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST));
}

Monitor MonitorOfWindow(HWND window) noexcept {
    return MonitorFrom(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

void CenterWindow(HWND window, HWND around) noexcept {
    RECT rc, centreOn;
    GetWindowRect(window, &rc);
    const bool overWindow = around && IsWindowVisible(around) && !IsIconic(around) && GetWindowRect(around, &centreOn);
    const Monitor monitor = overWindow ? MonitorOfWindow(around) : MonitorAtCursor();
    if (!overWindow) centreOn = ToRECT(monitor.work);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const Rect centred{centreOn.left + (centreOn.right - centreOn.left - w) / 2,
                       centreOn.top + (centreOn.bottom - centreOn.top - h) / 2, 0, 0};
    // Inside the work area of the monitor it is centred on; a dialog larger than
    // that keeps its size with its top-left corner on the work area.
    Rect placed = FitInside(Rect{centred.left, centred.top, centred.left + w, centred.top + h}, monitor.work);
    if (w > monitor.work.Width()) placed.left = monitor.work.left;
    if (h > monitor.work.Height()) placed.top = monitor.work.top;
    SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool KeepOnScreen(HWND window) noexcept {
    if (!window || !IsWindow(window) || IsIconic(window) || IsZoomed(window)) return false;
    RECT rc;
    if (!GetWindowRect(window, &rc)) return false;
    const Rect now = ToRect(rc);
    const Rect placed = PlaceOnScreen(now, CurrentMonitors());
    if (placed == now) return false;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (placed.Width() == now.Width() && placed.Height() == now.Height()) flags |= SWP_NOSIZE;
    SetWindowPos(window, nullptr, placed.left, placed.top, placed.Width(), placed.Height(), flags);
    return true;
}

void SetPlacesItself(HWND window) noexcept {
    if (window) SetPropA(window, kPlacesItselfProp, reinterpret_cast<HANDLE>(1));
}

void ForgetPlacesItself(HWND window) noexcept {
    if (window) RemovePropA(window, kPlacesItselfProp);
}

int KeepThreadWindowsOnScreen() noexcept {
    int moved = 0;
    EnumThreadWindows(GetCurrentThreadId(), KeepOneOnScreen, reinterpret_cast<LPARAM>(&moved));
    return moved;
}

}  // namespace uikit
