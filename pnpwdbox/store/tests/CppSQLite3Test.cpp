// The SQL wrapper: its error messages and codes, the result set's field access
// and single ownership, and the busy time-out against a second connection.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>

#include "CppSQLite3.h"
#include "StoreTestSupport.h"

namespace {

class WrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = storetest::MakeTempFolder();
        path_ = folder_ + "w.db";
        db_.open(path_.c_str());
        db_.execute("create table t(a int, b text); insert into t values(1,'one'); insert into t values(2,NULL);");
    }
    void TearDown() override {
        db_.close();
        storetest::RemoveTree(folder_);
    }
    template <typename F>
    std::pair<int, std::string> Thrown(F f) {
        try {
            f();
        } catch (const CppSQLite3Exception& e) {
            return {e.errorCode(), e.errorMessage()};
        }
        return {-1, "nothing thrown"};
    }

    std::string folder_, path_;
    CppSQLite3Connection db_;
};

TEST(CppSQLite3ExceptionTest, NamesCodesAndFormatsMessages) {
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(0), "SQLITE_OK");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(5), "SQLITE_BUSY");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(14), "SQLITE_CANTOPEN");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(25), "SQLITE_RANGE");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(100), "SQLITE_ROW");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(101), "SQLITE_DONE");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(1000), "CPPSQLITE_ERROR");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(26), "UNKNOWN_ERROR");
    EXPECT_STREQ(CppSQLite3Exception::errorCodeName(-1), "UNKNOWN_ERROR");

    CppSQLite3Exception e(1000, "Database not open");
    EXPECT_STREQ(e.errorMessage(), "CPPSQLITE_ERROR[1000]: Database not open");
    CppSQLite3Exception copy(e);
    EXPECT_STREQ(copy.errorMessage(), e.errorMessage());
    EXPECT_NE(copy.errorMessage(), e.errorMessage());  // its own copy of the text
    EXPECT_STREQ(CppSQLite3Exception(7, nullptr).errorMessage(), "SQLITE_NOMEM[7]: ");
}

TEST_F(WrapperTest, ClosedConnectionAndBadStatementsThrow) {
    CppSQLite3Connection closed;
    auto notOpen = Thrown([&] { closed.execute("select 1"); });
    EXPECT_EQ(notOpen.first, 1000);
    EXPECT_EQ(notOpen.second, "CPPSQLITE_ERROR[1000]: Database not open");
    EXPECT_EQ(Thrown([&] { closed.query("select 1"); }).first, 1000);

    auto syntax = Thrown([&] { db_.execute("selec nonsense"); });
    EXPECT_EQ(syntax.first, 1);
    EXPECT_NE(syntax.second.find("SQLITE_ERROR[1]: "), std::string::npos);
    EXPECT_NE(syntax.second.find("syntax error"), std::string::npos) << syntax.second;
    EXPECT_EQ(Thrown([&] { db_.query("select * from missing"); }).first, 1);

    auto cannotOpen = Thrown([&] {
        CppSQLite3Connection c;
        c.open((folder_ + "no/such/folder/x.db").c_str());
    });
    EXPECT_EQ(cannotOpen.first, 14);
}

TEST_F(WrapperTest, ExecuteCountsChangedRows) {
    EXPECT_EQ(db_.execute("update t set b='x'"), 2);
    EXPECT_EQ(db_.execute("update t set b='y' where a=9"), 0);
}

TEST_F(WrapperTest, ResultSetReadsFieldsAndRefusesBadOnes) {
    CppSQLite3ResultSet rows = db_.query("select a, b from t order by a");
    ASSERT_FALSE(rows.atEnd());
    EXPECT_EQ(rows.columnCount(), 2);
    EXPECT_EQ(rows.intField(0, -1), 1);
    EXPECT_STREQ(rows.textField("b", "?"), "one");
    EXPECT_EQ(Thrown([&] { rows.textField("B"); }).second, "CPPSQLITE_ERROR[1000]: Invalid field name requested");
    EXPECT_EQ(Thrown([&] { rows.fieldType(2); }).second, "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(Thrown([&] { rows.fieldType(-1); }).first, 1000);
    rows.next();
    ASSERT_FALSE(rows.atEnd());
    EXPECT_STREQ(rows.textField(1, "fallback"), "fallback");  // NULL
    EXPECT_EQ(rows.intField(1, 42), 42);
    rows.next();
    EXPECT_TRUE(rows.atEnd());

    CppSQLite3ResultSet none = db_.query("select a from t where a > 5");
    EXPECT_TRUE(none.atEnd());
}

TEST_F(WrapperTest, ResultSetsMoveAndLeaveTheSourceWithoutAStatement) {
    CppSQLite3ResultSet first = db_.query("select a from t order by a");
    CppSQLite3ResultSet second = std::move(first);
    EXPECT_EQ(second.intField(0), 1);
    EXPECT_EQ(Thrown([&] { first.atEnd(); }).second, "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");

    // Assigning over a live result set finishes its statement first: the
    // table can then be changed, which an unfinished read would not allow
    // inside this connection's schema change.
    CppSQLite3ResultSet target = db_.query("select b from t");
    target = db_.query("select a from t order by a desc");
    EXPECT_EQ(target.intField(0), 2);
    target.finalize();
    second.finalize();
    EXPECT_EQ(Thrown([&] { target.next(); }).first, 1000);
    db_.execute("drop table t");  // throws while any statement on t is still unfinished
}

TEST_F(WrapperTest, OpenAppliesTheMinuteLongBusyTimeout) {
    EXPECT_EQ(db_.busyTimeout(), 60000);
    EXPECT_EQ(CppSQLite3Connection::kDefaultBusyTimeoutMs, 60000);
}

TEST_F(WrapperTest, BusyDatabaseIsWaitedForThenReported) {
    CppSQLite3Connection holder;
    holder.open(path_.c_str());
    holder.execute("begin exclusive transaction;");

    db_.setBusyTimeout(300);
    auto start = std::chrono::steady_clock::now();
    auto busy = Thrown([&] { db_.execute("insert into t values(3,'three')"); });
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(busy.first, 5);
    EXPECT_EQ(busy.second.rfind("SQLITE_BUSY[5]: ", 0), 0u) << busy.second;
    EXPECT_GE(waited.count(), 250);

    holder.execute("commit transaction;");
    EXPECT_EQ(db_.execute("insert into t values(3,'three')"), 1);
}

}  // namespace

namespace {

// A statement that would never end is interrupted once it has used its
// budget; each new statement gets a budget of its own.
TEST_F(WrapperTest, EndlessStatementsAreInterrupted) {
    const char* endless = "with recursive n(x) as (select 1 union all select x + 1 from n) "
                          "select x from n where abs(x) < 0";
    CppSQLite3Connection::SetStatementBudget(2000000);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Thrown([&] { db_.query(endless); }).first, 9);  // SQLITE_INTERRUPT
    EXPECT_EQ(Thrown([&] { db_.execute(endless); }).first, 9);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30.0);

    // Rows read one by one count against their statement's budget.
    CppSQLite3Connection::SetStatementBudget(20000);
    CppSQLite3ResultSet rows = db_.query("with recursive n(x) as (select 1 union all select x + 1 from n) select x from n");
    EXPECT_EQ(Thrown([&] {
                  for (int i = 0; i < 1000000; ++i) rows.next();
              }).first,
              9);
    EXPECT_EQ(db_.execute("insert into t values(3,'three')"), 1);  // the next one runs
    CppSQLite3Connection::SetStatementBudget(0);
    EXPECT_EQ(CppSQLite3Connection::StatementBudget(), CppSQLite3Connection::kDefaultStatementBudget);
}

}  // namespace
