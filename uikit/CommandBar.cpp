#include "CommandBar.h"

#include <commctrl.h>

#include <cctype>
#include <algorithm>
#include <string>
#include <vector>

namespace uikit {
namespace {

constexpr char kSelfProp[] = "uikit.CommandBar";
// Posted to the toolbar: open pop-up wParam (outside the hook that saw the key).
constexpr UINT kOpenMenuMsg = WM_APP + 0x4C;

// The bars of this thread, and the hook that gives them Alt+letter wherever
// the keyboard focus is in their owner.
std::vector<CommandBar*> g_bars;
HHOOK g_keyHook = nullptr;

std::string MenuTitle(HMENU menu, int index) {
    char text[128] = {};
    GetMenuStringA(menu, UINT(index), text, sizeof text, MF_BYPOSITION);
    return text;
}

}  // namespace

bool CommandBar::Create(HWND owner, HMENU menu, HBITMAP background) noexcept {
    Destroy();
    owner_ = owner;
    menu_ = menu;
    rebar_ = CreateWindowExA(0, REBARCLASSNAMEA, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                 CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                             0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
    if (!rebar_) return false;
    REBARINFO info = {sizeof info};
    SendMessageA(rebar_, RB_SETBARINFO, 0, LPARAM(&info));

    toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TRANSPARENT |
                                   CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, rebar_, nullptr, nullptr, nullptr);
    if (!toolbar_) return false;
    SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageA(toolbar_, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        std::string title = MenuTitle(menu, i);
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = i + 1;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        button.iString = INT_PTR(title.c_str());
        SendMessageA(toolbar_, TB_ADDBUTTONSA, 1, LPARAM(&button));
    }
    SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);

    SetPropA(toolbar_, kSelfProp, this);
    toolbarProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(toolbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CommandBar::ToolbarProc)));

    SIZE size = {};
    SendMessageA(toolbar_, TB_GETMAXSIZE, 0, LPARAM(&size));
    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | (background ? RBBIM_BACKGROUND : 0);
    band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
    band.hwndChild = toolbar_;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy > 0 ? size.cy : 22;
    band.hbmBack = background;
    SendMessageA(rebar_, RB_INSERTBANDA, WPARAM(-1), LPARAM(&band));
    try {
        g_bars.push_back(this);
    } catch (...) {
    }
    if (!g_keyHook) g_keyHook = SetWindowsHookExA(WH_GETMESSAGE, KeyHookProc, nullptr, GetCurrentThreadId());
    return true;
}

void CommandBar::Destroy() noexcept {
    g_bars.erase(std::remove(g_bars.begin(), g_bars.end(), this), g_bars.end());
    if (g_bars.empty() && g_keyHook) {
        UnhookWindowsHookEx(g_keyHook);
        g_keyHook = nullptr;
    }
    if (toolbar_ && IsWindow(toolbar_)) {
        if (toolbarProc_) SetWindowLongPtrA(toolbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(toolbarProc_));
        RemovePropA(toolbar_, kSelfProp);
    }
    if (rebar_ && IsWindow(rebar_)) DestroyWindow(rebar_);
    rebar_ = toolbar_ = nullptr;
    toolbarProc_ = nullptr;
}

void CommandBar::Move(int x, int y, int width, int height) noexcept {
    if (rebar_) MoveWindow(rebar_, x, y, width, height, TRUE);
}

void CommandBar::Show(bool show) noexcept {
    if (rebar_) ShowWindow(rebar_, show ? SW_SHOW : SW_HIDE);
}

bool CommandBar::OpenMenu(int index) noexcept {
    if (!menu_ || tracking_ || index < 0 || index >= GetMenuItemCount(menu_)) return false;
    HMENU popup = GetSubMenu(menu_, index);
    if (!popup) return false;
    RECT rc = {};
    SendMessageA(toolbar_, TB_GETITEMRECT, WPARAM(index), LPARAM(&rc));
    MapWindowPoints(toolbar_, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    tracking_ = true;
    SendMessageA(toolbar_, TB_PRESSBUTTON, WPARAM(index + 1), TRUE);
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rc.left, rc.bottom, owner_, nullptr);
    SendMessageA(toolbar_, TB_PRESSBUTTON, WPARAM(index + 1), FALSE);
    tracking_ = false;
    return true;
}

int CommandBar::MenuOfMnemonic(char letter) const noexcept {
    if (!menu_) return -1;
    const int count = GetMenuItemCount(menu_);
    for (int i = 0; i < count; ++i) {
        std::string title = MenuTitle(menu_, i);
        size_t amp = title.find('&');
        if (amp != std::string::npos && amp + 1 < title.size() &&
            std::tolower(static_cast<unsigned char>(title[amp + 1])) == std::tolower(static_cast<unsigned char>(letter)))
            return i;
    }
    return -1;
}

bool CommandBar::OpenMenuByMnemonic(char letter) noexcept {
    int index = MenuOfMnemonic(letter);
    return index >= 0 && OpenMenu(index);
}

LRESULT CALLBACK CommandBar::KeyHookProc(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code >= 0 && wp == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lp);
        if (msg->message == WM_SYSCHAR && (HIWORD(msg->lParam) & KF_ALTDOWN)) {
            HWND root = GetAncestor(msg->hwnd, GA_ROOT);
            for (CommandBar* bar : g_bars) {
                if (bar->owner_ != root || !IsWindowVisible(bar->rebar_)) continue;
                int index = bar->MenuOfMnemonic(char(msg->wParam));
                if (index < 0) continue;
                PostMessageA(bar->toolbar_, kOpenMenuMsg, WPARAM(index), 0);
                msg->message = WM_NULL;
                break;
            }
        }
    }
    return CallNextHookEx(g_keyHook, code, wp, lp);
}

LRESULT CALLBACK CommandBar::ToolbarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = static_cast<CommandBar*>(GetPropA(hwnd, kSelfProp));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == kOpenMenuMsg) {
        self->OpenMenu(int(wp));
        return 0;
    }
    if (msg == WM_LBUTTONDOWN) {
        POINT pt = {short(LOWORD(lp)), short(HIWORD(lp))};
        int index = int(SendMessageA(hwnd, TB_HITTEST, 0, LPARAM(&pt)));
        if (index >= 0) {
            self->OpenMenu(index);
            return 0;
        }
    }
    return CallWindowProcA(self->toolbarProc_, hwnd, msg, wp, lp);
}

}  // namespace uikit
