// A static text (SS_NOTIFY) that looks and acts like a web link: blue and
// underlined, a hand over it, and the owner told of clicks through STN_CLICKED
// as with any static. The owner answers WM_CTLCOLORSTATIC with
// ColorLinkLabel for the colour.
#pragma once
#include <windows.h>

namespace uikit {

// Gives the static its underlined font and hand cursor. The font lives as long
// as the control.
void MakeLinkLabel(HWND label) noexcept;
// For WM_CTLCOLORSTATIC: colours a link label's text and returns the brush,
// or returns nullptr when `control` is not one.
HBRUSH ColorLinkLabel(HWND control, HDC dc) noexcept;

}  // namespace uikit
