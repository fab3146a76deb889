// The one way the program shows a message box. Tests replace the handler so that
// no test ever waits on a dialog.
#pragma once
#include <windows.h>

namespace uikit {

using MessageBoxHandler = int (*)(HWND owner, const char* text, const char* caption, UINT type);

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept;

// Returns the previous handler; nullptr restores the system message box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) noexcept;

}  // namespace uikit
