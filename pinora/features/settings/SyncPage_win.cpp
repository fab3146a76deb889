#include "SyncPage.h"

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "SettingsNotWritten.h"
#include "StoredNumber.h"
#include "SyncSettings.h"
#include "WindowText.h"
#include "UserSecret.h"

namespace pinora {
namespace {

bool ValidMinutes(const std::string& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const int n = SettingNumber(text);
    return n >= 1 && n <= 1440;
}

}  // namespace

INT_PTR CSyncPage::OnPageMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_COMMAND || LOWORD(wp) != IDC_SYNC_NOW || HIWORD(wp) != BN_CLICKED) return FALSE;
    // What is typed counts: written first, then synced with it.
    if (!CanApply()) return TRUE;
    if (!Apply()) {
        ShowSettingsNotWritten(GetParent(hwnd()));
        return TRUE;
    }
    if (links_.syncNow) links_.syncNow();
    ShowStatus();
    return TRUE;
}

void CSyncPage::OnInitPage() {
    // What is typed is what "[SYNC]" reads back: limited in bytes, never cut.
    const std::pair<int, int> limits[] = {{IDC_SYNC_URL, kSyncUrlBytes},
                                          {IDC_SYNC_USER, kSyncUserBytes},
                                          {IDC_SYNC_PASSWORD, kSyncPasswordBytes},
                                          {IDC_SYNC_MINUTES, 4},
                                          {IDC_SYNC_CERT, kSyncCertBytes}};
    for (const auto& [id, bytes] : limits) uikit::LimitItemTextBytes(hwnd(), id, static_cast<size_t>(bytes));
}

void CSyncPage::Load() {
    const SyncSettings s = ReadSyncSettings();
    SetDlgItemTextA(hwnd(), IDC_SYNC_URL, s.url.c_str());
    SetDlgItemTextA(hwnd(), IDC_SYNC_USER, s.user.c_str());
    SetDlgItemTextA(hwnd(), IDC_SYNC_MINUTES, std::to_string(s.minutes).c_str());
    SetDlgItemTextA(hwnd(), IDC_SYNC_CERT, s.certSha256.c_str());
    passwordStored_ = !s.password.empty();
    SetDlgItemTextA(hwnd(), IDC_SYNC_PASSWORD, passwordStored_ ? kStoredPasswordMark : "");
    ShowStatus();
}

bool CSyncPage::CanApply() {
    if (!ValidSyncUrl(ItemText(IDC_SYNC_URL))) {
        Warn(LoadResString(IDS_SYNC_URL_BAD, 512), IDC_SYNC_URL);
        return false;
    }
    if (!ValidMinutes(ItemText(IDC_SYNC_MINUTES))) {
        Warn(LoadResString(IDS_SYNC_MINUTES_BAD, 512), IDC_SYNC_MINUTES);
        return false;
    }
    if (!ValidSyncCert(ItemText(IDC_SYNC_CERT))) {
        Warn(LoadResString(IDS_SYNC_CERT_BAD, 512), IDC_SYNC_CERT);
        return false;
    }
    // A password Windows will not protect is never written in the clear.
    std::string typed, protectedText;
    if (PasswordTyped(&typed) && !typed.empty() && !ProtectForUser(typed, protectedText)) {
        Warn(LoadResString(IDS_SYNC_SAVE_FAILED, 512), IDC_SYNC_PASSWORD);
        return false;
    }
    return true;
}

bool CSyncPage::PasswordTyped(std::string* typed) const {
    *typed = ItemText(IDC_SYNC_PASSWORD);
    return !(passwordStored_ && *typed == kStoredPasswordMark);
}

bool CSyncPage::Apply() {
    SyncSettings s;
    s.url = ItemText(IDC_SYNC_URL);
    s.user = ItemText(IDC_SYNC_USER);
    s.minutes = SettingNumber(ItemText(IDC_SYNC_MINUTES));
    s.certSha256 = ItemText(IDC_SYNC_CERT);
    std::string password;
    const bool changePassword = PasswordTyped(&password);
    s.password = changePassword ? password : std::string();
    const SyncSettings stored = ReadSyncSettings();
    const bool same = stored.url == s.url && stored.user == s.user && stored.minutes == s.minutes &&
                      stored.certSha256 == s.certSha256 && (!changePassword || stored.password == s.password);
    if (same) return true;  // nothing to write: a file without "[SYNC]" keeps none
    if (!WriteSyncSettings(s, changePassword)) return false;
    passwordStored_ = changePassword ? !password.empty() : passwordStored_;
    if (changePassword) SetDlgItemTextA(hwnd(), IDC_SYNC_PASSWORD, passwordStored_ ? kStoredPasswordMark : "");
    if (links_.syncSettingsChanged) links_.syncSettingsChanged();
    return true;
}

void CSyncPage::ShowStatus() {
    const std::string text = links_.syncStatus ? links_.syncStatus() : LoadResString(IDS_SYNC_STATUS_OFF, 512);
    SetDlgItemTextA(hwnd(), IDC_SYNC_STATUS, text.c_str());
}

}  // namespace pinora
