#include "Window.h"

#include <string>
#include <vector>

namespace uikit {
namespace {

std::vector<std::string>& RegisteredClasses() {
    static std::vector<std::string> names;
    return names;
}

}  // namespace

HINSTANCE ThisModule() noexcept {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &self);
    return self;
}

Window::~Window() {
    // The derived part is gone by now, so the window must not reach OnMessage again.
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::Destroy() noexcept {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

bool Window::RegisterWindowClass(const char* className, UINT classStyle, HBRUSH background) noexcept {
    HINSTANCE module = ThisModule();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(module, className, &wc)) {
        if (wc.lpfnWndProc == Proc) return true;
        UnregisterClassA(className, module);  // its procedure is gone with an earlier load
    }
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = Proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) return false;
    try {
        RegisteredClasses().push_back(className);
    } catch (...) {
    }
    return true;
}

void Window::UnregisterWindowClasses() noexcept {
    for (const std::string& name : RegisteredClasses()) UnregisterClassA(name.c_str(), ThisModule());
    RegisteredClasses().clear();
}

HWND Window::CreateWindowOf(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                            int w, int h, HWND parent, HMENU menuOrId) noexcept {
    if (IsAlive()) return hwnd_;
    CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent, menuOrId, ThisModule(), this);
    return hwnd_;
}

namespace {
int g_handlersRunning = 0;  // the window thread's only
}  // namespace

int HandlersRunning() noexcept { return g_handlersRunning; }
HandlerScope::HandlerScope() noexcept { ++g_handlersRunning; }
HandlerScope::~HandlerScope() { --g_handlersRunning; }

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    HandlerScope running;
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->OnMessage(msg, wp, lp);
    } catch (...) {
        result = DefWindowProcA(hwnd, msg, wp, lp);  // a handler that failed leaves the default behaviour
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
