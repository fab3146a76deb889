// Base class for the toolkit's own window classes (not dialogs): the object
// rides in GWLP_USERDATA from WM_NCCREATE on, messages go to WindowProc, and no
// exception leaves the window procedure. Classes are registered for the module
// this code is linked into, and can be unregistered before that module unloads.
#pragma once
#include <windows.h>

namespace uikit {

// The module (DLL or program) this toolkit was linked into.
HINSTANCE ThisModule() noexcept;

class CustomWindow {
public:
    CustomWindow() = default;
    virtual ~CustomWindow();
    CustomWindow(const CustomWindow&) = delete;
    CustomWindow& operator=(const CustomWindow&) = delete;

    HWND hwnd() const noexcept { return hwnd_; }
    bool IsWindowAlive() const noexcept { return hwnd_ != nullptr && IsWindow(hwnd_); }
    void DestroyWin() noexcept;

    // Registers the class (once per module and process) and creates the window.
    HWND CreateWin(const char* className, DWORD exStyle, const char* title, DWORD style, int x, int y, int width,
                   int height, HWND parent, HMENU menuOrId, HBRUSH background = nullptr) noexcept;

    // Removes every class this module registered; windows of them must be gone.
    static void UnregisterClasses() noexcept;

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) noexcept { return DefWindowProcA(hwnd_, msg, wp, lp); }
    // After WM_NCDESTROY, with hwnd() already null: a window may delete itself here.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace uikit
