#include "SettingsPage.h"

#include <commctrl.h>

#include <algorithm>

#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "SettingsMessages.h"
#include "WindowText.h"

namespace pinora {

HWND CSettingsPage::CreatePage(HWND frame, int templateId) {
    HWND page = Create(ResLib(), templateId, frame);
    // The frame's dialog loop serves the page's controls (Tab, Enter, Escape);
    // a loop of the page's own would send Enter to the page instead of the frame.
    if (page) uikit::UnregisterModeless(page);
    return page;
}

INT_PTR CSettingsPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitPage();
        Load();
        return FALSE;  // the frame decides where the focus goes
    case SPM_APPLY:
        return Result(Apply() ? 1 : 0);
    default:
        return OnPageMessage(msg, wp, lp);
    }
}

bool CSettingsPage::IsChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

void CSettingsPage::SetChecked(int id, bool on) { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }

std::string CSettingsPage::ItemText(int id) const { return uikit::ItemText(hwnd(), id); }

void CSettingsPage::Warn(const std::string& text, int focusId) {
    if (show_) show_();
    SetFocus(Item(focusId));
    SendMessageA(Item(focusId), EM_SETSEL, 0, -1);
    uikit::ShowMessageBox(GetParent(hwnd()), text.c_str(), LoadResString(IDS_CAPTION).c_str(),
                          MB_OK | MB_ICONWARNING);
}

HWND CSettingsPage::MainWindow() const {
    HWND main = reinterpret_cast<HWND>(SendMessageA(GetParent(hwnd()), SPM_GETMAINWND, 0, 0));
    return main && IsWindow(main) ? main : nullptr;
}

void CSettingsPage::AddTooltip(int id, const std::string& text) {
    if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, nullptr, nullptr);
        if (!tooltip_) return;
    }
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

SIZE PictureSize(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

SIZE FittedSize(SIZE picture, SIZE box) {
    if (picture.cx <= 0 || picture.cy <= 0 || box.cx <= 0 || box.cy <= 0) return SIZE{0, 0};
    if (picture.cx <= box.cx && picture.cy <= box.cy) return picture;
    // The tighter of the two ratios, in whole pixels, never below one.
    if (static_cast<long long>(picture.cx) * box.cy >= static_cast<long long>(picture.cy) * box.cx)
        return SIZE{box.cx, std::max<LONG>(1, static_cast<LONG>(static_cast<long long>(picture.cy) * box.cx / picture.cx))};
    return SIZE{std::max<LONG>(1, static_cast<LONG>(static_cast<long long>(picture.cx) * box.cy / picture.cy)), box.cy};
}

void DrawFitted(HDC dc, HBITMAP picture, const RECT& box) {
    const SIZE size = PictureSize(picture);
    const SIZE fitted = FittedSize(size, SIZE{box.right - box.left, box.bottom - box.top});
    if (fitted.cx <= 0) return;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return;
    HGDIOBJ old = SelectObject(mem, picture);
    const int top = box.top + (box.bottom - box.top - fitted.cy) / 2;
    if (fitted.cx == size.cx && fitted.cy == size.cy) {
        BitBlt(dc, box.left, top, fitted.cx, fitted.cy, mem, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, box.left, top, fitted.cx, fitted.cy, mem, 0, 0, size.cx, size.cy, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

namespace {

// At its own size, the colour of pixel (1, 1) left out.
void DrawKeyed(HDC dc, HBITMAP picture, const RECT& box) {
    const SIZE size = PictureSize(picture);
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return;
    HGDIOBJ old = SelectObject(mem, picture);
    const COLORREF key = GetPixel(mem, 1, 1);
    const int width = std::min<int>(size.cx, box.right - box.left), height = std::min<int>(size.cy, box.bottom - box.top);
    if (key == CLR_INVALID || !TransparentBlt(dc, box.left, box.top, width, height, mem, 0, 0, width, height, key))
        BitBlt(dc, box.left, box.top, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

}  // namespace

void CPictureButton::Bind(HWND button) {
    if (bound_) return;
    RECT rc = {};
    GetWindowRect(button, &rc);
    templateSize_ = SIZE{rc.right - rc.left, rc.bottom - rc.top};
    bound_ = true;
}

void CPictureButton::Show(HWND button, HBITMAP picture, const std::string& textWithout) {
    Bind(button);
    picture_.reset(picture);
    text_ = textWithout;
    const SIZE size = picture_ ? FittedSize(PictureSize(picture_.get()), templateSize_) : templateSize_;
    SetWindowPos(button, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(button, nullptr, TRUE);
}

void CPictureButton::Draw(const DRAWITEMSTRUCT& item) const {
    RECT rc = item.rcItem;
    HDC dc = item.hDC;
    if (picture_ && keyed_) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        DrawKeyed(dc, picture_.get(), rc);
    } else if (picture_) {
        DrawFitted(dc, picture_.get(), rc);
    } else {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        RECT text = rc;
        InflateRect(&text, -4, -4);
        uikit::DrawTextUtf8(dc, text_, &text, DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = rc;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace pinora
