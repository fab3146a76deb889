#include "StickErrors.h"

#include <cstdio>

#include "DamagedTables.h"
#include "DoRoRazIds.h"
#include "ResourceLibrary.h"

namespace pinora {
namespace {

std::string WithPath(UINT id, const std::string& path) {
    const std::string format = LoadResString(id);
    std::string text(format.size() + path.size() + 1, '\0');
    const int n = std::snprintf(text.data(), text.size(), format.c_str(), path.c_str());
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

}  // namespace

std::string DamagedTableMessage(const std::string& path) {
    std::string text = WithPath(IDS_TABLE_UNREADABLE, path);
    const std::string copy = DamagedCopyPath(path);
    if (TableFileExists(copy)) text += " " + WithPath(IDS_TABLE_COPY_KEPT, copy);
    return text;
}

}  // namespace pinora
