// The users table "user.dat": names and password hashes, only ever appended
// (a password of the old cipher form is replaced by its hash at the next login).
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
// PWD that stands for exactly `password` (see PasswordMatchesStored); otherwise
// 0. A matching PWD of the old cipher form is then replaced by a hash, when
// the table takes the write (the login counts either way).
int checkLoginIn(const std::string& path, const char* name, const char* password);

// Appends a user: NUMBER = the new record number, USERNAME, PWD as a hash. 1 on
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

// PWD for a password: its salted Argon2id hash (LoginHash.h), or the empty
// text for the empty password, which has no secret to keep. False when the
// hash could not be made.
bool StoredFormOfPassword(const char* plain, std::string& stored);
// Whether a PWD stands for `plain`: a hash is checked (its parameters first),
// the empty text stands for the empty password, and hexadecimal is the old
// cipher form of earlier builds, decrypted and compared. *oldForm tells
// whether it was the old form (to be replaced); any other text never matches.
bool PasswordMatchesStored(const char* stored, const char* plain, bool* oldForm);
// The old cipher form (PWD and "auto_pwd" of earlier builds) read back; the
// empty text is the empty password. False for text that is no cipher text.
bool DecryptOldPassword(const char* stored, char (&plain)[kCipherFieldSize]);

// The same operations on the program's own table (program folder + "user.dat").
std::string userTablePath();
int userExists(const char* name);
int checkLogin(const char* name, const char* password);

// "auto_pwd", the remembered password: protected for the Windows user
// ("dpapi1:", UserSecret.h). Earlier builds wrote the old cipher form, which is
// read (*oldForm set) so that the next login rewrites it protected; an empty
// or missing value is the empty password. False for a value that does not
// unprotect or decrypt.
bool ReadRememberedPassword(std::string& password, bool* oldForm);
enum class Remembering { Remembered, NotProtected, NotWritten };
// Protects the password and writes it; NotProtected leaves the key as it was.
Remembering RememberPassword(const std::string& password);
// Deletes "auto_pwd"; true when it is gone.
bool ForgetRememberedPassword();

// Start-up: logs the remembered user in when "auto_login_in" asks for it. 1 when
// somebody is now logged in (szCurrentUser set), else 0. A remembered password
// of the old form is rewritten protected.
int tryAutoLogin();
// Reads the remembered password for the next tryAutoLogin (which takes it once)
// when automatic login is on. Start-up calls it before it loads the rest of the
// program: Windows' code for protected data (crypt32) is loaded for that call
// only, and under Wine it brings libraries of about 2.5 MB that then come and go
// while the process is still small, instead of on top of it.
void ReadRememberedPasswordEarly();

}  // namespace pinora
