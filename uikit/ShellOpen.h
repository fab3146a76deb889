// The one way the program hands a file, program or web address to the shell
// (ShellExecuteA with the verb "open"). Tests replace the handler, so that no
// test starts a program or a web browser.
#pragma once
#include <windows.h>

namespace uikit {

// Returns what ShellExecuteA returns, as a number: above 32 on success.
using ShellOpenHandler = INT_PTR (*)(HWND owner, const char* file, const char* params);

// ShellExecuteA(owner, "open", file, params, no directory, SW_SHOWNORMAL).
INT_PTR ShellOpen(HWND owner, const char* file, const char* params = nullptr) noexcept;

// Returns the previous handler; nullptr restores the shell.
ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler) noexcept;

}  // namespace uikit
