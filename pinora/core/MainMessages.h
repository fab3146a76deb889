// The main window's private messages: the contract between the windows of the
// features and the main window that owns them. Features send these; only the
// main window handles them.
#pragma once
#include <windows.h>

namespace pinora {

constexpr UINT MWM_TRAYNOTIFY = 0x89C5;      // notification icon callback (icon id 1000)
constexpr UINT MWM_GETSTICKEDITOR = 0x89C7;  // returns the stick editor's window
constexpr UINT MWM_ISLOGGEDIN = 0x89C8;      // returns bLoggedIn (asked by a second copy)
constexpr UINT MWM_CLOSEPOPUPS = 0x89C9;     // close calendar and notes manager, rebuild, start timer 10
constexpr UINT MWM_STARTTIMER = 0x89CA;      // start timer 10 when somebody is logged in
constexpr UINT MWM_STICKSCHANGED = 0x89CB;   // sticks changed: rebuild the today window
constexpr UINT MWM_TIPHELP = 0x8E11;         // open the help page, close the rest notifier
constexpr UINT MWM_SYNCCALL = 0x8A40;        // the sync's worker: run wParam(lParam) on this thread (sent)
constexpr UINT MWM_SYNCDONE = 0x8A41;        // the sync's worker has finished (posted)
constexpr UINT MWM_HOTKEYDIALOG = 0x89D0;    // open the hotkey dialog; wParam 0 quick note, 1 screen capture

}  // namespace pinora
