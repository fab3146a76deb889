// The taskbar notifier: a skinned pop-up that slides out of the screen edge the
// taskbar is on, stays, and slides back. Hovering underlines its text; a click
// tells the owner (message 0x8E11), which opens the help page and destroys it.
#pragma once
#include <windows.h>

#include <string>

#include "Handles.h"
#include "RestLogic.h"

namespace pinora {

constexpr const char* kNotifierClass = "Halvard_PN_TASKBAR_NOTIFIER";
constexpr UINT_PTR kAppearTimer = 1;
constexpr UINT_PTR kStayTimer = 2;
constexpr UINT_PTR kHideTimer = 3;
constexpr COLORREF kNotifierTextColour = RGB(0, 0, 0);
constexpr COLORREF kNotifierHighlightColour = RGB(0, 0, 200);

class CTaskbarNotifier {
public:
    enum Phase { Hidden = 0, Appearing = 1, Showing = 2, Disappearing = 3 };

    CTaskbarNotifier() = default;
    ~CTaskbarNotifier() { Destroy(); }
    CTaskbarNotifier(const CTaskbarNotifier&) = delete;
    CTaskbarNotifier& operator=(const CTaskbarNotifier&) = delete;

    // Creates the hidden window once, owned by owner, skinned with the bitmap
    // (nullptr: no skin; the notifier is then never shown). Takes the bitmap.
    bool Create(HWND owner, HBITMAP skin);
    // Shows text: slides in over showMs, stays stayMs, slides out over hideMs.
    // False when there is nothing to show it with (no window or no skin).
    bool Show(const std::string& text, int showMs, int stayMs, int hideMs);
    void Destroy();
    // The displays changed while it is out: it stands fully shown at the taskbar
    // edge of the monitor the user works on and stays its time from now.
    void KeepOnScreen();

    bool IsAlive() const { return hwnd_ != nullptr && IsWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    Phase CurrentPhase() const { return phase_; }
    TaskbarEdge Edge() const { return motion_.edge; }
    const NotifierMotion& Motion() const { return motion_; }
    bool Highlighted() const { return highlighted_; }
    const std::string& Text() const { return text_; }
    RECT TextRect() const { return textRect_; }

private:
    template <typename T>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnTimer(UINT_PTR id);
    void Paint();
    void MoveTo(ScreenPoint at);
    // One step of the slide, in or out; true once it has arrived.
    bool SlideStep(bool inward);
    void SetHighlighted(bool on);

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    uikit::UniqueBitmap skin_;
    SIZE size_ = {};
    RECT textRect_ = {};
    uikit::UniqueFont normalFont_, highlightFont_;
    std::string text_;
    int stayMs_ = 0;
    Phase phase_ = Hidden;
    NotifierMotion motion_;
    ScreenPoint at_;
    bool highlighted_ = false;
    bool tracking_ = false;
};

}  // namespace pinora
