// The thin SQL layer of the password store: one connection, one forward-only
// result set, and the one exception type that every failure of either throws.
// Nothing here outlives an operation of the store; callers catch
// CppSQLite3Exception themselves, no exception crosses the store's boundary.
#pragma once

struct sqlite3;
struct sqlite3_stmt;

#include <cstdint>

// Codes of our own, beside SQLite's.
constexpr int CPPSQLITE_ERROR = 1000;

class CppSQLite3Exception {
public:
    // The message is "<code name>[<code>]: <text>". With takeOwnership the
    // text was allocated by SQLite and is released here once formatted.
    CppSQLite3Exception(int code, const char* text, bool takeOwnership = false);
    CppSQLite3Exception(const CppSQLite3Exception& other);
    CppSQLite3Exception& operator=(const CppSQLite3Exception& other) = delete;
    ~CppSQLite3Exception();

    int errorCode() const { return code_; }
    const char* errorMessage() const { return message_ ? message_ : ""; }

    static const char* errorCodeName(int code);

private:
    int code_;
    char* message_;
};

class CppSQLite3ResultSet {
public:
    CppSQLite3ResultSet() = default;
    CppSQLite3ResultSet(sqlite3* db, sqlite3_stmt* statement, bool atEnd);
    // Result sets are moved, never copied: the statement has one owner.
    CppSQLite3ResultSet(CppSQLite3ResultSet&& other) noexcept;
    CppSQLite3ResultSet& operator=(CppSQLite3ResultSet&& other);
    CppSQLite3ResultSet(const CppSQLite3ResultSet&) = delete;
    CppSQLite3ResultSet& operator=(const CppSQLite3ResultSet&) = delete;
    ~CppSQLite3ResultSet();

    bool atEnd() const;
    void next();
    int columnCount() const;
    int fieldType(int index) const;
    int fieldIndexByName(const char* name) const;
    const char* textField(int index, const char* fallback = "") const;
    const char* textField(const char* name, const char* fallback = "") const;
    int intField(int index, int fallback = 0) const;
    int intField(const char* name, int fallback = 0) const;
    // Numbers as SQLite keeps them, 64 bits wide: nothing is cut to 32 bits.
    int64_t int64Field(int index, int64_t fallback = 0) const;
    void finalize();

private:
    void checkStatement() const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    bool atEnd_ = true;
    int columns_ = 0;
    bool ownsStatement_ = false;
};

class CppSQLite3Connection {
public:
    static constexpr int kDefaultBusyTimeoutMs = 60000;
    // Every statement may run this many virtual-machine steps, rows read one
    // by one included; past that it is interrupted (SQLITE_INTERRUPT). A file
    // of someone else's making cannot keep a query running for ever (a view
    // over an endless recursion, a trigger that loops).
    static constexpr uint64_t kDefaultStatementBudget = 50000000;
    static void SetStatementBudget(uint64_t steps);  // 0 restores the default
    static uint64_t StatementBudget();

    CppSQLite3Connection() = default;
    ~CppSQLite3Connection();
    CppSQLite3Connection(const CppSQLite3Connection&) = delete;
    CppSQLite3Connection& operator=(const CppSQLite3Connection&) = delete;

    // The path is UTF-8. Applies the stored busy time-out once open.
    void open(const char* path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return busyTimeoutMs_; }
    // Runs one or more statements; returns the rows the last one changed.
    int execute(const char* sql);
    // Prepares a statement and steps to its first row.
    CppSQLite3ResultSet query(const char* sql);

private:
    void checkOpen() const;
    void startStatement();
    static int OnProgress(void* self);

    sqlite3* db_ = nullptr;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
    uint64_t progressTicks_ = 0;
    uint64_t tickLimit_ = 0;
};
