// The login panel (dialog 109): a child of the frame that fills it while the
// box is locked, and asks for the master password.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "Dialog.h"
#include "HyperLink.h"

class CSetMainPwdDlg;

class CPwdLoginPanel : public uikit::Dialog {
public:
    CPwdLoginPanel();
    ~CPwdLoginPanel() override;
    HWND Open(HWND frame);
    // Called once the master password was accepted.
    std::function<void()> onLoggedIn;
    bool LinkShown() const;

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInit();
    void OnOk();
    void OnLocked();
    std::unique_ptr<CSetMainPwdDlg> setMain_;
    uikit::CHyperLink link_;
};
