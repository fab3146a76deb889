#include "LoginPanel.h"

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "SmallDialogs.h"
#include "UpdateChannel.h"
#include "Utf8Text.h"
#include "WindowText.h"

CPwdLoginPanel::CPwdLoginPanel() = default;
CPwdLoginPanel::~CPwdLoginPanel() = default;

HWND CPwdLoginPanel::Open(HWND frame) { return Create(pwdbox::ResLib(), IDD_PB_LOGIN, frame); }

bool CPwdLoginPanel::LinkShown() const { return IsWindowVisible(Item(IDC_PB_LOGIN_LINK)) != FALSE; }

INT_PTR CPwdLoginPanel::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return FALSE;
    case WM_DESTROY:
        CPwdUpdateChannel::Instance().Unsubscribe(kPbEventLocked, hwnd());
        if (setMain_) setMain_->Destroy();
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            OnOk();
            return TRUE;
        case IDCANCEL:
            return TRUE;  // Escape does nothing here
        case IDC_PB_LOGIN_LINK:  // the link tells of its clicks by WM_COMMAND
            if (!setMain_) setMain_ = std::make_unique<CSetMainPwdDlg>();
            setMain_->OpenModeless(GetAncestor(hwnd(), GA_ROOT));
            return TRUE;
        }
        break;
    }
    if (msg == PbUpdateMessage() && wp == kPbLockedParam) {
        OnLocked();
        return TRUE;
    }
    return FALSE;
}

void CPwdLoginPanel::OnInit() {
    uikit::LimitItemTextBytes(hwnd(), IDC_PB_LOGIN_PWD, 127);
    // The link to set a master password is offered only when the user table
    // cannot be read at all.
    if (!pnstore::PwdStore().probeUserTable()) {
        link_.Attach(Item(IDC_PB_LOGIN_LINK), "", uikit::CHyperLink::kCommandParent);
        ShowWindow(Item(IDC_PB_LOGIN_LINK), SW_SHOW);
    }
    CPwdUpdateChannel::Instance().Subscribe(kPbEventLocked, hwnd());
}

void CPwdLoginPanel::OnOk() {
    HWND edit = Item(IDC_PB_LOGIN_PWD);
    char password[128] = {};
    std::string typed = uikit::WindowText(edit, sizeof password - 1);
    uikit::CopyUtf8(password, sizeof password, typed.c_str());
    SecureZeroMemory(typed.data(), typed.size());
    if (!password[0]) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_EMPTY_MASTER, IDS_PB_MESSAGE_TITLE);
        return;
    }
    bool accepted = pnstore::PwdStore().checkMasterPassword(password) == 1;
    SecureZeroMemory(password, sizeof password);
    if (!accepted) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_WRONG_MASTER, IDS_PB_MESSAGE_TITLE);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return;
    }
    // The master password does not stay in the hidden panel.
    SetWindowTextA(edit, "");
    pwdbox::LoggedIn() = 1;
    OutputDebugStringA("PnPwdBox: logged in\n");
    if (onLoggedIn) onLoggedIn();
}

void CPwdLoginPanel::OnLocked() {
    HWND edit = Item(IDC_PB_LOGIN_PWD);
    SetWindowTextA(edit, "");
    SetFocus(edit);
}
