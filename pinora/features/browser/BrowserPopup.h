// The dictionary popup (window class "VekBrowserWindow"): a captioned popup
// owned by the main window that shows pages in the embedded browser control.
// Where the control cannot be created, web addresses open in the user's web
// browser instead and the popup says so.
#pragma once
#include <windows.h>

#include <memory>

#include "IECntrWnd.h"
#include "ObjectWindow.h"

namespace pinora {

extern const char* const kBrowserWindowClass;

class CBrowserPopup {
public:
    CBrowserPopup() = default;
    ~CBrowserPopup() { Destroy(); }
    CBrowserPopup(const CBrowserPopup&) = delete;
    CBrowserPopup& operator=(const CBrowserPopup&) = delete;

    // Creates the hidden popup, (0, 0)-(300, 400), owned by owner; it opens
    // "about:blank". True when the window exists afterwards.
    bool Create(HWND owner);
    void Destroy();
    bool Exists() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }

    // Top-most at the given place, shown.
    void ShowAt(int left, int top, int width, int height);
    void Hide();
    bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

    // Shows the address in the control; without one, a web address is handed to
    // the web browser. A null address does nothing.
    void Navigate(const char* url);

    // The address the popup recorded when it was created.
    const char* LastAddress() const { return lastAddress_; }
    CIECntrWnd* Container() const { return container_.get(); }
    bool HasBrowserControl() const { return container_ && container_->HasControl(); }

private:
    friend LRESULT CALLBACK uikit::ObjectWindowProc<CBrowserPopup>(HWND, UINT, WPARAM, LPARAM) noexcept;
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate();
    void PaintWithoutControl();

    HWND hwnd_ = nullptr;
    std::unique_ptr<CIECntrWnd> container_;
    char lastAddress_[512] = {};
    bool redrawing_ = false;
};

}  // namespace pinora
