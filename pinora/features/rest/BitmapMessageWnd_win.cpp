#include "BitmapMessageWnd.h"

#include <commctrl.h>

#include "ShapedWindow.h"
#include "WindowPlacement.h"
#include "WindowText.h"

namespace pinora {

bool CBitmapMessageWnd::Show(HWND owner, HBITMAP picture, const std::string& text, const std::string& tip) {
    Destroy();
    picture_.reset(picture);
    text_ = text;
    if (!RegisterWindowClassOnce(kBitmapMessageClass, ObjectWindowProc<CBitmapMessageWnd>, CS_DBLCLKS, IDC_ARROW))
        return false;
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kBitmapMessageClass, "", WS_POPUP, 10, 20, kBitmapMessageWidth,
                            kBitmapMessageHeight, owner, nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd_) return false;

    const SIZE size = BitmapSize(picture_.get());
    if (size.cx > 0 && size.cy > 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DrawMessage();
        // Drawn first, so letters over the key colour stay part of the window.
        if (HRGN region = RegionWithoutColour(picture_.get(), kTransparentKey)) {
            if (!SetWindowRgn(hwnd_, region, FALSE)) DeleteObject(region);
        }
    }
    AddTooltip(tip);
    // The top-left corner at the centre of the monitor the user works on, the
    // picture kept on its work area.
    const uikit::Monitor m = uikit::MonitorAtCursor();
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    const int left = m.bounds.left + m.bounds.Width() / 2, top = m.bounds.top + m.bounds.Height() / 2;
    const uikit::Rect at = uikit::FitInside(
        uikit::Rect{left, top, left + (rc.right - rc.left), top + (rc.bottom - rc.top)}, m.work);
    SetWindowPos(hwnd_, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    return true;
}

void CBitmapMessageWnd::Destroy() {
    if (IsAlive()) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    tooltip_ = nullptr;
}

void CBitmapMessageWnd::DrawMessage() {
    const SIZE size = BitmapSize(picture_.get());
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dc) return;
    uikit::UniqueFont font(CreateFontA(FontHeightFromTenths(180), 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_ROMAN, "Times New Roman"));
    HGDIOBJ oldBitmap = SelectObject(dc, picture_.get());
    HGDIOBJ oldFont = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kBitmapMessageTextColour);
    // Centred on the picture's middle, the baseline at half its height.
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    uikit::TextOutUtf8(dc, size.cx / 2, size.cy / 2, text_);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
}

void CBitmapMessageWnd::AddTooltip(const std::string& tip) {
    tip_ = tip;
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!tooltip_) return;
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = 1;
    ti.lpszText = tip_.data();
    GetClientRect(hwnd_, &ti.rect);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CBitmapMessageWnd::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const SIZE size = BitmapSize(picture_.get());
    if (size.cx > 0) {
        if (HDC pictureDc = CreateCompatibleDC(dc)) {
            HGDIOBJ old = SelectObject(pictureDc, picture_.get());
            BitBlt(dc, 0, 0, size.cx, size.cy, pictureDc, 0, 0, SRCCOPY);
            SelectObject(pictureDc, old);
            DeleteDC(pictureDc);
        }
    } else {
        FillRect(dc, &ps.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    EndPaint(hwnd_, &ps);
}

void CBitmapMessageWnd::Drag(LPARAM at) {
    // The whole window follows the mouse while it is dragged, whatever the
    // user's own setting, which is put back afterwards.
    BOOL fullDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    POINT pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ClientToScreen(hwnd_, &pt);
    SendMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, fullDrag, nullptr, 0);
}

LRESULT CBitmapMessageWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return picture_ ? 1 : DefWindowProcA(hwnd_, msg, wp, lp);
    case WM_MOUSEMOVE:
        if (tooltip_) {
            MSG relay = {hwnd_, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
            GetCursorPos(&relay.pt);
            SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
        }
        return 0;
    case WM_LBUTTONDOWN:
        Drag(lp);
        return 0;
    case WM_LBUTTONDBLCLK:
        DestroyWindow(hwnd_);
        return 0;
    case WM_NCDESTROY:
        tooltip_ = nullptr;  // owned by this window, destroyed with it
        return 0;
    default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

}  // namespace pinora
