#include "LoginDlg.h"

#include <cstring>

#include "App.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SettingsNotWritten.h"
#include "StoredNumber.h"
#include "Users.h"
#include "WindowPlacement.h"
#include "Utf8Text.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr int kNewPasswordCharacters = 11;

std::string ItemText(HWND dialog, int id, int maxBytes) { return uikit::ItemText(dialog, id, static_cast<size_t>(maxBytes)); }

void Complain(HWND dialog, UINT textId) {
    uikit::ShowMessageBox(dialog, LoadResString(textId).c_str(), LoadResString(IDS_CAPTION).c_str(),
                          MB_OK | MB_ICONWARNING);
}

void FocusAndSelect(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    SetFocus(item);
    SendMessageA(item, EM_SETSEL, 0, -1);
}

}  // namespace

void CenterDialog(HWND dialog, HWND owner) { uikit::CenterWindow(dialog, owner); }

bool CLoginDlg::Open(HWND owner, int mode) {
    if (!IsWindowAlive() && !Create(ResLib(), IDD_LOGIN, owner)) return false;
    SendMessageA(hwnd(), LDM_SETOWNER, 0, reinterpret_cast<LPARAM>(owner));
    SetWindowTextA(hwnd(), LoadResString(mode == 1 ? IDS_LOGIN_CAPTION_SWITCH : IDS_LOGIN_CAPTION).c_str());
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SendMessageA(hwnd(), LDM_SETMODE, 0, mode);
    return true;
}

INT_PTR CLoginDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: OnOk(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        case IDC_NEW_USER: OnNewUser(); return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    case LDM_REFRESHUSERS:
        FillUsers();
        return TRUE;
    case LDM_SETOWNER:
        owner_ = reinterpret_cast<HWND>(lp);
        return TRUE;
    case LDM_SETMODE:
        mode_ = static_cast<int>(lp);
        return TRUE;
    default:
        return FALSE;
    }
}

void CLoginDlg::OnInit() {
    owner_ = GetWindow(hwnd(), GW_OWNER);
    FillUsers();
    CheckDlgButton(hwnd(), IDC_AUTO_LOGIN, SettingNumber(ReadSetting("SETTINGS", "auto_login_in", 2)) ? BST_CHECKED : BST_UNCHECKED);
    bool remember = SettingNumber(ReadSetting("SETTINGS", "auto_remember_pwd", 2)) != 0;
    CheckDlgButton(hwnd(), IDC_REMEMBER_PWD, remember ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(hwnd(), IDC_USER_NAME, ReadSetting("SETTINGS", "auto_user", 64).c_str());
    if (remember) {
        std::string password;
        bool oldForm = false;
        if (ReadRememberedPassword(password, &oldForm)) SetDlgItemTextA(hwnd(), IDC_PASSWORD, password.c_str());
        if (!password.empty()) SecureZeroMemory(password.data(), password.size());
    }
    uikit::LimitItemTextBytes(hwnd(), IDC_USER_NAME, 63);
    uikit::LimitItemTextBytes(hwnd(), IDC_PASSWORD, 127);
    Center();
}

void CLoginDlg::FillUsers() {
    HWND combo = Item(IDC_USER_NAME);
    // Keep what is typed in the edit part while the list is refilled.
    std::string typed = ItemText(hwnd(), IDC_USER_NAME, 63);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : userNamesIn(userTablePath()))
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetWindowTextA(combo, typed.c_str());
}

void CLoginDlg::OnOk() {
    std::string name = ItemText(hwnd(), IDC_USER_NAME, 63);
    std::string password = ItemText(hwnd(), IDC_PASSWORD, 127);
    if (name.empty()) {
        Complain(hwnd(), IDS_NAME_EMPTY);
        SetFocus(Item(IDC_USER_NAME));
        return;
    }
    if (checkLogin(name.c_str(), password.c_str()) != 1) {
        Complain(hwnd(), IDS_LOGIN_FAILED);
        FocusAndSelect(hwnd(), IDC_PASSWORD);
        return;
    }
    if (App().bLoggedIn && userChangeGuard_ && !userChangeGuard_()) return;
    App().bLoggedIn = 1;
    CreateDirectoryA((ProgramFolder() + name).c_str(), nullptr);
    uikit::CopyUtf8(App().szCurrentUser, sizeof App().szCurrentUser, name.c_str());
    SaveLoginSettings(name, password);
    OutputDebugStringA("Pinora: logged in\n");
    if (owner_) SendMessageA(owner_, mode_ == 1 ? MWM_CLOSEPOPUPS : MWM_STARTTIMER, 0, 0);
    Destroy();
}

void CLoginDlg::SaveLoginSettings(const std::string& name, const std::string& password) {
    bool written = WriteSetting(name.c_str(), "SETTINGS", "auto_user");
    written = WriteFlag(IsDlgButtonChecked(hwnd(), IDC_AUTO_LOGIN) == BST_CHECKED, "SETTINGS", "auto_login_in") &&
              written;
    bool remember = IsDlgButtonChecked(hwnd(), IDC_REMEMBER_PWD) == BST_CHECKED;
    if (remember) {
        // Kept protected for this Windows user; an old value is replaced.
        switch (RememberPassword(password)) {
        case Remembering::Remembered:
            break;
        case Remembering::NotWritten:
            written = false;
            break;
        case Remembering::NotProtected:
            // Never kept in a form anybody could read back.
            Complain(hwnd(), IDS_PASSWORD_NOT_REMEMBERED);
            remember = false;
            break;
        }
    }
    // Not remembered means not kept: the password is deleted, not left behind.
    if (!remember) written = ForgetRememberedPassword() && written;
    written = WriteFlag(remember, "SETTINGS", "auto_remember_pwd") && written;
    if (!written) ShowSettingsNotWritten(hwnd());
}

void CLoginDlg::OnCancel() {
    if (mode_ == 1 && owner_) SendMessageA(owner_, MWM_CLOSEPOPUPS, 0, 0);
    Destroy();
}

void CLoginDlg::OnNewUser() {
    CNewUserDlg newUser;
    newUser.Run(GetActiveWindow() ? GetActiveWindow() : hwnd());
    FillUsers();
}

void CLoginDlg::Center() { CenterDialog(hwnd(), owner_); }

INT_PTR CNewUserDlg::Run(HWND owner) { return DoModal(ResLib(), IDD_NEW_USER, owner); }

INT_PTR CNewUserDlg::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        tablePath_ = userTablePath();
        createUserTable(tablePath_);
        // The name becomes a field of 63 bytes. A password is eleven characters
        // in any script: only its hash is stored, which has no size of its own.
        uikit::LimitItemTextBytes(hwnd(), IDC_NEW_USER_NAME, 63);
        for (int id : {IDC_PASSWORD, IDC_PASSWORD_AGAIN})
            SendMessageW(Item(id), EM_LIMITTEXT, kNewPasswordCharacters, 0);
        CenterDialog(hwnd(), GetWindow(hwnd(), GW_OWNER));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            OnOk();
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(hwnd(), IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void CNewUserDlg::OnOk() {
    std::string name = ItemText(hwnd(), IDC_NEW_USER_NAME, 63);
    std::string password = uikit::Utf8FirstCharacters(uikit::ItemText(hwnd(), IDC_PASSWORD), kNewPasswordCharacters);
    std::string again = uikit::Utf8FirstCharacters(uikit::ItemText(hwnd(), IDC_PASSWORD_AGAIN), kNewPasswordCharacters);
    if (name.empty()) {
        Complain(hwnd(), IDS_NAME_EMPTY);
        SetFocus(Item(IDC_NEW_USER_NAME));
        return;
    }
    // The name becomes the user's folder.
    if (!IsSafeUserName(name.c_str())) {
        Complain(hwnd(), IDS_USER_NAME_UNSAFE);
        FocusAndSelect(hwnd(), IDC_NEW_USER_NAME);
        return;
    }
    if (password != again) {
        Complain(hwnd(), IDS_PASSWORDS_DIFFER);
        FocusAndSelect(hwnd(), IDC_PASSWORD);
        return;
    }
    if (userExists(name.c_str())) {
        Complain(hwnd(), IDS_USER_EXISTS);
        FocusAndSelect(hwnd(), IDC_NEW_USER_NAME);
        return;
    }
    if (tablePath_.empty() || addUserTo(tablePath_, name.c_str(), password.c_str()) != 1) return;
    EndDialog(hwnd(), IDCANCEL);
}

}  // namespace pinora
