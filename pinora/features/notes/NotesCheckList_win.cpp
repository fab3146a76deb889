#include "NotesCheckList.h"

#include <commctrl.h>

#include "WindowText.h"

namespace pinora {
namespace {

constexpr UINT_PTR kCheckListSubclass = 0x4E4C;  // "NL"
constexpr int kBoxMargin = 2;

int BoxSize(HBITMAP tickBoxes) {
    BITMAP bm = {};
    if (!tickBoxes || !GetObjectA(tickBoxes, sizeof bm, &bm)) return 13;
    return bm.bmHeight;
}

LRESULT CALLBACK CheckListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) noexcept {
    const auto tickBoxes = reinterpret_cast<HBITMAP>(data);
    switch (msg) {
    case WM_LBUTTONDOWN: {
        const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, lp);
        const int index = LOWORD(hit);
        const int x = static_cast<short>(LOWORD(lp));
        if (!HIWORD(hit) && x < BoxSize(tickBoxes) + 2 * kBoxMargin) SetTicked(list, index, !IsTicked(list, index));
        break;
    }
    case WM_CHAR:
        if (wp == ' ') {
            const int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
            if (index >= 0) SetTicked(list, index, !IsTicked(list, index));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, CheckListProc, kCheckListSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(list, msg, wp, lp);
}

}  // namespace

void AttachCheckList(HWND list, HBITMAP tickBoxes) {
    SetWindowSubclass(list, CheckListProc, kCheckListSubclass, reinterpret_cast<DWORD_PTR>(tickBoxes));
    const int height = BoxSize(tickBoxes) + 2 * kBoxMargin;
    if (SendMessageA(list, LB_GETITEMHEIGHT, 0, 0) < height) SendMessageA(list, LB_SETITEMHEIGHT, 0, height);
}

bool IsTicked(HWND list, int index) {
    const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data != LB_ERR && data != 0;
}

void SetTicked(HWND list, int index, bool ticked) {
    if (SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), ticked ? 1 : 0) == LB_ERR) return;
    RECT rc;
    if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc)) != LB_ERR)
        InvalidateRect(list, &rc, FALSE);
}

std::string ItemText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

void DrawCheckListItem(const DRAWITEMSTRUCT& item, HBITMAP tickBoxes) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const int box = BoxSize(tickBoxes);
    const int top = rc.top + (rc.bottom - rc.top - box) / 2;
    if (tickBoxes) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, tickBoxes);
        const int frame = IsTicked(item.hwndItem, static_cast<int>(item.itemID)) ? 1 : 0;
        BitBlt(dc, rc.left + kBoxMargin, top, box, box, mem, frame * box, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    RECT text = rc;
    text.left += box + 2 * kBoxMargin + 2;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::string label = ItemText(item.hwndItem, static_cast<int>(item.itemID));
    uikit::DrawTextUtf8(dc, label, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP picture) {
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const int shift = pushed ? 1 : 0;

    int x = rc.left + 6 + shift;
    BITMAP bm = {};
    if (picture && GetObjectA(picture, sizeof bm, &bm)) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, picture);
        const int y = rc.top + (rc.bottom - rc.top - bm.bmHeight) / 2 + shift;
        TransparentBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, bm.bmWidth, bm.bmHeight, RGB(255, 0, 255));
        SelectObject(mem, old);
        DeleteDC(mem);
        x += bm.bmWidth + 4;
    }
    const std::string label = uikit::WindowText(item.hwndItem);
    RECT text = {x, rc.top + shift, rc.right - 4, rc.bottom + shift};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    uikit::DrawTextUtf8(dc, label, &text, DT_SINGLELINE | DT_VCENTER | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0));
    if (item.itemState & ODS_FOCUS) {
        RECT focus = rc;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace pinora
