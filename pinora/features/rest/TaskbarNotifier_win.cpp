#include "TaskbarNotifier.h"

#include <algorithm>

#include "ShapedWindow.h"
#include "MainMessages.h"
#include "WindowPlacement.h"
#include "WindowText.h"

namespace pinora {
namespace {

HFONT NotifierFont(bool underlined) {
    return CreateFontA(FontHeightFromTenths(90), 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}

ScreenRect ToScreenRect(const uikit::Rect& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

// The monitor the user works on (the cursor's), and its work area beside the taskbar.
struct NotifierPlace {
    ScreenRect monitor;
    ScreenRect work;
};

NotifierPlace PlaceAtCursor() {
    const uikit::Monitor m = uikit::MonitorAtCursor();
    NotifierPlace place{ToScreenRect(m.bounds), ToScreenRect(m.work)};
    ScreenRect taskbar;
    RECT bar = {};
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    const bool hasBar = tray && IsWindowVisible(tray) && GetWindowRect(tray, &bar);
    if (hasBar) taskbar = ScreenRect{bar.left, bar.top, bar.right, bar.bottom};
    place.work = WorkAreaBesideTaskbar(place.work, place.monitor, hasBar ? &taskbar : nullptr);
    return place;
}

}  // namespace

bool CTaskbarNotifier::Create(HWND owner, HBITMAP skin) {
    if (IsAlive()) {
        if (skin) DeleteObject(skin);
        return true;
    }
    skin_.reset(skin);
    if (!RegisterWindowClassOnce(kNotifierClass, ObjectWindowProc<CTaskbarNotifier>, 0, IDC_HAND)) return false;
    owner_ = owner;
    size_ = BitmapSize(skin_.get());
    textRect_ = RECT{10, 10, size_.cx - 10, size_.cy - 25};
    normalFont_.reset(NotifierFont(false));
    highlightFont_.reset(NotifierFont(true));
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kNotifierClass, "", WS_POPUP, 0, 0, 0, 0, owner,
                            nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd_) return false;
    uikit::SetPlacesItself(hwnd_);  // it slides from outside the work area
    if (HRGN region = RegionWithoutColour(skin_.get(), kTransparentKey)) {
        // The window owns the region from here on.
        if (!SetWindowRgn(hwnd_, region, FALSE)) DeleteObject(region);
    }
    return true;
}

bool CTaskbarNotifier::Show(const std::string& text, int showMs, int stayMs, int hideMs) {
    if (!IsAlive() || size_.cx <= 0 || size_.cy <= 0) return false;
    text_ = text;
    stayMs_ = stayMs;

    switch (phase_) {
    case Hidden: {
        const NotifierPlace place = PlaceAtCursor();
        motion_ = NotifierMotion::Plan(FindTaskbarEdge(place.work, place.monitor), place.work, size_.cx, size_.cy,
                                       showMs, hideMs);
        if (!motion_.Valid()) return false;
        at_ = motion_.start;
        SetWindowPos(hwnd_, nullptr, at_.x, at_.y, size_.cx, size_.cy,
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
        SetTimer(hwnd_, kAppearTimer, static_cast<UINT>(std::max(1, motion_.appearPeriodMs)), nullptr);
        break;
    }
    case Appearing:
        break;
    case Showing:
        SetTimer(hwnd_, kStayTimer, static_cast<UINT>(stayMs_), nullptr);
        break;
    case Disappearing:
        KillTimer(hwnd_, kHideTimer);
        SetTimer(hwnd_, kStayTimer, static_cast<UINT>(stayMs_), nullptr);
        MoveTo(motion_.shown);
        phase_ = Showing;
        break;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    return true;
}

void CTaskbarNotifier::Destroy() {
    if (IsAlive()) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    phase_ = Hidden;
}

void CTaskbarNotifier::KeepOnScreen() {
    if (!IsAlive() || phase_ == Hidden) return;
    const NotifierPlace place = PlaceAtCursor();
    const NotifierMotion moved = NotifierMotion::Plan(FindTaskbarEdge(place.work, place.monitor), place.work,
                                                      size_.cx, size_.cy, motion_.appearPeriodMs * motion_.steps,
                                                      motion_.hidePeriodMs * motion_.steps);
    if (!moved.Valid()) return;
    motion_ = moved;
    KillTimer(hwnd_, kAppearTimer);
    KillTimer(hwnd_, kHideTimer);
    MoveTo(motion_.shown);
    SetTimer(hwnd_, kStayTimer, static_cast<UINT>(stayMs_), nullptr);
    phase_ = Showing;
}

void CTaskbarNotifier::MoveTo(ScreenPoint at) {
    at_ = at;
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
}

bool CTaskbarNotifier::SlideStep(bool inward) {
    ScreenPoint next = at_;
    const bool arrived = inward ? motion_.StepIn(next) : motion_.StepOut(next);
    MoveTo(next);
    return arrived;
}

void CTaskbarNotifier::OnTimer(UINT_PTR id) {
    switch (id) {
    case kAppearTimer:
        phase_ = Appearing;
        if (SlideStep(true)) {
            KillTimer(hwnd_, kAppearTimer);
            SetTimer(hwnd_, kStayTimer, static_cast<UINT>(stayMs_), nullptr);
            phase_ = Showing;
        }
        break;
    case kStayTimer:
        KillTimer(hwnd_, kStayTimer);
        SetTimer(hwnd_, kHideTimer, static_cast<UINT>(std::max(1, motion_.hidePeriodMs)), nullptr);
        break;
    case kHideTimer:
        phase_ = Disappearing;
        if (SlideStep(false)) {
            KillTimer(hwnd_, kHideTimer);
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER | SWP_HIDEWINDOW);
            phase_ = Hidden;
            SetHighlighted(false);
        }
        break;
    default:
        break;
    }
}

void CTaskbarNotifier::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (HDC skinDc = CreateCompatibleDC(dc)) {
        HGDIOBJ old = SelectObject(skinDc, skin_.get());
        BitBlt(dc, 0, 0, size_.cx, size_.cy, skinDc, 0, 0, SRCCOPY);
        SelectObject(skinDc, old);
        DeleteDC(skinDc);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, highlighted_ ? kNotifierHighlightColour : kNotifierTextColour);
    HGDIOBJ oldFont = SelectObject(dc, highlighted_ ? highlightFont_.get() : normalFont_.get());
    // Centred both ways: measure the wrapped text, then place it in the middle.
    RECT measure = textRect_;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX;
    uikit::DrawTextUtf8(dc, text_, &measure, format | DT_CALCRECT);
    RECT target = textRect_;
    const int spare = (textRect_.bottom - textRect_.top) - (measure.bottom - measure.top);
    if (spare > 0) target.top += spare / 2;
    uikit::DrawTextUtf8(dc, text_, &target, format);
    SelectObject(dc, oldFont);
    EndPaint(hwnd_, &ps);
}

void CTaskbarNotifier::SetHighlighted(bool on) {
    if (highlighted_ == on) return;
    highlighted_ = on;
    if (IsAlive()) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CTaskbarNotifier::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the skin covers the whole window
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT tme = {sizeof tme, TME_HOVER | TME_LEAVE, hwnd_, 1};
            tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        return 0;
    case WM_MOUSEHOVER:
        SetHighlighted(true);
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        SetHighlighted(false);
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    case WM_LBUTTONUP:
        // The owner destroys us; posting lets this message finish first.
        PostMessageA(owner_, MWM_TIPHELP, 0, 0);
        return 0;
    case WM_DESTROY:
        uikit::ForgetPlacesItself(hwnd_);
        return 0;
    case WM_NCDESTROY:
        phase_ = Hidden;
        tracking_ = false;
        highlighted_ = false;
        return 0;
    default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

}  // namespace pinora
