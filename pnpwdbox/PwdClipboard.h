// Text on the clipboard, and taking a copied secret off it again after a
// while, unless something else has been copied since.
#pragma once
#include <windows.h>

#include <string>

namespace pwdbox {

// Empties the clipboard and puts the text (UTF-8) there as Unicode text, owned
// by `owner`, marked to stay out of clipboard history, cloud clipboard and
// monitors.
bool PutClipboardText(HWND owner, const std::string& text) noexcept;
// The clipboard's text in UTF-8 ("" when it holds none).
std::string ReadClipboardText();

class ClipboardClearer {
public:
    static constexpr UINT_PTR kTimerId = 0x50C1;

    // After `seconds` (0: never) the owner's timer fires and Fire() empties
    // the clipboard if it still holds what the owner put there last.
    void Arm(HWND owner, UINT seconds) noexcept;
    void Fire() noexcept;
    bool Pending() const noexcept { return owner_ != nullptr; }
    void Cancel() noexcept;

private:
    HWND owner_ = nullptr;
    DWORD sequence_ = 0;
};

}  // namespace pwdbox
