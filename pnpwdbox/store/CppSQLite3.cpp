#include "CppSQLite3.h"

#include <atomic>
#include <cstring>
#include <utility>

#include "sqlite3.h"

namespace {

constexpr const char* kNotOpen = "Database not open";
constexpr const char* kNoStatement = "Null Virtual Machine pointer";
// The progress handler is called once per this many steps.
constexpr int kStepsPerTick = 1000;

std::atomic<uint64_t> g_statementBudget{CppSQLite3Connection::kDefaultStatementBudget};

}  // namespace

// ---- CppSQLite3Exception ----

CppSQLite3Exception::CppSQLite3Exception(int code, const char* text, bool takeOwnership)
    : code_(code),
      message_(sqlite3_mprintf("%s[%d]: %s", errorCodeName(code), code, text ? text : "")) {
    if (takeOwnership && text) sqlite3_free(const_cast<char*>(text));
}

CppSQLite3Exception::CppSQLite3Exception(const CppSQLite3Exception& other)
    : code_(other.code_), message_(other.message_ ? sqlite3_mprintf("%s", other.message_) : nullptr) {}

CppSQLite3Exception::~CppSQLite3Exception() {
    if (message_) sqlite3_free(message_);
}

const char* CppSQLite3Exception::errorCodeName(int code) {
    static const char* const kNames[] = {
        "SQLITE_OK",       "SQLITE_ERROR",    "SQLITE_INTERNAL", "SQLITE_PERM",     "SQLITE_ABORT",
        "SQLITE_BUSY",     "SQLITE_LOCKED",   "SQLITE_NOMEM",    "SQLITE_READONLY", "SQLITE_INTERRUPT",
        "SQLITE_IOERR",    "SQLITE_CORRUPT",  "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN",
        "SQLITE_PROTOCOL", "SQLITE_EMPTY",    "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
        "SQLITE_MISMATCH", "SQLITE_MISUSE",   "SQLITE_NOLFS",    "SQLITE_AUTH",     "SQLITE_FORMAT",
        "SQLITE_RANGE"};
    if (code >= 0 && code < int(sizeof kNames / sizeof kNames[0])) return kNames[code];
    switch (code) {
    case 100: return "SQLITE_ROW";
    case 101: return "SQLITE_DONE";
    case CPPSQLITE_ERROR: return "CPPSQLITE_ERROR";
    default: return "UNKNOWN_ERROR";
    }
}

// ---- CppSQLite3ResultSet ----

CppSQLite3ResultSet::CppSQLite3ResultSet(sqlite3* db, sqlite3_stmt* statement, bool atEnd)
    : db_(db), statement_(statement), atEnd_(atEnd), columns_(sqlite3_column_count(statement)),
      ownsStatement_(true) {}

CppSQLite3ResultSet::CppSQLite3ResultSet(CppSQLite3ResultSet&& other) noexcept
    : db_(other.db_),
      statement_(std::exchange(other.statement_, nullptr)),
      atEnd_(other.atEnd_),
      columns_(other.columns_),
      ownsStatement_(std::exchange(other.ownsStatement_, false)) {}

CppSQLite3ResultSet& CppSQLite3ResultSet::operator=(CppSQLite3ResultSet&& other) {
    if (this == &other) return *this;
    // The statement held so far is finished first; a failure there is the
    // caller's to see, and the source stays untouched.
    if (statement_) finalize();
    db_ = other.db_;
    statement_ = std::exchange(other.statement_, nullptr);
    atEnd_ = other.atEnd_;
    columns_ = other.columns_;
    ownsStatement_ = std::exchange(other.ownsStatement_, false);
    return *this;
}

CppSQLite3ResultSet::~CppSQLite3ResultSet() {
    try {
        if (statement_) finalize();
    } catch (const CppSQLite3Exception&) {
    }
}

void CppSQLite3ResultSet::checkStatement() const {
    if (!statement_) throw CppSQLite3Exception(CPPSQLITE_ERROR, kNoStatement);
}

bool CppSQLite3ResultSet::atEnd() const {
    checkStatement();
    return atEnd_;
}

void CppSQLite3ResultSet::next() {
    checkStatement();
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_DONE) {
        atEnd_ = true;
    } else if (rc != SQLITE_ROW) {
        // The message belongs to the connection; copy it before the statement goes.
        CppSQLite3Exception error(rc, sqlite3_errmsg(db_));
        sqlite3_finalize(statement_);
        statement_ = nullptr;
        throw error;
    }
}

int CppSQLite3ResultSet::columnCount() const {
    checkStatement();
    return columns_;
}

int CppSQLite3ResultSet::fieldType(int index) const {
    checkStatement();
    if (index < 0 || index > columns_ - 1) throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field index requested");
    return sqlite3_column_type(statement_, index);
}

int CppSQLite3ResultSet::fieldIndexByName(const char* name) const {
    checkStatement();
    if (name) {
        for (int i = 0; i < columns_; ++i) {
            const char* column = sqlite3_column_name(statement_, i);
            if (column && std::strcmp(name, column) == 0) return i;
        }
    }
    throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field name requested");
}

const char* CppSQLite3ResultSet::textField(int index, const char* fallback) const {
    if (fieldType(index) == SQLITE_NULL) return fallback;
    return reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
}

const char* CppSQLite3ResultSet::textField(const char* name, const char* fallback) const {
    return textField(fieldIndexByName(name), fallback);
}

int CppSQLite3ResultSet::intField(int index, int fallback) const {
    if (fieldType(index) == SQLITE_NULL) return fallback;
    return sqlite3_column_int(statement_, index);
}

int CppSQLite3ResultSet::intField(const char* name, int fallback) const {
    return intField(fieldIndexByName(name), fallback);
}

int64_t CppSQLite3ResultSet::int64Field(int index, int64_t fallback) const {
    if (fieldType(index) == SQLITE_NULL) return fallback;
    return sqlite3_column_int64(statement_, index);
}

void CppSQLite3ResultSet::finalize() {
    checkStatement();
    int rc = sqlite3_finalize(statement_);
    statement_ = nullptr;
    if (rc != SQLITE_OK) throw CppSQLite3Exception(rc, sqlite3_errmsg(db_));
}

// ---- CppSQLite3Connection ----

CppSQLite3Connection::~CppSQLite3Connection() { close(); }

void CppSQLite3Connection::open(const char* path) {
    close();
    int rc = sqlite3_open(path ? path : "", &db_);
    if (rc != SQLITE_OK) {
        CppSQLite3Exception error(rc, db_ ? sqlite3_errmsg(db_) : "cannot open");
        // sqlite3_open hands out a handle even when it fails; it must still be closed.
        close();
        throw error;
    }
    setBusyTimeout(busyTimeoutMs_);
    sqlite3_progress_handler(db_, kStepsPerTick, &CppSQLite3Connection::OnProgress, this);
}

void CppSQLite3Connection::SetStatementBudget(uint64_t steps) {
    g_statementBudget = steps ? steps : kDefaultStatementBudget;
}

uint64_t CppSQLite3Connection::StatementBudget() { return g_statementBudget; }

void CppSQLite3Connection::startStatement() {
    progressTicks_ = 0;
    tickLimit_ = g_statementBudget / kStepsPerTick + 1;
}

int CppSQLite3Connection::OnProgress(void* self) {
    auto* connection = static_cast<CppSQLite3Connection*>(self);
    return ++connection->progressTicks_ > connection->tickLimit_ ? 1 : 0;
}

void CppSQLite3Connection::close() {
    if (db_) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

void CppSQLite3Connection::setBusyTimeout(int milliseconds) {
    busyTimeoutMs_ = milliseconds;
    if (db_) sqlite3_busy_timeout(db_, milliseconds);
}

void CppSQLite3Connection::checkOpen() const {
    if (!db_) throw CppSQLite3Exception(CPPSQLITE_ERROR, kNotOpen);
}

int CppSQLite3Connection::execute(const char* sql) {
    checkOpen();
    startStatement();
    char* error = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) throw CppSQLite3Exception(rc, error, true);
    return sqlite3_changes(db_);
}

CppSQLite3ResultSet CppSQLite3Connection::query(const char* sql) {
    checkOpen();
    startStatement();
    sqlite3_stmt* statement = nullptr;
    // The v2 interface: a failing step reports its own code (SQLITE_INTERRUPT,
    // SQLITE_CORRUPT) rather than a bare SQLITE_ERROR.
    int rc = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK) throw CppSQLite3Exception(rc, nullptr);
    if (!statement) {
        // Only blanks or a comment: nothing to step through.
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "No statement to run");
    }
    rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) return CppSQLite3ResultSet(db_, statement, true);
    if (rc == SQLITE_ROW) return CppSQLite3ResultSet(db_, statement, false);
    CppSQLite3Exception error(rc, sqlite3_errmsg(db_));
    sqlite3_finalize(statement);
    throw error;
}
