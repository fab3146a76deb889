#include "CalendarCell.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "AlarmStore.h"
#include "CalendarMessages.h"
#include "Handles.h"
#include "Settings.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr const char* kCellClass = "PN_CALENDARCELL";
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverCheckMs = 100;
WNDPROC g_listBoxProc = nullptr;

// Finished sticks, struck through; one font for every list, kept until the end.
HFONT StruckFont() {
    static uikit::UniqueFont font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, TRUE, DEFAULT_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                              DEFAULT_PITCH | FF_DONTCARE, "Arial"));
    return font.get();
}

HFONT ListFont(HWND list) {
    if (HFONT own = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0))) return own;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Whether the point (list coordinates) lies on an item rather than below the last.
bool OnItem(HWND list, LPARAM point) {
    const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, point);
    return HIWORD(hit) == 0;
}

LRESULT BaseListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(g_listBoxProc, hwnd, msg, wp, lp);
}

// The cells' list box: everything the list box does, and the mouse passed on to
// the cell, which owns the hover colour and opens what was double-clicked.
LRESULT CALLBACK DayListBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        HWND cell = GetParent(hwnd);
        switch (msg) {
        case WM_NCCREATE: {
            const LONG_PTR wanted = LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
            reinterpret_cast<CREATESTRUCTA*>(lp)->style |= static_cast<LONG>(wanted);
            SetWindowLongPtrA(hwnd, GWL_STYLE, GetWindowLongPtrA(hwnd, GWL_STYLE) | wanted);
            break;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONUP: {
            const LRESULT r = BaseListProc(hwnd, msg, wp, lp);
            SendMessageA(cell, msg, wp, lp);
            return r;
        }
        case WM_LBUTTONDBLCLK: {
            const LRESULT r = BaseListProc(hwnd, msg, wp, lp);
            // Below the header: the cell opens the selected stick.
            if (OnItem(hwnd, lp)) SendMessageA(cell, msg, wp, MAKELPARAM(LOWORD(lp), kCellHeaderHeight));
            return r;
        }
        case WM_KEYDOWN:
            if (wp == VK_RETURN) {
                SendMessageA(cell, WM_LBUTTONDBLCLK, 0, MAKELPARAM(0, kCellHeaderHeight));
                return 0;
            }
            break;
        default:
            break;
        }
        return BaseListProc(hwnd, msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

}  // namespace

bool RegisterDayListBox() {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(module, kDayListBoxClass, &wc)) return true;
    WNDCLASSEXA base = {};
    base.cbSize = sizeof base;
    if (!GetClassInfoExA(nullptr, "LISTBOX", &base)) return false;
    g_listBoxProc = base.lpfnWndProc;
    base.cbSize = sizeof base;
    base.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    base.lpfnWndProc = DayListBoxProc;
    base.hInstance = module;
    base.lpszClassName = kDayListBoxClass;
    return RegisterClassExA(&base) != 0;
}

void DrawDayListItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HWND list = item.hwndItem;
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, item.itemID, 0);
    if (length == LB_ERR) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));

    const auto* stick = reinterpret_cast<const ListedStick*>(item.itemData);
    const bool finished = stick != nullptr && item.itemData != static_cast<ULONG_PTR>(LB_ERR) && stick->finished == 1;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    RECT rc = item.rcItem;
    FillRect(item.hDC, &rc, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, focused ? kFocusedItemText : RGB(0, 0, 0));
    SetBkMode(item.hDC, TRANSPARENT);
    HGDIOBJ old = SelectObject(item.hDC, finished ? StruckFont() : ListFont(list));
    rc.left += 5;
    uikit::DrawTextUtf8(item.hDC, text, &rc, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(item.hDC, old);
}

HWND CCalendarCell::Create(HWND calendar, int index) {
    index_ = index;
    if (!RegisterWindowClass(kCellClass, CS_DBLCLKS, nullptr)) return nullptr;
    return CreateWindowOf(0, kCellClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, calendar,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCellIdBase + index)));
}

LRESULT CCalendarCell::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole cell
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kListItemHeight;
        return TRUE;
    case WM_DRAWITEM:
        DrawDayListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lp) == list_ && HIWORD(wp) == LBN_KILLFOCUS) SetHover(false);
        return 0;
    case WM_MOUSEMOVE:
        SetHover(true);
        return 0;
    case WM_MOUSELEAVE:
    case WM_TIMER:
        if (msg == WM_MOUSELEAVE || wp == kHoverTimer) CheckHover();
        return 0;
    case WM_KILLFOCUS:
        SetHover(false);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != list_) SetFocus(list_);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(static_cast<short>(HIWORD(lp)));
        return 0;
    case WM_RBUTTONUP: {
        const CellRequest request = Request();
        SendMessageA(GetParent(hwnd()), CALM_CONTEXTMENU, 0, reinterpret_cast<LPARAM>(&request));
        return 0;
    }
    case CELLM_RELOAD:
        Reload();
        return 0;
    case CELLM_GETTEXT:
        return CopySelectedText(static_cast<int>(wp), reinterpret_cast<char*>(lp));
    default:
        return Default(msg, wp, lp);
    }
}

void CCalendarCell::OnCreate() {
    RegisterDayListBox();
    list_ = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kDayListBoxClass, "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                LBS_NOINTEGRALHEIGHT,
                            0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCellIdBase + index_)),
                            GetModuleHandleA(nullptr), nullptr);
    if (!list_) return;
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(list_, LB_SETITEMHEIGHT, 0, kListItemHeight);
}

void CCalendarCell::OnSize(int width, int height) {
    if (list_) MoveWindow(list_, 5, kCellHeaderHeight, std::max(0, width - 15), std::max(0, height - 22), TRUE);
}

void CCalendarCell::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    if (hover_) {
        uikit::UniqueBrush hover(CreateSolidBrush(kCellHoverColour));
        FillRect(dc, &client, hover.get());
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    }
    RECT header = client;
    header.bottom = kCellHeaderHeight;
    uikit::UniqueBrush headerBrush(CreateSolidBrush(date_.currentMonth ? kCellMonthColour : kCellOtherMonthColour));
    FillRect(dc, &header, headerBrush.get());
    if (date_.year != 0) {
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, HeaderTextColour());
        header.left += 3;
        const std::string text = HeaderText();
        uikit::DrawTextUtf8(dc, text, &header, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
    }
    EndPaint(hwnd(), &ps);
}

// Today in white, the month shown in black, its neighbours in grey.
COLORREF CCalendarCell::HeaderTextColour() const {
    const LocalTime now = CurrentClock().Now();
    if (DateNumberOf(date_) == DateNumber(now.year, now.month, now.day)) return kTodayHeaderText;
    return date_.currentMonth ? RGB(0, 0, 0) : RGB(0x60, 0x60, 0x60);
}

void CCalendarCell::SetDay(const DayDate& date, const std::string& alarmPath, DaySticks sticks) {
    if (list_) SendMessageA(list_, LB_RESETCONTENT, 0, 0);  // before the items' data go
    date_ = date;
    alarmPath_ = alarmPath;
    sticks_ = std::move(sticks);
    FillList();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CCalendarCell::Reload() {
    const bool hide = HidesFinished(ReadSetting("SETTINGS", "del_stick_directly", 2));
    SetDay(date_, alarmPath_, alarmPath_.empty() ? DaySticks{} : LoadDaySticks(alarmPath_, DateNumberOf(date_), hide));
}

void CCalendarCell::FillList() {
    if (!list_) return;
    // Filled without drawing item by item: a month refills every cell at once.
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const ListedStick& stick : sticks_) bytes += stick.text.size() + 1;
    SendMessageA(list_, LB_INITSTORAGE, sticks_.size(), bytes);
    for (size_t i = 0; i < sticks_.size(); ++i) {
        const LRESULT at = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(sticks_[i].text.c_str()));
        if (at >= 0) SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&sticks_[i]));
    }
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

int CCalendarCell::SelectedIndex() const {
    if (!list_) return -1;
    const LRESULT sel = SendMessageA(list_, LB_GETCURSEL, 0, 0);
    return sel >= 0 && static_cast<size_t>(sel) < sticks_.size() ? static_cast<int>(sel) : -1;
}

CellRequest CCalendarCell::Request() const {
    CellRequest r;
    r.date = date_;
    r.cell = hwnd();
    r.alarmPath = alarmPath_;
    r.itemCount = static_cast<int>(sticks_.size());
    r.index = SelectedIndex();
    if (r.index >= 0) r.text = sticks_[static_cast<size_t>(r.index)].text;
    return r;
}

void CCalendarCell::OnDoubleClick(int y) {
    if (y < kCellHeaderHeight) {
        const CellRequest request = Request();
        SendMessageA(GetParent(hwnd()), CALM_DAYLIST, 0, reinterpret_cast<LPARAM>(&request));
    } else {
        OpenSelectedStick();
    }
}

// The stick is read from its own record, the one its list item carries. A record
// that no longer holds a stick of this day (the table changed since the list was
// read) is not opened; the day is read again instead.
void CCalendarCell::OpenSelectedStick() {
    CellRequest request = Request();
    if (request.index < 0) return;
    request.record = sticks_[static_cast<size_t>(request.index)].record;
    char date[kLongestAlarmField + 1] = {}, code[kLongestAlarmField + 1] = {}, weekly[kLongestAlarmField + 1] = {};
    char state[kLongestAlarmField + 1] = {}, text[kLongestAlarmField + 1] = {};
    const std::string wanted = std::to_string(DateNumberOf(date_));
    const bool read = ReadAlarmField(alarmPath_, request.record, kAlarmDate, date) == 1 && wanted == date &&
                      ReadAlarmField(alarmPath_, request.record, kAlarmCode, code) == 1 &&
                      ReadAlarmField(alarmPath_, request.record, kAlarmWeekly, weekly) == 1 &&
                      ReadAlarmField(alarmPath_, request.record, kAlarmState, state) == 1 &&
                      ReadAlarmField(alarmPath_, request.record, kAlarmStick, text) == 1;
    if (!read) {
        Reload();
        return;
    }
    request.code = code;
    request.weekly = weekly;
    request.state = std::atoi(state);
    request.text = text;  // what the record holds now, not what the list showed when it was read
    SendMessageA(GetParent(hwnd()), CALM_EDITSTICK, 0, reinterpret_cast<LPARAM>(&request));
}

void CCalendarCell::SetHover(bool on) {
    if (hover_ == on) return;
    hover_ = on;
    // While hovered the cell looks where the cursor is: leave notices do not come
    // when another window (the editor, a menu) appears over the cell or the
    // cursor jumps away.
    if (on)
        SetTimer(hwnd(), kHoverTimer, kHoverCheckMs, nullptr);
    else
        KillTimer(hwnd(), kHoverTimer);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CCalendarCell::CheckHover() {
    // The cell's own list is part of the cell.
    POINT cursor;
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    if (under != hwnd() && !IsChild(hwnd(), under)) SetHover(false);
}

LRESULT CCalendarCell::CopySelectedText(int size, char* buffer) const {
    if (buffer == nullptr || size < 1) return 0;
    const int index = SelectedIndex();
    const std::string text = index >= 0 ? sticks_[static_cast<size_t>(index)].text : std::string();
    const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

}  // namespace pinora
