// The message that tells the user about a damaged table (see TableCheck.h).
#pragma once

namespace pinora {

// Makes damaged-table reports show a message box (text 2401 with the table's
// path), owned by the active window of the program if it has one.
void InstallDamagedTableMessage();

// Start-up: reports are kept until ShowHeldDamagedTableMessages, which shows
// them and lets later ones through at once. A message box in the middle of
// start-up would hold everything after it (the notification icon, the mark a
// second copy looks for) until somebody answers it.
void HoldDamagedTableMessages();
void ShowHeldDamagedTableMessages();

}  // namespace pinora
