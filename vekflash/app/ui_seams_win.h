// The player's modal dialogs go through these two functions so that tests can
// replace them and never wait for a person to press OK.
#pragma once

#include <windows.h>

namespace vekflash {

using MessageBoxHandler = int (*)(const char* text, const char* caption);
using AboutBoxHandler = void (*)(HINSTANCE instance);

// nullptr puts the real dialog back.
void SetMessageBoxHandler(MessageBoxHandler handler);
void SetAboutBoxHandler(AboutBoxHandler handler);

int ShowMessageBox(const char* text, const char* caption);
void ShowAboutBox(HINSTANCE instance);

}  // namespace vekflash
