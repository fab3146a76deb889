#include "BrowserPopup.h"

#include <cstring>
#include <string>

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "ShellOpen.h"
#include "WebAddress.h"
#include "WindowText.h"

namespace pinora {

const char* const kBrowserWindowClass = "VekBrowserWindow";

namespace {
const char* const kBlankPage = "about:blank";
}

bool CBrowserPopup::Create(HWND owner) {
    // hwnd_ is set from the first message on, so a lookup that arrives while the
    // control's error box waits during creation finds the popup and does not
    // create a second one.
    if (hwnd_) return true;
    if (!uikit::RegisterObjectWindowClass<CBrowserPopup>(kBrowserWindowClass)) return false;
    std::string title = LoadResString(IDS_DICTIONARY_TITLE);
    return CreateWindowExA(0, kBrowserWindowClass, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 300, 400,
                           owner, nullptr, GetModuleHandleA(nullptr), this) != nullptr;
}

void CBrowserPopup::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    container_.reset();
}

void CBrowserPopup::ShowAt(int left, int top, int width, int height) {
    if (hwnd_) SetWindowPos(hwnd_, HWND_TOPMOST, left, top, width, height, SWP_SHOWWINDOW);
}

void CBrowserPopup::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void CBrowserPopup::Navigate(const char* url) {
    if (!url) return;
    if (HasBrowserControl()) {
        if (container_->Window()) container_->Navigate(url);
        return;
    }
    if (IsWebAddress(url)) uikit::ShellOpen(nullptr, AddressForShell(url).c_str());
}

void CBrowserPopup::OnCreate() {
    if (!container_) container_ = std::make_unique<CIECntrWnd>();
    container_->Create(hwnd_, RECT{0, 0, 0, 0}, WS_CHILD | WS_VISIBLE);
    container_->Navigate(kBlankPage);
    std::strcpy(lastAddress_, kBlankPage);
}

void CBrowserPopup::PaintWithoutControl() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (!dc) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (!HasBrowserControl()) {
        std::string text = LoadResString(IDS_DICTIONARY_IN_BROWSER, 512);
        InflateRect(&client, -10, -10);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        uikit::DrawTextUtf8(dc, text, &client, DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT CBrowserPopup::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        if (container_ && container_->Window()) {
            RECT client;
            GetClientRect(hwnd_, &client);
            MoveWindow(container_->Window(), 0, 0, client.right, client.bottom, TRUE);
        }
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        // Repaint the page's windows rather than erase under them.
        if (!redrawing_) {
            redrawing_ = true;
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            redrawing_ = false;
        }
        return 1;
    case WM_PAINT:
        PaintWithoutControl();
        return 0;
    case WM_CLOSE:
        // Closing only hides it: the next lookup shows it again with its page.
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_DESTROY:
        if (container_ && container_->Window()) DestroyWindow(container_->Window());
        return 0;
    default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

}  // namespace pinora
