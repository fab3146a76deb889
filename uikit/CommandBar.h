// A menu bar inside a rebar band: one flat toolbar button per pop-up of a
// menu; pressing a button, or Alt and its underlined letter anywhere in the
// owner window, opens the pop-up under it, and its commands go to the owner
// as WM_COMMAND, as a window menu's would.
#pragma once
#include <windows.h>

namespace uikit {

class CommandBar {
public:
    CommandBar() = default;
    ~CommandBar() { Destroy(); }
    CommandBar(const CommandBar&) = delete;
    CommandBar& operator=(const CommandBar&) = delete;

    // The menu stays the caller's. `background` (optional, not owned) is tiled
    // behind the band.
    bool Create(HWND owner, HMENU menu, HBITMAP background) noexcept;
    void Destroy() noexcept;

    HWND Rebar() const noexcept { return rebar_; }
    HWND Toolbar() const noexcept { return toolbar_; }
    void Move(int x, int y, int width, int height) noexcept;
    void Show(bool show) noexcept;

    // Opens pop-up `index` under its button; false when there is none.
    bool OpenMenu(int index) noexcept;
    // Alt+letter: the pop-up whose title has that letter after its '&'.
    bool OpenMenuByMnemonic(char letter) noexcept;
    int MenuOfMnemonic(char letter) const noexcept;

private:
    static LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK KeyHookProc(int code, WPARAM wp, LPARAM lp) noexcept;

    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
    HWND rebar_ = nullptr;
    HWND toolbar_ = nullptr;
    WNDPROC toolbarProc_ = nullptr;
    bool tracking_ = false;
};

}  // namespace uikit
