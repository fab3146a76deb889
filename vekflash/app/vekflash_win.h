// The whole player: command line, hidden main window, playback and its end.
#pragma once

#include <windows.h>

namespace vekflash {

// Timer ids of the main window and their periods.
constexpr UINT_PTR kPollTimer = 10;
constexpr UINT kPollPeriodMs = 50;
constexpr UINT_PTR kCloseTimer = 11;
constexpr UINT kCloseDelayMs = 1500;

// `commandLine` is everything after the program name, as given. Returns the
// exit code. Callable more than once in a process (the tests do).
int RunVekFlash(HINSTANCE instance, const char* commandLine);

}  // namespace vekflash
