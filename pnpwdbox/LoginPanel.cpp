#include "LoginPanel.h"

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "SecretMemory.h"
#include "SmallDialogs.h"
#include "UpdateChannel.h"
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
            setMain_->onStored = [this] { ShowWindow(Item(IDC_PB_LOGIN_LINK), SW_HIDE); };
            setMain_->OpenModeless(GetAncestor(hwnd(), GA_ROOT));
            return TRUE;
        }
        break;
    case pwdbox::PBM_JOBDONE: {
        int result = 0;
        if (job_.Finish(wp, result)) OnChecked(static_cast<pnstore::UnlockResult>(result));
        return TRUE;
    }
    }
    if (msg == PbUpdateMessage() && wp == kPbLockedParam) {
        OnLocked();
        return TRUE;
    }
    return FALSE;
}

void CPwdLoginPanel::OnInit() {
    uikit::LimitItemTextBytes(hwnd(), IDC_PB_LOGIN_PWD, 127);
    OfferMasterLink();
    CPwdUpdateChannel::Instance().Subscribe(kPbEventLocked, hwnd());
}

void CPwdLoginPanel::OfferMasterLink() {
    // What decides is the database: one without a master password offers
    // the link to set one.
    if (pnstore::HasMaster()) {
        ShowWindow(Item(IDC_PB_LOGIN_LINK), SW_HIDE);
        return;
    }
    if (!linkAttached_) link_.Attach(Item(IDC_PB_LOGIN_LINK), "", uikit::CHyperLink::kCommandParent);
    linkAttached_ = true;
    ShowWindow(Item(IDC_PB_LOGIN_LINK), SW_SHOW);
}

void CPwdLoginPanel::SetChecking(bool checking) {
    EnableWindow(Item(IDC_PB_LOGIN_PWD), !checking);
    EnableWindow(Item(IDOK), !checking);
    SetDlgItemTextA(hwnd(), IDC_PB_LOGIN_STATUS, checking ? pwdbox::ResString(IDS_PB_UNLOCKING).c_str() : "");
}

void CPwdLoginPanel::OnOk() {
    if (job_.Running()) return;
    HWND edit = Item(IDC_PB_LOGIN_PWD);
    std::string typed = uikit::WindowText(edit, 127);
    if (typed.empty()) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_EMPTY_MASTER, IDS_PB_MESSAGE_TITLE);
        return;
    }
    auto password = std::make_shared<std::string>(typed);
    pncrypto::Wipe(typed);
    keys_ = std::make_shared<pnstore::SessionKeys>();
    auto keys = keys_;
    // The derivation takes its time on a thread of its own; the window goes
    // on painting and answering meanwhile.
    const bool started = job_.Start(hwnd(), [password, keys] {
        const pnstore::UnlockResult result = pnstore::OpenBox(*password, *keys);
        pncrypto::Wipe(*password);
        return static_cast<int>(result);
    });
    if (!started) {
        pncrypto::Wipe(*password);
        pwdbox::ShowInfo(hwnd(), IDS_PB_DB_UNREADABLE, IDS_PB_MESSAGE_TITLE);
        return;
    }
    SetChecking(true);
}

void CPwdLoginPanel::OnChecked(pnstore::UnlockResult result) {
    SetChecking(false);
    HWND edit = Item(IDC_PB_LOGIN_PWD);
    std::shared_ptr<pnstore::SessionKeys> keys = std::move(keys_);
    int problem = 0;
    switch (result) {
    case pnstore::UnlockResult::Opened:
    case pnstore::UnlockResult::OpenedReadOnly:
        pnstore::StartSession(*keys);
        break;
    case pnstore::UnlockResult::WrongPassword:
        problem = IDS_PB_WRONG_MASTER;
        OutputDebugStringA("PnPwdBox: wrong master password\n");
        break;
    case pnstore::UnlockResult::Damaged: problem = IDS_PB_DB_DAMAGED; break;
    case pnstore::UnlockResult::NoMaster: problem = IDS_PB_NO_MASTER; break;
    case pnstore::UnlockResult::Refused: problem = IDS_PB_DB_FOREIGN; break;
    case pnstore::UnlockResult::Newer: problem = IDS_PB_DB_NEWER; break;
    case pnstore::UnlockResult::Failed: problem = IDS_PB_DB_UNREADABLE; break;
    }
    keys.reset();  // the keys erase themselves as they go
    if (problem) {
        if (result == pnstore::UnlockResult::NoMaster) OfferMasterLink();
        pwdbox::ShowInfo(hwnd(), problem, IDS_PB_MESSAGE_TITLE);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return;
    }
    // The master password does not stay in the hidden panel.
    SetWindowTextA(edit, "");
    if (result == pnstore::UnlockResult::OpenedReadOnly)
        pwdbox::ShowInfo(hwnd(), IDS_PB_UPGRADE_FAILED, IDS_PB_MESSAGE_TITLE);
    pwdbox::LoggedIn() = 1;
    OutputDebugStringA("PnPwdBox: logged in\n");
    if (onLoggedIn) onLoggedIn();
}

void CPwdLoginPanel::OnLocked() {
    OfferMasterLink();  // the box may be on another database now
    HWND edit = Item(IDC_PB_LOGIN_PWD);
    SetWindowTextA(edit, "");
    SetFocus(edit);
}
