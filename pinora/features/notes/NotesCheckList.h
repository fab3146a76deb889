// The check-list box and the picture buttons of the notes manager: an owner-drawn
// list box whose items carry a tick (item data 0 or 1, drawn from the tick-box
// bitmap), and push buttons showing a bitmap beside their text.
#pragma once
#include <windows.h>

#include <string>

namespace pinora {

// Subclasses the list box so a click on an item's box or the space bar toggles
// its tick. tickBoxes holds two square pictures side by side: empty, ticked.
void AttachCheckList(HWND list, HBITMAP tickBoxes);
bool IsTicked(HWND list, int index);
void SetTicked(HWND list, int index, bool ticked);
// The text of an item, however long it is.
std::string ItemText(HWND list, int index);
// WM_DRAWITEM of the list.
void DrawCheckListItem(const DRAWITEMSTRUCT& item, HBITMAP tickBoxes);

// WM_DRAWITEM of a BS_OWNERDRAW button: the picture (magenta is transparent)
// left of the button's text.
void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP picture);

}  // namespace pinora
