#include "CustomWindow.h"

#include <string>
#include <vector>

namespace uikit {
namespace {

std::vector<std::string>& RegisteredClasses() {
    static std::vector<std::string> names;
    return names;
}

bool EnsureClass(const char* name, WNDPROC proc, HBRUSH background) {
    HINSTANCE module = ThisModule();
    WNDCLASSEXA existing = {sizeof existing};
    if (GetClassInfoExA(module, name, &existing)) {
        if (existing.lpfnWndProc == proc) return true;
        // Left behind by an earlier load of this module at another address.
        UnregisterClassA(name, module);
    }
    WNDCLASSEXA wc = {sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!RegisterClassExA(&wc)) return false;
    RegisteredClasses().push_back(name);
    return true;
}

}  // namespace

HINSTANCE ThisModule() noexcept {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &self);
    return self;
}

CustomWindow::~CustomWindow() {
    // The derived part is gone: the window must not reach WindowProc again.
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void CustomWindow::DestroyWin() noexcept {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

HWND CustomWindow::CreateWin(const char* className, DWORD exStyle, const char* title, DWORD style, int x, int y,
                             int width, int height, HWND parent, HMENU menuOrId, HBRUSH background) noexcept {
    if (IsWindowAlive()) return hwnd_;
    try {
        if (!EnsureClass(className, Proc, background)) return nullptr;
    } catch (...) {
        return nullptr;
    }
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId, ThisModule(),
                           this);
}

void CustomWindow::UnregisterClasses() noexcept {
    for (const std::string& name : RegisteredClasses()) UnregisterClassA(name.c_str(), ThisModule());
    RegisteredClasses().clear();
}

LRESULT CALLBACK CustomWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    CustomWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<CustomWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<CustomWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);

    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (...) {
        result = DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        try {
            self->OnFinalMessage();
        } catch (...) {
        }
    }
    return result;
}

}  // namespace uikit
