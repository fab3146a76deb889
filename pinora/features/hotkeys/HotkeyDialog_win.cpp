#include "HotkeyDialog.h"

#include <commctrl.h>

#include <string>

#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "SettingsNotWritten.h"

namespace pinora {

namespace {

bool KnownMode(int mode) { return mode == kHotkeyModeMain || mode == kHotkeyModeCapture; }

// The template holds a system hotkey control.
void RegisterHotkeyControl() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
}

}  // namespace

INT_PTR CHotkeyDlg::Run(HWND owner, int mode, HotkeySet& hotkeys) {
    // One at a time: a second opener while it is up (a posted request, a second
    // "setkey") would stack another dialog over the same hotkeys.
    static bool open = false;
    if (!KnownMode(mode) || open) return -1;
    RegisterHotkeyControl();
    CHotkeyDlg dlg(mode, hotkeys);
    open = true;
    const INT_PTR result = dlg.DoModal(ResLib(), IDD_HOTKEY, owner);
    open = false;
    return result;
}

HWND CHotkeyDlg::OpenModeless(HWND owner) {
    if (!KnownMode(mode_)) return nullptr;
    RegisterHotkeyControl();
    return Create(ResLib(), IDD_HOTKEY, owner);
}

const char* CHotkeyDlg::SettingsKey() const {
    return mode_ == kHotkeyModeMain ? "hotkey" : "hotkey_screen_capture";
}

INT_PTR CHotkeyDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            OnOk();
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            Close(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CHotkeyDlg::OnInitDialog() {
    const std::string caption =
        LoadResString(mode_ == kHotkeyModeMain ? IDS_HOTKEY_CAPTION_MAIN : IDS_HOTKEY_CAPTION_CAPTURE);
    if (!caption.empty()) SetWindowTextA(hwnd(), caption.c_str());
    SetDlgItemTextA(hwnd(), IDC_HOTKEY_CURRENT, HotkeyTextFromSettings(SettingsKey()).c_str());
    SendMessageA(Item(IDC_HOTKEY_INPUT), HKM_SETHOTKEY, 0, 0);
    SetFocus(Item(IDC_HOTKEY_INPUT));
    return FALSE;  // the focus is set
}

void CHotkeyDlg::OnOk() {
    if (!hotkeys_.Owner() || !IsWindow(hotkeys_.Owner())) return;
    const std::string caption = LoadResString(IDS_CAPTION);
    const unsigned value = LOWORD(SendMessageA(Item(IDC_HOTKEY_INPUT), HKM_GETHOTKEY, 0, 0));
    if (!IsAcceptableHotkey(value)) {
        uikit::ShowMessageBox(hwnd(), LoadResString(IDS_HOTKEY_REFUSED).c_str(), caption.c_str(),
                              MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string text = HotkeyText(value);
    if (text.empty()) return;
    const int applied = mode_ == kHotkeyModeMain ? hotkeys_.ApplyMainHotkey(text.c_str(), value)
                                                 : hotkeys_.ApplyCaptureHotkey(text.c_str(), value);
    if (applied == HotkeySet::kHotkeyNotStored) {
        // The dialog stays with what was pressed, to try again once the file can be written.
        ShowSettingsNotWritten(hwnd());
        return;
    }
    if (applied < 1) {
        // Held by another program: say so, rather than leave OK looking dead.
        uikit::ShowMessageBox(hwnd(), LoadResString(IDS_HOTKEY_TAKEN, 512).c_str(), caption.c_str(),
                              MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string done = LoadResString(mode_ == kHotkeyModeMain ? IDS_HOTKEY_MAIN_SET : IDS_HOTKEY_CAPTURE_SET);
    uikit::ShowMessageBox(hwnd(), done.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
    Close(0);
}

void CHotkeyDlg::Close(INT_PTR result) {
    if (IsModal())
        EndDialog(hwnd(), result);
    else
        DestroyWindow(hwnd());
}

}  // namespace pinora
