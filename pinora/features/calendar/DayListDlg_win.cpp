#include "DayListDlg.h"

#include <cstdio>
#include <string>

#include "CalendarMessages.h"
#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "WindowPlacement.h"

namespace pinora {
namespace {

std::string LongDate(const DayDate& d) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    st.wDayOfWeek = static_cast<WORD>(d.dayOfWeek);
    char text[128] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, text, sizeof text) == 0)
        std::snprintf(text, sizeof text, "%d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

}  // namespace

HWND CDayListDlg::Open(HWND owner, HWND centreOn) {
    if (IsWindowAlive()) return hwnd();
    if (!Create(ResLib(), IDD_DAY_LIST, owner)) return nullptr;
    uikit::CenterWindow(hwnd(), centreOn);
    return hwnd();
}

INT_PTR CDayListDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            ShowWindow(hwnd(), SW_HIDE);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        return TRUE;
    case DLM_SHOWDAY:
        ShowDay(reinterpret_cast<const char*>(wp), reinterpret_cast<const DayDate*>(lp));
        return TRUE;
    default:
        return FALSE;
    }
}

void CDayListDlg::ShowDay(const char* alarmPath, const DayDate* date) {
    HWND list = Item(IDC_DAY_LIST_ITEMS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SetDlgItemTextA(hwnd(), IDC_DAY_LIST_TEXT, "");
    if (alarmPath == nullptr || date == nullptr) return;
    std::string all;
    // Every stick of the day, finished ones too.
    for (const ListedStick& stick : LoadDaySticks(alarmPath, DateNumberOf(*date), false)) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(stick.text.c_str()));
        if (!all.empty()) all += "\r\n";
        all += stick.text;
    }
    SetDlgItemTextA(hwnd(), IDC_DAY_LIST_TEXT, all.c_str());
    // The caption text comes from the resource library: its "%s" is replaced, it is
    // never used as a format.
    std::string caption = LoadResString(IDS_DAY_LIST_CAPTION);
    const size_t at = caption.find("%s");
    if (at != std::string::npos) caption.replace(at, 2, LongDate(*date));
    SetWindowTextA(hwnd(), caption.c_str());
}

}  // namespace pinora
