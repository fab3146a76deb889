#include "PwdStore.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

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

constexpr size_t kUtf8PathLimit = 520;
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

// The store's view of the cipher: nothing for absent texts, and 1 only when
// the whole cipher text fitted.
bool Encrypt(const char* plain, char (&out)[kCipherFieldSize]) {
    std::memset(out, 0, sizeof out);
    return plain && cryptField(plain, out, 0) == 1;
}

std::string Decrypt(const char* cipher) {
    char plain[kCipherFieldSize] = {};
    if (!cipher || cryptField(cipher, plain, 1) != 1) return "";
    return plain;
}

void CopyText(char* to, size_t size, const char* from) { uikit::CopyUtf8(to, size, from); }

// Runs one operation on its own connection to the current database, closed
// again on every path; a database error gives `onError`.
template <typename R, typename Work>
R OnDatabase(R onError, Work&& work) {
    try {
        CppSQLite3Connection db;
        db.open(databasePath().c_str());
        return work(db);
    } catch (const CppSQLite3Exception&) {
        return onError;
    }
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
    if (!AnsiToUtf8(ansiPath, utf8, kUtf8PathLimit) || utf8.empty()) return false;
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

CPwdDBFile::CPwdDBFile(const std::string& path) { CopyText(path_, sizeof path_, path.c_str()); }

int CPwdDBFile::execute(const char* sql) {
    if (!sql) return -1;
    try {
        connection_.close();
        connection_.open(path_);
        return connection_.execute(sql);
    } catch (const CppSQLite3Exception&) {
        return 0;
    }
}

// ---- Schema ----

int migrateSchema() {
    return OnDatabase(0, [](CppSQLite3Connection& db) {
        int columns = 0;
        for (CppSQLite3ResultSet rows = db.query("PRAGMA table_info(pn_pwd)"); !rows.atEnd(); rows.next()) ++columns;
        if (columns == 6) {
            db.execute("alter table pn_pwd add column pwd_comments varchar(1024);");
            db.execute("alter table pn_pwd add column pwd_start_day char(12);");
            db.execute("alter table pn_pwd add column pwd_end_day char(12);");
            db.execute("alter table pn_pwd add column pwd_record_time char(12);");
        }
        return 1;
    });
}

void createSchema(bool withLog) {
    CPwdDBFile file;
    file.execute(kCreatePwdTable);
    file.execute(kCreateGroupTable);
    file.execute(kCreateUserTable);
    if (withLog) file.execute(kCreateLogTable);
    migrateSchema();
}

// ---- Records ----

int CPwdStore::insertRecord(int id, const char* user, const char* password, const char* url, int state, int group,
                            const char* comments, const char* endDay) {
    if (IsEmpty(user) || IsEmpty(password) || IsEmpty(url)) return 0;
    char encrypted[kCipherFieldSize];
    if (!Encrypt(password, encrypted)) return 0;
    const pncrypto::ClockReading now = (g_clock ? g_clock : pncrypto::ReadLocalClock)();
    char startDay[16], recordTime[16];
    std::snprintf(startDay, sizeof startDay, "%04u%02u%02u", now.year % 10000, now.month % 100, now.day % 100);
    std::snprintf(recordTime, sizeof recordTime, "%02u:%02u:%02u", now.hour % 100, now.minute % 100,
                  now.second % 100);
    std::string end = endDay ? std::string(endDay).substr(0, kMaxEndDay) : std::string("99991230");
    std::string sql = FormatSql("insert into pn_pwd values(%d,'%s','%s','%s',%d,%d,'%s','%s','%s','%s')", id,
                                escapeSqlText(user).c_str(), encrypted, escapeSqlText(url).c_str(), state, group,
                                escapeSqlText(comments).c_str(), startDay, escapeSqlText(end.c_str()).c_str(),
                                recordTime);
    return OnDatabase(0, [&](CppSQLite3Connection& db) { return db.execute(sql.c_str()) > 0 ? 1 : 0; });
}

int CPwdStore::updateRecord(int id, const char* password, const char* url, const char* comments,
                            const char* endDay) {
    if (id < 1 || IsEmpty(password) || IsEmpty(url) || !comments) return -1;
    char encrypted[kCipherFieldSize];
    if (!Encrypt(password, encrypted)) return -1;
    int updated = OnDatabase(-1, [&](CppSQLite3Connection& db) {
        db.execute(FormatSql("insert into pn_pwd_log select * from pn_pwd where pwd_id = %d;", id).c_str());
        std::string sql = FormatSql(
            "update pn_pwd set pwd_pwd='%s',pwd_url='%s',pwd_comments='%s',pwd_end_day='%s' where pwd_id=%d ",
            encrypted, escapeSqlText(url).c_str(), escapeSqlText(comments).c_str(),
            escapeSqlText(endDay ? endDay : "").c_str(), id);
        // No such record: nothing was changed, and saying so is the truth.
        return db.execute(sql.c_str()) < 1 ? -1 : 1;
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
    return OnDatabase(std::string(), [&](CppSQLite3Connection& db) {
        CppSQLite3ResultSet rows = db.query(FormatSql("select pwd_comments from pn_pwd where pwd_id=%d;", id).c_str());
        return rows.atEnd() ? std::string(1, '\x01') : std::string(rows.textField(0, ""));
    });
}

int CPwdStore::readRecordDetails(int id, tagRECORD& record) {
    if (id < 1) return 0;
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        CppSQLite3ResultSet rows = db.query(
            FormatSql("select pwd_user,pwd_url, pwd_comments, pwd_end_day from pn_pwd where pwd_id=%d;", id).c_str());
        if (!rows.atEnd()) {
            // Rows of a migrated file have no comment or end day yet: what is
            // there is still shown, the rest reads as empty.
            CopyText(record.szUser, sizeof record.szUser, rows.textField(0, ""));
            CopyText(record.szUrl, sizeof record.szUrl, rows.textField(1, ""));
            CopyText(record.szComments, sizeof record.szComments, rows.textField(2, ""));
            CopyText(record.szEndDay, sizeof record.szEndDay, rows.textField(3, ""));
        }
        return 1;
    });
}

int CPwdStore::nextRecordId() {
    const std::string sql = std::string("select max(pwd_id) as retid from pn_pwd") + ";";
    return 1 + OnDatabase(0, [&](CppSQLite3Connection& db) {
               CppSQLite3ResultSet rows = db.query(sql.c_str());
               return rows.atEnd() ? 0 : rows.intField(0, 0);
           });
}

// ---- Groups ----

int CPwdStore::addGroup(int id, const char* name) {
    if (IsEmpty(name)) return 0;
    CPwdDBFile file;
    return file.execute(FormatSql("insert into pn_group values(%d,'%s')", id, escapeSqlText(name).c_str()).c_str()) > 0
               ? 1
               : 0;
}

std::vector<GroupRow> CPwdStore::listGroups() {
    std::vector<GroupRow> groups;
    OnDatabase(0, [&](CppSQLite3Connection& db) {
        for (CppSQLite3ResultSet rows = db.query(kListGroups); !rows.atEnd(); rows.next())
            groups.push_back({rows.intField(0, 0), rows.textField(1, "")});
        return 0;
    });
    return groups;
}

int CPwdStore::maxGroupId() {
    const std::string sql = std::string("select max(grp_id) from pn_group") + ";";
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        int largest = 0;
        for (CppSQLite3ResultSet rows = db.query(sql.c_str()); !rows.atEnd(); rows.next()) largest = rows.intField(0, 0);
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
    return OnDatabase(false, [&](CppSQLite3Connection& db) {
        for (CppSQLite3ResultSet rows = db.query(kListLiveRecords); !rows.atEnd(); rows.next()) {
            ListedRecord record;
            record.user = rows.textField(0, "");
            record.password = Decrypt(rows.textField(1, ""));
            record.url = rows.textField(2, "");
            record.group = rows.intField(3, 0);
            record.id = rows.intField(4, 0);
            record.state = rows.intField(5, 0);
            if (!row(record)) break;
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
        for (CppSQLite3ResultSet rows = db.query("select pwd_id,pwd_url from pn_pwd;"); !rows.atEnd(); rows.next())
            if (uikit::ContainsIgnoringCase(rows.textField(1, ""), wanted)) ids.push_back(rows.intField(0, 0));
        return 0;
    });
    return ids;
}

// ---- The master password ----

namespace {

const std::string& SelectMaster() {
    static const std::string sql =
        FormatSql("select user_name,user_pwd from pn_user where user_id = %d;", kMasterUserId);
    return sql;
}

// Whether any master row holds this encrypted text; throws on database errors.
bool MasterMatches(CppSQLite3Connection& db, const char* encrypted) {
    for (CppSQLite3ResultSet rows = db.query(SelectMaster().c_str()); !rows.atEnd(); rows.next())
        if (std::strcmp(rows.textField(1, ""), encrypted) == 0) return true;
    return false;
}

}  // namespace

int CPwdStore::createMasterUser(const char* password) {
    if (IsEmpty(password)) return 0;
    char encrypted[kCipherFieldSize];
    if (!Encrypt(password, encrypted)) return 0;
    std::string sql = FormatSql("insert into pn_user values(%d,'%s','%s');", kMasterUserId, kMasterUserName, encrypted);
    return OnDatabase(0, [&](CppSQLite3Connection& db) {
        db.execute(sql.c_str());
        return 1;
    });
}

int CPwdStore::checkMasterPassword(const char* password) {
    if (IsEmpty(password)) return 0;
    char encrypted[kCipherFieldSize];
    if (!Encrypt(password, encrypted)) return 0;
    return OnDatabase(0, [&](CppSQLite3Connection& db) { return MasterMatches(db, encrypted) ? 1 : 0; });
}

int CPwdStore::changeMasterPassword(const char* oldPassword, const char* newPassword) {
    if (IsEmpty(oldPassword) || IsEmpty(newPassword)) return 0;
    char oldEncrypted[kCipherFieldSize], newEncrypted[kCipherFieldSize];
    // A new password the cipher cannot hold is not stored cut short.
    if (!Encrypt(newPassword, newEncrypted)) return 0;
    if (!Encrypt(oldPassword, oldEncrypted)) return 2;
    return OnDatabase(2, [&](CppSQLite3Connection& db) {
        if (!MasterMatches(db, oldEncrypted)) return 2;
        db.execute(
            FormatSql("update pn_user set  user_pwd ='%s' where user_id = %d", newEncrypted, kMasterUserId).c_str());
        return 1;
    });
}

int CPwdStore::probeUserTable() {
    return OnDatabase(0, [](CppSQLite3Connection& db) {
        for (CppSQLite3ResultSet rows = db.query(SelectMaster().c_str()); !rows.atEnd(); rows.next())
            (void)rows.textField(1, "");
        return 1;
    });
}

CPwdStore& PwdStore() {
    static CPwdStore store;
    return store;
}

}  // namespace pnstore
