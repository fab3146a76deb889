// The stick manager ("PN_STICKSMGR"): a top-level window with the month buttons
// and the month calendar. The main window opens it with command 32776 and
// destroys it on log-out.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "CalendarWnd.h"
#include "Window.h"

namespace pinora {

constexpr int kPreviousMonthButton = 100;
constexpr int kNextMonthButton = 101;
constexpr int kCalendarId = 102;
constexpr int kMonthLabel = 103;

class CStickManagerWnd : public uikit::Window {
public:
    // sticksFolder: the logged-in user's sticks folder, asked at every reload.
    explicit CStickManagerWnd(std::function<std::string()> sticksFolder) : calendar_(std::move(sticksFolder)) {}

    // Creates it the first time (500 x 600 at 0, 0, no owner), then shows it
    // maximised in front with string 22 as its title. mainWindow takes commands
    // 32775 and MWM_GETSTICKEDITOR; editor is the stick editor when it exists.
    HWND Open(HWND mainWindow, HWND editor);

    // The month buttons: months back (negative) or forward, on day 20.
    void StepMonth(int months);
    CCalendarWnd& Calendar() { return calendar_; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void PlaceOnCursorMonitor();
    void OnCreate();
    void OnSize(int width, int height);
    void ShowMonth(const CivilDate& date);
    HWND MakeChild(const char* className, const std::string& text, DWORD style, int id);

    CCalendarWnd calendar_;
    HWND previous_ = nullptr;
    HWND next_ = nullptr;
    HWND monthLabel_ = nullptr;
};

}  // namespace pinora
