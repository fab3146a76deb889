#include "TextFold.h"

#include "Utf8Text.h"

namespace uikit {

std::u16string FoldCase(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t n = Utf8CharLengthAt(text, pos);
        if (n == 0) {
            // A lone low surrogate, which no well-formed text contains.
            wide.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(text[pos])));
            ++pos;
            continue;
        }
        const std::u32string c = DecodeUtf8(text.substr(pos, n));
        const char32_t cp = c.empty() ? 0xFFFD : c[0];
        if (cp >= 0x10000) {
            wide.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            wide.push_back(static_cast<char16_t>(cp));
        }
        pos += n;
    }
    UpperCaseInPlace(wide);
    return wide;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a == b) return true;
    return FoldCase(a) == FoldCase(b);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view what) {
    if (what.empty()) return true;
    return FoldCase(text).find(FoldCase(what)) != std::u16string::npos;
}

}  // namespace uikit
