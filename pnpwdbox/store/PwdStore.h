// The password database "pnpb.dat": where it is, its tables and their
// migration, and every statement the password box runs. Each operation opens
// the file, checks that its tables are ours (BoxFile.h), runs its statements
// and closes it again; no exception and no message leaves an operation, its
// result says how it went. Passwords are read and written only while the box
// is unlocked (a session of BoxFile.h), sealed with its keys.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "BoxFile.h"
#include "CppSQLite3.h"
#include "PwdRecord.h"
#include "SystemSources.h"

namespace pnstore {

// ---- Where the database is ----

// The folder of the password-box module ("" when unknown), or the folder a
// test put in its place.
std::string ModuleFolder();
void SetModuleFolderOverride(const std::string& folder);  // "" restores the real one

// The current database path in UTF-8; when none was set, "pnpb.dat" in the
// module's folder (or the bare name when that folder is unknown).
std::string databasePath();
// The longest path taken, in UTF-8 bytes: room for a folder path of Windows'
// full length in any script. Every operation uses the whole path.
constexpr size_t kMaxPathBytes = 1040;
// Sets the current path from an ANSI path. False (and the path unchanged) for
// an empty path or one the system cannot open (longer than kMaxPathBytes in
// UTF-8, or than MAX_PATH on Windows).
bool setDatabasePath(const char* ansiPath);
// Tests: back to no path set.
void clearDatabasePath();
// The current path in the ANSI code page (for copying the file).
std::string databasePathAnsi();

// ---- Seams ----

// Local date and time for the start day and record time of a new record.
using StoreClock = pncrypto::ClockReading (*)();
void SetStoreClock(StoreClock clock);  // nullptr restores the system's local time

// Told about every record that updateRecord changed (the password box's
// update channel listens here). The record lives only during the call.
using UpdateNoticeSink = void (*)(const tagRECORD& record);
void SetUpdateNoticeSink(UpdateNoticeSink sink);

// ---- Text in statements ----

// Doubles every single quote, so the text stays one SQL string literal.
// Double-byte characters are copied whole, but a quote or NUL is never taken
// for the second byte of one.
std::string escapeSqlText(const char* text);
// For the search: also escapes the LIKE wildcards % and _ (and the escape
// character \ itself), for use with "escape '\'".
std::string escapeLikeText(const char* text);

// Builds a statement with printf formatting, of any length.
std::string FormatSql(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// ---- The tables ----

extern const char* const kCreatePwdTable;
extern const char* const kCreateGroupTable;
extern const char* const kCreateUserTable;
extern const char* const kCreateLogTable;
extern const char* const kListGroups;
extern const char* const kListLiveRecords;

// One connection and one statement at a time on a given file (whose tables
// must be ours).
class CPwdDBFile {
public:
    CPwdDBFile();                          // the current database path
    explicit CPwdDBFile(const std::string& path);
    // The changed-row count; 0 when the statement failed, -1 for none.
    int execute(const char* sql);

private:
    CppSQLite3Connection connection_;
    std::string path_;
};

// Adds the columns of the record history that pn_pwd lacks (all four of a
// six-column table, or the rest of a migration that stopped half-way), in one
// transaction. 1, or 0 on a database error or a file that is not ours.
int migrateSchema();
// The launcher's tables (pn_pwd, pn_group, pn_user) or, with the log, all
// four; each statement is run on its own, then migrateSchema. A file that is
// not ours is left alone, and the verdict says why.
FileVerdict createSchema(bool withLog);

struct GroupRow {
    int id;
    std::string name;
};

struct ListedRecord {
    int id;
    int group;
    int state;
    std::string user;
    std::string password;  // "" for a damaged record
    std::string url;
    std::string comments;  // "" in a file opened read-only
    std::string endDay;    // as stored: "yyyyMMdd", "" or the old "99991230"
    // Its MAC did not hold: nothing of it was decrypted, and nothing of it
    // may be trusted (its address is no link).
    bool damaged = false;
};

// A record to add with others (an import), its group given by name.
struct NewRecord {
    std::string group;
    std::string user;  // may be empty: it is never edited, so nothing asks for it again
    std::string password;
    std::string url;
    std::string comments;
    std::string endDay;  // "yyyyMMdd", or "" for none
};

enum class AddResult {
    Added,
    Locked,     // not unlocked, or open read-only
    Refused,    // a record the box cannot hold: no group, password or url, or a password too long
    NoNumbers,  // not enough record or group numbers left
    Failed,     // a database error: nothing was added
};

// The longest password a record or the master password may have (the
// dialogs' fields and tagRECORD hold 127 bytes).
constexpr size_t kMaxSecretBytes = 127;

class CPwdStore {
public:
    // 1 when the row was inserted; 0 while the box is locked (or open read
    // only), for a number out of range, a missing user, password or url, a
    // password longer than kMaxSecretBytes, or a database error. A null end
    // day stores "99991230", an empty one stores "".
    int insertRecord(int id, const char* user, const char* password, const char* url, int state, int group,
                     const char* comments, const char* endDay);
    // Keeps the row as it was in pn_pwd_log, then changes password, url,
    // comments and end day, then tells the update sink. 1, or -1 while the
    // box is locked, for an id below 1, a missing password, url or comments
    // text, an empty password or url, a password too long, a damaged record
    // (it is not sealed anew with what an attacker put there), or a database
    // error. Empty comments are allowed.
    int updateRecord(int id, const char* password, const char* url, const char* comments, const char* endDay);
    // Marks all the records deleted in one transaction, or none of them: 1, or 0.
    int deleteRecords(const std::vector<int>& ids);
    // The record's comment; "" for none, a damaged record, a locked box or on
    // an error; the one character "\x01" when there is no such record.
    std::string readComments(int id);
    // Fills user, url, comments and end day when the row exists with all four
    // set. 1 (row or not), 0 for an id below 1, a damaged record, a locked box
    // or on an error.
    int readRecordDetails(int id, tagRECORD& record);
    // The largest pwd_id plus 1 (1 for an empty table); 0 when there is no
    // number left (the largest is kMaxNumber or beyond, or not a number), or
    // on an error.
    int nextRecordId();
    // Adds every record, and the groups they name that the box lacks (the
    // first group of a name is that name's), in one transaction: all of them
    // or, on any failure, none.
    AddResult addRecords(const std::vector<NewRecord>& records);

    // Groups.
    int addGroup(int id, const char* name);  // 1 when a row was inserted
    std::vector<GroupRow> listGroups();     // in table order, numbers in range; what was read on an error
    int64_t maxGroupId();                    // 0 for none or on an error; as stored, 64 bits
    // Rows read (the name of the last non-null one in `name`); 0 for a group
    // below 1 or on an error.
    int readGroupName(int group, std::string& name);
    int renameGroup(int group, const char* name);  // 1, or 0
    int deleteGroup(int group);                    // rows deleted; 0 on an error

    // Live records in table order, passwords decrypted (damaged ones marked,
    // rows whose numbers are out of range left out); stops when `row` returns
    // false. False while the box is locked, or when the database could not be
    // read to the end.
    bool readLiveRecords(const std::function<bool(const ListedRecord&)>& row);
    // Record numbers whose url contains `text` (case aside, in every script),
    // deleted records included.
    std::vector<int> searchByUrl(const char* text);

    // The master password (BoxFile.h has the whole story).
    // 1 when set; 0 for an empty or too long one, a database that has one
    // already, or an error.
    int createMasterUser(const char* password);
    // Unlocks the box (OpenBox, then StartSession) in one go: 1 when opened.
    // Slow; the windows run OpenBox off their thread instead.
    int checkMasterPassword(const char* password);
    // 1 changed, 2 wrong old password, 0 empty or too long, -1 on an error.
    int changeMasterPassword(const char* oldPassword, const char* newPassword);
    // 1 when the file is ours and its user table can be read.
    int probeUserTable();
};

CPwdStore& PwdStore();

}  // namespace pnstore
