#include "PwdStore.h"

#include <cstdarg>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "BoxCipher.h"
#include "StorePlatform.h"
#include "TextCipher.h"
#include "TextFold.h"
#include "Utf8Text.h"

namespace pnstore {

const char* const kCreatePwdTable =
    "create table if not exists pn_pwd(pwd_id int,pwd_user varchar(128),pwd_pwd varchar(128),"
    "pwd_url varchar(1024),pwd_state int,pwd_grp_id int)";
const char* const kCreateGroupTable = "create table if not exists pn_group(grp_id int,grp_name char(128) )";
const char* const kCreateUserTable =
    "create table if not exists pn_user(user_id int,user_name varchar(128),user_pwd varchar(128) )";
const char* const kCreateLogTable =
    "create table if not exists pn_pwd_log(pwd_id int,pwd_user varchar(128),pwd_pwd varchar(128),"
    "pwd_url varchar(1024),pwd_state int,pwd_grp_id int,pwd_comments varchar(1024), pwd_start_day char(12),"
    "pwd_end_day char(12), pwd_record_time char(12))";
const char* const kListGroups = "select grp_id,grp_name from pn_group;";
const char* const kListLiveRecords =
    "select Pwd_user,pwd_pwd,pwd_url,pwd_grp_id,pwd_id,pwd_state from pn_pwd where pwd_state =1;";

namespace {

constexpr int kMaxEndDay = 31;

struct PathState {
    std::mutex lock;
    std::string utf8;
    std::string moduleFolderOverride;
};

PathState& Paths() {
    static PathState state;
    return state;
}

StoreClock g_clock = nullptr;
UpdateNoticeSink g_updateSink = nullptr;

bool IsEmpty(const char* text) { return !text || !*text; }

bool FitsSecret(const char* text) { return text && std::strlen(text) <= kMaxSecretBytes; }

void CopyText(char* to, size_t size, const char* from) { uikit::CopyUtf8(to, size, from); }

// Runs one operation on its own connection to the current database, closed
// again on every path; a database error, or a file that is not ours, gives
// `onError`.
template <typename R, typename Work>
R OnDatabase(R onError, Work&& work) {
    try {
        CppSQLite3Connection db;
        OpenChecked(db, databasePath());
        return work(db);
    } catch (const CppSQLite3Exception&) {
        return onError;
    }
}

// The keys of the unlocked box, for reading (any session) or writing (one
// that is not read-only).
bool ReadingKeys(SessionKeys& keys) { return CurrentSession(keys); }
bool WritingKeys(SessionKeys& keys) { return CurrentSession(keys) && !keys.readOnly; }

// One stored row of pn_pwd, with what its seal binds.
struct StoredRecord {
    pncrypto::RecordFields fields;
    std::string sealed;
};

// Opens a stored password with the session's keys: true with the password,
// false for a damaged record. A read-only session reads the old cipher.
bool Unseal(const SessionKeys& keys, const StoredRecord& row, std::string& password) {
    if (keys.readOnly) {
        char plain[kCipherFieldSize] = {};
        const bool done = cryptField(row.sealed.c_str(), plain, 1) == 1;
        password = done ? plain : "";
        pncrypto::Wipe(plain, sizeof plain);
        return true;  // the old format has nothing that could tell
    }
    return pncrypto::OpenRecord(keys.keys, row.fields, row.sealed, password);
}

// Reads one record by number (its seal and sealed fields); false when there
// is none.
bool ReadStored(CppSQLite3Connection& db, int64_t id, StoredRecord& row, std::string* endDay = nullptr) {
    CppSQLite3ResultSet rows = db.query(FormatSql("select pwd_id,pwd_grp_id,pwd_user,pwd_url,pwd_comments,pwd_pwd,"
                                                  "pwd_end_day from pn_pwd where pwd_id=%lld;",
                                                  static_cast<long long>(id))
                                            .c_str());
    if (rows.atEnd()) return false;
    row.fields = {rows.int64Field(0), rows.int64Field(1), rows.textField(2, ""), rows.textField(3, ""),
                  rows.textField(4, "")};
    row.sealed = rows.textField(5, "");
    if (endDay) *endDay = rows.textField(6, "");
    return true;
}

// What a new row holds besides its numbers.
struct RowTexts {
    std::string user, password, url, comments, endDay;
};

// The insert of one new record, its password sealed with the session's keys
// and stamped with the store's clock; false when no random bytes were had.
bool SealedInsert(const SessionKeys& keys, int64_t id, int64_t group, int state, const RowTexts& row,
                  std::string& sql) {
    std::string sealed;
    if (!pncrypto::SealRecord(keys.keys, {id, group, row.user, row.url, row.comments}, row.password, sealed))
        return false;
    const pncrypto::ClockReading now = (g_clock ? g_clock : pncrypto::ReadLocalClock)();
    char startDay[16], recordTime[16];
    std::snprintf(startDay, sizeof startDay, "%04u%02u%02u", now.year % 10000, now.month % 100, now.day % 100);
    std::snprintf(recordTime, sizeof recordTime, "%02u:%02u:%02u", now.hour % 100, now.minute % 100,
                  now.second % 100);
    sql = FormatSql("insert into pn_pwd values(%lld,'%s','%s','%s',%d,%lld,'%s','%s','%s','%s')",
                    static_cast<long long>(id), escapeSqlText(row.user.c_str()).c_str(), sealed.c_str(),
                    escapeSqlText(row.url.c_str()).c_str(), state, static_cast<long long>(group),
                    escapeSqlText(row.comments.c_str()).c_str(), startDay, escapeSqlText(row.endDay.c_str()).c_str(),
                    recordTime);
    return true;
}

// The largest number of a column read whole, -1 when one is no number at all
// (text where a number belongs): nothing is numbered after it then.
int64_t LargestNumber(CppSQLite3Connection& db, const char* column, const char* table) {
    CppSQLite3ResultSet rows = db.query(
        FormatSql("select max(%s), sum(typeof(%s) not in ('integer','null')) from %s;", column, column, table).c_str());
    if (rows.atEnd()) return 0;
    if (rows.int64Field(1, 0) > 0) return -1;
    return std::max<int64_t>(rows.int64Field(0, 0), 0);
}

// Ends a transaction that changed nothing worth keeping.
AddResult Abandon(CppSQLite3Connection& db, AddResult result) {
    db.execute("rollback transaction;");
    return result;
}

bool FitsNewRecord(const NewRecord& r) {
    for (const std::string* text : {&r.group, &r.user, &r.password, &r.url, &r.comments, &r.endDay})
        if (text->find('\0') != std::string::npos) return false;  // it would end the statement's text early
    return !r.group.empty() && !r.password.empty() && !r.url.empty() && r.password.size() <= kMaxSecretBytes;
}

}  // namespace

// ---- Where the database is ----

std::string ModuleFolder() {
    {
        std::lock_guard<std::mutex> hold(Paths().lock);
        if (!Paths().moduleFolderOverride.empty()) return Paths().moduleFolderOverride;
    }
    return ModuleFolderFromSystem();
}

void SetModuleFolderOverride(const std::string& folder) {
    std::lock_guard<std::mutex> hold(Paths().lock);
    Paths().moduleFolderOverride = folder;
}

std::string databasePath() {
    {
        std::lock_guard<std::mutex> hold(Paths().lock);
        if (!Paths().utf8.empty()) return Paths().utf8;
    }
    std::string folder = ModuleFolder();
    return folder.empty() ? std::string("pnpb.dat") : folder + "pnpb.dat";
}

bool setDatabasePath(const char* ansiPath) {
    if (IsEmpty(ansiPath)) return false;
    std::string utf8;
    if (!AnsiToUtf8(ansiPath, utf8, kMaxPathBytes) || utf8.empty()) return false;
    std::lock_guard<std::mutex> hold(Paths().lock);
    Paths().utf8 = utf8;
    return true;
}

void clearDatabasePath() {
    std::lock_guard<std::mutex> hold(Paths().lock);
    Paths().utf8.clear();
}

std::string databasePathAnsi() {
    std::string utf8 = databasePath(), ansi;
    return Utf8ToAnsi(utf8.c_str(), ansi) ? ansi : utf8;
}

// ---- Seams ----

void SetStoreClock(StoreClock clock) { g_clock = clock; }
void SetUpdateNoticeSink(UpdateNoticeSink sink) { g_updateSink = sink; }

// ---- Text in statements ----

std::string escapeSqlText(const char* text) {
    std::string out;
    if (!text) return out;
    for (const char* p = text; *p; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0' && p[1] != '\'') {
            out += p[0];
            out += p[1];
            ++p;
            continue;
        }
        if (*p == '\'') out += '\'';
        out += *p;
    }
    return out;
}

std::string escapeLikeText(const char* text) {
    std::string quoted = escapeSqlText(text), out;
    for (char c : quoted) {
        if (c == '%' || c == '_' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string FormatSql(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string sql;
    if (length > 0) {
        sql.resize(size_t(length) + 1);
        std::vsnprintf(&sql[0], sql.size(), format, again);
        sql.resize(size_t(length));
    }
    va_end(again);
    return sql;
}

// ---- CPwdDBFile ----

CPwdDBFile::CPwdDBFile() : CPwdDBFile(databasePath()) {}

CPwdDBFile::CPwdDBFile(const std::string& path) : path_(path) {}

int CPwdDBFile::execute(const char* sql) {
    if (!sql) return -1;
    try {
        connection_.close();
        OpenChecked(connection_, path_);
        return connection_.execute(sql);
    } catch (const CppSQLite3Exception&) {
        return 0;
    }
}

// ---- Schema ----

int migrateSchema() {
    return OnDatabase(0, [](CppSQLite3Connection& db) {
        db.execute("begin immediate transaction;");
        try {
            AddMissingColumns(db);
            db.execute("commit transaction;");
        } catch (const CppSQLite3Exception&) {
            db.execute("rollback transaction;");
            throw;
        }
        return 1;
    });
}

FileVerdict createSchema(bool withLog) {
    const FileVerdict verdict = CheckDatabase();
    // A new file is made here; a file that is there but is not ours stays as it is.
    if (verdict == FileVerdict::Foreign || verdict == FileVerdict::Newer) return verdict;
    CPwdDBFile file;
    file.execute(kCreatePwdTable);
    file.execute(kCreateGroupTable);
    file.execute(kCreateUserTable);
    if (withLog) file.execute(kCreateLogTable);
    migrateSchema();
    return CheckDatabase();
}

// ---- Records ----

int CPwdStore::insertRecord(int id, const char* user, const char* password, const char* url, int state, int group,
                            const char* comments, const char* endDay) {
    if (IsEmpty(user) || IsEmpty(password) || IsEmpty(url) || !FitsSecret(password)) return 0;
    if (!IsRecordNumber(id) || !IsGroupNumber(group)) return 0;
    SessionKeys keys;
    if (!WritingKeys(keys)) return 0;
    std::string sql;
    const std::string end = endDay ? std::string(endDay).substr(0, kMaxEndDay) : std::string("99991230");
    if (!SealedInsert(keys, id, group, state, {user, password, url, comments ? comments : "", end}, sql)) return 0;
    return OnDatabase(0, [&](CppSQLite3Connection& db) { return db.execute(sql.c_str()) > 0 ? 1 : 0; });
}

int CPwdStore::updateRecord(int id, const char* password, const char* url, const char* comments,
                            const char* endDay) {
    if (id < 1 || IsEmpty(password) || IsEmpty(url) || !comments || !FitsSecret(password)) return -1;
    SessionKeys keys;
    if (!WritingKeys(keys)) return -1;
    int updated = OnDatabase(-1, [&](CppSQLite3Connection& db) {
        db.execute("begin immediate transaction;");
        try {
            StoredRecord row;
            std::string old;
            // No such record: nothing was changed, and saying so is the truth.
            // A damaged one is not sealed anew over what someone else put there.
            const bool sound = ReadStored(db, id, row) && Unseal(keys, row, old);
            pncrypto::Wipe(old);
            if (!sound) {
                db.execute("rollback transaction;");
                return -1;
            }
            row.fields.url = url;
            row.fields.comments = comments;
            std::string sealed;
            if (!pncrypto::SealRecord(keys.keys, row.fields, password, sealed))
                throw CppSQLite3Exception(CPPSQLITE_ERROR, "no random bytes");
            db.execute(FormatSql("insert into pn_pwd_log select * from pn_pwd where pwd_id = %d;", id).c_str());
            std::string sql = FormatSql(
                "update pn_pwd set pwd_pwd='%s',pwd_url='%s',pwd_comments='%s',pwd_end_day='%s' where pwd_id=%d ",
                sealed.c_str(), escapeSqlText(url).c_str(), escapeSqlText(comments).c_str(),
                escapeSqlText(endDay ? endDay : "").c_str(), id);
            const int changed = db.execute(sql.c_str());
            db.execute("commit transaction;");
            return changed < 1 ? -1 : 1;
        } catch (const CppSQLite3Exception&) {
            db.execute("rollback transaction;");
            throw;
        }
    });
    if (updated != 1) return -1;
    if (g_updateSink) {
        tagRECORD notice{};
        notice.nId = id;
        CopyText(notice.szPwd, sizeof notice.szPwd, password);
        CopyText(notice.szUrl, sizeof notice.szUrl, url);
        CopyText(notice.szComments, sizeof notice.szComments, comments);
        CopyText(notice.szEndDay, sizeof notice.szEndDay, endDay);
        notice.nState = kRecordLive;
        g_updateSink(notice);
        pncrypto::Wipe(notice.szPwd, sizeof notice.szPwd);
    }
    return 1;
}

int CPwdStore::deleteRecords(const std::vector<int>& ids) {
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        try {
            db.execute("begin transaction;");
            for (int id : ids)
                db.execute(FormatSql("update pn_pwd  set pwd_state=%d where pwd_id = %d", kRecordDeleted, id).c_str());
            db.execute("commit transaction;");
            return 1;
        } catch (const CppSQLite3Exception&) {
            db.execute("rollback transaction;");  // a failure here is the caller's 0 as well
            return 0;
        }
    });
}

std::string CPwdStore::readComments(int id) {
    SessionKeys keys;
    if (!ReadingKeys(keys)) return std::string();
    return OnDatabase(std::string(), [&](CppSQLite3Connection& db) {
        StoredRecord row;
        if (!ReadStored(db, id, row)) return std::string(1, '\x01');
        std::string password;
        const bool sound = Unseal(keys, row, password);
        pncrypto::Wipe(password);
        return sound ? row.fields.comments : std::string();
    });
}

int CPwdStore::readRecordDetails(int id, tagRECORD& record) {
    if (id < 1) return 0;
    SessionKeys keys;
    if (!ReadingKeys(keys)) return 0;
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        StoredRecord row;
        std::string endDay, password;
        if (!ReadStored(db, id, row, &endDay)) return 1;
        const bool sound = Unseal(keys, row, password);
        pncrypto::Wipe(password);
        if (!sound) return 0;
        // Rows of a migrated file have no comment or end day yet: what is
        // there is still shown, the rest reads as empty.
        CopyText(record.szUser, sizeof record.szUser, row.fields.user.c_str());
        CopyText(record.szUrl, sizeof record.szUrl, row.fields.url.c_str());
        CopyText(record.szComments, sizeof record.szComments, row.fields.comments.c_str());
        CopyText(record.szEndDay, sizeof record.szEndDay, endDay.c_str());
        return 1;
    });
}

int CPwdStore::nextRecordId() {
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        // Numbers are read whole: one past 32 bits is no small number, and a
        // row numbered with text is no number at all.
        const int64_t largest = LargestNumber(db, "pwd_id", "pn_pwd");
        return largest < 0 || largest >= kMaxNumber ? 0 : int(largest + 1);
    });
}

AddResult CPwdStore::addRecords(const std::vector<NewRecord>& records) {
    SessionKeys keys;
    if (!WritingKeys(keys)) return AddResult::Locked;
    for (const NewRecord& r : records)
        if (!FitsNewRecord(r)) return AddResult::Refused;
    return OnDatabase(AddResult::Failed, [&](CppSQLite3Connection& db) {
        db.execute("begin immediate transaction;");
        try {
            std::map<std::string, int64_t> groups;
            for (CppSQLite3ResultSet rows = db.query(kListGroups); !rows.atEnd(); rows.next()) {
                const int64_t id = rows.int64Field(0, 0);
                if (IsGroupNumber(id)) groups.emplace(rows.textField(1, ""), id);  // the first of a name
            }
            // A column numbered with text has no number after it.
            const int64_t lastRecord = LargestNumber(db, "pwd_id", "pn_pwd");
            const int64_t lastGroup = LargestNumber(db, "grp_id", "pn_group");
            int64_t nextRecord = lastRecord < 0 ? kMaxNumber + 1 : lastRecord + 1;
            int64_t nextGroup = lastGroup < 0 ? kMaxNumber + 1 : lastGroup + 1;
            std::string sql;
            for (const NewRecord& r : records) {
                auto group = groups.find(r.group);
                if (group == groups.end()) {
                    if (!IsGroupNumber(nextGroup)) return Abandon(db, AddResult::NoNumbers);
                    if (db.execute(FormatSql("insert into pn_group values(%lld,'%s')", static_cast<long long>(nextGroup),
                                             escapeSqlText(r.group.c_str()).c_str())
                                       .c_str()) != 1)
                        throw CppSQLite3Exception(CPPSQLITE_ERROR, "group not inserted");
                    group = groups.emplace(r.group, nextGroup++).first;
                }
                if (!IsRecordNumber(nextRecord)) return Abandon(db, AddResult::NoNumbers);
                const bool sealed = SealedInsert(keys, nextRecord++, group->second, kRecordLive,
                                                 {r.user, r.password, r.url, r.comments, r.endDay}, sql);
                if (!sealed) throw CppSQLite3Exception(CPPSQLITE_ERROR, "no random bytes");
                if (db.execute(sql.c_str()) != 1) throw CppSQLite3Exception(CPPSQLITE_ERROR, "record not inserted");
            }
            db.execute("commit transaction;");
            return AddResult::Added;
        } catch (const CppSQLite3Exception&) {
            db.execute("rollback transaction;");
            throw;
        }
    });
}

// ---- Groups ----

int CPwdStore::addGroup(int id, const char* name) {
    if (IsEmpty(name) || !IsGroupNumber(id)) return 0;
    CPwdDBFile file;
    return file.execute(FormatSql("insert into pn_group values(%d,'%s')", id, escapeSqlText(name).c_str()).c_str()) > 0
               ? 1
               : 0;
}

std::vector<GroupRow> CPwdStore::listGroups() {
    std::vector<GroupRow> groups;
    OnDatabase(0, [&](CppSQLite3Connection& db) {
        for (CppSQLite3ResultSet rows = db.query(kListGroups); !rows.atEnd(); rows.next()) {
            const int64_t id = rows.int64Field(0, 0);
            if (IsGroupNumber(id)) groups.push_back({int(id), rows.textField(1, "")});
        }
        return 0;
    });
    return groups;
}

int64_t CPwdStore::maxGroupId() {
    const std::string sql = std::string("select max(grp_id) from pn_group") + ";";
    return OnDatabase(int64_t(0), [&](CppSQLite3Connection& db) {
        int64_t largest = 0;
        for (CppSQLite3ResultSet rows = db.query(sql.c_str()); !rows.atEnd(); rows.next())
            largest = rows.int64Field(0, 0);
        return largest;
    });
}

int CPwdStore::readGroupName(int group, std::string& name) {
    if (group < 1) return 0;
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        int count = 0;
        for (CppSQLite3ResultSet rows = db.query(FormatSql("select grp_name from pn_group where grp_id=%d", group).c_str());
             !rows.atEnd(); rows.next()) {
            ++count;
            if (rows.fieldType(0) != 5 /* SQLITE_NULL */) name = rows.textField(0, "");
        }
        return count;
    });
}

int CPwdStore::renameGroup(int group, const char* name) {
    if (group < 0 || IsEmpty(name)) return 0;
    std::string sql = FormatSql("update  pn_group set grp_name='%s' where grp_id = %d", escapeSqlText(name).c_str(), group);
    return OnDatabase(0, [&](CppSQLite3Connection& db) { return db.execute(sql.c_str()) > 0 ? 1 : 0; });
}

int CPwdStore::deleteGroup(int group) {
    CPwdDBFile file;
    int changed = file.execute(FormatSql("delete from pn_group where grp_id = %d", group).c_str());
    return changed > 0 ? changed : 0;
}

// ---- Listing and search ----

bool CPwdStore::readLiveRecords(const std::function<bool(const ListedRecord&)>& row) {
    SessionKeys keys;
    if (!ReadingKeys(keys)) return false;
    return OnDatabase(false, [&](CppSQLite3Connection& db) {
        // An older file read as it is may not have been migrated (read only).
        const char* sql = keys.readOnly ? kListLiveRecords
                                        : "select pwd_user,pwd_pwd,pwd_url,pwd_grp_id,pwd_id,pwd_state,pwd_comments,"
                                          "pwd_end_day from pn_pwd where pwd_state =1;";
        for (CppSQLite3ResultSet rows = db.query(sql); !rows.atEnd(); rows.next()) {
            const int64_t id = rows.int64Field(4, 0), group = rows.int64Field(3, 0);
            if (!IsRecordNumber(id) || !IsGroupNumber(group)) continue;  // no row of ours
            StoredRecord stored;
            stored.fields = {id, group, rows.textField(0, ""), rows.textField(2, ""),
                             keys.readOnly ? "" : rows.textField(6, "")};
            stored.sealed = rows.textField(1, "");
            ListedRecord record;
            record.id = int(id);
            record.group = int(group);
            record.state = rows.intField(5, 0);
            record.user = stored.fields.user;
            record.url = stored.fields.url;
            record.comments = stored.fields.comments;
            if (!keys.readOnly) record.endDay = rows.textField(7, "");
            record.damaged = !Unseal(keys, stored, record.password);
            const bool more = row(record);
            pncrypto::Wipe(record.password);
            if (!more) break;
        }
        return true;
    });
}

std::vector<int> CPwdStore::searchByUrl(const char* text) {
    // SQLite's LIKE folds ASCII letters only: the addresses are compared here,
    // case aside in every script, the typed text as one piece (no wildcards).
    const std::string wanted = text ? text : "";
    std::vector<int> ids;
    OnDatabase(0, [&](CppSQLite3Connection& db) {
        for (CppSQLite3ResultSet rows = db.query("select pwd_id,pwd_url from pn_pwd;"); !rows.atEnd(); rows.next()) {
            const int64_t id = rows.int64Field(0, 0);
            if (IsRecordNumber(id) && uikit::ContainsIgnoringCase(rows.textField(1, ""), wanted)) ids.push_back(int(id));
        }
        return 0;
    });
    return ids;
}

// ---- The master password ----

int CPwdStore::createMasterUser(const char* password) {
    if (IsEmpty(password) || !FitsSecret(password)) return 0;
    return CreateMaster(password) == CreateResult::Created ? 1 : 0;
}

int CPwdStore::checkMasterPassword(const char* password) {
    if (IsEmpty(password) || !FitsSecret(password)) return 0;
    SessionKeys keys;
    const UnlockResult result = OpenBox(password, keys);
    if (result != UnlockResult::Opened && result != UnlockResult::OpenedReadOnly) return 0;
    StartSession(keys);
    return 1;
}

int CPwdStore::changeMasterPassword(const char* oldPassword, const char* newPassword) {
    if (IsEmpty(oldPassword) || IsEmpty(newPassword) || !FitsSecret(newPassword)) return 0;
    if (!FitsSecret(oldPassword)) return 2;
    switch (ChangeMaster(oldPassword, newPassword)) {
    case ChangeResult::Changed: return 1;
    case ChangeResult::WrongPassword: return 2;
    case ChangeResult::Failed: return -1;
    }
    return -1;
}

int CPwdStore::probeUserTable() {
    return OnDatabase(0, [](CppSQLite3Connection& db) {
        for (CppSQLite3ResultSet rows = db.query(
                 FormatSql("select user_name,user_pwd from pn_user where user_id = %d;", kMasterUserId).c_str());
             !rows.atEnd(); rows.next())
            (void)rows.textField(1, "");
        return 1;
    });
}

CPwdStore& PwdStore() {
    static CPwdStore store;
    return store;
}

}  // namespace pnstore
