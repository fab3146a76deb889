#include "Hotkeys.h"

#include <vector>

#include "Settings.h"

namespace pinora {

std::string KeyText(unsigned virtualKey, bool extended) {
    LONG lparam = static_cast<LONG>(MapVirtualKeyA(virtualKey, 0) << 16);
    if (extended) lparam |= 1L << 24;
    std::vector<char> buf(128);
    for (;;) {
        int n = GetKeyNameTextA(lparam, buf.data(), static_cast<int>(buf.size()));
        if (n <= 0) return {};
        // A name that fills the buffer exactly may have been cut: try a larger one.
        if (n < static_cast<int>(buf.size()) - 1 || buf.size() >= 4096) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string HotkeyText(unsigned value) {
    if (HotkeyKey(value) == 0 && HotkeyFlags(value) == 0) return {};
    std::string text;
    unsigned flags = HotkeyFlags(value);
    if (flags & kHotkeyControl) text += KeyText(VK_CONTROL, false) + " + ";
    if (flags & kHotkeyShift) text += KeyText(VK_SHIFT, false) + " + ";
    if (flags & kHotkeyAlt) text += KeyText(VK_MENU, false) + " + ";
    text += KeyText(HotkeyKey(value), (flags & kHotkeyExt) != 0);
    return text;
}

std::string HotkeyTextFromSettings(const char* key) {
    std::string stored = ReadSetting("HOTKEY", key, 32);
    if (stored.empty()) return {};
    unsigned value = 0;
    if (ParseStoredHotkey(stored.c_str(), &value) == HotkeyParse::OutOfRange) return {};
    return HotkeyText(value);
}

void HotkeySet::Register(HWND owner) {
    owner_ = owner;
    atomMainHotkey_.reset(GlobalAddAtomA("Pinora notes"));
    atomCtrlQ_.reset(GlobalAddAtomA("Pinora notes Ctrl+Q"));
    atomNewStick_.reset(GlobalAddAtomA("Pinora new stick ALT+SHIFT+S"));
    atomScreenCapture_.reset(GlobalAddAtomA("Pinora notes screen capture hotkey"));
    LoadHotkeys();
    ctrlQRegistered_ = RegisterValue(atomCtrlQ_, kNotesManagerHotkey);
    newStickRegistered_ = RegisterValue(atomNewStick_, kNewStickHotkey);
}

void HotkeySet::LoadHotkeys() {
    // What the file holds is put in force; nothing is written back, so a file
    // that cannot be written costs no hotkey. A stored value beyond 16 bits is
    // no hotkey: nothing is registered for it.
    std::string main = ReadSetting("HOTKEY", "hotkey", 32);
    if (!main.empty() && ParseStoredHotkey(main.c_str(), &mainValue_) != HotkeyParse::OutOfRange)
        PutMainInForce(mainValue_);
    std::string capture = ReadSetting("HOTKEY", "hotkey_screen_capture", 32);
    unsigned value = 0;
    if (!capture.empty() && ParseStoredHotkey(capture.c_str(), &value) != HotkeyParse::OutOfRange)
        PutCaptureInForce(value);
}

bool HotkeySet::RegisterValue(const uikit::UniqueGlobalAtom& atom, unsigned value) {
    HotkeyRegistration r = ToRegistration(value);
    return RegisterHotKey(owner_, Id(atom), r.modifiers, r.virtualKey) != FALSE;
}

bool HotkeySet::PutMainInForce(unsigned value) {
    const bool hadOne = mainRegistered_;
    if (Id(atomMainHotkey_) != -1 && mainRegistered_) UnregisterHotKey(owner_, Id(atomMainHotkey_));
    mainRegistered_ = RegisterValue(atomMainHotkey_, value);
    if (mainRegistered_) {
        mainValue_ = value;
        return true;
    }
    // Held by another program: the hotkey the user had keeps working.
    if (hadOne) mainRegistered_ = RegisterValue(atomMainHotkey_, mainValue_);
    return false;
}

bool HotkeySet::PutCaptureInForce(unsigned value) {
    const bool hadOne = captureRegistered_;
    if (Id(atomScreenCapture_) != -1) UnregisterHotKey(owner_, Id(atomScreenCapture_));
    captureRegistered_ = RegisterValue(atomScreenCapture_, value);
    if (captureRegistered_) {
        captureValue_ = value;
        return true;
    }
    if (hadOne) captureRegistered_ = RegisterValue(atomScreenCapture_, captureValue_);
    return false;
}

int HotkeySet::ApplyMainHotkey(const char* text, unsigned value) {
    if (!text) return -1;
    const bool hadOne = mainRegistered_;
    const unsigned previous = mainValue_;
    if (!PutMainInForce(value)) return 0;
    if (WriteSetting(FormatHotkey(value).c_str(), "HOTKEY", "hotkey")) return 1;
    // Not stored, so not kept: the next start would register what the file holds.
    UnregisterHotKey(owner_, Id(atomMainHotkey_));
    mainRegistered_ = hadOne && RegisterValue(atomMainHotkey_, previous);
    mainValue_ = previous;
    return kHotkeyNotStored;
}

int HotkeySet::ApplyCaptureHotkey(const char* text, unsigned value) {
    if (!text) return -1;
    const bool hadOne = captureRegistered_;
    const unsigned previous = captureValue_;
    if (!PutCaptureInForce(value)) return 0;
    if (WriteSetting(FormatHotkey(value).c_str(), "HOTKEY", "hotkey_screen_capture")) return 1;
    UnregisterHotKey(owner_, Id(atomScreenCapture_));
    captureRegistered_ = hadOne && RegisterValue(atomScreenCapture_, previous);
    captureValue_ = previous;
    return kHotkeyNotStored;
}

HotkeyId HotkeySet::Identify(WPARAM id) const {
    int i = static_cast<int>(id);
    if (i == -1) return HotkeyId::None;
    if (i == Id(atomMainHotkey_)) return HotkeyId::Main;
    if (i == Id(atomCtrlQ_)) return HotkeyId::CtrlQ;
    if (i == Id(atomNewStick_)) return HotkeyId::NewStick;
    if (i == Id(atomScreenCapture_)) return HotkeyId::ScreenCapture;
    return HotkeyId::None;
}

void HotkeySet::Release() {
    if (!owner_) return;
    if (mainRegistered_) UnregisterHotKey(owner_, Id(atomMainHotkey_));
    if (ctrlQRegistered_) UnregisterHotKey(owner_, Id(atomCtrlQ_));
    if (newStickRegistered_) UnregisterHotKey(owner_, Id(atomNewStick_));
    if (Id(atomScreenCapture_) != -1) UnregisterHotKey(owner_, Id(atomScreenCapture_));
    mainRegistered_ = ctrlQRegistered_ = newStickRegistered_ = captureRegistered_ = false;
    atomMainHotkey_.reset();
    atomCtrlQ_.reset();
    atomNewStick_.reset();
    atomScreenCapture_.reset();
    owner_ = nullptr;
}

}  // namespace pinora
