// Files the box did not write itself, chosen through "Open database file":
// views where tables belong, record and group numbers past what 32 bits hold,
// a migration that stopped half-way, and a path longer than the old buffers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "PwdStore.h"
#include "StoreTestSupport.h"

namespace {

using storetest::StoreTest;
using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr const char* kEndless =
    "with recursive n(x) as (select 1 union all select x + 1 from n) select 100 as user_id, 'pinora_pb' as "
    "user_name, 'AB' as user_pwd from n where abs(x) < 0";

class ForeignFileTest : public StoreTest {
protected:
    double SecondsSince(Clock::time_point start) {
        return std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::vector<int> ListedIds() {
        std::vector<int> ids;
        store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
            ids.push_back(r.id);
            return true;
        });
        return ids;
    }
};

TEST_F(ForeignFileTest, ViewsOverEndlessQueriesAreRefusedAtOnce) {
    OpenBox();
    Exec("drop table pn_user");
    Exec(std::string("create view pn_user as ") + kEndless);
    const auto start = Clock::now();
    EXPECT_EQ(store_.probeUserTable(), 0);
    EXPECT_FALSE(pnstore::HasMaster());
    EXPECT_NE(pnstore::CheckDatabase(), pnstore::FileVerdict::Usable);
    EXPECT_LT(SecondsSince(start), 5.0);

    Exec("drop view pn_user");
    Exec("create table pn_user(user_id int,user_name varchar(128),user_pwd varchar(128))");
    Exec("drop table pn_pwd");
    Exec("create view pn_pwd as with recursive n(x) as (select 1 union all select x + 1 from n) select x as "
         "pwd_id, 'u' as pwd_user, '' as pwd_pwd, 'url' as pwd_url, 1 as pwd_state, 1 as pwd_grp_id from n "
         "where abs(x) < 0");
    const auto again = Clock::now();
    EXPECT_FALSE(store_.readLiveRecords([](const pnstore::ListedRecord&) { return true; }));
    EXPECT_EQ(store_.nextRecordId(), 0);
    EXPECT_EQ(pnstore::migrateSchema(), 0);
    EXPECT_LT(SecondsSince(again), 5.0);
}

TEST_F(ForeignFileTest, TablesOfAnotherLayoutAreRefusedAndLeftAlone) {
    Exec("create table pn_group(id int, name text, colour int)");
    EXPECT_EQ(pnstore::CheckDatabase(), pnstore::FileVerdict::Foreign);
    pnstore::createSchema(true);
    EXPECT_EQ(Count("select name from sqlite_master"), 1);
    EXPECT_EQ(store_.addGroup(1, "Mail"), 0);
    EXPECT_EQ(Count("select * from pn_group"), 0);
}

TEST_F(ForeignFileTest, RecordNumbersPastThirtyTwoBitsAreNeverReusedOrWrapped) {
    OpenBox();
    Exec("insert into pn_pwd(pwd_id,pwd_user,pwd_pwd,pwd_url,pwd_state,pwd_grp_id) values(1,'a','','u',1,1)");
    Exec("insert into pn_pwd(pwd_id,pwd_user,pwd_pwd,pwd_url,pwd_state,pwd_grp_id) values(4294967296,'b','','u',1,1)");
    Exec("insert into pn_group values(4294967297,'far')");
    // 4294967296 is no record 0, and the next number is not 1 again: there is none.
    EXPECT_EQ(ListedIds(), std::vector<int>{1});
    EXPECT_EQ(store_.nextRecordId(), 0);
    EXPECT_EQ(store_.maxGroupId(), INT64_C(4294967297));
    for (const pnstore::GroupRow& g : store_.listGroups()) EXPECT_NE(g.id, 1);

    Exec("delete from pn_pwd where pwd_id = 4294967296");
    Exec("insert into pn_pwd(pwd_id,pwd_user,pwd_pwd,pwd_url,pwd_state,pwd_grp_id) values(2147483647,'c','','u',2,1)");
    EXPECT_EQ(store_.nextRecordId(), 0);  // the largest number a record can have is taken
    Exec("delete from pn_pwd where pwd_id = 2147483647");
    EXPECT_EQ(store_.nextRecordId(), 2);
}

TEST_F(ForeignFileTest, MigrationStoppedHalfWayIsFinished) {
    Exec("create table pn_pwd(pwd_id int,pwd_user varchar(128),pwd_pwd varchar(128),pwd_url varchar(1024),"
         "pwd_state int,pwd_grp_id int,pwd_comments varchar(1024),pwd_start_day char(12))");
    Exec("insert into pn_pwd values(1,'old','','http://old',1,1,'kept','20090101')");
    EXPECT_EQ(pnstore::migrateSchema(), 1);
    EXPECT_EQ(Column("PRAGMA table_info(pn_pwd)", 1),
              (Strings{"pwd_id", "pwd_user", "pwd_pwd", "pwd_url", "pwd_state", "pwd_grp_id", "pwd_comments",
                       "pwd_start_day", "pwd_end_day", "pwd_record_time"}));
    EXPECT_EQ(Column("select pwd_comments || pwd_start_day from pn_pwd"), Strings{"kept20090101"});
    // The history table takes copies of these rows with "select *".
    pnstore::createSchema(true);
    EXPECT_EQ(Count("PRAGMA table_info(pn_pwd_log)"), 10);
}

TEST_F(ForeignFileTest, LongPathsAreUsedWholeEverywhere) {
    // The folder is chosen so the old 260-byte copy of the path (in UTF-8)
    // ended in "pnpb.". An e acute is two bytes in UTF-8, which is the ANSI
    // code page too on Windows (the programs' manifest says so).
#if defined(_WIN32)
    const std::string slash = "\\";
#else
    const std::string slash = "/";
#endif
    std::string folder = folder_;
    for (int i = 0; i < 60; ++i) folder += "\xC3\xA9";
    folder += slash;
    ASSERT_LT(folder.size(), 250u);
    folder += std::string(255 - folder.size() - 1, 'y') + slash;
    std::filesystem::create_directories(std::filesystem::u8path(folder));
    ASSERT_EQ(folder.size(), 255u);
    const std::string db = folder + "pnpb.dat";
    ASSERT_TRUE(pnstore::setDatabasePath(db.c_str()));
    pnstore::createSchema(true);
    EXPECT_EQ(store_.addGroup(1, "Mail"), 1);
    EXPECT_EQ(store_.listGroups().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(db)));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(folder + "pnpb.")));
}

}  // namespace
