#include "BoxFile.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "PwdRecord.h"
#include "PwdStore.h"
#include "TextCipher.h"

namespace pnstore {
namespace {

using pncrypto::DataKey;
using pncrypto::RecordFields;
using pncrypto::RecordKeys;
using pncrypto::WrappedKey;

const char* const kCreateKeyTable =
    "create table if not exists pn_key(key_id int primary key,kdf varchar(16),kdf_memory_kib int,kdf_passes int,"
    "kdf_lanes int,kdf_salt varchar(64),wrapped_key varchar(256),key_check varchar(64))";
constexpr char kKdfName[] = "argon2id";

// ---- Layout ----

struct TableLayout {
    const char* name;
    std::vector<const char*> columns;
    size_t fewestColumns;  // a prefix this long is ours too (pn_pwd before its migration)
};

const std::vector<TableLayout>& Layouts() {
    static const std::vector<const char*> record = {"pwd_id",       "pwd_user",      "pwd_pwd",
                                                    "pwd_url",      "pwd_state",     "pwd_grp_id",
                                                    "pwd_comments", "pwd_start_day", "pwd_end_day",
                                                    "pwd_record_time"};
    static const std::vector<TableLayout> layouts = {
        {"pn_pwd", record, 6},
        {"pn_pwd_log", record, 10},
        {"pn_group", {"grp_id", "grp_name"}, 2},
        {"pn_user", {"user_id", "user_name", "user_pwd"}, 3},
        {"pn_key",
         {"key_id", "kdf", "kdf_memory_kib", "kdf_passes", "kdf_lanes", "kdf_salt", "wrapped_key", "key_check"},
         8},
    };
    return layouts;
}

bool SameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return *a == *b;
}

bool TableFits(CppSQLite3Connection& db, const TableLayout& layout) {
    std::vector<std::string> columns;
    for (CppSQLite3ResultSet rows = db.query(FormatSql("PRAGMA table_info(%s)", layout.name).c_str()); !rows.atEnd();
         rows.next()) {
        if (columns.size() >= layout.columns.size()) return false;
        columns.push_back(rows.textField(1, ""));
    }
    if (columns.size() < layout.fewestColumns) return false;
    for (size_t i = 0; i < columns.size(); ++i)
        if (!SameName(columns[i].c_str(), layout.columns[i])) return false;
    return true;
}

// ---- A transaction that rolls back unless committed ----

class Transaction {
public:
    explicit Transaction(CppSQLite3Connection& db) : db_(db) { db_.execute("begin immediate transaction;"); }
    ~Transaction() {
        if (open_) {
            try {
                db_.execute("rollback transaction;");
            } catch (const CppSQLite3Exception&) {
            }
        }
    }
    void Commit() {
        db_.execute("commit transaction;");
        open_ = false;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    CppSQLite3Connection& db_;
    bool open_ = true;
};

// ---- The old cipher ----

std::string LegacyDecrypt(const char* hex) {
    char plain[kCipherFieldSize] = {};
    std::string out;
    if (hex && cryptField(hex, plain, 1) == 1) out = plain;
    pncrypto::Wipe(plain, sizeof plain);
    return out;
}

bool LegacyMatches(const std::string& password, const std::string& stored) {
    char encrypted[kCipherFieldSize] = {};
    const bool made = !password.empty() && cryptField(password.c_str(), encrypted, 0) == 1;
    const size_t length = std::strlen(encrypted);
    const bool same = made && length == stored.size() && pncrypto::EqualInConstantTime(encrypted, stored.data(), length);
    pncrypto::Wipe(encrypted, sizeof encrypted);
    return same;
}

std::vector<std::string> MasterRows(CppSQLite3Connection& db) {
    std::vector<std::string> rows;
    for (CppSQLite3ResultSet r =
             db.query(FormatSql("select user_pwd from pn_user where user_id = %d;", kMasterUserId).c_str());
         !r.atEnd(); r.next())
        rows.push_back(r.textField(0, ""));
    return rows;
}

bool TableExists(CppSQLite3Connection& db, const char* name) {
    return !db.query(FormatSql("select 1 from sqlite_master where type='table' and lower(name)='%s'", name).c_str())
                .atEnd();
}

// ---- The key row ----

std::string Hex(const uint8_t* bytes, size_t length) { return pncrypto::ToUpperHex(bytes, length); }

bool HexInto(const char* text, uint8_t* out, size_t length) {
    std::vector<uint8_t> bytes;
    if (!pncrypto::FromHex(text ? text : "", bytes) || bytes.size() != length) return false;
    std::memcpy(out, bytes.data(), length);
    return true;
}

uint32_t StoredParameter(int64_t value) {
    // Past 32 bits no value is allowed; the limits refuse the largest one.
    return value < 0 || value > int64_t(UINT32_MAX) ? UINT32_MAX : uint32_t(value);
}

// False for a key row that is missing or not in its form.
bool ReadKeyRow(CppSQLite3Connection& db, WrappedKey& key) {
    if (!TableExists(db, "pn_key")) return false;
    CppSQLite3ResultSet rows = db.query(
        "select kdf,kdf_memory_kib,kdf_passes,kdf_lanes,kdf_salt,wrapped_key,key_check from pn_key where key_id = 1;");
    if (rows.atEnd() || std::strcmp(rows.textField(0, ""), kKdfName) != 0) return false;
    key.parameters = {StoredParameter(rows.int64Field(1)), StoredParameter(rows.int64Field(2)),
                      StoredParameter(rows.int64Field(3))};
    std::vector<uint8_t> wrapped;
    if (!HexInto(rows.textField(4, ""), key.salt, sizeof key.salt) ||
        !pncrypto::FromHex(rows.textField(5, ""), wrapped) || !HexInto(rows.textField(6, ""), key.check, sizeof key.check))
        return false;
    key.wrapped = wrapped;
    return true;
}

void WriteKeyRow(CppSQLite3Connection& db, const WrappedKey& key) {
    db.execute(kCreateKeyTable);
    db.execute("delete from pn_key;");
    db.execute(FormatSql("insert into pn_key values(1,'%s',%u,%u,%u,'%s','%s','%s');", kKdfName,
                         key.parameters.memoryKiB, key.parameters.passes, key.parameters.lanes,
                         Hex(key.salt, sizeof key.salt).c_str(), Hex(key.wrapped.data(), key.wrapped.size()).c_str(),
                         Hex(key.check, sizeof key.check).c_str())
                   .c_str());
}

// ---- Conversion to the sealed format ----

// Reads every row's old cipher text and seals what it held; rows are read
// first and written after, never while the table is being read.
void SealRows(CppSQLite3Connection& db, const char* table, const RecordKeys& keys) {
    if (!TableExists(db, table)) return;
    struct Sealed {
        int64_t rowid;
        std::string value;
    };
    std::vector<Sealed> sealed;
    for (CppSQLite3ResultSet rows = db.query(FormatSql("select rowid,pwd_id,pwd_grp_id,pwd_user,pwd_url,pwd_comments,"
                                                        "pwd_pwd from %s;",
                                                        table)
                                                  .c_str());
         !rows.atEnd(); rows.next()) {
        const RecordFields fields{rows.int64Field(1), rows.int64Field(2), rows.textField(3, ""), rows.textField(4, ""),
                                  rows.textField(5, "")};
        std::string plain = LegacyDecrypt(rows.textField(6, ""));
        Sealed row{rows.int64Field(0), {}};
        const bool done = pncrypto::SealRecord(keys, fields, plain, row.value);
        pncrypto::Wipe(plain);
        if (!done) throw CppSQLite3Exception(CPPSQLITE_ERROR, "no random bytes for a record");
        sealed.push_back(std::move(row));
    }
    for (const Sealed& row : sealed)
        db.execute(FormatSql("update %s set pwd_pwd='%s' where rowid=%lld;", table, row.value.c_str(),
                             static_cast<long long>(row.rowid))
                       .c_str());
}

// Within the caller's transaction: the tables complete, the key row, every
// password sealed, the marker in place of the master rows, format 1.
void ConvertToSealed(CppSQLite3Connection& db, const WrappedKey& wrapped, const RecordKeys& keys) {
    for (const char* table : {kCreatePwdTable, kCreateGroupTable, kCreateUserTable, kCreateLogTable}) db.execute(table);
    AddMissingColumns(db);
    WriteKeyRow(db, wrapped);
    SealRows(db, "pn_pwd", keys);
    SealRows(db, "pn_pwd_log", keys);
    db.execute(FormatSql("delete from pn_user where user_id = %d;", kMasterUserId).c_str());
    db.execute(
        FormatSql("insert into pn_user values(%d,'%s','%s');", kMasterUserId, kMasterUserName, kMasterMarker).c_str());
    db.execute(FormatSql("PRAGMA user_version = %d;", kFormatSealed).c_str());
}

// Old pages go: VACUUM writes the database anew (secure_delete has zeroed
// what the transaction freed already). Not being able to is no failure of
// the conversion, which is complete by then.
void Vacuum(CppSQLite3Connection& db) {
    try {
        db.execute("VACUUM;");
    } catch (const CppSQLite3Exception&) {
    }
}

bool MakeKeys(const std::string& password, WrappedKey& wrapped, RecordKeys& keys) {
    DataKey dataKey;
    if (!pncrypto::NewDataKey(dataKey) ||
        !pncrypto::WrapDataKey(password, pncrypto::NewKdfParameters(), dataKey, wrapped))
        return false;
    pncrypto::DeriveRecordKeys(dataKey, keys);
    return true;
}

UnlockResult FromVerdict(FileVerdict verdict) {
    switch (verdict) {
    case FileVerdict::Foreign: return UnlockResult::Refused;
    case FileVerdict::Newer: return UnlockResult::Newer;
    default: return UnlockResult::Failed;
    }
}

// An older file, its master row matched: upgraded, or read as it is.
UnlockResult Upgrade(CppSQLite3Connection& db, const std::string& password, SessionKeys& keys) {
    WrappedKey wrapped;
    RecordKeys sealing;
    try {
        if (!MakeKeys(password, wrapped, sealing)) throw CppSQLite3Exception(CPPSQLITE_ERROR, "no keys");
        Transaction transaction(db);
        ConvertToSealed(db, wrapped, sealing);
        transaction.Commit();
    } catch (const CppSQLite3Exception&) {
        keys.readOnly = true;
        return UnlockResult::OpenedReadOnly;
    }
    Vacuum(db);
    keys.keys = sealing;
    return UnlockResult::Opened;
}

// ---- The session ----

struct Session {
    std::mutex lock;
    bool open = false;
    SessionKeys keys;
};

Session& TheSession() {
    static Session session;
    return session;
}

}  // namespace

// ---- Layout ----

FileVerdict CheckLayout(CppSQLite3Connection& db) {
    try {
        const int format = FileFormat(db);
        if (format > kFormatSealed) return FileVerdict::Newer;
        if (format < kFormatOld) return FileVerdict::Foreign;
        for (const TableLayout& layout : Layouts()) {
            CppSQLite3ResultSet kinds = db.query(
                FormatSql("select type from sqlite_master where lower(name)='%s' and type in ('table','view');",
                          layout.name)
                    .c_str());
            if (kinds.atEnd()) continue;  // made when needed
            if (std::strcmp(kinds.textField(0, ""), "table") != 0) return FileVerdict::Foreign;
            kinds.finalize();
            if (!TableFits(db, layout)) return FileVerdict::Foreign;
        }
        return FileVerdict::Usable;
    } catch (const CppSQLite3Exception&) {
        return FileVerdict::Unreadable;
    }
}

int FileFormat(CppSQLite3Connection& db) {
    CppSQLite3ResultSet rows = db.query("PRAGMA user_version;");
    const int64_t version = rows.atEnd() ? 0 : rows.int64Field(0);
    // Past what this build knows, any value is simply "newer".
    return version > kFormatSealed ? kFormatSealed + 1 : version < 0 ? -1 : int(version);
}

void OpenChecked(CppSQLite3Connection& db, const std::string& path) {
    db.open(path.c_str());
    db.execute("PRAGMA secure_delete = ON;");
    const FileVerdict verdict = CheckLayout(db);
    if (verdict != FileVerdict::Usable) {
        throw CppSQLite3Exception(kRefusedFileError, verdict == FileVerdict::Newer ? "a newer format"
                                                     : verdict == FileVerdict::Foreign ? "not our tables"
                                                                                        : "not readable");
    }
}

FileVerdict CheckDatabase() {
    try {
        CppSQLite3Connection db;
        db.open(databasePath().c_str());
        return CheckLayout(db);
    } catch (const CppSQLite3Exception&) {
        return FileVerdict::Unreadable;
    }
}

void AddMissingColumns(CppSQLite3Connection& db) {
    static const char* const kAdded[][2] = {{"pwd_comments", "varchar(1024)"},
                                            {"pwd_start_day", "char(12)"},
                                            {"pwd_end_day", "char(12)"},
                                            {"pwd_record_time", "char(12)"}};
    int columns = 0;
    for (CppSQLite3ResultSet rows = db.query("PRAGMA table_info(pn_pwd)"); !rows.atEnd(); rows.next()) ++columns;
    if (columns < 6 || columns >= 10) return;  // no table yet, or nothing missing
    for (int i = columns - 6; i < 4; ++i)
        db.execute(FormatSql("alter table pn_pwd add column %s %s;", kAdded[i][0], kAdded[i][1]).c_str());
}

// ---- The master password ----

bool HasMaster() {
    try {
        CppSQLite3Connection db;
        OpenChecked(db, databasePath());
        return FileFormat(db) >= kFormatSealed || (TableExists(db, "pn_user") && !MasterRows(db).empty());
    } catch (const CppSQLite3Exception&) {
        return false;
    }
}

CreateResult CreateMaster(const std::string& password) {
    if (password.empty()) return CreateResult::Failed;
    WrappedKey wrapped;
    RecordKeys keys;
    if (!MakeKeys(password, wrapped, keys)) return CreateResult::Failed;  // slow: before the file is locked
    CppSQLite3Connection db;
    try {
        OpenChecked(db, databasePath());
    } catch (const CppSQLite3Exception& e) {
        return e.errorCode() == kRefusedFileError ? CreateResult::Refused : CreateResult::Failed;
    }
    try {
        bool sealedOldRows = false;
        {
            Transaction transaction(db);
            if (FileFormat(db) >= kFormatSealed || (TableExists(db, "pn_user") && !MasterRows(db).empty()))
                return CreateResult::AlreadyHasMaster;
            sealedOldRows = TableExists(db, "pn_pwd") && !db.query("select 1 from pn_pwd;").atEnd();
            ConvertToSealed(db, wrapped, keys);
            transaction.Commit();
        }
        if (sealedOldRows) Vacuum(db);
        return CreateResult::Created;
    } catch (const CppSQLite3Exception&) {
        return CreateResult::Failed;
    }
}

ChangeResult ChangeMaster(const std::string& oldPassword, const std::string& newPassword) {
    if (oldPassword.empty() || newPassword.empty()) return ChangeResult::Failed;
    try {
        CppSQLite3Connection db;
        OpenChecked(db, databasePath());
        WrappedKey stored;
        if (FileFormat(db) != kFormatSealed || !ReadKeyRow(db, stored)) return ChangeResult::Failed;
        db.close();  // no lock held while deriving
        DataKey dataKey;
        switch (pncrypto::UnwrapDataKey(oldPassword, stored, dataKey)) {
        case pncrypto::UnwrapResult::Unwrapped: break;
        case pncrypto::UnwrapResult::WrongPassword: return ChangeResult::WrongPassword;
        default: return ChangeResult::Failed;
        }
        WrappedKey fresh;
        if (!pncrypto::WrapDataKey(newPassword, pncrypto::NewKdfParameters(), dataKey, fresh))
            return ChangeResult::Failed;
        OpenChecked(db, databasePath());
        Transaction transaction(db);
        // The key row must still be the one the old password opened.
        WrappedKey now;
        if (!ReadKeyRow(db, now) || now.wrapped != stored.wrapped) return ChangeResult::Failed;
        WriteKeyRow(db, fresh);
        transaction.Commit();
        return ChangeResult::Changed;
    } catch (const CppSQLite3Exception&) {
        return ChangeResult::Failed;
    }
}

// ---- Unlocking ----

UnlockResult OpenBox(const std::string& password, SessionKeys& keys) {
    keys = SessionKeys{};
    keys.path = databasePath();
    if (password.empty()) return UnlockResult::WrongPassword;
    CppSQLite3Connection db;
    try {
        db.open(keys.path.c_str());
        db.execute("PRAGMA secure_delete = ON;");
    } catch (const CppSQLite3Exception&) {
        return UnlockResult::Failed;
    }
    const FileVerdict verdict = CheckLayout(db);
    if (verdict != FileVerdict::Usable) return FromVerdict(verdict);
    try {
        if (FileFormat(db) == kFormatSealed) {
            WrappedKey stored;
            if (!ReadKeyRow(db, stored)) return UnlockResult::Damaged;
            db.close();  // no lock held while deriving
            DataKey dataKey;
            switch (pncrypto::UnwrapDataKey(password, stored, dataKey)) {
            case pncrypto::UnwrapResult::Unwrapped:
                pncrypto::DeriveRecordKeys(dataKey, keys.keys);
                return UnlockResult::Opened;
            case pncrypto::UnwrapResult::WrongPassword: return UnlockResult::WrongPassword;
            case pncrypto::UnwrapResult::Damaged: return UnlockResult::Damaged;
            case pncrypto::UnwrapResult::Refused: return UnlockResult::Refused;
            }
            return UnlockResult::Failed;
        }
        if (!TableExists(db, "pn_user")) return UnlockResult::NoMaster;
        const std::vector<std::string> masters = MasterRows(db);
        if (masters.empty()) return UnlockResult::NoMaster;
        bool matched = false;
        for (const std::string& stored : masters) matched |= LegacyMatches(password, stored);
        if (!matched) return UnlockResult::WrongPassword;
        return Upgrade(db, password, keys);
    } catch (const CppSQLite3Exception&) {
        return UnlockResult::Failed;
    }
}

void StartSession(const SessionKeys& keys) {
    Session& s = TheSession();
    std::lock_guard<std::mutex> hold(s.lock);
    s.keys = keys;
    s.open = true;
}

void EndSession() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> hold(s.lock);
    s.keys = SessionKeys{};  // the old keys are erased as they are replaced
    s.open = false;
}

bool CurrentSession(SessionKeys& keys) {
    const std::string path = databasePath();
    Session& s = TheSession();
    std::lock_guard<std::mutex> hold(s.lock);
    if (!s.open || s.keys.path != path) return false;
    keys = s.keys;
    return true;
}

bool SessionOpen() {
    SessionKeys keys;
    return CurrentSession(keys);
}

}  // namespace pnstore
