#include "TodayWindow.h"

#include <cstdint>

#include <commctrl.h>

#include <cstdio>

#include "AlarmCode.h"
#include "Clock.h"
#include "DoRoRazIds.h"
#include "Dpi.h"
#include "WindowPlacement.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr int kShortRowFont = -15;  // Arial heights
constexpr int kTallRowFont = -12;

struct StateLook {
    int weight;
    BOOL italic;
    BOOL strikeOut;
    COLORREF colour;
};

StateLook LookOf(int state) {
    if (state == 0) return {FW_NORMAL, FALSE, TRUE, 0x0000FF};
    if (state == 1) return {FW_BOLD, FALSE, FALSE, 0xCC6600};
    return {FW_BOLD, TRUE, FALSE, 0x00FFFF};
}

HFONT ArialFont(int height, const StateLook& look) {
    return CreateFontA(height, 0, 0, 0, look.weight, look.italic, FALSE, look.strikeOut, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       "Arial");
}

// A memory DC that puts back what it selected.
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (old_) SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }
    void Select(HGDIOBJ obj) {
        HGDIOBJ prev = SelectObject(dc_, obj);
        if (!old_) old_ = prev;
    }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace

CTodayWnd::~CTodayWnd() { Destroy(); }

const char* CTodayWnd::ClassName() {
    // The window library's naming: "ATL:" and eight hex digits.
    static char name[32] = {};
    if (!name[0])
        std::snprintf(name, sizeof name, "ATL:%8.8X",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(&CTodayWnd::Proc) & 0xFFFFFFFFu));
    return name;
}

HWND CTodayWnd::Create(HWND owner, HMENU menu, HBITMAP agent, int stateFilter, const std::string& alarmTable) {
    if (IsAlive()) return hwnd_;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(GetModuleHandleA(nullptr), ClassName(), &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = ClassName();
        if (!RegisterClassExA(&wc)) return nullptr;
    }
    owner_ = owner;
    menu_ = menu;
    agent_ = agent;
    filter_ = stateFilter;
    alarmTable_ = alarmTable;
    CreateWindowExA(WS_EX_TOOLWINDOW, ClassName(), "", WS_POPUP | WS_VISIBLE, 10, 20, 290, 380, owner, nullptr,
                    GetModuleHandleA(nullptr), this);
    return hwnd_;
}

void CTodayWnd::Destroy() {
    if (IsAlive()) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT CALLBACK CTodayWnd::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    CTodayWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<CTodayWnd*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<CTodayWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->OnMessage(msg, wp, lp);
    } catch (...) {
        result = DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT CTodayWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(ToLayout(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}));
        return 0;
    case WM_LBUTTONDOWN:
        DragWindow();
        return 0;
    case WM_LBUTTONDBLCLK:
        if (owner_) SendMessageA(owner_, WM_COMMAND, ID_CALENDAR, 0);
        return 0;
    case WM_RBUTTONUP:
        ShowModeMenu(ToLayout(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}));
        return 0;
    case WM_COMMAND:
        // The mode menu's commands belong to the main window.
        if (owner_) SendMessageA(owner_, WM_COMMAND, wp, lp);
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_MOVING:
        KeepOnMonitor(reinterpret_cast<RECT*>(lp));
        return TRUE;
    default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

void CTodayWnd::OnCreate() {
    SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (tooltip_) {
        SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 200);
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
    }
    BuildList();
}

void CTodayWnd::OnDestroy() {
    offscreen_.reset();
    if (tooltip_) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
    }
    hover_ = nullptr;
    layout_.clear();
    drawn_.clear();
}

void CTodayWnd::BuildList() {
    const LocalTime now = CurrentClock().Now();
    builtFor_ = DateNumber(now.year, now.month, now.day);
    layout_ = BuildTodayList(alarmTable_, builtFor_, filter_);
    RECT client;
    GetClientRect(hwnd_, &client);
    client.right = ToLayout(POINT{client.right, 0}).x;  // rows are laid out in 96-DPI pixels
    HDC screen = GetDC(nullptr);
    // Measured in the font a short row is drawn in, which differs by state.
    LayoutTodayRows(layout_, AgentHeight(), client.right, [screen](const TodayItem& item) {
        uikit::UniqueFont font(ArialFont(kShortRowFont, LookOf(item.state)));
        HGDIOBJ old = SelectObject(screen, font.get());
        SIZE size = {};
        size = uikit::TextExtentUtf8(screen, item.text);
        SelectObject(screen, old);
        return static_cast<int>(size.cx);
    });
    ReleaseDC(nullptr, screen);
}

void CTodayWnd::MoveTo(POINT topLeft) {
    if (!IsAlive()) return;
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    OffsetRect(&rc, topLeft.x - rc.left, topLeft.y - rc.top);
    const uikit::Monitors monitors = uikit::CurrentMonitors();
    const int nearest = uikit::NearestMonitor(uikit::ToRect(rc), monitors);
    if (nearest >= 0) rc = uikit::ToRECT(uikit::FitInside(uikit::ToRect(rc), monitors[nearest].work));
    SetWindowPos(hwnd_, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CTodayWnd::AgentWidth() const {
    BITMAP bm = {};
    return agent_ && GetObjectA(agent_, sizeof bm, &bm) ? bm.bmWidth : 0;
}

int CTodayWnd::AgentHeight() const {
    BITMAP bm = {};
    return agent_ && GetObjectA(agent_, sizeof bm, &bm) ? bm.bmHeight : 0;
}

COLORREF CTodayWnd::KeyColour() const {
    if (!agent_) return kTodayKeyDefault;
    HDC screen = GetDC(nullptr);
    COLORREF key = kTodayKeyDefault;
    {
        MemoryDc dc(screen);
        dc.Select(agent_);
        COLORREF pixel = GetPixel(dc.get(), 1, 1);
        if (pixel != CLR_INVALID) key = pixel;
    }
    ReleaseDC(nullptr, screen);
    return key;
}

namespace {

// Pixels of the key colour become fully transparent, all others opaque.
void KeyToAlpha(std::uint32_t* pixels, size_t count, COLORREF key) {
    const std::uint32_t keyRgb = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    for (size_t i = 0; i < count; ++i)
        pixels[i] = (pixels[i] & 0xFFFFFFu) == keyRgb ? 0u : (pixels[i] | 0xFF000000u);
}

}  // namespace

POINT CTodayWnd::ToLayout(POINT client) const {
    return {uikit::ScaleFromDpi(client.x, dpi_), uikit::ScaleFromDpi(client.y, dpi_)};
}

void CTodayWnd::Draw() {
    if (!IsAlive()) return;
    // The layout is in the pixels of a 96-DPI screen; the window and its surface
    // are as much larger as the screen's DPI, and GDI scales the drawing to them.
    dpi_ = uikit::SystemDpi();
    const int width = kTodayWidth;
    const int height = TodayWindowHeight(layout_, AgentHeight());
    const int pixelWidth = uikit::ScaleToDpi(width, dpi_);
    const int pixelHeight = uikit::ScaleToDpi(height, dpi_);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(hwnd_, nullptr, screenWidth - pixelWidth, uikit::ScaleToDpi(50, dpi_), pixelWidth, pixelHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const COLORREF key = KeyColour();

    HDC screen = GetDC(nullptr);
    // A 32-bit DIB: the layered-window update takes it on every platform we run on
    // (Wine shows nothing for a device-dependent bitmap here).
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = pixelWidth;
    bi.bmiHeader.biHeight = -pixelHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    offscreen_.reset(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        MemoryDc dc(screen);
        dc.Select(offscreen_.get());
        SetMapMode(dc.get(), MM_ANISOTROPIC);
        SetWindowExtEx(dc.get(), uikit::kBaseDpi, uikit::kBaseDpi, nullptr);
        SetViewportExtEx(dc.get(), dpi_, dpi_, nullptr);
        RECT all = {0, 0, width, height};
        uikit::UniqueBrush keyBrush(CreateSolidBrush(key));
        FillRect(dc.get(), &all, keyBrush.get());

        uikit::UniqueHandle<HPEN, uikit::GdiTraits<HPEN>> framePen(CreatePen(PS_SOLID, 2, kTodayFrameColour));
        uikit::UniqueHandle<HPEN, uikit::GdiTraits<HPEN>> yellowPen(CreatePen(PS_SOLID, 2, 0x00FFFF));
        HGDIOBJ oldBrush = SelectObject(dc.get(), GetStockObject(NULL_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc.get(), framePen.get());
        RoundRect(dc.get(), 2, 30, width - 10, height - 10, 10, 10);
        SelectObject(dc.get(), yellowPen.get());
        RoundRect(dc.get(), 4, 32, width - 12, height - 12, 10, 10);
        SelectObject(dc.get(), oldPen);
        SelectObject(dc.get(), oldBrush);

        if (agent_) {
            // The picture's own key colour is the window's, so a plain copy
            // leaves its background transparent.
            MemoryDc picture(screen);
            picture.Select(agent_);
            // Scaled pixel by pixel: a blend would fringe the key colour.
            SetStretchBltMode(dc.get(), COLORONCOLOR);
            BitBlt(dc.get(), kAgentLeft, 0, AgentWidth(), AgentHeight(), picture.get(), 0, 0, SRCCOPY);
        }
        SetBkMode(dc.get(), TRANSPARENT);
        for (const TodayItem& item : layout_) DrawItem(dc.get(), item);

        SetMapMode(dc.get(), MM_TEXT);
        POINT origin = {0, 0};
        SIZE size = {pixelWidth, pixelHeight};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, 0};
        GdiFlush();
        // The key colour becomes per-pixel transparency: it looks and hit-tests the
        // same as a colour-keyed update, and Wine shows only per-pixel alpha.
        KeyToAlpha(static_cast<std::uint32_t*>(bits), static_cast<size_t>(pixelWidth) * pixelHeight, key);
        blend.AlphaFormat = AC_SRC_ALPHA;
        UpdateLayeredWindow(hwnd_, screen, nullptr, &size, dc.get(), &origin, 0, &blend, ULW_ALPHA);
    }
    ReleaseDC(nullptr, screen);

    if (menu_)
        CheckMenuRadioItem(GetSubMenu(menu_, TRAYMENU_DISPLAY_MODE), ID_TODAY_MODE_1, ID_TODAY_MODE_0,
                           filter_ == 1 ? ID_TODAY_MODE_1 : ID_TODAY_MODE_0, MF_BYCOMMAND);
    const int margin = uikit::ScaleToDpi(10, dpi_);
    SetWindowPos(hwnd_, HWND_TOPMOST, screenWidth - pixelWidth - margin, margin, pixelWidth, pixelHeight,
                 SWP_NOACTIVATE);
}

void CTodayWnd::DrawItem(HDC dc, const TodayItem& item) {
    const StateLook look = LookOf(item.state);
    RECT bar = {item.left, item.top + 5, item.left + 20, item.bottom - 5};
    uikit::UniqueBrush barBrush(CreateSolidBrush(look.colour));
    FillRect(dc, &bar, barBrush.get());

    uikit::UniqueFont font(ArialFont(item.tall ? kTallRowFont : kShortRowFont, look));
    HGDIOBJ old = SelectObject(dc, font.get());
    RECT text = {item.left + kTodayTextIndent, item.top, item.right - kTodayTextRightMargin, item.bottom};
    SetTextColor(dc, look.colour);
    if (item.tall) {
        uikit::DrawTextUtf8(dc, item.text, &text, DT_WORDBREAK | DT_NOPREFIX);
    } else {
        uikit::DrawTextUtf8(dc, item.text, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        OffsetRect(&text, 1, 1);
        SetTextColor(dc, RGB(0, 0, 0));
        uikit::DrawTextUtf8(dc, item.text, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(dc, old);

    for (const TodayItem& seen : drawn_)
        if (seen.state == item.state && seen.text == item.text && seen.left == item.left && seen.top == item.top &&
            seen.right == item.right && seen.bottom == item.bottom)
            return;
    drawn_.push_back(item);
}

const TodayItem* CTodayWnd::ItemAt(POINT at) const {
    for (const TodayItem& item : layout_)
        if (at.x >= item.left && at.x < item.right && at.y >= item.top && at.y < item.bottom)
            return &item;
    return nullptr;
}

void CTodayWnd::OnMouseMove(POINT client) {
    const TodayItem* item = ItemAt(client);
    if (!tooltip_) return;
    if (item != hover_) SendMessageA(tooltip_, TTM_POP, 0, 0);  // the next tip asks for its new text
    hover_ = item;
    SendMessageA(tooltip_, TTM_ACTIVATE, item != nullptr, 0);
}

LRESULT CTodayWnd::OnNotify(NMHDR* header) {
    if (header && header->hwndFrom == tooltip_ && header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(hwnd_, &cursor);
        const TodayItem* item = ItemAt(ToLayout(cursor));
        tipText_ = item ? item->text : std::string();
        info->lpszText = tipText_.data();
    }
    return 0;
}

void CTodayWnd::DragWindow() {
    BOOL fullDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    RECT before = {};
    GetWindowRect(hwnd_, &before);
    ReleaseCapture();
    SendMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, fullDrag, nullptr, 0);
    RECT after = {};
    if (!IsAlive() || !GetWindowRect(hwnd_, &after)) return;
    if ((after.left != before.left || after.top != before.top) && moved_) moved_(POINT{after.left, after.top});
}

void CTodayWnd::ShowModeMenu(POINT client) {
    const bool overAgent = agent_ && client.x >= kAgentLeft && client.x < kAgentLeft + AgentWidth() &&
                           client.y >= 0 && client.y < AgentHeight();
    if (!overAgent || !menu_) return;
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(GetSubMenu(menu_, TRAYMENU_DISPLAY_MODE), TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                   hwnd_, nullptr);
    PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void CTodayWnd::KeepOnMonitor(RECT* rc) {
    if (!rc) return;
    const uikit::Monitor m = uikit::MonitorAtCursor();
    *rc = uikit::ToRECT(uikit::FitInside(uikit::ToRect(*rc), m.bounds));
}

}  // namespace pinora
