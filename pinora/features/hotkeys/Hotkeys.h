// The four global hotkeys of the main window: two the user chooses (quick note and
// screen capture) and two fixed ones (notes manager Ctrl+Q, new stick Alt+Shift+S).
#pragma once
#include <windows.h>

#include <string>

#include "Handles.h"
#include "HotkeyValue.h"

namespace pinora {

// Name of a key in the current keyboard layout ("Ctrl", "B").
std::string KeyText(unsigned virtualKey, bool extended);
// "Ctrl + B"; empty for a value of 0.
std::string HotkeyText(unsigned value);
// HotkeyText of a stored key of section "HOTKEY" ("hotkey" or "hotkey_screen_capture").
std::string HotkeyTextFromSettings(const char* key);

enum class HotkeyId { None, Main, CtrlQ, NewStick, ScreenCapture };

class HotkeySet {
public:
    HotkeySet() = default;
    ~HotkeySet() { Release(); }
    HotkeySet(const HotkeySet&) = delete;
    HotkeySet& operator=(const HotkeySet&) = delete;

    // Start-up: atoms, the stored configurable hotkeys, then the two fixed ones.
    void Register(HWND owner);
    // Destruction: unregisters what was registered and deletes the atoms.
    void Release();

    // Register value in place of the current hotkey and store it ("%x"). 1 on
    // success; 0 when the combination is held elsewhere, the previous hotkey
    // then staying in force and nothing being stored; kHotkeyNotStored when the
    // settings file did not take it, the previous hotkey then in force again
    // (none is registered that the file does not hold); -1 for a null text.
    int ApplyMainHotkey(const char* text, unsigned value);
    int ApplyCaptureHotkey(const char* text, unsigned value);
    static constexpr int kHotkeyNotStored = -2;

    HotkeyId Identify(WPARAM hotkeyId) const;
    unsigned MainValue() const { return mainValue_; }
    bool MainRegistered() const { return mainRegistered_; }
    bool CaptureRegistered() const { return captureRegistered_; }
    unsigned CaptureValue() const { return captureValue_; }
    // The window the hotkeys are registered on; nullptr before Register.
    HWND Owner() const { return owner_; }
    bool CtrlQRegistered() const { return ctrlQRegistered_; }
    bool NewStickRegistered() const { return newStickRegistered_; }

private:
    void LoadHotkeys();
    // Puts value in force in place of the current one, or keeps the current one
    // when value cannot be registered; whether value is in force.
    bool PutMainInForce(unsigned value);
    bool PutCaptureInForce(unsigned value);
    bool RegisterValue(const uikit::UniqueGlobalAtom& atom, unsigned value);
    static int Id(const uikit::UniqueGlobalAtom& atom) { return atom ? atom.get() : -1; }

    HWND owner_ = nullptr;
    uikit::UniqueGlobalAtom atomMainHotkey_, atomCtrlQ_, atomNewStick_, atomScreenCapture_;
    unsigned mainValue_ = kDefaultMainHotkey;
    bool mainRegistered_ = false;
    unsigned captureValue_ = 0;
    bool captureRegistered_ = false;
    bool ctrlQRegistered_ = false;
    bool newStickRegistered_ = false;
};

}  // namespace pinora
