// Two panes one above the other with a bar between them that the mouse drags.
// Whatever the panes tell their parent (notifications, commands, colour
// requests) goes on to the splitter's own parent, so the panes can be treated
// as that window's children.
#pragma once
#include <windows.h>

#include "Window.h"

namespace uikit {

class HorizontalSplitter : public Window {
public:
    static constexpr int kBarHeight = 5;

    HWND Create(HWND parent, int id) noexcept;
    void SetPanes(HWND top, HWND bottom) noexcept;
    // On every resize the top pane gets this share of the height.
    void SetTopShare(int numerator, int denominator) noexcept;
    int SplitPos() const noexcept { return split_; }
    void SetSplitPos(int y) noexcept;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Layout() noexcept;
    bool OverBar(int y) const noexcept { return y >= split_ && y < split_ + kBarHeight; }

    HWND top_ = nullptr;
    HWND bottom_ = nullptr;
    int numerator_ = 4, denominator_ = 5;
    int split_ = 0;
    bool dragging_ = false;
};

}  // namespace uikit
