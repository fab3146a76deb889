// Secrets kept in the settings file for the current Windows user only: Windows
// protects them (CryptProtectData) with a key of that user's logon, so a copied
// "pinora.ini" gives nothing away on another account or machine.
#pragma once
#include <string>

namespace pinora {

// A secret protected for the current Windows user (CryptProtectData), as text that fits an
// INI value: "dpapi1:" followed by upper-case hex. False on failure.
bool ProtectForUser(const std::string& plain, std::string& protectedText);
// The reverse; false for text not in that form or that does not unprotect.
bool UnprotectForUser(const std::string& protectedText, std::string& plain);
bool IsProtectedForUser(const std::string& text);  // starts with "dpapi1:"

}  // namespace pinora
