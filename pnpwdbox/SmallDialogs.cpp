#include "SmallDialogs.h"

#include <commctrl.h>

#include <cstdio>

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdGenerator.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "TextCipher.h"
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

void LimitTexts(HWND dialog, std::initializer_list<int> ids, int limit) {
    for (int id : ids) uikit::LimitItemTextBytes(dialog, id, size_t(limit));
}

}  // namespace

int CheckNewPassword(const std::string& password, const std::string& confirm) {
    if (password.empty() || confirm.empty()) return IDS_PB_EMPTY_FIELD;
    if (password != confirm) return IDS_PB_PASSWORDS_DIFFER;
    if (password.size() > size_t(kCipherMaxPlainBytes)) return IDS_PB_TOO_LONG;
    return 0;
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
    char count[128] = {};
    std::snprintf(count, sizeof count, pwdbox::ResString(IDS_PB_MATCH_COUNT).c_str(), int(matches_.size()));
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
        LimitTexts(hwnd(), {IDC_PB_OLD_PWD, IDC_PB_NEW_PWD, IDC_PB_NEW_CONFIRM}, kPasswordLimit);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == IDOK) {
        OnOk();
        return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
        EndDialog(hwnd(), IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void CChangePwdDlg::OnOk() {
    std::string old = ItemText(hwnd(), IDC_PB_OLD_PWD);
    std::string fresh = ItemText(hwnd(), IDC_PB_NEW_PWD), confirm = ItemText(hwnd(), IDC_PB_NEW_CONFIRM);
    if (old.empty()) return Refuse(IDS_PB_EMPTY_FIELD, IDC_PB_OLD_PWD);
    if (int problem = CheckNewPassword(fresh, confirm))
        return Refuse(problem, IDC_PB_NEW_PWD);
    switch (PwdStore().changeMasterPassword(old.c_str(), fresh.c_str())) {
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

INT_PTR CSetMainPwdDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        LimitTexts(hwnd(), {IDC_PB_MASTER_PWD, IDC_PB_MASTER_CONFIRM}, kPasswordLimit);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == IDOK) {
        OnOk();
        return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
        Close(0);
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
    std::string password = ItemText(hwnd(), IDC_PB_MASTER_PWD), confirm = ItemText(hwnd(), IDC_PB_MASTER_CONFIRM);
    if (int problem = CheckNewPassword(password, confirm)) {
        pwdbox::ShowInfo(hwnd(), problem, IDS_PB_MESSAGE_TITLE);
        FocusAndSelect(hwnd(), password.empty() ? IDC_PB_MASTER_PWD
                               : confirm.empty() ? IDC_PB_MASTER_CONFIRM
                                                 : IDC_PB_MASTER_PWD);
        return;
    }
    int stored = PwdStore().createMasterUser(password.c_str());
    if (stored == 1) {
        pwdbox::WriteIniAlways("HAVE_USED", "1");
        if (onStored) onStored();
    } else {
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
    }
    Close(stored);
}

// ---- About ----

INT_PTR CPwdAboutDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_ABOUT, owner); }

INT_PTR CPwdAboutDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        link_.Attach(Item(IDC_PB_ABOUT_LINK), ItemText(hwnd(), IDC_PB_ABOUT_LINK).c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(hwnd(), LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
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
