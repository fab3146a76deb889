// The bitmap message window: a shaped picture (its magenta pixels left out) with
// a line of text drawn on it, placed at the centre of the screen. It shows the
// rest message and, under "check_draw", an alarm's text. It can be dragged, a
// double click closes it, and its owner's destruction takes it along.
#pragma once
#include <windows.h>

#include <string>

#include "Handles.h"

namespace pinora {

constexpr const char* kBitmapMessageClass = "PNTRSWND";
constexpr COLORREF kBitmapMessageTextColour = RGB(128, 0, 255);
// Size of the window before it takes the picture's size (and when there is none).
constexpr int kBitmapMessageWidth = 290;
constexpr int kBitmapMessageHeight = 380;

class CBitmapMessageWnd {
public:
    CBitmapMessageWnd() = default;
    ~CBitmapMessageWnd() { Destroy(); }
    CBitmapMessageWnd(const CBitmapMessageWnd&) = delete;
    CBitmapMessageWnd& operator=(const CBitmapMessageWnd&) = delete;

    // Replaces any window shown before with a new one owned by owner: the
    // picture (taken over; nullptr leaves a blank 290 x 380 window) with text
    // drawn across its centre, and tip as its tooltip. Shown without activation.
    bool Show(HWND owner, HBITMAP picture, const std::string& text, const std::string& tip);
    void Destroy();

    bool IsAlive() const { return hwnd_ != nullptr && IsWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    HWND Tooltip() const { return tooltip_; }
    const std::string& Text() const { return text_; }
    HBITMAP Picture() const { return picture_.get(); }

private:
    template <typename T>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void DrawMessage();
    void AddTooltip(const std::string& tip);
    void Paint();
    void Drag(LPARAM at);

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    uikit::UniqueBitmap picture_;
    std::string text_;
    std::string tip_;
};

}  // namespace pinora
