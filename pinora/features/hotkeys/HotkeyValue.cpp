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

// A hotkey value is 16 bits (key and modifier flags); more is no hotkey,
// rather than whatever the digits wrap round to.
HotkeyParse ParseStoredHotkey(const char* text, unsigned* value) {
    if (!text || !value) return HotkeyParse::NotANumber;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2]))) p += 2;
    unsigned long v = 0;
    int digits = 0;
    bool tooLarge = false;
    for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p, ++digits) {
        int c = std::tolower(static_cast<unsigned char>(*p));
        v = v * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
        if (v > kLargestHotkey) {
            tooLarge = true;
            v = kLargestHotkey;  // keeps counting digits without overflow
        }
    }
    if (digits == 0) return HotkeyParse::NotANumber;
    if (tooLarge) return HotkeyParse::OutOfRange;
    *value = static_cast<unsigned>(v);
    return HotkeyParse::Parsed;
}

bool ParseHotkey(const char* text, unsigned* value) {
    return ParseStoredHotkey(text, value) == HotkeyParse::Parsed;
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
