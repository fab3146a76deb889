#include "PwdListView.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "ShellOpen.h"

namespace {

// The list windows that want key notices, and the one hook that gives them,
// on the thread that owns those windows.
struct KeyNotices {
    std::vector<HWND> windows;
    HHOOK hook = nullptr;
};

KeyNotices& Notices() {
    static KeyNotices notices;
    return notices;
}

LRESULT CALLBACK KeyHookProc(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code >= 0 && wp == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lp);
        if (msg->message == WM_KEYDOWN) {
            for (HWND w : Notices().windows)
                if (IsWindow(w)) PostMessageA(w, PbKeyDownMessage(), msg->wParam, msg->lParam);
        }
    }
    return CallNextHookEx(Notices().hook, code, wp, lp);
}

void RegisterForKeyNotices(HWND window) noexcept {
    KeyNotices& n = Notices();
    if (!IsWindow(window) || std::find(n.windows.begin(), n.windows.end(), window) != n.windows.end()) return;
    if (!n.hook) n.hook = SetWindowsHookExA(WH_GETMESSAGE, KeyHookProc, nullptr, GetCurrentThreadId());
    try {
        n.windows.push_back(window);
    } catch (...) {
    }
}

void UnregisterFromKeyNotices(HWND window) noexcept {
    KeyNotices& n = Notices();
    n.windows.erase(std::remove(n.windows.begin(), n.windows.end(), window), n.windows.end());
    if (n.windows.empty() && n.hook) {
        UnhookWindowsHookEx(n.hook);
        n.hook = nullptr;
    }
}

bool IsCtrlF(WPARAM key) { return GetKeyState(VK_CONTROL) < 0 && (key == 70 || key == 102); }

}  // namespace

CPNPWDListViewCtrl::~CPNPWDListViewCtrl() {
    if (hwnd()) UnregisterFromKeyNotices(hwnd());
}

HWND CPNPWDListViewCtrl::SetNotifyParent(HWND parent) noexcept {
    HWND old = notifyParent_;
    notifyParent_ = parent;
    return old;
}

HMENU CPNPWDListViewCtrl::SetMainMenu(HMENU menu) noexcept {
    HMENU old = mainMenu_;
    mainMenu_ = menu;
    return old;
}

size_t CPNPWDListViewCtrl::KeyNoticeWindowCount() noexcept { return Notices().windows.size(); }
bool CPNPWDListViewCtrl::KeyHookInstalled() noexcept { return Notices().hook != nullptr; }

void CPNPWDListViewCtrl::ShowSearchDialog() noexcept {
    if (pwdbox::LoggedIn() && hwnd()) SendMessageA(GetParent(hwnd()), WM_COMMAND, ID_PB_SEARCH, 0);
}

void CPNPWDListViewCtrl::OnKeyDown(WPARAM key) noexcept {
    if (IsCtrlF(key)) ShowSearchDialog();
}

LRESULT CPNPWDListViewCtrl::OnNotify(WPARAM wp, LPARAM lp) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header && header->hwndFrom == ListHwnd() &&
        (header->code == NM_CLICK || header->code == NM_RCLICK || header->code == NM_DBLCLK))
        SendMessageA(GetParent(hwnd()), WM_NOTIFY, wp, lp);
    return HandleListNotify(header);
}

LRESULT CPNPWDListViewCtrl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        LRESULT created = GroupedList::OnMessage(msg, wp, lp);
        if (created == 0) RegisterForKeyNotices(hwnd());
        return created;
    }
    if (msg == WM_DESTROY) UnregisterFromKeyNotices(hwnd());
    if (msg == WM_NOTIFY) return OnNotify(wp, lp);
    if (msg == WM_KEYDOWN) OnKeyDown(wp);  // and on to the list itself
    if (msg == PbKeyDownMessage()) {
        OnKeyDown(wp);
        return 0;
    }
    return GroupedList::OnMessage(msg, wp, lp);
}

bool CPNPWDListViewCtrl::IsWebAddress(const std::string& address) noexcept {
    auto startsWith = [&](const char* scheme) { return _strnicmp(address.c_str(), scheme, std::strlen(scheme)) == 0; };
    return startsWith("http://") || startsWith("https://");
}

void CPNPWDListViewCtrl::OnClickLinkCell(int row, int column, UINT) {
    std::string target = CellText(RecordKeyOfRow(row), column);
    if (IsWebAddress(target)) uikit::ShellOpen(hwnd(), target.c_str());
}
