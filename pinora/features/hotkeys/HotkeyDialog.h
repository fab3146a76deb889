// The hotkey dialog (228): shows the stored hotkey of its mode and takes a new
// one from a hotkey control. Mode 0 is the quick-note hotkey, mode 1 the
// screen-capture hotkey. A change is registered at once and stored only when
// the registration succeeded.
#pragma once
#include <windows.h>

#include "Dialog.h"
#include "Hotkeys.h"

namespace pinora {

enum HotkeyDialogMode { kHotkeyModeMain = 0, kHotkeyModeCapture = 1 };

class CHotkeyDlg : public uikit::Dialog {
public:
    CHotkeyDlg(int mode, HotkeySet& hotkeys) : mode_(mode), hotkeys_(hotkeys) {}

    // Modal, owned by owner. 0 after a change, the button's id when cancelled,
    // -1 for an unknown mode, a missing template, or while one is already open.
    static INT_PTR Run(HWND owner, int mode, HotkeySet& hotkeys);
    // The same dialog without a modal loop of its own (it closes by destroying
    // itself); nullptr for an unknown mode.
    HWND OpenModeless(HWND owner);

    int Mode() const { return mode_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnOk();
    void Close(INT_PTR result);
    const char* SettingsKey() const;

    int mode_;
    HotkeySet& hotkeys_;
};

}  // namespace pinora
