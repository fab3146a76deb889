// Base class for the program's dialogs: the object pointer rides in DWLP_USER from
// WM_INITDIALOG on, messages go to OnMessage, and no exception leaves the dialog
// procedure. Modeless dialogs register with the message loop so that Tab, Enter
// and Escape work in them.
#pragma once
#include <windows.h>

namespace uikit {

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Modeless: returns the window or nullptr.
    HWND Create(HINSTANCE resources, int templateId, HWND owner, LPARAM param = 0) noexcept;
    // Modal: returns the EndDialog result, or -1 when the template is missing.
    INT_PTR DoModal(HINSTANCE resources, int templateId, HWND owner, LPARAM param = 0) noexcept;
    void Destroy() noexcept;

    HWND hwnd() const noexcept { return hwnd_; }
    bool IsWindowAlive() const noexcept { return hwnd_ != nullptr && IsWindow(hwnd_); }
    HWND Item(int id) const noexcept { return GetDlgItem(hwnd_, id); }

protected:
    // Return TRUE when the message was handled (SetWindowLongPtr(DWLP_MSGRESULT) for results).
    virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LPARAM CreateParam() const noexcept { return createParam_; }
    bool IsModal() const noexcept { return modal_; }
    // Returns a value from a message handler (DWLP_MSGRESULT) and reports it handled.
    INT_PTR Result(LRESULT value) noexcept;
    // For a modal dialog with nothing to check before it closes: OK and Cancel
    // end it with their own id. TRUE when the message was one of them.
    INT_PTR EndOnOkOrCancel(UINT msg, WPARAM wp) noexcept;

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
    LPARAM createParam_ = 0;
    bool modal_ = false;
};

// Message loop shared by all windows of the process.
void RegisterModeless(HWND dialog) noexcept;
void UnregisterModeless(HWND dialog) noexcept;
// Gives the message to the registered modeless dialog it belongs to; true if consumed.
bool PreTranslate(MSG& msg) noexcept;
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop() noexcept;
// Handles what is queued now without waiting; false once WM_QUIT was seen (tests).
bool PumpPendingMessages() noexcept;

}  // namespace uikit
