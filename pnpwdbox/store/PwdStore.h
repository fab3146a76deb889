// The password database "pnpb.dat": where it is, its tables and their
// migration, and every statement the password box runs. Each operation opens
// the file, runs its statements and closes it again; no exception and no
// message leaves an operation, its result says how it went.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
// Sets the current path from an ANSI path. False (and the path unchanged) for
// an empty path or one whose UTF-8 form does not fit 520 bytes.
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

// One connection and one statement at a time on a given file.
class CPwdDBFile {
public:
    CPwdDBFile();                          // the current database path
    explicit CPwdDBFile(const std::string& path);
    // The changed-row count; 0 when the statement failed, -1 for none.
    int execute(const char* sql);

private:
    CppSQLite3Connection connection_;
    char path_[261];
};

// Adds the four columns of the record history to a pn_pwd of exactly six
// columns; any other table is left alone. 1, or 0 on a database error.
int migrateSchema();
// The launcher's tables (pn_pwd, pn_group, pn_user) or, with the log, all
// four; each statement is run on its own, then migrateSchema.
void createSchema(bool withLog);

struct GroupRow {
    int id;
    std::string name;
};

struct ListedRecord {
    int id;
    int group;
    int state;
    std::string user;
    std::string password;  // decrypted; "" when it cannot be
    std::string url;
};

class CPwdStore {
public:
    // 1 when the row was inserted; 0 for a missing user, password or url, a
    // password the cipher cannot hold, or a database error. A null end day
    // stores "99991230", an empty one stores "".
    int insertRecord(int id, const char* user, const char* password, const char* url, int state, int group,
                     const char* comments, const char* endDay);
    // Keeps the row as it was in pn_pwd_log, then changes password, url,
    // comments and end day, then tells the update sink. 1, or -1 for an id
    // below 1, a missing password, url or comments text, an empty password or
    // url, a password the cipher cannot hold, or a database error. Empty
    // comments are allowed.
    int updateRecord(int id, const char* password, const char* url, const char* comments, const char* endDay);
    // Marks all the records deleted in one transaction, or none of them: 1, or 0.
    int deleteRecords(const std::vector<int>& ids);
    // The record's comment; "" for none or on an error; the one character
    // "\x01" when there is no such record.
    std::string readComments(int id);
    // Fills user, url, comments and end day when the row exists with all four
    // set. 1 (row or not), 0 for an id below 1 or on an error.
    int readRecordDetails(int id, tagRECORD& record);
    // The largest pwd_id plus 1 (1 for an empty table or on an error).
    int nextRecordId();

    // Groups.
    int addGroup(int id, const char* name);  // 1 when a row was inserted
    std::vector<GroupRow> listGroups();     // in table order; what was read on an error
    int maxGroupId();                        // 0 for none or on an error
    // Rows read (the name of the last non-null one in `name`); 0 for a group
    // below 1 or on an error.
    int readGroupName(int group, std::string& name);
    int renameGroup(int group, const char* name);  // 1, or 0
    int deleteGroup(int group);                    // rows deleted; 0 on an error

    // Live records in table order, passwords decrypted; stops when `row`
    // returns false. False when the database could not be read to the end.
    bool readLiveRecords(const std::function<bool(const ListedRecord&)>& row);
    // Record numbers whose url contains `text` (case aside, in every script),
    // deleted records included.
    std::vector<int> searchByUrl(const char* text);

    // The master password, user 100 "pinora_pb".
    int createMasterUser(const char* password);                         // 1, or 0
    int checkMasterPassword(const char* password);                      // 1, or 0
    int changeMasterPassword(const char* oldPassword, const char* newPassword);  // 1 changed, 2 wrong/err, 0 empty
    int probeUserTable();                                               // 1 when the table could be read
};

CPwdStore& PwdStore();

}  // namespace pnstore
