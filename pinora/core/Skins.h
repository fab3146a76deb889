// The current skin: which skin library the user chose (kept in the settings
// file) and switching the toolkit over to it.
#pragma once
#include <windows.h>

#include <string>

namespace pinora {

// "CUR_SKIN" "skin_name" and "skin_file"; both "" until the user chooses a skin.
void LoadCurrentSkin(std::string& name, std::string& file);
// False when the settings file did not take them.
bool SaveCurrentSkin(const std::string& name, const std::string& file);

// Switches the toolkit to the skin library and tells every top-level window of this
// process (message 2023). -1 when the toolkit refuses the library (nothing is
// sent then), else 1. The window is the one asking; it is told like the others.
int ApplySkin(const char* skinFile, HWND wnd);

// Start-up: applies the stored skin, if one is set. The ApplySkin result, or 0
// when no skin is set.
int ApplyCurrentSkin(HWND wnd);

}  // namespace pinora
