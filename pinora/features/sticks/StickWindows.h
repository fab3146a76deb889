// The sticks windows the main window owns: the stick editor, the alarm pop-up
// and the today window, with the agent picture, and the scheduler's tick.
// The main window keeps one of these and forwards its commands to it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AlarmPopup.h"
#include "Handles.h"
#include "Scheduler.h"
#include "StickEditor.h"
#include "TodayWindow.h"

namespace pinora {

// The logged-in user's sticks folder (P\U\data\sticks\), or "" while nobody is.
std::string UserSticksFolder();

class StickWindows {
public:
    StickWindows(HWND mainWindow, HMENU mainMenu);
    ~StickWindows();
    StickWindows(const StickWindows&) = delete;
    StickWindows& operator=(const StickWindows&) = delete;

    // Command 32775: the editor for a new stick, at the lower right corner.
    HWND OpenNewStickEditor(HWND notify = nullptr);
    HWND EditorWindow() const;

    // Timer 10: one scheduler pass and a pop-up for each of its events. When a
    // field could not be read, stopTimer runs before the error box is shown (so
    // the timer cannot bring another box while it waits) and the result is false.
    // A table that cannot be read at all is reported once per run.
    // missedSince: at waking from sleep, when it began (see CheckAlarms).
    // While the user is busy (quiet while busy on) or away, the pop-ups come
    // quietly: no focus taken, no wink, no picture; none is left out.
    bool RunAlarmCheck(const std::function<void()>& stopTimer = {}, const LocalTime* missedSince = nullptr);
    // A pop-up of its own for each alarm; one already showing the record takes
    // the new text. playWink: the pass plays the stick wink once. quiet: as above.
    void ShowAlarm(const AlarmEvent& event, bool playWink = true, bool quiet = false);
    // The pop-ups on the screen, oldest first.
    std::vector<CAlarmDlg*> Popups();

    // Command 32794; true when the window is shown afterwards.
    bool ToggleToday();
    bool TodayShown() const { return today_.IsAlive(); }
    // Commands 32800 (1) and 32801 (0); the caller then rebuilds.
    void SetTodayFilter(int filter) { todayFilter_ = filter; }
    int TodayFilter() const { return todayFilter_; }
    // Sticks or the filter changed: a shown today window is built again.
    void RebuildToday();
    // The displays changed: the today window and the pop-ups move onto a
    // monitor that is there.
    void KeepOnScreen();

    CStickEditDlg& Editor() { return editor_; }
    // The pop-up shown last (an empty one when none was).
    CAlarmDlg& Popup();
    CTodayWnd& Today() { return today_; }
    HBITMAP Agent();

private:
    void CreateToday();
    void LoadAgent();
    void ForgetPopupsOf(int record);
    int FreeStackSlot();
    void ReportDamagedTable(const std::string& path);
    void RefreshTodayIfStale(bool statesChanged);

    HWND main_;
    HMENU menu_;
    CStickEditDlg editor_;
    std::vector<std::unique_ptr<CAlarmDlg>> popups_;
    CTodayWnd today_;
    uikit::UniqueBitmap agent_;
    bool agentLoaded_ = false;
    int todayFilter_ = 1;
};

}  // namespace pinora
