// The settings dialog, opened by command 32777. Its pages reach the hotkey
// dialog, the bitmap message window and the quick-note font through functions
// handed over here.
#include "MainDlg.h"
#include "SettingsDlg.h"
#include "SyncController.h"

namespace pinora {

void CMainDlg::OpenSettings() {
    if (!settings_) {
        SettingsLinks links;
        links.openHotkeyDialog = [this](int mode) { OpenHotkeyDialog(mode); };
        links.showBitmapMessage = [this](const char* text) { ShowBitmapMessage(text); };
        links.noteFontChanged = [this] { ApplyNoteFont(); };
        links.syncSettingsChanged = [this] { UpdateSync(); };
        links.syncNow = [this] {
            UpdateSync();
            if (sync_) sync_->SyncNow();
        };
        links.syncStatus = [this] { return sync_ ? sync_->StatusText() : std::string(); };
        settings_ = std::make_unique<CSettingsDlg>(std::move(links));
    }
    settings_->Open(hwnd());
}

}  // namespace pinora
