// "[SYNC]" of "pinora.ini": the CalDAV collection, the user, the password
// (kept protected for the Windows user), how often, and a pinned certificate.
// The sync page writes it; a script may write it too.
#pragma once
#include <cctype>
#include <string>

namespace pinora {

// The longest values "[SYNC]" is read with, in bytes (the page's edits take
// no more). The password is kept protected: its "dpapi1:" form is about twice
// its length and a few hundred digits more.
constexpr int kSyncUrlBytes = 1023;
constexpr int kSyncUserBytes = 255;
constexpr int kSyncPasswordBytes = 1023;
constexpr int kSyncCertBytes = 127;

struct SyncSettings {
    std::string url, user, password, certSha256;
    int minutes = 15;
    bool SetUp() const { return !url.empty() && !user.empty(); }
};

// Reads "[SYNC]". A sync_password written there by hand (plain) is replaced by
// its protected form ("dpapi1:...") at this first reading.
SyncSettings ReadSyncSettings();
// Writes every key, the password (when changePassword) protected. False when
// the password cannot be protected or the file did not take a value.
bool WriteSyncSettings(const SyncSettings& settings, bool changePassword);

// What the page accepts: an http(s) address or none; 1 to 1440 minutes; 64 hex
// digits (colons and blanks between them allowed) or none.
inline bool ValidSyncUrl(const std::string& url) {
    if (url.empty()) return true;
    std::string lower;
    for (char c : url) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool http = lower.compare(0, 7, "http://") == 0 && lower.size() > 7;
    const bool https = lower.compare(0, 8, "https://") == 0 && lower.size() > 8;
    return (http || https) && url.find_first_of(" \t\r\n") == std::string::npos;
}
inline bool ValidSyncCert(const std::string& cert) {
    int digits = 0;
    for (char c : cert) {
        if (std::isxdigit(static_cast<unsigned char>(c))) ++digits;
        else if (c != ':' && c != ' ') return false;
    }
    return digits == 0 || digits == 64;
}

}  // namespace pinora
