#include <windows.h>

#include <cstring>
#include <utility>

#include "App.h"
#include "Settings.h"
#include "StoredNumber.h"
#include "TextCipher.h"
#include "UserSecret.h"
#include "Users.h"
#include "Utf8Text.h"

namespace pinora {
namespace {

// The protected form of a password of 127 characters takes about 600 digits.
constexpr int kRememberedPasswordSize = 4096;

void Wipe(std::string& text) {
    if (!text.empty()) SecureZeroMemory(text.data(), text.size());
    text.clear();
}

// What ReadRememberedPasswordEarly found, until tryAutoLogin takes it.
struct EarlyRead {
    bool done = false;
    bool readable = false;
    bool oldForm = false;
    std::string password;
};

EarlyRead& Early() {
    static EarlyRead early;
    return early;
}

bool AutomaticLoginOn() { return SettingNumber(ReadSetting("SETTINGS", "auto_login_in", 2)) != 0; }

}  // namespace

std::string userTablePath() { return ProgramFolder() + "user.dat"; }

int userExists(const char* name) { return userExistsIn(userTablePath(), name); }

int checkLogin(const char* name, const char* password) { return checkLoginIn(userTablePath(), name, password); }

bool ReadRememberedPassword(std::string& password, bool* oldForm) {
    password.clear();
    *oldForm = false;
    const std::string stored = ReadSetting("SETTINGS", "auto_pwd", kRememberedPasswordSize);
    if (IsProtectedForUser(stored)) return UnprotectForUser(stored, password);
    char plain[kCipherFieldSize] = {};
    if (!DecryptOldPassword(stored.c_str(), plain)) return false;
    password = plain;
    SecureZeroMemory(plain, sizeof plain);
    *oldForm = !stored.empty();
    return true;
}

Remembering RememberPassword(const std::string& password) {
    std::string protectedText;
    if (!ProtectForUser(password, protectedText)) return Remembering::NotProtected;
    return WriteSetting(protectedText.c_str(), "SETTINGS", "auto_pwd") ? Remembering::Remembered
                                                                        : Remembering::NotWritten;
}

bool ForgetRememberedPassword() { return DeleteSetting("SETTINGS", "auto_pwd"); }

void ReadRememberedPasswordEarly() {
    EarlyRead& early = Early();
    Wipe(early.password);
    early.done = AutomaticLoginOn();
    if (early.done) early.readable = ReadRememberedPassword(early.password, &early.oldForm);
}

int tryAutoLogin() {
    // The password read early, if it was, is taken once; it never outlives this call.
    EarlyRead taken;
    std::swap(taken, Early());
    struct WipeOnExit {
        std::string& text;
        ~WipeOnExit() { Wipe(text); }
    } wipe{taken.password};
    if (!AutomaticLoginOn()) return 0;
    const std::string user = ReadSetting("SETTINGS", "auto_user", 64);
    if (!IsSafeUserName(user.c_str())) return 0;  // it would become a path
    if (!taken.done) taken.readable = ReadRememberedPassword(taken.password, &taken.oldForm);
    if (!taken.readable || checkLogin(user.c_str(), taken.password.c_str()) != 1) return 0;
    // Read the old way once: from now on it is kept protected (a file that
    // takes no write keeps the old form until the next login).
    if (taken.oldForm) RememberPassword(taken.password);
    uikit::CopyUtf8(App().szCurrentUser, sizeof App().szCurrentUser, user.c_str());
    return 1;
}

}  // namespace pinora
