// The users table "user.dat": names and encrypted passwords, only ever appended.
// Names compare without regard to case, passwords exactly.
#pragma once
#include <string>
#include <vector>

#include "TextCipher.h"

namespace pinora {

// Creates the empty table (NUMBER C12, USERNAME C64, PWD C128). 0 when the path
// is empty, the file exists already or it cannot be created; 1 on success.
int createUserTable(const std::string& path);

// 1 when a user of that name (any case) is in the table at path, else 0.
int userExistsIn(const std::string& path, const char* name);

// -1 when the table is missing; 1 when a record has the name (any case) and a
// password that decrypts exactly to `password`; otherwise 0.
int checkLoginIn(const std::string& path, const char* name, const char* password);

// Appends a user: NUMBER = the new record number, USERNAME, PWD encrypted. 1 on
// success; 0 for a name that is not safe, a password that cannot be stored, or
// a table that cannot be opened, is not sound (it is left as it is) or takes
// no record.
int addUserTo(const std::string& path, const char* name, const char* password);

// Every user name in record order, names that are not safe left out; empty
// when the table cannot be opened or is not laid out as a users table.
std::vector<std::string> userNamesIn(const std::string& path);

// Equality of two names, case aside in every script: an accented or Cyrillic
// name typed in capitals is the same name.
bool SameUserName(const char* a, const char* b);

// A name can be a user's: 1 to 63 bytes that make one plain folder name
// (no path, drive or device; not ending in a dot or a blank). Names that are
// not are refused when typed and ignored in the table and the settings.
bool IsSafeUserName(const char* name);

// A password as it is stored (PWD, "auto_pwd"): cipher text, and the empty
// text for an empty password, which the cipher does not take. False when the
// password cannot be stored (see cryptField) or the text is no cipher text.
bool EncryptPassword(const char* plain, char (&stored)[kCipherFieldSize]);
bool DecryptPassword(const char* stored, char (&plain)[kCipherFieldSize]);

// The same operations on the program's own table (program folder + "user.dat").
std::string userTablePath();
int userExists(const char* name);
int checkLogin(const char* name, const char* password);

// Start-up: logs the remembered user in when "auto_login_in" asks for it. 1 when
// somebody is now logged in (szCurrentUser set), else 0.
int tryAutoLogin();

}  // namespace pinora
