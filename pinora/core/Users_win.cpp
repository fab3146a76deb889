#include <cstring>

#include "App.h"
#include "Settings.h"
#include "StoredNumber.h"
#include "TextCipher.h"
#include "Users.h"
#include "Utf8Text.h"

namespace pinora {

std::string userTablePath() { return ProgramFolder() + "user.dat"; }

int userExists(const char* name) { return userExistsIn(userTablePath(), name); }

int checkLogin(const char* name, const char* password) { return checkLoginIn(userTablePath(), name, password); }

int tryAutoLogin() {
    if (SettingNumber(ReadSetting("SETTINGS", "auto_login_in", 2)) == 0) return 0;
    std::string user = ReadSetting("SETTINGS", "auto_user", 64);
    if (!IsSafeUserName(user.c_str())) return 0;  // it would become a path
    std::string stored = ReadSetting("SETTINGS", "auto_pwd", 64);
    char password[kCipherFieldSize] = {};
    if (!DecryptPassword(stored.c_str(), password)) return 0;
    if (checkLogin(user.c_str(), password) != 1) return 0;
    uikit::CopyUtf8(App().szCurrentUser, sizeof App().szCurrentUser, user.c_str());
    return 1;
}

}  // namespace pinora
