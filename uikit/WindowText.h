// Text of windows and resources in the program's code page (UTF-8): read
// whole and cut only between characters, and edit controls limited in bytes,
// so that what is typed fits the field it is stored in.
//
// Every edit that feeds a field of fixed size gets one call when its dialog
// starts:   uikit::LimitItemTextBytes(dialog, IDC_..., bytes);
// and is read with   uikit::ItemText(dialog, IDC_..., bytes).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <string>

namespace uikit {

constexpr size_t kWholeText = static_cast<size_t>(-1);

// The whole text of a window (an edit box, a combo box, a static), cut to at
// most maxBytes between two characters.
std::string WindowText(HWND window, size_t maxBytes = kWholeText);
std::string ItemText(HWND dialog, int id, size_t maxBytes = kWholeText);

// A string of a resource library, whole; "" when it is missing.
std::string ResourceText(HINSTANCE module, UINT id);

// Makes an edit box (or the edit part of a combo box) a Unicode window, so
// what is typed reaches it whole: an edit made from an "A" dialog template
// takes typed characters through the keyboard's code page, and every one
// that code page lacks becomes "?". Its messages from the program's "A"
// calls are converted through the active code page, UTF-8, losing nothing.
// uikit::Dialog does it for every edit of a dialog before WM_INITDIALOG; an
// edit made with CreateWindowExA needs the call.
bool TakeUnicodeInput(HWND window) noexcept;
void TakeUnicodeInputForChildren(HWND parent) noexcept;

// Limits an edit box, or the edit part of a combo box, to maxBytes bytes of
// text in the program's code page: a character that would not fit is not
// taken (typed, pasted, dropped, from an input method or set by the program),
// a paste takes what fits of it, and the system beeps as at its own limit.
// False when the window is neither.
bool LimitTextBytes(HWND edit, size_t maxBytes) noexcept;
bool LimitItemTextBytes(HWND dialog, int id, size_t maxBytes) noexcept;

// Drawing the program's text. The "A" drawing calls convert through the code
// page of the selected font's character set (1252 for a Western font), not
// through the active code page: "Café" would come out as "CafÃ©". These take
// the text as the program has it and draw it in UTF-16, where the system's
// font fallback finds every script.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
int DrawTextUtf8(HDC dc, const std::string& text, RECT* rect, UINT format);
BOOL TextOutUtf8(HDC dc, int x, int y, const std::string& text);
SIZE TextExtentUtf8(HDC dc, const std::string& text);

// A notification-area balloon's title and text (NIF_INFO), each cut between
// characters to its field, the text with "..." where it was cut.
void SetBalloonText(NOTIFYICONDATAA& balloon, const std::string& title, const std::string& text);

// A stored text shown in an edit box and read back from it: as it was stored
// while the box still shows what it was given, else as the box holds it. A
// stored text that is not UTF-8 shows replacement characters; read back from
// the box it would be written over with them although nobody edited it.
class StoredTextEdit {
public:
    void Show(HWND edit, const std::string& stored);
    std::string Read(HWND edit, size_t maxBytes = kWholeText) const;

private:
    std::string stored_;
    std::string shown_;
};

}  // namespace uikit
