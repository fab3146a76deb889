// Base class for the program's own window classes (not dialogs): the object
// pointer rides in GWLP_USERDATA from WM_NCCREATE on, messages go to OnMessage,
// and no exception leaves the window procedure.
#pragma once
#include <windows.h>

namespace uikit {

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
    // unless it is registered already. False when it cannot be registered.
    static bool RegisterWindowClass(const char* className, UINT classStyle, HBRUSH background) noexcept;

protected:
    // Creates the window of a class registered with RegisterWindowClass.
    HWND CreateWindowOf(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int w,
                        int h, HWND parent, HMENU menuOrId) noexcept;
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) noexcept { return DefWindowProcA(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace uikit
