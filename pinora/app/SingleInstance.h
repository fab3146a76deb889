// One Pinora per user: the named mutex, and the hand-over from a second copy to
// the running one through a property of the desktop window.
#pragma once
#include <windows.h>

namespace pinora {

extern const char* const kMutexName;     // "PinoraNotes"
extern const char* const kDesktopProp;   // "Pinora prop"

// When another copy runs: shows its main window, or its login dialog when nobody
// is logged in there, and returns true. The caller then exits with 0.
bool HandOverToRunningCopy();

// The first copy publishes its main window for later copies to find.
void PublishMainWindow(HWND main);
void WithdrawMainWindow();

}  // namespace pinora
