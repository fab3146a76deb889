#include "Dialog.h"

#include <algorithm>
#include <vector>

#include "Skin.h"
#include "Window.h"
#include "WindowText.h"

namespace uikit {
namespace {

std::vector<HWND>& ModelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

// The dialog manager focuses the first control of a new dialog, and the focus
// brings the activation with it, even while the dialog is hidden. A hidden edit
// box with the focus blinks its caret all day, so both go back where they were;
// the dialog remembers its focused control for its first activation.
void GiveBackActivation(HWND hidden, HWND activeBefore, HWND focusBefore) noexcept {
    if (GetActiveWindow() != hidden) return;
    SetActiveWindow(activeBefore && IsWindow(activeBefore) ? activeBefore : nullptr);
    if (focusBefore && IsWindow(focusBefore) && GetFocus() != focusBefore) SetFocus(focusBefore);
}

}  // namespace

Dialog::~Dialog() {
    // The derived part is gone by now, so the window must not reach OnMessage again.
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        UnregisterModeless(hwnd_);
        if (!modal_) DestroyWindow(hwnd_);
    }
}

HWND Dialog::Create(HINSTANCE resources, int templateId, HWND owner, LPARAM param) noexcept {
    if (IsWindowAlive()) return hwnd_;
    modal_ = false;
    createParam_ = param;
    const HWND activeBefore = GetActiveWindow();
    const HWND focusBefore = GetFocus();
    HWND h = CreateDialogParamA(resources, MAKEINTRESOURCEA(templateId), owner, Proc,
                                reinterpret_cast<LPARAM>(this));
    if (!h) return nullptr;
    RegisterModeless(h);
    if (!IsWindowVisible(h)) GiveBackActivation(h, activeBefore, focusBefore);
    return h;
}

INT_PTR Dialog::DoModal(HINSTANCE resources, int templateId, HWND owner, LPARAM param) noexcept {
    modal_ = true;
    createParam_ = param;
    INT_PTR r = DialogBoxParamA(resources, MAKEINTRESOURCEA(templateId), owner, Proc,
                                reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return r;
}

void Dialog::Destroy() noexcept {
    if (hwnd_ && IsWindow(hwnd_)) {
        if (modal_)
            EndDialog(hwnd_, IDCANCEL);
        else
            DestroyWindow(hwnd_);
    }
}

INT_PTR Dialog::Result(LRESULT value) noexcept {
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, value);
    return TRUE;
}

INT_PTR Dialog::EndOnOkOrCancel(UINT msg, WPARAM wp) noexcept {
    if (msg != WM_COMMAND || (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL)) return FALSE;
    EndDialog(hwnd_, LOWORD(wp));
    return TRUE;
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    HandlerScope running;
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        lp = self->createParam_;
        // Before the dialog subclasses any of its edits itself.
        TakeUnicodeInputForChildren(hwnd);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;

    INT_PTR handled = FALSE;
    try {
        handled = self->OnMessage(msg, wp, lp);
    } catch (...) {
        handled = FALSE;  // a handler that failed leaves the default behaviour
    }
    // Skin colours and the skin-changed repaint for whatever the dialog left alone.
    if (!handled) handled = HandleSkinMessage(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        UnregisterModeless(hwnd);
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return handled;
}

void RegisterModeless(HWND dialog) noexcept {
    try {
        auto& v = ModelessDialogs();
        if (std::find(v.begin(), v.end(), dialog) == v.end()) v.push_back(dialog);
    } catch (...) {
    }
}

void UnregisterModeless(HWND dialog) noexcept {
    auto& v = ModelessDialogs();
    v.erase(std::remove(v.begin(), v.end(), dialog), v.end());
}

bool PreTranslate(MSG& msg) noexcept {
    for (HWND d : ModelessDialogs()) {
        if (IsWindow(d) && (d == msg.hwnd || IsChild(d, msg.hwnd)) && IsDialogMessageW(d, &msg))
            return true;
    }
    return false;
}

// The loop takes and hands on messages in Unicode: a typed character reaches
// a Unicode window (every edit, TakeUnicodeInput) as it was typed, where the
// "A" calls would pass it through the keyboard's code page.
int RunMessageLoop() noexcept {
    MSG msg;
    BOOL r;
    while ((r = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (r == -1) return -1;
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool PumpPendingMessages() noexcept {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return false;
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace uikit
