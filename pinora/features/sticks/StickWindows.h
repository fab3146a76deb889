// The sticks windows the main window owns: the stick editor, the alarm pop-up
// and the today window, with the agent picture, and the scheduler's tick.
// The main window keeps one of these and forwards its commands to it.
#pragma once
#include <windows.h>

#include <string>

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

    // Timer 10: one scheduler pass and a pop-up for each of its events. False
    // when a field could not be read: the caller stops its timer.
    bool RunAlarmCheck();
    void ShowAlarm(const AlarmEvent& event);

    // Command 32794; true when the window is shown afterwards.
    bool ToggleToday();
    bool TodayShown() const { return today_.IsAlive(); }
    // Commands 32800 (1) and 32801 (0); the caller then rebuilds.
    void SetTodayFilter(int filter) { todayFilter_ = filter; }
    int TodayFilter() const { return todayFilter_; }
    // Sticks or the filter changed: a shown today window is built again.
    void RebuildToday();

    CStickEditDlg& Editor() { return editor_; }
    CAlarmDlg& Popup() { return popup_; }
    CTodayWnd& Today() { return today_; }
    HBITMAP Agent();

private:
    void CreateToday();
    void LoadAgent();

    HWND main_;
    HMENU menu_;
    CStickEditDlg editor_;
    CAlarmDlg popup_;
    CTodayWnd today_;
    uikit::UniqueBitmap agent_;
    bool agentLoaded_ = false;
    int todayFilter_ = 1;
};

}  // namespace pinora
