// The host build's stand-in for the system's upper case: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic, enough to test the rules with real
// words of several scripts.
#include "TextFold.h"

namespace uikit {
namespace {

char16_t Upper(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);  // à..þ
    if (c == 0xFF) return 0x178;                                                       // ÿ
    if (c >= 0x100 && c <= 0x17F) {
        // Pairs: capital, small. The stretches from Ĺ and from Ź start on an odd value.
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (oddPairs ? (c % 2 == 0) : (c % 2 == 1)) return static_cast<char16_t>(c - 1);
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? char16_t(0x3A3) : static_cast<char16_t>(c - 0x20);  // α..ω
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);  // а..я
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);  // ѐ..џ
    if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF)) && c % 2 == 1) return static_cast<char16_t>(c - 1);
    return c;
}

}  // namespace

void UpperCaseInPlace(std::u16string& text) {
    for (char16_t& c : text) c = Upper(c);
}

}  // namespace uikit
