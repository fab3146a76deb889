// The quick-note box as a command line, and the dictionary word box.
#pragma once
#include <windows.h>

#include <string>

namespace pinora {

// Enter in the note box: when its whole text is a command word, the parent gets
// WM_NOTIFY (the box's window, its id, the word's code) before the key goes on
// to the box. Only typed Enter runs a word; text put in any other way does not.
// A reminder line ("remind ...") sends kCmdRemind and the Enter stops there.
bool AttachCommandWords(HWND noteBox);

// The word box shows a hint until the user clicks into it. While it has the
// focus, Enter presses lookupId (it becomes the dialog's default button) and the
// previous default button comes back when it loses the focus.
bool AttachWordBox(HWND wordBox, const std::string& hint, int lookupId);
// The words typed in the box: "" when the box does not exist, is empty or still
// shows its hint.
std::string WordBoxWords(HWND wordBox);

}  // namespace pinora
