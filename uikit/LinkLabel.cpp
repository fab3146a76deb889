#include "LinkLabel.h"

namespace uikit {
namespace {

constexpr char kFontProp[] = "uikit.LinkFont";
constexpr char kProcProp[] = "uikit.LinkProc";

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProp));
    if (msg == WM_SETCURSOR) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    if (msg == WM_NCDESTROY) {
        if (auto font = static_cast<HFONT>(GetPropA(hwnd, kFontProp))) DeleteObject(font);
        RemovePropA(hwnd, kFontProp);
        RemovePropA(hwnd, kProcProp);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    }
    return old ? CallWindowProcA(old, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void MakeLinkLabel(HWND label) noexcept {
    if (!label || GetPropA(label, kProcProp)) return;
    LOGFONTA lf = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    if (!current || !GetObjectA(current, sizeof lf, &lf)) GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    HFONT font = CreateFontIndirectA(&lf);
    SetPropA(label, kFontProp, font);
    SendMessageA(label, WM_SETFONT, WPARAM(font), TRUE);
    SetPropA(label, kProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(label, GWLP_WNDPROC)));
    SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkProc));
}

HBRUSH ColorLinkLabel(HWND control, HDC dc) noexcept {
    if (!control || !GetPropA(control, kProcProp)) return nullptr;
    SetTextColor(dc, RGB(0, 64, 192));
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace uikit
