#include "WindowPlacement.h"

namespace uikit {

void CenterWindow(HWND window, HWND around) noexcept {
    RECT work, rc, centreOn;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &rc);
    if (!around || !IsWindowVisible(around) || IsIconic(around) || !GetWindowRect(around, &centreOn))
        centreOn = work;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = centreOn.left + (centreOn.right - centreOn.left - w) / 2;
    int y = centreOn.top + (centreOn.bottom - centreOn.top - h) / 2;
    if (x + w > work.right) x = work.right - w;
    if (y + h > work.bottom) y = work.bottom - h;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace uikit
