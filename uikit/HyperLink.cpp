#include "HyperLink.h"

#include <commctrl.h>

#include <cctype>
#include <cstring>

#include "ShellOpen.h"
#include "WindowText.h"

namespace uikit {

const char* const kLinkColourKey = "Software\\Microsoft\\Internet Explorer\\Settings";
const char* const kLinkColourValue = "Anchor Color";
const char* const kVisitedLinkColourValue = "Anchor Color Visited";

namespace {

constexpr UINT_PTR kSubclassId = 0x4C4E4B;  // "LNK"

const char* SkipSpaces(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// One number 0..255 at p; advances p past it.
bool ReadComponent(const char*& p, int* value) {
    p = SkipSpaces(p);
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    int v = 0;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        v = v * 10 + (*p++ - '0');
        if (++digits > 3) return false;
    }
    if (v > 255) return false;
    *value = v;
    p = SkipSpaces(p);
    return true;
}

void ReadColourValue(HKEY key, const char* name, COLORREF* colour) {
    char text[64] = {};
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) return;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;
    text[size < sizeof text ? size : sizeof text - 1] = '\0';
    ParseLinkColour(text, colour);
}

size_t FindNoCase(const std::string& text, const char* what, size_t from) {
    size_t n = std::strlen(what);
    for (size_t i = from; i + n <= text.size(); ++i) {
        size_t k = 0;
        while (k < n && std::tolower(static_cast<unsigned char>(text[i + k])) ==
                            std::tolower(static_cast<unsigned char>(what[k])))
            ++k;
        if (k == n) return i;
    }
    return std::string::npos;
}

SIZE TextSize(HDC dc, const std::string& s) {
    SIZE size = {0, 0};
    if (!s.empty()) size = TextExtentUtf8(dc, s);
    return size;
}

}  // namespace

bool ParseLinkColour(const char* text, COLORREF* colour) noexcept {
    if (!text || !colour) return false;
    const char* p = text;
    int rgb[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (!ReadComponent(p, &rgb[i])) return false;
        if (i < 2 && *p++ != ',') return false;
    }
    if (*p != '\0') return false;
    *colour = RGB(rgb[0], rgb[1], rgb[2]);
    return true;
}

LinkColours ReadLinkColours() noexcept {
    LinkColours colours;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kLinkColourKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return colours;
    ReadColourValue(key, kLinkColourValue, &colours.normal);
    ReadColourValue(key, kVisitedLinkColourValue, &colours.visited);
    RegCloseKey(key);
    return colours;
}

LinkText SplitLinkText(const std::string& text, bool useTags) {
    LinkText parts;
    size_t open = useTags ? FindNoCase(text, "<A>", 0) : std::string::npos;
    if (open == std::string::npos) {
        parts.link = text;
        return parts;
    }
    size_t start = open + 3;
    size_t close = FindNoCase(text, "</A>", start);
    parts.before = text.substr(0, open);
    if (close == std::string::npos) {
        parts.link = text.substr(start);
    } else {
        parts.link = text.substr(start, close - start);
        parts.after = text.substr(close + 4);
    }
    return parts;
}

bool CHyperLink::Attach(HWND label, const char* target, unsigned options) noexcept {
    if (hwnd_ || !label || !IsWindow(label)) return false;
    try {
        target_ = target ? target : "";
        options_ = options;
        colours_ = ReadLinkColours();
        if (!SetWindowSubclass(label, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
        hwnd_ = label;
        TakeText();
        MakeFont();
        MakeTooltip();
        Layout(nullptr);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return true;
    } catch (...) {
        Detach();
        return false;
    }
}

void CHyperLink::Detach() noexcept {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, Proc, kSubclassId);
    if (pressed_ && GetCapture() == hwnd_) ReleaseCapture();
    tooltip_.reset();
    underlined_.reset();
    hwnd_ = nullptr;
    pressed_ = false;
}

void CHyperLink::TakeText() {
    int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), length + 1)));
    text_ = SplitLinkText(text, (options_ & kUseTags) != 0);
}

void CHyperLink::MakeFont() {
    HFONT base = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf = {};
    if (!GetObjectA(base, sizeof lf, &lf)) return;
    lf.lfUnderline = TRUE;
    underlined_.reset(CreateFontIndirectA(&lf));
}

void CHyperLink::MakeTooltip() {
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, nullptr, nullptr));
    if (!tooltip_) return;
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = GetParent(hwnd_);
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = const_cast<char*>(target_.c_str());
    SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

// Places the three parts on one line from the top-left corner and remembers the
// link's rectangle for hit-testing; with a DC it also draws them.
void CHyperLink::Layout(HDC paintDc) {
    HDC dc = paintDc ? paintDc : GetDC(hwnd_);
    if (!dc) return;
    HFONT normal = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    if (!normal) normal = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ old = SelectObject(dc, normal);
    SIZE before = TextSize(dc, text_.before);
    if (paintDc && !text_.before.empty())
        TextOutUtf8(dc, 0, 0, text_.before);

    SelectObject(dc, underlined_ ? underlined_.get() : normal);
    SIZE link = TextSize(dc, text_.link);
    if (paintDc && !text_.link.empty()) {
        COLORREF textColour = SetTextColor(dc, visited_ ? colours_.visited : colours_.normal);
        TextOutUtf8(dc, before.cx, 0, text_.link);
        SetTextColor(dc, textColour);
    }
    linkRect_ = RECT{before.cx, 0, before.cx + link.cx, link.cy};

    SelectObject(dc, normal);
    if (paintDc && !text_.after.empty())
        TextOutUtf8(dc, linkRect_.right, 0, text_.after);
    SelectObject(dc, old);
    if (!paintDc) ReleaseDC(hwnd_, dc);
}

void CHyperLink::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (!dc) return;
    // The parent chooses the background and text colour, as for any static control.
    HWND parent = GetParent(hwnd_);
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
    SetBkMode(dc, TRANSPARENT);
    Layout(dc);
    if (GetFocus() == hwnd_) {
        RECT focus = linkRect_;
        DrawFocusRect(dc, &focus);
    }
    EndPaint(hwnd_, &ps);
}

bool CHyperLink::OverLink(LPARAM lp) const {
    POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    return PtInRect(&linkRect_, pt) != FALSE;
}

void CHyperLink::Click() {
    HWND parent = GetParent(hwnd_);
    int id = GetDlgCtrlID(hwnd_);
    if (options_ & kNotifyParent) {
        NMHDR hdr = {hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(NM_CLICK)};
        SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&hdr));
    } else if (options_ & kCommandParent) {
        SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(hwnd_));
    } else if (ShellOpen(parent, target_.c_str()) > 32) {
        visited_ = true;
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

LRESULT CHyperLink::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    handled = true;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;  // a plain static lets the mouse fall through to its parent
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd_, &pt);
        if (PtInRect(&linkRect_, pt)) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (tooltip_) {
            MSG relay = {hwnd_, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
            SendMessageA(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
        }
        break;
    case WM_LBUTTONDOWN:
        if (OverLink(lp)) {
            if (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_TABSTOP) SetFocus(hwnd_);
            pressed_ = true;
            SetCapture(hwnd_);
        }
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            ReleaseCapture();
            if (OverLink(lp)) Click();
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        break;
    case WM_GETDLGCODE: {
        // Enter reaches the label instead of the dialog's default button.
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        LRESULT code = DLGC_WANTCHARS;
        if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_CHAR:
        if (wp == VK_RETURN || wp == VK_SPACE) Click();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    case WM_SETTEXT: {
        LRESULT r = DefSubclassProc(hwnd_, msg, wp, lp);
        TakeText();
        Layout(nullptr);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return r;
    }
    case WM_NCDESTROY: {
        HWND h = hwnd_;
        Detach();
        return DefSubclassProc(h, msg, wp, lp);
    }
    default:
        break;
    }
    handled = false;
    return 0;
}

LRESULT CALLBACK CHyperLink::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) noexcept {
    try {
        bool handled = false;
        LRESULT r = reinterpret_cast<CHyperLink*>(self)->OnMessage(msg, wp, lp, handled);
        if (handled) return r;
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace uikit
