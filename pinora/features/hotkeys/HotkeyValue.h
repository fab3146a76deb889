// Hotkey values in the hotkey control's form: low byte the virtual key, high byte
// the modifier flags. Stored in the settings file as lower-case hex ("242" = Ctrl+B).
#pragma once
#include <string>

namespace pinora {

constexpr unsigned kHotkeyShift = 0x01;
constexpr unsigned kHotkeyControl = 0x02;
constexpr unsigned kHotkeyAlt = 0x04;
constexpr unsigned kHotkeyExt = 0x08;

// RegisterHotKey's modifier bits.
constexpr unsigned kModAlt = 0x0001;
constexpr unsigned kModControl = 0x0002;
constexpr unsigned kModShift = 0x0004;

constexpr unsigned kLargestHotkey = 0xFFFF;        // a value is 16 bits
constexpr unsigned kDefaultMainHotkey = 0x242;     // Ctrl+B
constexpr unsigned kNotesManagerHotkey = 0x251;    // Ctrl+Q, fixed
constexpr unsigned kNewStickHotkey = 0x553;        // Alt+Shift+S, fixed

struct HotkeyRegistration {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
};

inline unsigned HotkeyKey(unsigned value) { return value & 0xFF; }
inline unsigned HotkeyFlags(unsigned value) { return (value >> 8) & 0xFF; }

// What RegisterHotKey needs for a value; the extended flag is dropped.
HotkeyRegistration ToRegistration(unsigned value);

enum class HotkeyParse { Parsed, NotANumber, OutOfRange };
// Parses stored text the way "%x" does: leading hex digits after optional blanks
// and "0x". No digits, or a value beyond 16 bits, leaves *value untouched.
HotkeyParse ParseStoredHotkey(const char* text, unsigned* value);
// True when ParseStoredHotkey parsed a value.
bool ParseHotkey(const char* text, unsigned* value);
std::string FormatHotkey(unsigned value);

// A value the hotkey dialog accepts: a key and at least one of Shift, Ctrl, Alt.
bool IsAcceptableHotkey(unsigned value);

}  // namespace pinora
