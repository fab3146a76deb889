// The month calendar ("PN_CALENDARWND"): the day-name header, the grid and 42 day
// cells. It opens the stick editor for the cells, through the main window and the
// editor's messages, and shows a day's context menu and the day list.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CalendarCell.h"
#include "CalendarMessages.h"
#include "CalendarModel.h"
#include "DayListDlg.h"
#include "Window.h"

namespace pinora {

constexpr COLORREF kCalendarHeaderColour = 0x6B5704;
constexpr COLORREF kCalendarGridColour = 0x00FF00;

class CCalendarWnd : public uikit::Window {
public:
    // sticksFolder gives the user's sticks folder (with its trailing separator),
    // asked at every reload so the calendar always shows the user logged in now.
    explicit CCalendarWnd(std::function<std::string()> sticksFolder) : sticksFolderOf_(std::move(sticksFolder)) {}

    HWND Create(HWND parent, int id);
    // The window that takes command 32775 and MWM_GETSTICKEDITOR, and the editor
    // when it exists already.
    void SetWindows(HWND mainWindow, HWND editor);
    // Day names from strings 32 (Sunday) to 38 (Saturday).
    void LoadDayNames();

    // Shows the month of the date, reading the alarm table once for all 42 days.
    // False (and nothing changes) for a date the calendar cannot show.
    bool SetDate(const CivilDate& date);
    const CivilDate& Date() const { return date_; }

    // Pops a menu up at a point and returns the command chosen, or 0. Tests
    // choose without a menu on the screen.
    using MenuChooser = std::function<UINT(HMENU menu, POINT at, HWND owner)>;
    void SetMenuChooser(MenuChooser chooser) { chooseFromMenu_ = std::move(chooser); }

    CCalendarCell& Cell(int index) { return *cells_[static_cast<size_t>(index)]; }
    // The cell that shows the date (yyyyMMdd as a number), or nullptr.
    CCalendarCell* FindCell(int dateNumber);
    CDayListDlg& DayList() { return dayList_; }
    const std::array<std::string, 7>& DayNames() const { return dayNames_; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnCreate();
    void OnDestroy();
    void OnSize(int width, int height);
    void OnPaint();
    void EditStick(const CellRequest& request);
    void NewStick(const CellRequest& request);
    void ContextMenu(const CellRequest& request);
    void ShowDayList(const CellRequest& request);
    HWND OpenEditorForNewStick();
    std::string AlarmPath() const;
    HWND Manager() const { return GetParent(hwnd()); }

    std::function<std::string()> sticksFolderOf_;
    std::vector<std::unique_ptr<CCalendarCell>> cells_;
    std::array<std::string, 7> dayNames_;
    CivilDate date_;
    HWND main_ = nullptr;
    HWND editor_ = nullptr;
    CDayListDlg dayList_;
    MenuChooser chooseFromMenu_;
};

}  // namespace pinora
