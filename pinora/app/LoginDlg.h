// The login dialog (modeless, owned by the main window) and the new-user dialog
// (modal) that it opens.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Dialog.h"

namespace pinora {

constexpr UINT LDM_REFRESHUSERS = 0x8C81;
constexpr UINT LDM_SETOWNER = 0x8C82;
constexpr UINT LDM_SETMODE = 0x8C83;

// Mode 0 logs somebody in; mode 1 (switch user) keeps the current user on Cancel.
class CLoginDlg : public uikit::Dialog {
public:
    ~CLoginDlg() override { Destroy(); }
    // Creates the dialog if needed and shows it in the given mode.
    bool Open(HWND owner, int mode);
    int Mode() const { return mode_; }
    // Asked after a password was accepted while somebody is logged in, before
    // the new user takes over: false keeps the one logged in (and the dialog
    // open). The main window settles the windows of its user's data here.
    void SetUserChangeGuard(std::function<bool()> guard) { userChangeGuard_ = std::move(guard); }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInit();
    void FillUsers();
    void OnOk();
    void OnCancel();
    void OnNewUser();
    void SaveLoginSettings(const std::string& name, const std::string& password);
    void Center();

    HWND owner_ = nullptr;
    int mode_ = 0;
    std::function<bool()> userChangeGuard_;
};

class CNewUserDlg : public uikit::Dialog {
public:
    INT_PTR Run(HWND owner);

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnOk();
    std::string tablePath_;
};

// Centres a dialog on its owner, or on the work area when the owner is hidden or
// minimised, and keeps it inside the work area.
void CenterDialog(HWND dialog, HWND owner);

}  // namespace pinora
