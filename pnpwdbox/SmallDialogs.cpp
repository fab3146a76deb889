#include "SmallDialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "FilledText.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdGenerator.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "SecretMemory.h"
#include "Utf8Text.h"
#include "WindowText.h"

using pnstore::PwdStore;

namespace {

constexpr int kPasswordLimit = 127;

std::string ItemText(HWND dialog, int id) { return uikit::ItemText(dialog, id, 1023); }

void FocusAndSelect(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

// A secret is never cut to fit: the boxes take kPasswordLimit characters, and
// one longer than the store holds in bytes is refused when it is set.
void LimitSecrets(HWND dialog, std::initializer_list<int> ids) {
    for (int id : ids) SendMessageW(GetDlgItem(dialog, id), EM_LIMITTEXT, kPasswordLimit, 0);
}

}  // namespace

int CheckNewPassword(const std::string& password, const std::string& confirm) {
    if (password.empty() || confirm.empty()) return IDS_PB_EMPTY_FIELD;
    if (password != confirm) return IDS_PB_PASSWORDS_DIFFER;
    if (password.size() > pnstore::kMaxSecretBytes) return IDS_PB_TOO_LONG;
    return 0;
}

// The dialog's fields and buttons while its job runs: nothing to type into
// or press twice.
void EnableWhileWaiting(HWND dialog, std::initializer_list<int> ids, bool enable) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enable);
}

// ---- Rename ----

void CRenameGroupDlg::Open(HWND owner, int group, const std::string& name, POINT at) {
    if (!IsWindowAlive() && !Create(pwdbox::ResLib(), IDD_PB_RENAME_GROUP, owner)) return;
    group_ = group;
    SetDlgItemTextA(hwnd(), IDC_PB_OLD_NAME, name.c_str());
    SetDlgItemTextA(hwnd(), IDC_PB_NEW_NAME, "");
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd(), SW_SHOW);
    SetFocus(Item(IDC_PB_NEW_NAME));
}

INT_PTR CRenameGroupDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        uikit::LimitItemTextBytes(hwnd(), IDC_PB_NEW_NAME, 127);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
    case IDOK:
        OnOk();
        return TRUE;
    case IDCANCEL:
        ShowWindow(hwnd(), SW_HIDE);
        return TRUE;
    }
    return FALSE;
}

void CRenameGroupDlg::OnOk() {
    std::string name = uikit::ItemText(hwnd(), IDC_PB_NEW_NAME, 127);
    if (name.empty()) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_EMPTY_GROUP_NAME, IDS_PB_MESSAGE_TITLE);
        return;
    }
    if (group_ > 0) {
        if (PwdStore().renameGroup(group_, name.c_str()) != 1) {
            pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
            return;
        }
        PbRenameBlock block{};
        block.group = group_;
        uikit::CopyUtf8(block.name, sizeof block.name, name.c_str());
        if (control_) SendMessageA(control_, PBM_RENAMEGROUPROW, 0, LPARAM(&block));
    }
    SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(Item(IDCANCEL)));
}

// ---- Search ----

void CPwdSearchDlg::Open(HWND owner) {
    if (!IsWindowAlive() && !Create(pwdbox::ResLib(), IDD_PB_SEARCH, owner)) return;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(Item(IDC_PB_SEARCH_TEXT));
}

INT_PTR CPwdSearchDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        uikit::LimitItemTextBytes(hwnd(), IDC_PB_SEARCH_TEXT, 64);
        SetDlgItemTextA(hwnd(), IDC_PB_SEARCH_TEXT, "");
        matches_.clear();
        position_ = 0;
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
    case IDOK:
        OnFind();
        return TRUE;
    case IDC_PB_SEARCH_NEXT:
        OnNext();
        return TRUE;
    case IDCANCEL:
        DestroyWindow(hwnd());
        return TRUE;
    }
    return FALSE;
}

void CPwdSearchDlg::OnFind() {
    std::string title = pwdbox::ResString(IDS_PB_SEARCH_TITLE);
    SetWindowTextA(hwnd(), title.c_str());
    std::string text = ItemText(hwnd(), IDC_PB_SEARCH_TEXT);
    if (text.empty()) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_EMPTY_SEARCH, IDS_PB_CONFIRM_TITLE);
        return;
    }
    matches_.clear();
    position_ = 0;
    SendMessageA(control_, PBM_SEARCH, WPARAM(&matches_), LPARAM(text.c_str()));
    if (matches_.empty()) {
        EnableWindow(Item(IDC_PB_SEARCH_NEXT), FALSE);
        pwdbox::ShowInfo(hwnd(), IDS_PB_NO_MATCH, IDS_PB_NO_MATCH_TITLE);
        return;
    }
    SendMessageA(control_, PBM_SELECTROW, 0, LPARAM(matches_[0]));
    EnableWindow(Item(IDC_PB_SEARCH_NEXT), matches_.size() > 1);
    // The library's text is filled by position, never used as a printf format.
    const std::string count = uikit::FillByPosition(pwdbox::ResString(IDS_PB_MATCH_COUNT), {std::to_string(matches_.size())});
    SetWindowTextA(hwnd(), (title + ":" + count).c_str());
}

void CPwdSearchDlg::OnNext() {
    if (position_ + 1 >= matches_.size()) return;
    ++position_;
    SendMessageA(control_, PBM_SELECTROW, 0, LPARAM(matches_[position_]));
    if (position_ + 1 >= matches_.size()) {
        // Keep the keyboard in the dialog before the button goes grey.
        SetFocus(Item(IDC_PB_SEARCH_TEXT));
        EnableWindow(Item(IDC_PB_SEARCH_NEXT), FALSE);
    }
}

// ---- Change password ----

INT_PTR CChangePwdDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_CHANGE_PWD, owner); }

void CChangePwdDlg::Refuse(int textId, int focusId) {
    pwdbox::ShowInfo(hwnd(), textId, IDS_PB_MESSAGE_TITLE);
    FocusAndSelect(hwnd(), focusId);
}

INT_PTR CChangePwdDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        LimitSecrets(hwnd(), {IDC_PB_OLD_PWD, IDC_PB_NEW_PWD, IDC_PB_NEW_CONFIRM});
        return TRUE;
    }
    if (msg == pwdbox::PBM_JOBDONE) {
        int result = 0;
        if (job_.Finish(wp, result)) OnChanged(result);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == IDOK) {
        OnOk();
        return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
        // While the new password is being set, the dialog waits for the
        // outcome rather than leave it untold.
        if (!job_.Running()) EndDialog(hwnd(), IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void CChangePwdDlg::OnOk() {
    if (job_.Running()) return;
    std::string old = ItemText(hwnd(), IDC_PB_OLD_PWD);
    std::string fresh = ItemText(hwnd(), IDC_PB_NEW_PWD), confirm = ItemText(hwnd(), IDC_PB_NEW_CONFIRM);
    const int problem = old.empty() ? 0 : CheckNewPassword(fresh, confirm);
    pncrypto::Wipe(confirm);
    if (old.empty() || problem) {
        pncrypto::Wipe(old);
        pncrypto::Wipe(fresh);
        return problem ? Refuse(problem, IDC_PB_NEW_PWD) : Refuse(IDS_PB_EMPTY_FIELD, IDC_PB_OLD_PWD);
    }
    auto texts = std::make_shared<std::pair<std::string, std::string>>(std::move(old), std::move(fresh));
    if (!job_.Start(hwnd(), [texts] {
            const int result = PwdStore().changeMasterPassword(texts->first.c_str(), texts->second.c_str());
            pncrypto::Wipe(texts->first);
            pncrypto::Wipe(texts->second);
            return result;
        })) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    EnableWhileWaiting(hwnd(), {IDC_PB_OLD_PWD, IDC_PB_NEW_PWD, IDC_PB_NEW_CONFIRM, IDOK, IDCANCEL}, false);
}

void CChangePwdDlg::OnChanged(int result) {
    EnableWhileWaiting(hwnd(), {IDC_PB_OLD_PWD, IDC_PB_NEW_PWD, IDC_PB_NEW_CONFIRM, IDOK, IDCANCEL}, true);
    switch (result) {
    case 1:
        pwdbox::ShowInfo(hwnd(), IDS_PB_PWD_CHANGED, IDS_PB_MESSAGE_TITLE);
        EndDialog(hwnd(), IDOK);
        break;
    case 2:
        Refuse(IDS_PB_WRONG_OLD_PWD, IDC_PB_OLD_PWD);
        break;
    default:
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        break;
    }
}

// ---- Set master password ----

INT_PTR CSetMainPwdDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_SET_MASTER, owner); }

HWND CSetMainPwdDlg::OpenModeless(HWND owner) {
    HWND h = IsWindowAlive() ? hwnd() : Create(pwdbox::ResLib(), IDD_PB_SET_MASTER, owner);
    if (h) ShowWindow(h, SW_SHOW);
    return h;
}

namespace {
std::vector<HWND>& OpenWizards() {
    static std::vector<HWND> wizards;
    return wizards;
}
}  // namespace

void CSetMainPwdDlg::CancelOpenWizards() noexcept {
    for (HWND wizard : OpenWizards())
        if (IsWindow(wizard)) PostMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

INT_PTR CSetMainPwdDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        LimitSecrets(hwnd(), {IDC_PB_MASTER_PWD, IDC_PB_MASTER_CONFIRM});
        try {
            OpenWizards().push_back(hwnd());
        } catch (...) {
        }
        return TRUE;
    }
    if (msg == WM_DESTROY) {
        auto& open = OpenWizards();
        open.erase(std::remove(open.begin(), open.end(), hwnd()), open.end());
        return FALSE;
    }
    if (msg == pwdbox::PBM_JOBDONE) {
        int result = 0;
        if (job_.Finish(wp, result)) OnStored(result);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == IDOK) {
        OnOk();
        return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
        if (!job_.Running()) Close(0);  // a password being set is seen through
        return TRUE;
    }
    return FALSE;
}

void CSetMainPwdDlg::Close(int result) {
    if (IsModal())
        EndDialog(hwnd(), result);
    else
        DestroyWindow(hwnd());
}

void CSetMainPwdDlg::OnOk() {
    if (job_.Running()) return;
    std::string password = ItemText(hwnd(), IDC_PB_MASTER_PWD), confirm = ItemText(hwnd(), IDC_PB_MASTER_CONFIRM);
    const int problem = CheckNewPassword(password, confirm);
    pncrypto::Wipe(confirm);
    if (problem) {
        pncrypto::Wipe(password);
        pwdbox::ShowInfo(hwnd(), problem, IDS_PB_MESSAGE_TITLE);
        FocusAndSelect(hwnd(), ItemText(hwnd(), IDC_PB_MASTER_PWD).empty()       ? IDC_PB_MASTER_PWD
                               : ItemText(hwnd(), IDC_PB_MASTER_CONFIRM).empty() ? IDC_PB_MASTER_CONFIRM
                                                                                 : IDC_PB_MASTER_PWD);
        return;
    }
    auto secret = std::make_shared<std::string>(std::move(password));
    if (!job_.Start(hwnd(), [secret] {
            const pnstore::CreateResult result = pnstore::CreateMaster(*secret);
            pncrypto::Wipe(*secret);
            return static_cast<int>(result);
        })) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        Close(0);
        return;
    }
    EnableWhileWaiting(hwnd(), {IDC_PB_MASTER_PWD, IDC_PB_MASTER_CONFIRM, IDOK, IDCANCEL}, false);
}

void CSetMainPwdDlg::OnStored(int result) {
    EnableWhileWaiting(hwnd(), {IDC_PB_MASTER_PWD, IDC_PB_MASTER_CONFIRM, IDOK, IDCANCEL}, true);
    const bool stored = static_cast<pnstore::CreateResult>(result) == pnstore::CreateResult::Created;
    if (stored) {
        // Kept for older builds that read it; what decides now is the database.
        pwdbox::WriteIniAlways("HAVE_USED", "1");
        if (onStored) onStored();
    } else {
        pwdbox::ShowInfo(hwnd(), static_cast<pnstore::CreateResult>(result) == pnstore::CreateResult::AlreadyHasMaster
                                     ? IDS_PB_HAS_MASTER
                                     : IDS_PB_STORE_FAILED,
                         IDS_PB_MESSAGE_TITLE);
    }
    Close(stored ? 1 : 0);
}

// ---- About ----

INT_PTR CPwdAboutDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_ABOUT, owner); }

INT_PTR CPwdAboutDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        link_.Attach(Item(IDC_PB_ABOUT_LINK), ItemText(hwnd(), IDC_PB_ABOUT_LINK).c_str());
        return TRUE;
    }
    return EndOnOkOrCancel(msg, wp);
}

// ---- Generator ----

INT_PTR CPwdGeneratorDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_GENERATOR, owner); }

INT_PTR CPwdGeneratorDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        OnInit();
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
    case IDC_PB_GEN_GENERATE:
        OnGenerate();
        return TRUE;
    case IDC_PB_GEN_DEFAULTS:
        RestoreDefaults();
        return TRUE;
    case IDOK:
        return TRUE;  // the password is copied from its box; OK keeps the dialog
    case IDCANCEL:
        EndDialog(hwnd(), IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void CPwdGeneratorDlg::OnInit() {
    HWND list = Item(IDC_PB_GEN_CLASSES);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("Options");
    column.cx = 300;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, LPARAM(&column));
    for (int row = 0; row < pngen::kClassCount; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(pngen::kClassLabels[row]);
        SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item));
    }
    SendMessageA(Item(IDC_PB_GEN_SPIN), UDM_SETRANGE32, pngen::kMinLength, pngen::kMaxLength);
    RestoreDefaults();
}

void CPwdGeneratorDlg::RestoreDefaults() {
    HWND list = Item(IDC_PB_GEN_CLASSES);
    for (int row = 0; row < pngen::kClassCount; ++row) ListView_SetCheckState(list, row, pngen::kClassDefaults[row]);
    SendMessageA(Item(IDC_PB_GEN_SPIN), UDM_SETPOS32, 0, pngen::kDefaultLength);
    SetDlgItemInt(hwnd(), IDC_PB_GEN_LENGTH, pngen::kDefaultLength, TRUE);
}

void CPwdGeneratorDlg::OnGenerate() {
    pngen::Options options{};
    HWND list = Item(IDC_PB_GEN_CLASSES);
    for (int row = 0; row < pngen::kClassCount; ++row) options.classes[row] = ListView_GetCheckState(list, row) != 0;
    BOOL read = FALSE;
    options.length = int(GetDlgItemInt(hwnd(), IDC_PB_GEN_LENGTH, &read, TRUE));
    if (!read) options.length = -1;
    std::string password;
    switch (pngen::Generate(options, password)) {
    case pngen::Outcome::Generated:
        SetDlgItemTextA(hwnd(), IDC_PB_GEN_RESULT, password.c_str());
        break;
    case pngen::Outcome::NoClassChosen:
        pwdbox::ShowInfo(hwnd(), IDS_PB_GEN_NO_CLASS, IDS_PB_MESSAGE_TITLE);
        break;
    case pngen::Outcome::LengthOutOfRange:
        pwdbox::ShowInfo(hwnd(), IDS_PB_GEN_BAD_LENGTH, IDS_PB_MESSAGE_TITLE);
        FocusAndSelect(hwnd(), IDC_PB_GEN_LENGTH);
        break;
    }
    SecureZeroMemory(&password[0], password.size());
}
