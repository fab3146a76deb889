// The programs declare themselves DPI-aware in their manifest, so Windows no
// longer stretches what they draw: sizes given in the pixels of a 96-DPI screen
// (fonts made in pixels, windows drawn by hand) are scaled here to the screen's.
#pragma once

namespace uikit {

constexpr int kBaseDpi = 96;

// The system DPI (the one a system-aware program gets), 96 when unknown.
int SystemDpi();

// A length in 96-DPI pixels as pixels at dpi, and back, rounded to the nearest.
int ScaleToDpi(int length, int dpi);
int ScaleFromDpi(int pixels, int dpi);

}  // namespace uikit
