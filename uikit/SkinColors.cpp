#include "SkinColors.h"

#include <cstring>
#include <string>

namespace uikit {
namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "RRGGBB" (or "#RRGGBB") into 0x00BBGGRR.
bool ParseRgb(std::string value, std::uint32_t& out) {
    if (!value.empty() && value[0] == '#') value.erase(0, 1);
    if (value.size() != 6) return false;
    std::uint32_t rgb = 0;
    for (char c : value) {
        int d = HexDigit(c);
        if (d < 0) return false;
        rgb = rgb << 4 | static_cast<std::uint32_t>(d);
    }
    out = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

bool ParseSkinColors(const char* text, std::size_t length, SkinColors& result) {
    if (!text) return false;
    // A resource may or may not carry a terminator; stop at the first zero byte.
    const void* zero = std::memchr(text, '\0', length);
    std::string all(text, zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : length);
    SkinColors colors;  // the caller's colours change only when all four are good
    struct Slot {
        const char* key;
        std::uint32_t* value;
        bool seen;
    } slots[] = {{"window", &colors.window, false},
                 {"text", &colors.text, false},
                 {"edit", &colors.edit, false},
                 {"edittext", &colors.editText, false}};
    size_t pos = 0;
    while (pos <= all.size()) {
        size_t end = all.find('\n', pos);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(pos, end - pos);
        pos = end + 1;
        line = Trim(line.substr(0, line.find(';')));
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Lower(Trim(line.substr(0, eq)));
        for (Slot& slot : slots) {
            if (key != slot.key) continue;
            std::uint32_t value = 0;
            if (!ParseRgb(Trim(line.substr(eq + 1)), value)) return false;
            *slot.value = value;
            slot.seen = true;
        }
    }
    for (const Slot& slot : slots)
        if (!slot.seen) return false;
    result = colors;
    return true;
}

}  // namespace uikit
