#include "StickManager.h"

#include <algorithm>
#include <cstdio>

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "StickEditorMessages.h"
#include "WindowPlacement.h"

namespace pinora {
namespace {

constexpr const char* kManagerClass = "PN_STICKSMGR";

std::string MonthName(const CivilDate& d) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = 1;
    char text[64] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "MMMM yyyy", text, sizeof text) == 0)
        std::snprintf(text, sizeof text, "%d-%02d", d.year, d.month);
    return text;
}

}  // namespace

HWND CStickManagerWnd::Open(HWND mainWindow, HWND editor) {
    if (!IsAlive()) {
        if (!RegisterWindowClass(kManagerClass, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return nullptr;
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        if (!CreateWindowOf(0, kManagerClass, "", style, 0, 0, 500, 600, nullptr, nullptr)) return nullptr;
    }
    calendar_.SetWindows(mainWindow, editor);
    SetWindowTextA(hwnd(), LoadResString(IDS_CALENDAR_TITLE).c_str());
    if (!IsWindowVisible(hwnd())) PlaceOnCursorMonitor();
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    SetForegroundWindow(hwnd());
    ShowMonth(calendar_.Date());  // announces where the grid now lies
    return hwnd();
}

void CStickManagerWnd::PlaceOnCursorMonitor() {
    // Maximised on the monitor the user works on: Windows maximises a window on
    // the monitor of its normal place, given in workspace coordinates (from the
    // primary monitor's work area).
    WINDOWPLACEMENT place = {};
    place.length = sizeof place;
    if (!GetWindowPlacement(hwnd(), &place)) return;
    const uikit::Monitor m = uikit::MonitorAtCursor();
    const uikit::Rect normal = uikit::ToRect(place.rcNormalPosition);
    const uikit::Rect primaryWork = uikit::PrimaryMonitor().work;
    uikit::Rect onScreen = uikit::FitInside(
        uikit::Rect{m.work.left, m.work.top, m.work.left + normal.Width(), m.work.top + normal.Height()}, m.work);
    place.rcNormalPosition = RECT{onScreen.left - primaryWork.left, onScreen.top - primaryWork.top,
                                  onScreen.right - primaryWork.left, onScreen.bottom - primaryWork.top};
    place.showCmd = SW_HIDE;
    SetWindowPlacement(hwnd(), &place);
}

void CStickManagerWnd::StepMonth(int months) { ShowMonth(pinora::StepMonth(calendar_.Date(), months)); }

LRESULT CStickManagerWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == kPreviousMonthButton) StepMonth(-1);
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == kNextMonthButton) StepMonth(+1);
        return 0;
    case CAL_REFRESH:
        // The month shown, read again.
        ShowMonth(CivilDate{calendar_.Date().year, calendar_.Date().month, 20});
        return 0;
    default:
        return Default(msg, wp, lp);
    }
}

HWND CStickManagerWnd::MakeChild(const char* className, const std::string& text, DWORD style, int id) {
    HWND child = CreateWindowExA(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

void CStickManagerWnd::OnCreate() {
    previous_ = MakeChild("BUTTON", LoadResString(IDS_PREVIOUS_MONTH), BS_PUSHBUTTON | WS_TABSTOP, kPreviousMonthButton);
    next_ = MakeChild("BUTTON", LoadResString(IDS_NEXT_MONTH), BS_PUSHBUTTON | WS_TABSTOP, kNextMonthButton);
    monthLabel_ = MakeChild("STATIC", "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kMonthLabel);
    calendar_.Create(hwnd(), kCalendarId);
    calendar_.LoadDayNames();
    const LocalTime now = CurrentClock().Now();
    calendar_.SetDate(CivilDate{now.year, now.month, now.day});
}

void CStickManagerWnd::OnSize(int width, int height) {
    MoveWindow(previous_, 0, 8, 120, 25, TRUE);
    MoveWindow(next_, 122, 8, 120, 25, TRUE);
    MoveWindow(monthLabel_, 254, 8, 240, 25, TRUE);
    MoveWindow(calendar_.hwnd(), 0, 33, width, std::max(0, height - 33), TRUE);
}

void CStickManagerWnd::ShowMonth(const CivilDate& date) {
    calendar_.SetDate(date);
    SetWindowTextA(monthLabel_, MonthName(calendar_.Date()).c_str());
    // Where the grid lies on the screen, for the end-to-end runs.
    RECT rc = {};
    GetClientRect(calendar_.hwnd(), &rc);
    POINT origin = {0, 0};
    ClientToScreen(calendar_.hwnd(), &origin);
    char line[128];
    std::snprintf(line, sizeof line, "Pinora: calendar shows %d-%02d at %ld,%ld size %ldx%ld\n", calendar_.Date().year,
                  calendar_.Date().month, origin.x, origin.y, rc.right, rc.bottom);
    OutputDebugStringA(line);
}

}  // namespace pinora
