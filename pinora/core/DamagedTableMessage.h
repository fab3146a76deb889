// The message that tells the user about a damaged table (see TableCheck.h).
#pragma once

namespace pinora {

// Makes damaged-table reports show a message box (text 2401 with the table's
// path), owned by the active window of the program if it has one.
void InstallDamagedTableMessage();

}  // namespace pinora
