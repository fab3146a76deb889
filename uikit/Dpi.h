// The programs declare themselves DPI-aware in their manifest, so Windows no
// longer stretches what they draw: sizes given in the pixels of a 96-DPI screen
// (fonts made in pixels, windows drawn by hand) are scaled here to the screen's.
#pragma once
#include <windows.h>

namespace uikit {

constexpr int kBaseDpi = 96;

// The system DPI (the one a system-aware program gets), 96 when unknown.
inline int SystemDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return kBaseDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

// A length in 96-DPI pixels as pixels at dpi, and back, rounded to the nearest.
inline int ScaleToDpi(int length, int dpi) { return MulDiv(length, dpi, kBaseDpi); }
inline int ScaleFromDpi(int pixels, int dpi) { return dpi > 0 ? MulDiv(pixels, kBaseDpi, dpi) : pixels; }

}  // namespace uikit
