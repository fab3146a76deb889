#include "ResourceLibrary.h"

#include "Settings.h"

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
    std::string buf(static_cast<size_t>(bufSize), '\0');
    int n = LoadStringA(ResLib(), id, buf.data(), bufSize);
    buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return buf;
}

}  // namespace pinora
