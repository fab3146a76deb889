// The entry points of PnPwdBox.dll. The main program looks up SetPBDBFile and
// LaunchPwdBox by name; the others are for whoever embeds the box.
#pragma once
#include <windows.h>

#include "PnPwdBoxApi.h"

extern "C" {

// Creates the tables, runs the first-use wizard when it is due (null when it
// was cancelled), replaces any earlier frame and returns the new one, hidden.
HWND LaunchPwdBox();
// Destroys the frame, if there is one, and erases the box's keys. Called
// while a window of the box is busy (its modal dialog, a message box), it
// locks and hides the box at once and closes its dialogs; the frame goes at
// the next call, once nothing of the library is on the stack.
void PB_DestroyPwdBox();
// 1 while code of the library is on the stack (a window of it handling a
// message, its launch with the first-use wizard): it must not be freed then.
int PB_InUse();
// The database to use, unless "pnpb.ini" names another ("CUR_DB_FILE"). 1, or
// 0 for an absent or empty path.
int SetPBDBFile(const char* path);
// Converts a database that an earlier version wrote in the legacy code page
// `codePage` to UTF-8 (pnstore::ConvertStoreText), keeping the file as it was
// at `backup` first (an existing backup is kept). 1 converted, 0 nothing to
// convert, -1 failed; *passwordsLeft counts passwords left as they were.
// Pinora calls it at its first start after the update.
int PB_ConvertLegacyText(const char* path, const char* backup, unsigned codePage, int* passwordsLeft);

extern PNPWDBOX_API int nPnPwdBox;

}  // extern "C"

// The control as a child of any window (hidden, empty rectangle); null when
// the parent is no window.
PNPWDBOX_API HWND CreatePwdBox(HWND parent);
// 1 when the first use is behind, or the wizard stored a master password now.
PNPWDBOX_API int HaveRunFirstUseWizzard();
PNPWDBOX_API int fnPnPwdBox();

class CPwdBoxFrame;

namespace pwdbox {

// The frame LaunchPwdBox made, or null.
HWND CurrentFrameWindow() noexcept;
CPwdBoxFrame* CurrentFrame() noexcept;
// Everything the library holds, before it is unloaded.
void ShutDown() noexcept;

}  // namespace pwdbox
