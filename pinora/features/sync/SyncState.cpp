#include "SyncState.h"

#include <sqlite3.h>

namespace pnsync {
namespace {

constexpr int kFormatVersion = 1;

// One prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return stmt_ != nullptr; }
    void Bind(int i, const std::string& v) { sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT); }
    void Bind(int i, int v) { sqlite3_bind_int(stmt_, i, v); }
    int Step() { return sqlite3_step(stmt_); }
    std::string Text(int col) const {
        const unsigned char* t = sqlite3_column_text(stmt_, col);
        return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(stmt_, col)))
                 : std::string();
    }
    int Int(int col) const { return sqlite3_column_int(stmt_, col); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS items("
    " uid TEXT PRIMARY KEY, local_key TEXT NOT NULL DEFAULT '', href TEXT NOT NULL,"
    " etag TEXT NOT NULL DEFAULT '', base TEXT NOT NULL DEFAULT '', local TEXT NOT NULL DEFAULT '',"
    " raw TEXT NOT NULL DEFAULT '', pending TEXT NOT NULL DEFAULT '', local_sig TEXT NOT NULL DEFAULT '',"
    " exact INTEGER NOT NULL DEFAULT 1, told INTEGER NOT NULL DEFAULT 0);";

}  // namespace

SyncState::~SyncState() { Close(); }

void SyncState::Close() {
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

bool SyncState::Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error_ = message ? message : "the sync state cannot be written";
    sqlite3_free(message);
    return false;
}

bool SyncState::Open(const std::string& path, std::string* error) {
    Close();
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        if (error) *error = db_ ? sqlite3_errmsg(db_) : "the sync state cannot be opened";
        Close();
        return false;
    }
    sqlite3_busy_timeout(db_, 10000);
    int version = 0;
    {
        Statement s(db_, "PRAGMA user_version");
        if (s.ok() && s.Step() == SQLITE_ROW) version = s.Int(0);
    }
    if (version > kFormatVersion) {
        if (error) *error = "the sync state was written by a newer Pinora";
        Close();
        return false;
    }
    // WAL with NORMAL: each item's commit survives Pinora being ended, without a
    // flush to disk per item; a lost tail after a power cut is sorted out by the
    // next run, which compares both sides.
    if (!Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=NORMAL") || !Exec(kSchema) ||
        !Exec("PRAGMA user_version=1")) {
        if (error) *error = error_;
        Close();
        return false;
    }
    return true;
}

std::string SyncState::Meta(const std::string& key) const {
    if (!db_) return "";
    Statement s(db_, "SELECT value FROM meta WHERE key=?");
    s.Bind(1, key);
    return s.ok() && s.Step() == SQLITE_ROW ? s.Text(0) : std::string();
}

bool SyncState::SetMeta(const std::string& key, const std::string& value) {
    if (!db_) return false;
    Statement s(db_, "INSERT INTO meta(key, value) VALUES(?, ?) ON CONFLICT(key) DO UPDATE SET value=excluded.value");
    s.Bind(1, key);
    s.Bind(2, value);
    if (s.ok() && s.Step() == SQLITE_DONE) return true;
    error_ = sqlite3_errmsg(db_);
    return false;
}

std::map<std::string, ItemState> SyncState::LoadAll() const {
    std::map<std::string, ItemState> items;
    if (!db_) return items;
    Statement s(db_, "SELECT uid, local_key, href, etag, base, local, raw, pending, local_sig, exact, told FROM items");
    while (s.ok() && s.Step() == SQLITE_ROW) {
        ItemState i;
        i.uid = s.Text(0);
        i.localKey = s.Text(1);
        i.href = s.Text(2);
        i.etag = s.Text(3);
        i.base = s.Text(4);
        i.local = s.Text(5);
        i.raw = s.Text(6);
        i.pending = s.Text(7);
        i.localSig = s.Text(8);
        i.exact = s.Int(9) != 0;
        i.told = s.Int(10) != 0;
        items[i.uid] = i;
    }
    return items;
}

bool SyncState::Put(const ItemState& i) {
    if (!db_) return false;
    Statement s(db_,
                "INSERT OR REPLACE INTO items(uid, local_key, href, etag, base, local, raw, pending, local_sig, exact, told)"
                " VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    s.Bind(1, i.uid);
    s.Bind(2, i.localKey);
    s.Bind(3, i.href);
    s.Bind(4, i.etag);
    s.Bind(5, i.base);
    s.Bind(6, i.local);
    s.Bind(7, i.raw);
    s.Bind(8, i.pending);
    s.Bind(9, i.localSig);
    s.Bind(10, i.exact ? 1 : 0);
    s.Bind(11, i.told ? 1 : 0);
    if (s.ok() && s.Step() == SQLITE_DONE) return true;
    error_ = sqlite3_errmsg(db_);
    return false;
}

bool SyncState::Remove(const std::string& uid) {
    if (!db_) return false;
    Statement s(db_, "DELETE FROM items WHERE uid=?");
    s.Bind(1, uid);
    return s.ok() && s.Step() == SQLITE_DONE;
}

bool SyncState::Clear() { return db_ && Exec("DELETE FROM items; DELETE FROM meta;"); }

bool SyncState::ForgetCollection() {
    return db_ && Exec("DELETE FROM items WHERE href <> '' OR etag <> ''; DELETE FROM meta;");
}

bool SyncState::Begin() { return db_ && Exec("BEGIN IMMEDIATE"); }

bool SyncState::Commit() { return db_ && Exec("COMMIT"); }

}  // namespace pnsync
