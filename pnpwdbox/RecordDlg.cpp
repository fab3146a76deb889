#include "RecordDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "SecretMemory.h"
#include "Utf8Text.h"
#include "WindowText.h"

using pnstore::PwdStore;

namespace {

constexpr int kTextLimit = 127;
constexpr int kLongTextLimit = 1023;

void CopyInto(char* to, size_t size, const std::string& from, size_t limit) {
    uikit::CopyUtf8(to, size < limit + 1 ? size : limit + 1, from.c_str());
}

}  // namespace

INT_PTR CPwdRecordDlg::Run(HWND owner) { return DoModal(pwdbox::ResLib(), IDD_PB_RECORD, owner); }

std::string CPwdRecordDlg::Text(int id) const { return uikit::ItemText(hwnd(), id, kLongTextLimit); }

void CPwdRecordDlg::ClearFields(std::initializer_list<int> ids) {
    for (int id : ids) SetDlgItemTextA(hwnd(), id, "");
}

void CPwdRecordDlg::Refuse(int textId, int focusId) {
    pwdbox::ShowInfo(hwnd(), textId, IDS_PB_MESSAGE_TITLE);
    HWND field = Item(focusId);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

INT_PTR CPwdRecordDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return FALSE;  // the focus was placed on the address
    case WM_TIMER:
        if (wp == kStatusTimer) {
            KillTimer(hwnd(), kStatusTimer);
            SetDlgItemTextA(hwnd(), IDC_PB_STATUS, "");
            EnableWindow(Item(IDOK), TRUE);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            OnOk();
            return TRUE;
        case IDCANCEL:
            EndDialog(hwnd(), IDCANCEL);
            return TRUE;
        case IDC_PB_NEW_RECORD:
            SwitchToAddMode();
            return TRUE;
        case IDC_PB_SHOW_PASSWORD: {
            WPARAM mask = IsDlgButtonChecked(hwnd(), IDC_PB_SHOW_PASSWORD) == BST_CHECKED ? 0 : '*';
            for (int id : {IDC_PB_PASSWORD, IDC_PB_CONFIRM}) {
                SendMessageA(Item(id), EM_SETPASSWORDCHAR, mask, 0);
                InvalidateRect(Item(id), nullptr, TRUE);
            }
            return TRUE;
        }
        case IDC_PB_HAS_END_DAY:
            EnableWindow(Item(IDC_PB_END_DAY), IsDlgButtonChecked(hwnd(), IDC_PB_HAS_END_DAY) == BST_CHECKED);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void CPwdRecordDlg::OnInit() {
    for (int id : {IDC_PB_URL, IDC_PB_COMMENTS}) uikit::LimitItemTextBytes(hwnd(), id, kLongTextLimit);
    for (int id : {IDC_PB_USER, IDC_PB_GROUP}) uikit::LimitItemTextBytes(hwnd(), id, kTextLimit);
    // A password is never cut to fit: one longer than the store holds in bytes
    // is refused at OK (Validate).
    for (int id : {IDC_PB_PASSWORD, IDC_PB_CONFIRM}) SendMessageW(Item(id), EM_LIMITTEXT, kTextLimit, 0);
    SetWindowTextA(hwnd(), pwdbox::ResString(editMode_ ? IDS_PB_EDIT_TITLE : IDS_PB_ADD_TITLE).c_str());
    FillGroups();
    EnableWindow(Item(IDC_PB_END_DAY), FALSE);
    if (editMode_) {
        FillForEdit();
    } else {
        ShowWindow(Item(IDC_PB_NEW_RECORD), SW_HIDE);
    }
    SetFocus(Item(IDC_PB_URL));
}

void CPwdRecordDlg::FillGroups() {
    HWND box = Item(IDC_PB_GROUP);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const pnstore::GroupRow& g : PwdStore().listGroups()) {
        LRESULT index = SendMessageA(box, CB_ADDSTRING, 0, LPARAM(g.name.c_str()));
        if (index >= 0) SendMessageA(box, CB_SETITEMDATA, WPARAM(index), LPARAM(g.id));
    }
}

void CPwdRecordDlg::FillForEdit() {
    tagRECORD details{};
    PwdStore().readRecordDetails(record_, details);
    SetDlgItemTextA(hwnd(), IDC_PB_USER, details.szUser);
    EnableWindow(Item(IDC_PB_USER), FALSE);
    url_.Show(Item(IDC_PB_URL), details.szUrl);
    comments_.Show(Item(IDC_PB_COMMENTS), details.szComments);
    int y = 0, m = 0, d = 0;
    if (details.szEndDay[0] && std::sscanf(details.szEndDay, "%4d%2d%2d", &y, &m, &d) == 3) {
        CheckDlgButton(hwnd(), IDC_PB_HAS_END_DAY, BST_CHECKED);
        EnableWindow(Item(IDC_PB_END_DAY), TRUE);
        SYSTEMTIME day = {};
        day.wYear = WORD(y);
        day.wMonth = WORD(m);
        day.wDay = WORD(d);
        SendMessageA(Item(IDC_PB_END_DAY), DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&day));
    }
    std::string name;
    PwdStore().readGroupName(group_, name);
    SetDlgItemTextA(hwnd(), IDC_PB_GROUP, name.c_str());
    EnableWindow(Item(IDC_PB_GROUP), FALSE);
    SetDlgItemTextA(hwnd(), IDC_PB_PASSWORD, password_.c_str());
    SetDlgItemTextA(hwnd(), IDC_PB_CONFIRM, password_.c_str());
}

bool CPwdRecordDlg::Validate(std::string& url, std::string& user, std::string& password, std::string& confirm) {
    url = url_.Read(Item(IDC_PB_URL), kLongTextLimit);
    user = Text(IDC_PB_USER);
    password = Text(IDC_PB_PASSWORD);
    confirm = Text(IDC_PB_CONFIRM);
    const std::pair<const std::string*, int> fields[] = {
        {&url, IDC_PB_URL}, {&user, IDC_PB_USER}, {&password, IDC_PB_PASSWORD}, {&confirm, IDC_PB_CONFIRM}};
    for (const auto& field : fields) {
        // The user name is not edited (its field is disabled then), and a
        // record imported from another manager may have none.
        if (editMode_ && field.second == IDC_PB_USER) continue;
        if (field.first->empty()) {
            pwdbox::ShowInfo(hwnd(), IDS_PB_EMPTY_FIELD, IDS_PB_MESSAGE_TITLE);
            SetFocus(Item(field.second));
            return false;
        }
    }
    // The confirmation must be the same text, letter case included.
    if (password != confirm) {
        Refuse(IDS_PB_PASSWORDS_DIFFER, IDC_PB_PASSWORD);
        return false;
    }
    // What the cipher cannot hold whole is refused, not stored cut short.
    if (password.size() > pnstore::kMaxSecretBytes) {
        Refuse(IDS_PB_TOO_LONG, IDC_PB_PASSWORD);
        return false;
    }
    return true;
}

bool CPwdRecordDlg::ResolveGroup(int& group) {
    HWND box = Item(IDC_PB_GROUP);
    LRESULT selected = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (selected >= 0) {
        group = int(SendMessageA(box, CB_GETITEMDATA, WPARAM(selected), 0));
        return true;
    }
    std::string typed = Text(IDC_PB_GROUP);
    if (typed.empty()) {
        // A record without a group would have no row to be listed under.
        pwdbox::ShowInfo(hwnd(), IDS_PB_NO_GROUP, IDS_PB_MESSAGE_TITLE);
        SetFocus(box);
        return false;
    }
    int count = int(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char name[256] = {};
        if (SendMessageA(box, CB_GETLBTEXTLEN, WPARAM(i), 0) >= LRESULT(sizeof name)) continue;
        SendMessageA(box, CB_GETLBTEXT, WPARAM(i), LPARAM(name));
        if (typed == name) {
            group = int(SendMessageA(box, CB_GETITEMDATA, WPARAM(i), 0));
            return true;
        }
    }
    const int64_t largest = PwdStore().maxGroupId();
    if (largest >= pnstore::kMaxNumber) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_NO_NUMBERS, IDS_PB_MESSAGE_TITLE);
        return false;
    }
    const int id = largest < 0 ? 1 : int(largest + 1);
    if (PwdStore().addGroup(id, typed.c_str()) != 1) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        return false;
    }
    LRESULT index = SendMessageA(box, CB_ADDSTRING, 0, LPARAM(typed.c_str()));
    if (index >= 0) {
        SendMessageA(box, CB_SETITEMDATA, WPARAM(index), LPARAM(id));
        SendMessageA(box, CB_SETCURSEL, WPARAM(index), 0);
    }
    if (control_) SendMessageA(control_, PBM_ADDGROUPROW, WPARAM(id), LPARAM(typed.c_str()));
    group = id;
    return true;
}

std::string CPwdRecordDlg::EndDay() {
    if (IsDlgButtonChecked(hwnd(), IDC_PB_HAS_END_DAY) != BST_CHECKED) return "";
    SYSTEMTIME day = {};
    if (SendMessageA(Item(IDC_PB_END_DAY), DTM_GETSYSTEMTIME, 0, LPARAM(&day)) != GDT_VALID) return "";
    char text[16];
    std::snprintf(text, sizeof text, "%04u%02u%02u", unsigned(day.wYear), unsigned(day.wMonth), unsigned(day.wDay));
    return text;
}

void CPwdRecordDlg::ShowStatus(int textId, bool disableOk) {
    SetDlgItemTextA(hwnd(), IDC_PB_STATUS, pwdbox::ResString(textId).c_str());
    if (disableOk) EnableWindow(Item(IDOK), FALSE);
    SetTimer(hwnd(), kStatusTimer, kStatusMs, nullptr);
}

void CPwdRecordDlg::OnOk() {
    SetDlgItemTextA(hwnd(), IDC_PB_STATUS, "");
    std::string url, user, password, confirm;
    if (!Validate(url, user, password, confirm)) return;
    if (editMode_) {
        UpdateRecord(url, password);
        return;
    }
    int id = PwdStore().nextRecordId();
    if (id < 1) {
        // Every number is taken (a file that numbered its records past what
        // they can hold): no new record, rather than one under a used number.
        pwdbox::ShowInfo(hwnd(), IDS_PB_NO_NUMBERS, IDS_PB_MESSAGE_TITLE);
        return;
    }
    int group = -1;
    if (!ResolveGroup(group)) return;
    record_ = id;
    AddRecord(url, user, password, group);
}

void CPwdRecordDlg::AddRecord(const std::string& url, const std::string& user, const std::string& password,
                              int group) {
    std::string comments = Text(IDC_PB_COMMENTS), endDay = EndDay();
    if (PwdStore().insertRecord(record_, user.c_str(), password.c_str(), url.c_str(), kRecordLive, group,
                                comments.c_str(), endDay.c_str()) != 1) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    tagRECORD row{};
    row.nId = record_;
    row.nGroup = group;
    row.nState = kRecordLive;
    CopyInto(row.szUser, sizeof row.szUser, user, kTextLimit);
    CopyInto(row.szPwd, sizeof row.szPwd, password, kTextLimit);
    CopyInto(row.szUrl, sizeof row.szUrl, url, kLongTextLimit);
    if (control_)
        SendMessageA(control_, PBM_ADDRECORDROW, MAKEWPARAM(WORD(group), WORD(record_)), LPARAM(&row));
    SecureZeroMemory(row.szPwd, sizeof row.szPwd);
    OutputDebugStringA("PnPwdBox: record added\n");
    ShowStatus(IDS_PB_RECORD_ADDED, true);
    ShowWindow(Item(IDC_PB_NEW_RECORD), SW_HIDE);
    ClearFields({IDC_PB_USER, IDC_PB_URL, IDC_PB_COMMENTS, IDC_PB_PASSWORD, IDC_PB_CONFIRM});
    SetFocus(Item(IDC_PB_URL));
}

void CPwdRecordDlg::UpdateRecord(const std::string& url, const std::string& password) {
    std::string comments = comments_.Read(Item(IDC_PB_COMMENTS), kLongTextLimit), endDay = EndDay();
    if (PwdStore().updateRecord(record_, password.c_str(), url.c_str(), comments.c_str(), endDay.c_str()) != 1) {
        pwdbox::ShowInfo(hwnd(), IDS_PB_STORE_FAILED, IDS_PB_MESSAGE_TITLE);
        return;
    }
    ClearFields({IDC_PB_URL, IDC_PB_PASSWORD, IDC_PB_CONFIRM, IDC_PB_COMMENTS});
    ShowStatus(IDS_PB_RECORD_UPDATED, false);
    ShowWindow(Item(IDC_PB_NEW_RECORD), SW_SHOW);
    EnableWindow(Item(IDC_PB_NEW_RECORD), TRUE);
}

void CPwdRecordDlg::SwitchToAddMode() {
    editMode_ = false;
    record_ = group_ = -1;
    pncrypto::Wipe(password_);
    ClearFields({IDC_PB_URL, IDC_PB_USER, IDC_PB_PASSWORD, IDC_PB_CONFIRM, IDC_PB_COMMENTS, IDC_PB_STATUS});
    CheckDlgButton(hwnd(), IDC_PB_HAS_END_DAY, BST_UNCHECKED);
    EnableWindow(Item(IDC_PB_END_DAY), FALSE);
    EnableWindow(Item(IDC_PB_USER), TRUE);
    EnableWindow(Item(IDC_PB_GROUP), TRUE);
    FillGroups();
    SetDlgItemTextA(hwnd(), IDC_PB_GROUP, "");
    ShowWindow(Item(IDC_PB_NEW_RECORD), SW_HIDE);
    SetWindowTextA(hwnd(), pwdbox::ResString(IDS_PB_ADD_TITLE).c_str());
    SetFocus(Item(IDC_PB_URL));
}
