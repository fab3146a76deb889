// Messages between the stick manager's windows: the day cells ask the calendar to
// open the editor, the context menu or the day list; the calendar reloads cells;
// the day list dialog is told which day to list.
#pragma once
#include <windows.h>

#include <string>

#include "CalendarModel.h"

namespace pinora {

constexpr UINT CALM_NEWSTICK = 0x8B56;     // lParam: const CellRequest*
constexpr UINT CALM_EDITSTICK = 0x8B57;    // lParam: const CellRequest*
constexpr UINT CELLM_GETTEXT = 0x8B59;     // wParam: buffer size, lParam: buffer
constexpr UINT CALM_CONTEXTMENU = 0x8B5A;  // lParam: const CellRequest*
constexpr UINT CELLM_RELOAD = 0x8B5B;
constexpr UINT CALM_DAYLIST = 0x8B5C;      // lParam: const CellRequest*
constexpr UINT DLM_SHOWDAY = 0x8C1D;       // wParam: "alarm.ser" path, lParam: const DayDate*

// What a cell hands the calendar: its day, itself, its table and, when a stick is
// to be opened, that stick as read from its own record.
struct CellRequest {
    DayDate date;
    HWND cell = nullptr;
    std::string alarmPath;
    int itemCount = 0;
    int index = -1;          // the selected list item, -1 for none
    int record = 0;          // the selected stick's record
    int state = 0;           // its STATE as a number
    std::string code;        // its alarm code
    std::string weekly;      // its weekday text
    std::string text;        // the selected item's text
};

}  // namespace pinora
