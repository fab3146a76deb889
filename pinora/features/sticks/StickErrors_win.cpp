#include "StickErrors.h"

#include "DamagedTables.h"
#include "DoRoRazIds.h"
#include "ResourceLibrary.h"

namespace pinora {
namespace {

std::string WithPath(UINT id, const std::string& path) { return TableMessageText(LoadResString(id), path); }

}  // namespace

std::string DamagedTableMessage(const std::string& path) {
    std::string text = WithPath(IDS_TABLE_UNREADABLE, path);
    const std::string copy = DamagedCopyPath(path);
    if (TableFileExists(copy)) text += " " + WithPath(IDS_TABLE_COPY_KEPT, copy);
    return text;
}

}  // namespace pinora
