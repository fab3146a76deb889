// The common controls (date pickers, list views, tooltips, bars) are set up when
// the first window that holds one is created, not at start-up: their library
// costs a program that sits hidden in the notification area about 3 MB of
// resident memory for the whole day under Wine. Pinora.exe delay-loads
// comctl32.dll (pinora_delay_load), so the library is mapped by the first call
// into it.
#pragma once

namespace uikit {

// Registers the classes of the common controls the program's windows use (list
// views, bars and tooltips, date controls, cool bars); the first call loads the
// library. Dialogs call it before they are created (Dialog::UsesCommonControls);
// a window that creates a common control itself calls it first.
void EnsureCommonControls() noexcept;

}  // namespace uikit
