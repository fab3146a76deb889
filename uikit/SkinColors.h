// The colours a skin library gives the toolkit: a text resource of "key=RRGGBB"
// lines. Plain data, no window system needed.
#pragma once
#include <cstddef>
#include <cstdint>

namespace uikit {

// Each colour in the Windows COLORREF layout, 0x00BBGGRR.
struct SkinColors {
    std::uint32_t window = 0;    // dialog and window background ("window")
    std::uint32_t text = 0;      // labels and buttons ("text")
    std::uint32_t edit = 0;      // edit, list and combo boxes ("edit")
    std::uint32_t editText = 0;  // their text ("edittext")
};

// Reads "key=RRGGBB" lines (a leading '#' allowed, blanks and unknown keys ignored,
// ';' starts a comment). True only when all four colours were given.
bool ParseSkinColors(const char* text, std::size_t length, SkinColors& colors);

}  // namespace uikit
