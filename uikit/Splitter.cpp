#include "Splitter.h"

#include <algorithm>

namespace uikit {

HWND HorizontalSplitter::Create(HWND parent, int id) noexcept {
    constexpr char kClassName[] = "UIKIT_HSPLITTER";
    if (!RegisterWindowClass(kClassName, 0, GetSysColorBrush(COLOR_BTNFACE))) return nullptr;
    return CreateWindowOf(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void HorizontalSplitter::SetPanes(HWND top, HWND bottom) noexcept {
    top_ = top;
    bottom_ = bottom;
    Layout();
}

void HorizontalSplitter::SetTopShare(int numerator, int denominator) noexcept {
    if (denominator <= 0 || numerator < 0 || numerator > denominator) return;
    numerator_ = numerator;
    denominator_ = denominator;
}

void HorizontalSplitter::SetSplitPos(int y) noexcept {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    split_ = std::max(0, std::min(y, int(rc.bottom) - kBarHeight));
    Layout();
}

void HorizontalSplitter::Layout() noexcept {
    if (!hwnd()) return;
    RECT rc;
    GetClientRect(hwnd(), &rc);
    if (top_) MoveWindow(top_, 0, 0, rc.right, split_, TRUE);
    if (bottom_) MoveWindow(bottom_, 0, split_ + kBarHeight, rc.right, std::max(0, int(rc.bottom) - split_ - kBarHeight), TRUE);
}

LRESULT HorizontalSplitter::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        split_ = std::max(0, int(HIWORD(lp)) * numerator_ / denominator_ - kBarHeight / 2);
        Layout();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(hwnd(), &pt);
            if (OverBar(pt.y)) {
                SetCursor(LoadCursor(nullptr, IDC_SIZENS));
                return TRUE;
            }
        }
        break;
    case WM_LBUTTONDOWN:
        if (OverBar(short(HIWORD(lp)))) {
            dragging_ = true;
            SetCapture(hwnd());
        }
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) SetSplitPos(short(HIWORD(lp)));
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            if (msg == WM_LBUTTONUP) ReleaseCapture();
        }
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        return SendMessageA(GetParent(hwnd()), msg, wp, lp);
    }
    return Default(msg, wp, lp);
}

}  // namespace uikit
