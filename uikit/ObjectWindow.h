// The window procedure of a window class whose windows each belong to an object:
// the object, passed as CreateWindowExA's last parameter, rides in GWLP_USERDATA
// from WM_NCCREATE to WM_NCDESTROY, and no exception leaves the procedure.
//
// T provides, to this template as a friend:
//   void AttachWindow(HWND)        on WM_NCCREATE
//   void DetachWindow()            on WM_NCDESTROY, after which the window is gone
//   LRESULT OnMessage(UINT, WPARAM, LPARAM)   every message in between
#pragma once
#include <windows.h>

namespace uikit {

template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* created = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created) created->AttachWindow(hwnd);
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->DetachWindow();
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    try {
        return self->OnMessage(msg, wp, lp);
    } catch (...) {
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// Registers the window class of T's windows once per process, with the arrow
// cursor; true when the class exists afterwards.
template <typename T>
bool RegisterObjectWindowClass(const char* name, UINT style = 0) noexcept {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, name, &wc)) return true;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = ObjectWindowProc<T>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace uikit
