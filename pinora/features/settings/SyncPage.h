// The sync page (230): the CalDAV calendar's address, the user and password,
// how often, a pinned certificate, "Sync now" and what the last sync came to.
// It writes "[SYNC]"; the sync itself is reached through the links.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "SettingsPage.h"

namespace pinora {

class CSyncPage : public CSettingsPage {
public:
    explicit CSyncPage(SettingsLinks links) : links_(std::move(links)) {}

    void Load() override;
    bool CanApply() override;
    bool Apply() override;
    // The last sync's words, shown again (the sync calls this when it ends).
    void ShowStatus();

protected:
    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnInitPage() override;

private:
    // Whether the password box holds a new password (not the stored one's mark).
    bool PasswordTyped(std::string* typed) const;

    SettingsLinks links_;
    bool passwordStored_ = false;
};

// What stands in the password box for a stored password: never the password.
constexpr const char* kStoredPasswordMark = "\x01\x01\x01\x01\x01\x01\x01\x01";

}  // namespace pinora
