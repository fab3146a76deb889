// Where a dialog appears when it opens.
#pragma once
#include <windows.h>

namespace uikit {

// Centres the window over `around` when that is a visible, not minimised window,
// otherwise over the work area, and keeps it inside the work area.
void CenterWindow(HWND window, HWND around) noexcept;

}  // namespace uikit
