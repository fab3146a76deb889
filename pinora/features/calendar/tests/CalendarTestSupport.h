// What the calendar's tests do to a day cell's list as the mouse would, and how
// they read it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "CalendarCell.h"

namespace pinora::test {

// A double click on item i of the cell's list.
inline void DoubleClickItem(CCalendarCell& cell, int i) {
    RECT item = {};
    SendMessageA(cell.List(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 10, item.top + 5);
    SendMessageA(cell.List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(cell.List(), WM_LBUTTONUP, 0, at);
    SendMessageA(cell.List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(cell.List(), WM_LBUTTONUP, 0, at);
}

inline std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> texts;
    const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[300] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

}  // namespace pinora::test
