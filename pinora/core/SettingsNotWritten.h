// The one message for a settings file that did not take a write.
#pragma once
#include <windows.h>

namespace pinora {

// Says that the settings file (named with its full path) could not be written
// and that nothing was changed (string 2500), owned by `owner`.
void ShowSettingsNotWritten(HWND owner);

}  // namespace pinora
