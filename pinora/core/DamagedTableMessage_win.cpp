#include "DamagedTableMessage.h"

#include <windows.h>

#include <string>

#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "TableCheck.h"

namespace pinora {
namespace {

void ShowDamagedTable(const std::string& path) {
    std::string text = LoadResString(IDS_TABLE_DAMAGED, 512);
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    else
        text += "\n" + path;
    uikit::ShowMessageBox(GetActiveWindow(), text.c_str(), LoadResString(IDS_CAPTION).c_str(),
                          MB_OK | MB_ICONWARNING);
}

}  // namespace

void InstallDamagedTableMessage() { SetDamagedTableHandler(&ShowDamagedTable); }

}  // namespace pinora
