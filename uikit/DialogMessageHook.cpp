#include "DialogMessageHook.h"

#include "Dialog.h"

namespace uikit {
namespace {

HHOOK g_hook = nullptr;
int g_users = 0;

LRESULT CALLBACK GetMessageProc(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code >= 0 && wp == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lp);
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && PreTranslate(*msg)) {
            msg->message = WM_NULL;
            msg->wParam = msg->lParam = 0;
        }
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

}  // namespace

bool AcquireDialogMessageHook() noexcept {
    if (!g_hook) {
        g_hook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageProc, nullptr, GetCurrentThreadId());
        if (!g_hook) return false;
    }
    ++g_users;
    return true;
}

void ReleaseDialogMessageHook() noexcept {
    if (g_users > 0 && --g_users == 0 && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

bool DialogMessageHookInstalled() noexcept { return g_hook != nullptr; }

}  // namespace uikit
