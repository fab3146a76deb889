// What a password database file is and how it is opened: the layout every
// operation checks before it reads (only real tables of our columns), the
// format version, the wrapped data key, the master password, the upgrade of
// an older file, and the keys of the box while it is unlocked.
//
// Format 0 (PRAGMA user_version 0): the four tables; passwords and the master
// password in the old text cipher (TextCipher.h). Format 1: the same tables
// and pn_key, one row with the Argon2id parameters, the salt and the wrapped
// data key; pn_pwd and pn_pwd_log hold sealed passwords (BoxCipher.h); the
// master row of pn_user holds a marker that no typed password matches, so an
// older Pinora refuses the file instead of misreading it.
#pragma once
#include <cstdint>
#include <string>

#include "BoxCipher.h"
#include "CppSQLite3.h"

namespace pnstore {

constexpr int kFormatOld = 0;
constexpr int kFormatSealed = 1;
constexpr const char* kMasterMarker = "sealed format 1: needs a newer Pinora";

// Record numbers are 1..kMaxNumber and group numbers 0..kMaxNumber (what the
// list and the record structure hold); rows with others are not used, and no
// number past it is made.
constexpr int64_t kMaxNumber = 2147483647;
inline bool IsRecordNumber(int64_t n) { return n >= 1 && n <= kMaxNumber; }
inline bool IsGroupNumber(int64_t n) { return n >= 0 && n <= kMaxNumber; }

enum class FileVerdict {
    Usable,      // our tables (or none yet), in our format or an older one
    Foreign,     // a view or a table of other columns where ours belong
    Newer,       // a format this build does not know
    Unreadable,  // cannot be opened, or is no database
};

// Thrown (as a CppSQLite3Exception) by OpenChecked for a file that is not usable.
constexpr int kRefusedFileError = 1001;

// Opens the file for one operation, with secure_delete on (what is deleted
// or overwritten is zeroed, not left in free pages), and checks its layout;
// throws for a file that is not usable.
void OpenChecked(CppSQLite3Connection& db, const std::string& path);
FileVerdict CheckLayout(CppSQLite3Connection& db);
// The verdict on the current database.
FileVerdict CheckDatabase();
int FileFormat(CppSQLite3Connection& db);

// Adds what pn_pwd lacks of its ten columns, in order, all in one
// transaction (a file of six, or of a migration that stopped half-way).
void AddMissingColumns(CppSQLite3Connection& db);

// ---- The master password ----

// Whether the current database has its master password (a key row, or a
// master row in an older file). What decides that the wizard is due.
bool HasMaster();

enum class CreateResult { Created, AlreadyHasMaster, Refused, Failed };
// Sets the master password of a database that has none: a new data key,
// wrapped; any records already there sealed with it; format 1. Never a second
// master password.
CreateResult CreateMaster(const std::string& password);

enum class ChangeResult { Changed, WrongPassword, Failed };
// Wraps the data key under the new password with a new salt; the records stay
// as they are.
ChangeResult ChangeMaster(const std::string& oldPassword, const std::string& newPassword);

// ---- Unlocking ----

// What an unlocked box holds: the keys of its records, for one file.
struct SessionKeys {
    pncrypto::RecordKeys keys;
    // An older file that could not be upgraded: read with the old cipher,
    // never written.
    bool readOnly = false;
    std::string path;
};

enum class UnlockResult {
    Opened,
    OpenedReadOnly,  // right password; the upgrade of an older file failed and changed nothing
    WrongPassword,
    Damaged,         // the key row does not check out
    NoMaster,
    Refused,         // not our layout, or key parameters past the limits
    Newer,
    Failed,          // the file could not be read
};

// Checks the password against the current database and hands out the keys.
// Slow by design (Argon2id): run it off the window thread. An older file is
// upgraded here, in one transaction, then vacuumed; if that fails the file is
// left exactly as it was and the result says so.
UnlockResult OpenBox(const std::string& password, SessionKeys& keys);

// The keys become the box's until EndSession, which erases them.
void StartSession(const SessionKeys& keys);
void EndSession();
// Whether the box is unlocked for the current database.
bool SessionOpen();
// The keys for the current database; false while locked (or unlocked for
// another file).
bool CurrentSession(SessionKeys& keys);

}  // namespace pnstore
