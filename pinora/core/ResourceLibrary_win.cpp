#include "ResourceLibrary.h"

#include "Settings.h"
#include "Utf8Text.h"
#include "WindowText.h"

namespace pinora {
namespace {
HINSTANCE g_resLib = nullptr;
}

HINSTANCE ResLib() {
    if (!g_resLib) g_resLib = LoadLibraryA((ProgramFolder() + "DoRoRaz.dll").c_str());
    return g_resLib;
}

void FreeResLib() {
    if (g_resLib) FreeLibrary(g_resLib);
    g_resLib = nullptr;
}

std::string LoadResString(UINT id, int bufSize) {
    if (bufSize <= 0 || !ResLib()) return {};
    return uikit::Utf8Prefix(uikit::ResourceText(ResLib(), id), static_cast<size_t>(bufSize - 1));
}

}  // namespace pinora
