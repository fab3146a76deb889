#include "Dpi.h"

#include <windows.h>

namespace uikit {

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return kBaseDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int ScaleToDpi(int length, int dpi) { return MulDiv(length, dpi, kBaseDpi); }

int ScaleFromDpi(int pixels, int dpi) { return dpi > 0 ? MulDiv(pixels, kBaseDpi, dpi) : pixels; }

}  // namespace uikit
