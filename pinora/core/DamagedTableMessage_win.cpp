#include "DamagedTableMessage.h"

#include <windows.h>

#include <string>
#include <vector>

#include "DamagedTables.h"
#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "TableCheck.h"

namespace pinora {
namespace {

// The text of a string with "%s" replaced by the path (added when it has none).
std::string WithPath(UINT id, const std::string& path) {
    std::string text = LoadResString(id, 512);
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    else
        text += "\n" + path;
    return text;
}

struct HeldMessages {
    bool holding = false;
    std::vector<std::string> paths;
};

HeldMessages& Held() {
    static HeldMessages held;
    return held;
}

void ShowDamagedTable(const std::string& path) {
    if (Held().holding) {
        Held().paths.push_back(path);
        return;
    }
    std::string text = WithPath(IDS_TABLE_DAMAGED, path);
    const std::string copy = DamagedCopyPath(path);
    if (TableFileExists(copy)) text += "\n" + WithPath(IDS_TABLE_COPY_KEPT, copy);
    uikit::ShowMessageBox(GetActiveWindow(), text.c_str(), LoadResString(IDS_CAPTION).c_str(),
                          MB_OK | MB_ICONWARNING);
}

}  // namespace

void InstallDamagedTableMessage() { SetDamagedTableHandler(&ShowDamagedTable); }

void HoldDamagedTableMessages() { Held().holding = true; }

void ShowHeldDamagedTableMessages() {
    Held().holding = false;
    std::vector<std::string> paths;
    paths.swap(Held().paths);
    for (const std::string& path : paths) ShowDamagedTable(path);
}

}  // namespace pinora
