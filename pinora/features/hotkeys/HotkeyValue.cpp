#include "HotkeyValue.h"

#include <cctype>
#include <cstdio>

namespace pinora {

HotkeyRegistration ToRegistration(unsigned value) {
    HotkeyRegistration r;
    unsigned flags = HotkeyFlags(value);
    if (HotkeyKey(value) != 0 || flags != 0) {
        if (flags & kHotkeyControl) r.modifiers |= kModControl;
        if (flags & kHotkeyShift) r.modifiers |= kModShift;
        if (flags & kHotkeyAlt) r.modifiers |= kModAlt;
    }
    r.virtualKey = HotkeyKey(value);
    return r;
}

bool ParseHotkey(const char* text, unsigned* value) {
    if (!text || !value) return false;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2]))) p += 2;
    unsigned v = 0;
    int digits = 0;
    for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p, ++digits) {
        int c = std::tolower(static_cast<unsigned char>(*p));
        v = v * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    if (digits == 0) return false;
    *value = v;
    return true;
}

std::string FormatHotkey(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", value);
    return buf;
}

bool IsAcceptableHotkey(unsigned value) {
    return HotkeyKey(value) != 0 && (HotkeyFlags(value) & (kHotkeyShift | kHotkeyControl | kHotkeyAlt)) != 0;
}

}  // namespace pinora
