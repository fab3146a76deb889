#include "SyncSettings.h"

#include "Settings.h"
#include "StoredNumber.h"
#include "UserSecret.h"

namespace pinora {
namespace {

constexpr const char* kSection = "SYNC";

}  // namespace

SyncSettings ReadSyncSettings() {
    SyncSettings s;
    s.url = ReadSetting(kSection, "sync_url", kSyncUrlBytes + 1);
    s.user = ReadSetting(kSection, "sync_user", kSyncUserBytes + 1);
    s.certSha256 = ReadSetting(kSection, "sync_cert_sha256", kSyncCertBytes + 1);
    const std::string minutes = ReadSetting(kSection, "sync_minutes", 8);
    s.minutes = minutes.empty() ? 15 : SettingNumber(minutes);
    if (s.minutes < 1) s.minutes = 15;
    if (s.minutes > 1440) s.minutes = 1440;
    const std::string stored = ReadSetting(kSection, "sync_password", 4096);
    if (stored.empty()) return s;
    if (IsProtectedForUser(stored)) {
        if (!UnprotectForUser(stored, s.password)) s.password.clear();
        return s;
    }
    // Written by hand: used, and kept only in its protected form from now on.
    s.password = stored;
    std::string protectedText;
    if (ProtectForUser(stored, protectedText)) WriteSetting(protectedText.c_str(), kSection, "sync_password");
    return s;
}

bool WriteSyncSettings(const SyncSettings& s, bool changePassword) {
    std::string protectedText;
    if (changePassword && !s.password.empty() && !ProtectForUser(s.password, protectedText)) return false;
    bool written = WriteSetting(s.url.c_str(), kSection, "sync_url");
    written = WriteSetting(s.user.c_str(), kSection, "sync_user") && written;
    written = WriteSetting(std::to_string(s.minutes).c_str(), kSection, "sync_minutes") && written;
    written = WriteSetting(s.certSha256.c_str(), kSection, "sync_cert_sha256") && written;
    if (changePassword) written = WriteSetting(protectedText.c_str(), kSection, "sync_password") && written;
    // What was written is what is read back.
    return written && ReadSetting(kSection, "sync_url", kSyncUrlBytes + 1) == s.url &&
           ReadSetting(kSection, "sync_user", kSyncUserBytes + 1) == s.user &&
           (!changePassword || ReadSetting(kSection, "sync_password", 4096) == protectedText);
}

}  // namespace pinora
