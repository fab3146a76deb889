// A secret kept for the current Windows user (CryptProtectData), as text that
// fits a value of "pinora.ini": "dpapi1:" and upper-case hex. Only this user
// on this computer can read it back.
#pragma once
#include <string>

namespace pinora {

// False on failure.
bool ProtectForUser(const std::string& plain, std::string& protectedText);
// The reverse; false for text not in that form or that does not unprotect.
bool UnprotectForUser(const std::string& protectedText, std::string& plain);
bool IsProtectedForUser(const std::string& text);  // starts with "dpapi1:"

}  // namespace pinora
