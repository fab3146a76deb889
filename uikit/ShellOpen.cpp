#include "ShellOpen.h"

#include <shellapi.h>

namespace uikit {
namespace {
ShellOpenHandler g_handler = nullptr;
}

INT_PTR ShellOpen(HWND owner, const char* file, const char* params) noexcept {
    if (!file) return 0;
    if (g_handler) return g_handler(owner, file, params);
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", file, params, nullptr, SW_SHOWNORMAL));
}

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler) noexcept {
    ShellOpenHandler old = g_handler;
    g_handler = handler;
    return old;
}

}  // namespace uikit
