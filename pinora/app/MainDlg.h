// The hidden main window: quick-note box, notification icon and menu, global
// hotkeys and the 30-second timer. It owns every other window of the program.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "DayFiles.h"
#include "Dialog.h"
#include "Handles.h"
#include "Hotkeys.h"
#include "LoginDlg.h"
#include "MainMessages.h"
#include "RestReminder.h"
#include "NotesManager.h"

namespace pinora {

constexpr UINT kTrayIconId = 1000;
constexpr UINT_PTR kTickTimer = 10;
constexpr UINT kTickPeriodMs = 30000;
constexpr const char* kHelpPage = "https://pinora.app/help/";

class StickWindows;
class CBrowserPopup;
class CStickManagerWnd;
class CSettingsDlg;
class SyncController;

class CMainDlg : public uikit::Dialog {
public:
    CMainDlg();  // out of line: the sticks windows are only declared here
    ~CMainDlg() override;

    // Creates the window from the resource library; nullptr when that fails.
    HWND CreateMain();

    // The day's file names, recomputed from the clock (and the data folder created).
    void RefreshDayFiles();
    const DayFiles& Files() const { return files_; }

    // The hotkey dialog: mode 0 the quick-note hotkey, 1 the screen-capture one.
    void OpenHotkeyDialog(int mode);
    // The bitmap message window with text (the rest message when text is empty);
    // alarms under "check_draw" and the settings' sample show it this way.
    void ShowBitmapMessage(const char* text);

    // Command 32777: the settings dialog, made on first use (MainDlgSettings.cpp).
    void OpenSettings();
    CSettingsDlg* Settings() const { return settings_.get(); }

    // Sync (MainDlgSync.cpp): nothing runs while it is not set up.
    SyncController* Sync() const { return sync_.get(); }
    // Tests answer the .ics file dialogs: (save, path) -> chosen.
    void SetIcsChooser(std::function<bool(bool, std::string*)> chooser) { icsChooser_ = std::move(chooser); }

    // What tests look at.
    bool InitCompleted() const { return initCompleted_; }
    bool TrayIconAdded() const { return trayAdded_; }
    bool TickTimerRunning() const { return timerRunning_; }
    int TrayMenuShown() const { return trayMenuShown_; }
    int TrayMenuRefused() const { return trayMenuRefused_; }
    const HotkeySet& Hotkeys() const { return hotkeys_; }
    // The text of the last notification balloon shown (or asked for).
    const std::string& LastBalloon() const { return lastBalloon_; }
    HMENU TrayMenu() const { return trayMenu_.get(); }
    CLoginDlg& Login() { return login_; }
    bool HooksInstalled() const { return hooksInstalled_; }
    bool SessionNoticesRegistered() const { return sessionNotices_; }
    RestReminder& Rest() { return rest_; }
    CNotesManagerDlg& Notes() { return notes_; }
    // The stick editor, alarm pop-ups and today window, created on first use.
    StickWindows& Sticks();
    const CBrowserPopup* Dictionary() const;
    // The stick manager, while it exists (command 32776 creates it).
    CStickManagerWnd* Calendar() const { return calendar_.get(); }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnDestroy();
    void OnCommand(UINT id, UINT code);
    void OnHotkey(WPARAM id);
    void OnTrayNotify(WPARAM iconId, LPARAM mouseMsg);
    void OnTick();

    // Quick note
    void SaveQuickNote(bool hideDictionary);
    // A "remind ..." line (MainDlgReminder.cpp): a stick with the alarm read
    // from it, or the diary when none can be read; a balloon says which. False
    // when the line stays in the box (nobody logged in, or nothing could be written).
    bool SaveReminderLine(const std::string& line, const std::string& afterWord);
    void ClearAndHideQuickNote(bool hideDictionary);
    void ShowAtCorner();
    void HideMain();

    // Tray
    bool AddTrayIcon();
    void DeleteTrayIcon();
    void ShowTrayMenu();
    void SetMenuItemHotkeyText(HMENU menu, UINT id, const std::string& hotkey);
    void ShowTrayBalloon(const std::string& text);
    std::string lastBalloon_;

    // Timer 10 runs only while someone is logged in.
    void StartTickTimer();
    void StopTickTimer();

    // Shows the login dialog: mode 0 logs somebody in, mode 1 switches user.
    void OpenLogin(int mode);
    void OpenPasswordBox();
    void ClosePasswordBox();
    bool PasswordBoxInUse() const;
    void FreePasswordBoxLibrary();
    void PlacePasswordBox();
    void SetTodayMenuText(bool shown);
    void ApplyNoteFont();
    void CenterOverWorkArea();
    void StartProgram(const std::string& path, const std::string& args);

    // Activity hooks and the rest reminder (MainDlgRest.cpp).
    void StartActivityTracking();
    void StopActivityTracking();
    static std::uint32_t LastInputTick();
    // The user away or back: the session locked or switched away, the machine
    // asleep (WM_WTSSESSION_CHANGE, WM_POWERBROADCAST).
    void OnSessionChange(WPARAM change);
    void OnPowerBroadcast(WPARAM event);
    // The displays changed (WM_DISPLAYCHANGE, WM_DPICHANGED, a new work area):
    // every window onto a monitor that is there (MainDlgScreens.cpp).
    void KeepWindowsOnScreen();
    // Notes manager (MainDlgNotes.cpp): commands 1005 and 32772, Ctrl+Q, and
    // closing it, which offers unsaved edits for saving first (false: it stays).
    void OpenNotesManager();
    void ToggleNotesManager();
    bool CloseNotesManager(bool onlyIfVisible);
    // Before log-out or a switch of user: the windows that show the logged-in
    // user's data are settled for that user (an edited note saved or discarded)
    // and destroyed. False, said to the user, when the note could not be saved:
    // the user then stays logged in.
    bool SettleUserWindows();

    CLoginDlg login_;
    CNotesManagerDlg notes_;
    uikit::UniqueMenu trayMenu_;
    uikit::UniqueFont noteFont_;
    HotkeySet hotkeys_;
    DayFiles files_;
    HWND pwdBoxWnd_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    UINT taskbarCreatedMsg_ = 0;
    bool initCompleted_ = false;
    bool dropTargetRegistered_ = false;
    bool trayAdded_ = false;
    bool timerRunning_ = false;
    bool hooksInstalled_ = false;
    bool sessionNotices_ = false;  // registered for WM_WTSSESSION_CHANGE
    bool asleep_ = false;
    LocalTime asleepSince_;
    RestReminder rest_{&CMainDlg::LastInputTick};
    bool menuOpen_ = false;
    int trayMenuShown_ = 0;
    int trayMenuRefused_ = 0;
    UINT todayMode_ = 1;

    std::unique_ptr<CSettingsDlg> settings_;

    void InitSync();
    void UpdateSync();
    void SyncAfterSave();
    void OnSyncCommand(UINT id);
    bool ChooseIcsFile(bool save, std::string* path);
    std::unique_ptr<SyncController> sync_;
    bool syncApplying_ = false;
    std::function<bool(bool, std::string*)> icsChooser_;

    std::unique_ptr<StickWindows> sticks_;

    // Command box: command words in the note box, launchers, dictionary lookup.
    void InitCommandBox();
    BOOL OnNotify(const NMHDR& hdr);
    void OpenNewStickFromNoteBox();
    void StartCompanionEditorOnToday();
    void LookUpWords();
    void DockDictionary(const RECT& mainRect);
    void OnMoving(const RECT& dragged);
    void HideDictionary();
    std::unique_ptr<CBrowserPopup> dictionary_;  // created on the first lookup
    // The stick manager and its month calendar (MainDlgCalendar.cpp).
    void OpenCalendar();
    void CloseCalendar();
    HWND CalendarWindow() const;
    std::unique_ptr<CStickManagerWnd> calendar_;
};

}  // namespace pinora
