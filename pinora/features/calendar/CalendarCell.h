// One day of the month calendar ("PN_CALENDARCELL"): a header with the date and a
// list of the day's sticks ("PN_LISTBOX"). A double click on the header asks for
// the day list, one on a stick asks the calendar to open it in the editor, the
// right button asks for the day's context menu.
#pragma once
#include <windows.h>

#include <string>

#include "CalendarMessages.h"
#include "CalendarModel.h"
#include "Window.h"

namespace pinora {

constexpr int kCellIdBase = 8000;
constexpr int kCellHeaderHeight = 17;
constexpr int kListItemHeight = 15;
constexpr COLORREF kCellMonthColour = 0xEC9A5F;
constexpr COLORREF kCellOtherMonthColour = 0xC0C0C0;
constexpr COLORREF kCellHoverColour = 0xFF00FF;
constexpr COLORREF kFocusedItemText = 0x00FF00;
constexpr COLORREF kTodayHeaderText = 0xFFFFFF;

class CCalendarCell : public uikit::Window {
public:
    // A child of the calendar with identifier 8000 + index.
    HWND Create(HWND calendar, int index);

    // Takes the day and what it lists (the calendar reads the month in one pass).
    void SetDay(const DayDate& date, const std::string& alarmPath, DaySticks sticks);
    // Reads the day's sticks again from the table.
    void Reload();

    const DayDate& Date() const { return date_; }
    const DaySticks& Sticks() const { return sticks_; }
    HWND List() const { return list_; }
    bool Hovered() const { return hover_; }
    std::string HeaderText() const { return CellHeaderText(date_); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnCreate();
    void OnSize(int width, int height);
    void OnPaint();
    void OnDoubleClick(int y);
    void OpenSelectedStick();
    void SetHover(bool on);
    void CheckHover();
    COLORREF HeaderTextColour() const;
    void FillList();
    int SelectedIndex() const;
    CellRequest Request() const;
    LRESULT CopySelectedText(int size, char* buffer) const;

    HWND list_ = nullptr;
    int index_ = 0;
    DayDate date_;
    std::string alarmPath_;
    DaySticks sticks_;
    bool hover_ = false;
};

// The list box class of the cells, a superclass of "LISTBOX": fixed 15-pixel
// owner-drawn items, finished sticks struck through, the focused item in green on
// the highlight colour. Registered once; false when that fails.
bool RegisterDayListBox();
constexpr const char* kDayListBoxClass = "PN_LISTBOX";
// Draws one item of such a list (the cell gets WM_DRAWITEM for it). itemData of
// each item points at its ListedStick.
void DrawDayListItem(const DRAWITEMSTRUCT& item);

}  // namespace pinora
