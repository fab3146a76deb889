#include "MessageBox.h"

namespace uikit {
namespace {
MessageBoxHandler g_handler = nullptr;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept {
    if (g_handler) return g_handler(owner, text ? text : "", caption ? caption : "", type);
    return MessageBoxA(owner, text ? text : "", caption ? caption : "", type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) noexcept {
    MessageBoxHandler old = g_handler;
    g_handler = handler;
    return old;
}

}  // namespace uikit
