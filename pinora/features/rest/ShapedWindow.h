// What the rest reminder's two shaped windows share: a window region that leaves
// out every pixel of a key colour of a bitmap, the class registration, and the
// window procedure that hands messages to the window's object.
#pragma once
#include <windows.h>

namespace pinora {

// Magenta marks what is not part of the window.
constexpr COLORREF kTransparentKey = RGB(255, 0, 255);

// A region of the bitmap's opaque pixels (in its own coordinates), or nullptr
// when the bitmap cannot be read. The caller owns the region.
HRGN RegionWithoutColour(HBITMAP bitmap, COLORREF key);

// Width and height of a bitmap; {0, 0} for none.
SIZE BitmapSize(HBITMAP bitmap);

// Registers a window class of this module once; false when that fails.
bool RegisterWindowClassOnce(const char* name, WNDPROC proc, UINT style, LPCSTR cursor);

// Height in logical units of a font of the given size in tenths of a point.
int FontHeightFromTenths(int tenthsOfPoint);

// Window procedure for a window whose object T is handed over as the creation
// parameter: the object rides in GWLP_USERDATA until WM_NCDESTROY and gets every
// message through T::OnMessage (its own DefWindowProc included). T declares this
// a friend and keeps its handle in hwnd_. No exception leaves the procedure.
template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    try {
        LRESULT result = self->OnMessage(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            self->hwnd_ = nullptr;
            result = DefWindowProcA(hwnd, msg, wp, lp);
        }
        return result;
    } catch (...) {
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace pinora
