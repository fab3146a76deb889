#include "FilledText.h"

#include <cstring>

namespace uikit {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Length of the code that starts at text[at] (a '%'), 0 when none does.
size_t CodeLength(const std::string& text, size_t at) {
    size_t end = at + 1;
    while (end < text.size() && std::strchr("-+ #0123456789.*", text[end]) != nullptr) ++end;
    while (end < text.size() && std::strchr("hlLqjzt", text[end]) != nullptr && end + 1 < text.size() &&
           IsLetter(text[end + 1]))
        ++end;
    return end < text.size() && IsLetter(text[end]) ? end + 1 - at : 0;
}

}  // namespace

std::string FillByPosition(const std::string& text, std::initializer_list<std::string> values) {
    std::string out;
    out.reserve(text.size());
    auto next = values.begin();
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        const size_t length = CodeLength(text, i);
        if (length == 0 || next == values.end()) {
            // Not a code, or no value left for it: shown as written.
            const size_t n = length == 0 ? 1 : length;
            out.append(text, i, n);
            i += n;
            continue;
        }
        out += *next++;
        i += length;
    }
    return out;
}

}  // namespace uikit
