// The system's upper case: LCMapStringEx in the invariant locale, which maps
// every script the system knows and is the same whoever runs the program.
#include <windows.h>

#include "TextFold.h"

namespace uikit {

void UpperCaseInPlace(std::u16string& text) {
    if (text.empty()) return;
    auto* data = reinterpret_cast<wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    std::u16string upper(text.size(), u'\0');
    // Upper case keeps the length of every UTF-16 text the table maps.
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, data, n, reinterpret_cast<wchar_t*>(upper.data()), n,
                      nullptr, nullptr, 0) == n)
        text.swap(upper);
    else
        CharUpperBuffW(data, static_cast<DWORD>(n));
}

}  // namespace uikit
