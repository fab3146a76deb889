// Any text as a stored hotkey value ("%x" of "HOTKEY"): parsed, converted for
// RegisterHotKey, and stored again as the same text.
#include <string>

#include "HotkeyValue.h"
#include "Scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    unsigned value = 0x5A5A5A;
    const pinora::HotkeyParse result = pinora::ParseStoredHotkey(text.c_str(), &value);
    if (result != pinora::HotkeyParse::Parsed) {
        fuzz::Require(value == 0x5A5A5A);  // untouched
        return 0;
    }
    fuzz::Require(value <= pinora::kLargestHotkey);
    const pinora::HotkeyRegistration r = pinora::ToRegistration(value);
    fuzz::Require(r.virtualKey <= 0xFF && r.modifiers <= 7);
    pinora::IsAcceptableHotkey(value);
    unsigned back = 0;
    fuzz::Require(pinora::ParseHotkey(pinora::FormatHotkey(value).c_str(), &back) && back == value);
    return 0;
}
