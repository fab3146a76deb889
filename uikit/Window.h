// Base class for the program's own window classes (not dialogs): the object
// pointer rides in GWLP_USERDATA from WM_NCCREATE on, messages go to OnMessage,
// and no exception leaves the window procedure. Classes belong to the module
// this code is linked into (the program, or a library such as PnPwdBox.dll,
// which unregisters them before it is unloaded).
#pragma once
#include <windows.h>

namespace uikit {

// The module (library or program) this toolkit was linked into.
HINSTANCE ThisModule() noexcept;

// How many messages the windows and dialogs of this module are handling right
// now, one inside another, with the entry points that run modal loops of
// their own (HandlerScope). Above zero, this module's code is on the stack (a
// modal dialog, a message box): a library must not be unloaded, nor its
// windows' objects deleted, until it is back to zero.
int HandlersRunning() noexcept;
class HandlerScope {
public:
    HandlerScope() noexcept;
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const noexcept { return hwnd_; }
    bool IsAlive() const noexcept { return hwnd_ != nullptr && IsWindow(hwnd_); }
    void Destroy() noexcept;

    // Registers a window class of this module whose procedure reaches OnMessage,
    // unless it is registered already. A class left behind by an earlier load of
    // the module at another address is registered again. False when it cannot
    // be registered.
    static bool RegisterWindowClass(const char* className, UINT classStyle, HBRUSH background) noexcept;
    // Removes every class RegisterWindowClass registered; windows of them must
    // be gone. For a library about to be unloaded.
    static void UnregisterWindowClasses() noexcept;

protected:
    // Creates the window of a class registered with RegisterWindowClass.
    HWND CreateWindowOf(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int w,
                        int h, HWND parent, HMENU menuOrId) noexcept;
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    // After WM_NCDESTROY, with hwnd() already null: a window may delete itself here.
    virtual void OnFinalMessage() {}
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) noexcept { return DefWindowProcA(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace uikit
