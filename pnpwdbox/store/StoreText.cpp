#include "StoreText.h"

#include <sqlite3.h>

#include <memory>
#include <vector>

#include "BoxFile.h"
#include "Utf8Text.h"

namespace pnstore {
namespace {

using pncrypto::ConvertLegacySecret;
using pncrypto::SecretConversion;

struct Column {
    const char* table;
    const char* name;
    bool secret;
};

// Every column that holds text of the user's; dates and numbers are ASCII.
constexpr Column kTextColumns[] = {
    {"pn_pwd", "pwd_user", false},     {"pn_pwd", "pwd_pwd", true},         {"pn_pwd", "pwd_url", false},
    {"pn_pwd", "pwd_comments", false}, {"pn_pwd_log", "pwd_user", false},   {"pn_pwd_log", "pwd_pwd", true},
    {"pn_pwd_log", "pwd_url", false},  {"pn_pwd_log", "pwd_comments", false}, {"pn_group", "grp_name", false},
    {"pn_user", "user_pwd", true},
};

struct Change {
    const Column* column;
    sqlite3_int64 row;
    std::string value;
};

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct Finalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return nullptr;
    }
    return Statement(s);
}

bool HasColumn(sqlite3* db, const Column& c) {
    Statement info = Prepare(db, std::string("PRAGMA table_info(") + c.table + ")");
    while (info && sqlite3_step(info.get()) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1));
        if (name && std::string(name) == c.name) return true;
    }
    return false;
}

// What the column's values become. False when the table cannot be read.
bool PlanColumn(sqlite3* db, const Column& c, const pncrypto::LegacyDecoder& decode, std::vector<Change>& changes,
                int& left) {
    if (!HasColumn(db, c)) return true;
    Statement rows = Prepare(db, std::string("select rowid,") + c.name + " from " + c.table);
    if (!rows) return false;
    int step;
    while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
        const int type = sqlite3_column_type(rows.get(), 1);
        if (type != SQLITE_TEXT && type != SQLITE_BLOB) continue;
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(rows.get(), 1));
        const std::string value(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(rows.get(), 1)));
        std::string converted;
        if (c.secret) {
            const SecretConversion outcome = ConvertLegacySecret(value, decode, converted);
            if (outcome == SecretConversion::TooLong || outcome == SecretConversion::NotCipher) ++left;
            if (outcome != SecretConversion::Converted) continue;
        } else if (uikit::IsValidUtf8(value) || !decode(value, converted)) {
            continue;
        }
        changes.push_back({&c, sqlite3_column_int64(rows.get(), 0), std::move(converted)});
    }
    return step == SQLITE_DONE;
}

bool Apply(sqlite3* db, const std::vector<Change>& changes) {
    if (sqlite3_exec(db, "begin immediate transaction;", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    for (const Change& change : changes) {
        Statement update = Prepare(db, std::string("update ") + change.column->table + " set " + change.column->name +
                                           "=?1 where rowid=?2");
        const bool done = update &&
                          sqlite3_bind_text(update.get(), 1, change.value.data(), static_cast<int>(change.value.size()),
                                            SQLITE_TRANSIENT) == SQLITE_OK &&
                          sqlite3_bind_int64(update.get(), 2, change.row) == SQLITE_OK &&
                          sqlite3_step(update.get()) == SQLITE_DONE;
        if (!done) {
            sqlite3_exec(db, "rollback transaction;", nullptr, nullptr, nullptr);
            return false;
        }
    }
    if (sqlite3_exec(db, "commit transaction;", nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    sqlite3_exec(db, "rollback transaction;", nullptr, nullptr, nullptr);
    return false;
}

// Only a file the box itself would open is ours to change: a view where a
// table belongs, or a table of other columns, is somebody else's file and
// stays as it is (the box refuses it too).
bool OfOurLayout(const std::string& path) {
    try {
        CppSQLite3Connection db;
        db.open(path.c_str());
        return CheckLayout(db) == FileVerdict::Usable;
    } catch (const CppSQLite3Exception&) {
        return false;
    }
}

}  // namespace

StoreTextResult ConvertStoreText(const std::string& path, const pncrypto::LegacyDecoder& decode,
                                 const std::function<bool()>& keepBackup) {
    StoreTextResult result;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, CloseDb> db(raw);
    if (opened != SQLITE_OK) {
        result.outcome = StoreTextOutcome::Failed;
        return result;
    }
    sqlite3_busy_timeout(db.get(), 5000);
    Statement version = Prepare(db.get(), "PRAGMA user_version");
    if (!version || sqlite3_step(version.get()) != SQLITE_ROW) {
        // SQLITE_NOTADB and the like: no database of ours to convert.
        const int code = sqlite3_errcode(db.get());
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED) result.outcome = StoreTextOutcome::Failed;
        return result;
    }
    if (sqlite3_column_int(version.get(), 0) >= 1) return result;  // written in UTF-8 only
    version.reset();
    if (!OfOurLayout(path)) return result;

    std::vector<Change> changes;
    for (const Column& c : kTextColumns) {
        if (!PlanColumn(db.get(), c, decode, changes, result.passwordsLeft)) {
            result.outcome = StoreTextOutcome::Failed;
            return result;
        }
    }
    if (changes.empty()) return result;
    if (!keepBackup() || !Apply(db.get(), changes)) {
        result.outcome = StoreTextOutcome::Failed;
        return result;
    }
    result.outcome = StoreTextOutcome::Converted;
    return result;
}

}  // namespace pnstore
