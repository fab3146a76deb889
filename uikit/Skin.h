// The current skin of the toolkit: colours read from a skin library, the brushes
// made from them, and what a window does with them. Dialogs derived from
// uikit::Dialog get this for free; other window procedures call HandleSkinMessage.
#pragma once
#include <windows.h>

#include <string>

#include "SkinColors.h"

namespace uikit {

// Sent to every top-level window of the process when the skin has changed.
constexpr UINT kSkinChangedMsg = 2023;
// RCDATA resource of a skin library holding its "key=RRGGBB" colour lines.
constexpr int kSkinColorsResource = 3;

// Switches to the colours of a skin library. False (and the skin unchanged) when
// the library cannot be loaded or carries no complete colour table.
bool SetSkin(const char* libraryPath) noexcept;
// Switches to the given colours directly.
void UseSkinColors(const SkinColors& colors) noexcept;
// Back to the system colours.
void ClearSkin() noexcept;

bool HasSkin() noexcept;
// Colours of the current skin; meaningful only while HasSkin().
SkinColors CurrentSkinColors() noexcept;
// The library the current skin came from ("" for none or colours set directly).
std::string CurrentSkinFile();

// WM_CTLCOLOR*: sets the DC's colours and returns the brush; kSkinChangedMsg:
// repaints the window and its children and returns 1. 0 for every other message
// and while no skin is set (the system colours apply).
INT_PTR HandleSkinMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

}  // namespace uikit
