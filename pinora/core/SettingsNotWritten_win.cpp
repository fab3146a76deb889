#include "SettingsNotWritten.h"

#include "DoRoRazIds.h"
#include "FilledText.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"

namespace pinora {

void ShowSettingsNotWritten(HWND owner) {
    const std::string text = uikit::FillByPosition(LoadResString(IDS_SETTINGS_NOT_WRITTEN, 512), {SettingsPath()});
    uikit::ShowMessageBox(owner, text.c_str(), LoadResString(IDS_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace pinora
