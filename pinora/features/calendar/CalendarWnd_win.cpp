#include "CalendarWnd.h"

#include <algorithm>

#include "AlarmStore.h"
#include "DoRoRazIds.h"
#include "Handles.h"
#include "MainMessages.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "StickEditorMessages.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr const char* kCalendarClass = "PN_CALENDARWND";

HFONT DayNameFont() {
    static uikit::UniqueFont font(CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                              DEFAULT_PITCH | FF_DONTCARE, "Arial"));
    return font.get();
}

bool IsShowable(const CivilDate& d) {
    return d.year >= kFirstShownYear && d.year <= kLastShownYear && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.year, d.month);
}

UINT TrackMenu(HMENU menu, POINT at, HWND owner) {
    return static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
}

LPARAM Text(const std::string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

}  // namespace

HWND CCalendarWnd::Create(HWND parent, int id) {
    if (!RegisterWindowClass(kCalendarClass, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return nullptr;
    return CreateWindowOf(0, kCalendarClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void CCalendarWnd::SetWindows(HWND mainWindow, HWND editor) {
    main_ = mainWindow;
    editor_ = editor;
}

void CCalendarWnd::LoadDayNames() {
    for (UINT i = 0; i < dayNames_.size(); ++i) dayNames_[i] = LoadResString(IDS_DAYNAME_FIRST + i, 32);
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

bool CCalendarWnd::SetDate(const CivilDate& date) {
    if (!IsShowable(date) || cells_.size() != kCalendarCells) return false;
    date_ = date;
    const MonthGrid grid = BuildMonthGrid(date.year, date.month);
    const std::string path = AlarmPath();
    const bool hide = HidesFinished(ReadSetting("SETTINGS", "del_stick_directly", 2));
    // One pass over the table for the whole month.
    auto sticks = path.empty() ? std::array<DaySticks, kCalendarCells>{} : LoadMonthSticks(path, grid, hide);
    for (size_t i = 0; i < cells_.size(); ++i) cells_[i]->SetDay(grid[i], path, std::move(sticks[i]));
    InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
}

CCalendarCell* CCalendarWnd::FindCell(int dateNumber) {
    for (auto& cell : cells_)
        if (DateNumberOf(cell->Date()) == dateNumber) return cell.get();
    return nullptr;
}

std::string CCalendarWnd::AlarmPath() const {
    const std::string folder = sticksFolderOf_ ? sticksFolderOf_() : std::string();
    return folder.empty() ? std::string() : folder + kAlarmTableName;
}

LRESULT CCalendarWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const auto* request = reinterpret_cast<const CellRequest*>(lp);
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case CALM_EDITSTICK:
        if (request) EditStick(*request);
        return 0;
    case CALM_NEWSTICK:
        if (request) NewStick(*request);
        return 0;
    case CALM_CONTEXTMENU:
        if (request) ContextMenu(*request);
        return 0;
    case CALM_DAYLIST:
        if (request) ShowDayList(*request);
        return 0;
    default:
        return Default(msg, wp, lp);
    }
}

void CCalendarWnd::OnCreate() {
    cells_.clear();
    for (int i = 0; i < kCalendarCells; ++i) {
        auto cell = std::make_unique<CCalendarCell>();
        cell->Create(hwnd(), i);
        cells_.push_back(std::move(cell));
    }
}

void CCalendarWnd::OnDestroy() { dayList_.Destroy(); }

void CCalendarWnd::OnSize(int width, int height) {
    for (size_t i = 0; i < cells_.size(); ++i) {
        const CellBox box = CellBoxOf(static_cast<int>(i), width, height);
        MoveWindow(cells_[i]->hwnd(), box.left, box.top, std::max(0, box.right - box.left),
                   std::max(0, box.bottom - box.top), TRUE);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CCalendarWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int width = client.right, gridTop = kCalendarTopBand + kCalendarHeader;
    const int columnWidth = width / kCalendarColumns;
    const int rowHeight = (client.bottom - gridTop) / kCalendarRows;

    RECT header = {0, kCalendarTopBand, width, gridTop};
    uikit::UniqueBrush headerBrush(CreateSolidBrush(kCalendarHeaderColour));
    FillRect(dc, &header, headerBrush.get());
    HGDIOBJ oldFont = SelectObject(dc, DayNameFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (int c = 0; c < kCalendarColumns; ++c) {
        RECT name = {c * columnWidth, kCalendarTopBand, (c + 1) * columnWidth, gridTop};
        uikit::DrawTextUtf8(dc, dayNames_[static_cast<size_t>(c)], &name,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);

    uikit::UniqueHandle<HPEN, uikit::GdiTraits<HPEN>> pen(CreatePen(PS_SOLID, 1, kCalendarGridColour));
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    for (int r = 1; r < kCalendarRows; ++r) {
        MoveToEx(dc, 0, gridTop + r * rowHeight, nullptr);
        LineTo(dc, width, gridTop + r * rowHeight);
    }
    for (int c = 1; c < kCalendarColumns; ++c) {
        MoveToEx(dc, c * columnWidth, gridTop, nullptr);
        LineTo(dc, c * columnWidth, client.bottom);
    }
    SelectObject(dc, oldPen);
    EndPaint(hwnd(), &ps);
}

// The editor is always opened as for a new stick first (command 32775 resets it),
// so nothing of the stick it held before, above all its record number, is left
// over to be saved into.
HWND CCalendarWnd::OpenEditorForNewStick() {
    if (main_ && IsWindow(main_)) {
        SendMessageA(main_, WM_COMMAND, ID_NEW_STICK, 0);
        HWND editor = reinterpret_cast<HWND>(SendMessageA(main_, MWM_GETSTICKEDITOR, 0, 0));
        if (editor && IsWindow(editor)) editor_ = editor;
    } else if (editor_ && IsWindow(editor_)) {
        SendMessageA(editor_, SEM_RESET, 0, 0);
        ShowWindow(editor_, SW_SHOW);
    }
    return editor_ && IsWindow(editor_) && IsWindowVisible(editor_) ? editor_ : nullptr;
}

void CCalendarWnd::EditStick(const CellRequest& r) {
    if (r.index < 0) return;
    HWND editor = OpenEditorForNewStick();
    if (!editor) return;
    SendMessageA(editor, SEM_SETTEXT, 0, Text(""));
    if (!r.text.empty()) {
        SendMessageA(editor, SEM_SETTEXT, 0, Text(r.text));
        SendMessageA(editor, SEM_ENABLEOK, 0, 1);
        SendMessageA(editor, SEM_LOADSTICK, reinterpret_cast<WPARAM>(r.weekly.c_str()), Text(r.code));
        SendMessageA(editor, SEM_SETRECORD, 0, r.record);
        SendMessageA(editor, SEM_SHOWDELETE, 0, 1);
        SendMessageA(editor, SEM_SETCAPTION, 0, Text(LoadResString(IDS_STICK_EDIT)));
        if (r.state != 1) {
            // A stick without alarm can be changed; a finished one is only shown.
            const bool plain = r.state == 3;
            SendMessageA(editor, SEM_SETCAPTION, 0, Text(LoadResString(plain ? IDS_STICK_NO_ALARM : IDS_STICK_FINISHED)));
            SendMessageA(editor, SEM_ENABLEOK, 0, plain ? 1 : 0);
            SendMessageA(editor, SEM_SHOWDELETE, 0, 0);
        }
    }
    SendMessageA(editor, SEM_SETNOTIFY, 0, reinterpret_cast<LPARAM>(Manager()));
}

void CCalendarWnd::NewStick(const CellRequest& r) {
    HWND editor = OpenEditorForNewStick();
    if (!editor) return;
    if (!r.text.empty()) SendMessageA(editor, SEM_SETTEXT, 0, Text(r.text));
    SendMessageA(editor, SEM_SETNOTIFY, 0, reinterpret_cast<LPARAM>(Manager()));
}

void CCalendarWnd::ContextMenu(const CellRequest& r) {
    uikit::UniqueMenu menu(LoadMenuA(ResLib(), MAKEINTRESOURCEA(IDR_CALENDAR_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return;
    // No new sticks on days gone by.
    const bool past = IsPastDay(r.date, CurrentClock().Now());
    EnableMenuItem(popup, ID_CAL_NEW_STICK, MF_BYCOMMAND | (past ? MF_GRAYED : MF_ENABLED));
    POINT at;
    GetCursorPos(&at);
    const UINT chosen = chooseFromMenu_ ? chooseFromMenu_(popup, at, hwnd()) : TrackMenu(popup, at, hwnd());
    if (chosen == ID_CAL_NEW_STICK && !past) {
        if (HWND editor = OpenEditorForNewStick()) {
            const LocalTime now = CurrentClock().Now();
            const std::string code = NewStickCode(r.date, now.hour, now.minute);
            SendMessageA(editor, SEM_LOADSTICK, reinterpret_cast<WPARAM>("0000000"), Text(code));
            SendMessageA(editor, SEM_SETNOTIFY, 0, reinterpret_cast<LPARAM>(Manager()));
        }
    } else if (chosen == ID_CAL_DAY_LIST) {
        SendMessageA(hwnd(), CALM_DAYLIST, 0, reinterpret_cast<LPARAM>(&r));
    }
    SendMessageA(hwnd(), WM_CANCELMODE, 0, 0);
}

void CCalendarWnd::ShowDayList(const CellRequest& r) {
    if (r.itemCount < 1) return;
    HWND dialog = dayList_.Open(hwnd(), hwnd());
    if (!dialog) return;
    SendMessageA(dialog, DLM_SHOWDAY, reinterpret_cast<WPARAM>(r.alarmPath.c_str()), reinterpret_cast<LPARAM>(&r.date));
    ShowWindow(dialog, SW_SHOW);
}

}  // namespace pinora
