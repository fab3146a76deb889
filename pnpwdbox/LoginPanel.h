// The login panel (dialog 109): a child of the frame that fills it while the
// box is locked, and asks for the master password. The password is checked
// (and an older database upgraded) on a thread of its own; the panel says so
// meanwhile and takes no other password.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "BackgroundJob.h"
#include "Dialog.h"
#include "HyperLink.h"
#include "PwdStore.h"

class CSetMainPwdDlg;

class CPwdLoginPanel : public uikit::Dialog {
public:
    CPwdLoginPanel();
    ~CPwdLoginPanel() override;
    HWND Open(HWND frame);
    // Called once the master password was accepted and the box is unlocked.
    std::function<void()> onLoggedIn;
    bool LinkShown() const;
    bool Checking() const { return job_.Running(); }
    // Offers the link to set a master password when the database has none.
    void OfferMasterLink();

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInit();
    void OnOk();
    void OnChecked(pnstore::UnlockResult result);
    void OnLocked();
    void SetChecking(bool checking);
    std::unique_ptr<CSetMainPwdDlg> setMain_;
    uikit::CHyperLink link_;
    bool linkAttached_ = false;
    pwdbox::BackgroundJob job_;
    // Filled by the job; read only after it has finished.
    std::shared_ptr<pnstore::SessionKeys> keys_;
};
