// The password store against real database files: migration, numbering, the
// edit history, escaping, refusals and the master password.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PwdStore.h"
#include "StoreTestSupport.h"
#include "TextCipher.h"

namespace {

using pnstore::CPwdDBFile;
using storetest::StoreTest;
using Strings = std::vector<std::string>;

class PwdStoreTest : public StoreTest {
protected:
    int Add(int id, const char* user, const char* password, const char* url, int group = 1,
            const char* comments = "", const char* endDay = "") {
        return store_.insertRecord(id, user, password, url, 1, group, comments, endDay);
    }
    void CreateAll() { OpenBox(); }
};

TEST_F(PwdStoreTest, SixColumnFileGainsTheFourHistoryColumnsOnce) {
    Exec("create table pn_pwd(pwd_id int,pwd_user varchar(128),pwd_pwd varchar(128),pwd_url varchar(1024),"
         "pwd_state int,pwd_grp_id int)");
    Exec("insert into pn_pwd values(1,'old','" + std::string("00") + "','http://old',1,1)");
    EXPECT_EQ(pnstore::migrateSchema(), 1);
    EXPECT_EQ(Column("PRAGMA table_info(pn_pwd)", 1),
              (Strings{"pwd_id", "pwd_user", "pwd_pwd", "pwd_url", "pwd_state", "pwd_grp_id", "pwd_comments",
                       "pwd_start_day", "pwd_end_day", "pwd_record_time"}));
    EXPECT_EQ(pnstore::migrateSchema(), 1);
    EXPECT_EQ(Count("PRAGMA table_info(pn_pwd)"), 10);

    // The old row is still there, and the edit dialog can read what it has.
    OpenBox();
    tagRECORD details{};
    EXPECT_EQ(store_.readRecordDetails(1, details), 1);
    EXPECT_STREQ(details.szUser, "old");
    EXPECT_STREQ(details.szUrl, "http://old");
    EXPECT_STREQ(details.szComments, "");
}

TEST_F(PwdStoreTest, OtherColumnCountsAreLeftAlone) {
    Exec("create table pn_pwd(a int,b int,c int,d int,e int,f int,g int)");
    EXPECT_EQ(pnstore::migrateSchema(), 0);  // not a table of ours
    EXPECT_EQ(Count("PRAGMA table_info(pn_pwd)"), 7);

    // A file that is no database: the migration reports it, nothing else happens.
    storetest::RemoveTree(path_);
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("this is not a database, just some text that is long enough to have a header", f);
    std::fclose(f);
    EXPECT_EQ(pnstore::migrateSchema(), 0);
    EXPECT_EQ(store_.nextRecordId(), 0);  // no number to give
    EXPECT_EQ(Add(1, "u", "p", "url"), 0);
}

TEST_F(PwdStoreTest, LauncherCreatesThreeTablesAndTheControlAllFour) {
    pnstore::createSchema(false);
    EXPECT_EQ(Column("select name from sqlite_master where type='table' order by name"),
              (Strings{"pn_group", "pn_pwd", "pn_user"}));
    pnstore::createSchema(true);
    EXPECT_EQ(Column("select name from sqlite_master where type='table' order by name"),
              (Strings{"pn_group", "pn_pwd", "pn_pwd_log", "pn_user"}));
    EXPECT_EQ(Count("PRAGMA table_info(pn_pwd)"), 10);
    EXPECT_EQ(Count("PRAGMA table_info(pn_pwd_log)"), 10);
}

TEST_F(PwdStoreTest, RecordsAreNumberedPastDeletedOnes) {
    CreateAll();
    EXPECT_EQ(store_.nextRecordId(), 1);
    ASSERT_EQ(Add(store_.nextRecordId(), "anna", "secret", "http://a"), 1);
    ASSERT_EQ(Add(store_.nextRecordId(), "bert", "secret", "http://b"), 1);
    EXPECT_EQ(store_.nextRecordId(), 3);
    ASSERT_EQ(store_.deleteRecords({2}), 1);
    EXPECT_EQ(store_.nextRecordId(), 3);  // the deleted row stays, with state 2
    EXPECT_EQ(Column("select pwd_state from pn_pwd order by pwd_id"), (Strings{"1", "2"}));

    std::vector<int> listed;
    store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
        listed.push_back(r.id);
        EXPECT_EQ(r.password, "secret");
        return true;
    });
    EXPECT_EQ(listed, std::vector<int>{1});
}

TEST_F(PwdStoreTest, InsertStoresEveryColumnWithThePasswordSealed) {
    CreateAll();
    ASSERT_EQ(store_.insertRecord(7, "anna", "pa55word", "http://x.org", 1, 3, "note", nullptr), 1);
    char encrypted[kCipherFieldSize] = {};
    ASSERT_EQ(cryptField("pa55word", encrypted, 0), 1);
    EXPECT_EQ(Column("select * from pn_pwd", 0), Strings{"7"});
    const std::string sealed = Column("select * from pn_pwd", 2).at(0);
    EXPECT_NE(sealed, encrypted);  // nothing the key in the binary opens
    EXPECT_EQ(sealed.size(), 2u * (16 + 16 + 32));  // IV, one block, MAC
    EXPECT_EQ(sealed.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(RawBytes().find("pa55word"), std::string::npos);
    EXPECT_EQ(Column("select pwd_grp_id || '|' || pwd_comments || '|' || pwd_start_day || '|' || pwd_end_day || "
                     "'|' || pwd_record_time from pn_pwd"),
              Strings{"3|note|20090305|99991230|14:07:09"});
}

TEST_F(PwdStoreTest, EndDayEmptyStaysEmptyAndMissingMeansForever) {
    CreateAll();
    ASSERT_EQ(Add(1, "u", "p", "a", 1, "", ""), 1);
    ASSERT_EQ(store_.insertRecord(2, "u", "p", "b", 1, 1, nullptr, nullptr), 1);
    ASSERT_EQ(Add(3, "u", "p", "c", 1, "", "20301231-and-a-lot-more-text-than-fits-here"), 1);
    EXPECT_EQ(Column("select pwd_end_day from pn_pwd order by pwd_id"),
              (Strings{"", "99991230", "20301231-and-a-lot-more-text-th"}));
}

TEST_F(PwdStoreTest, EmptyFieldsAndUnstorablePasswordsAreRefused) {
    CreateAll();
    EXPECT_EQ(Add(1, "", "p", "url"), 0);
    EXPECT_EQ(Add(1, "u", "", "url"), 0);
    EXPECT_EQ(Add(1, "u", "p", ""), 0);
    EXPECT_EQ(store_.insertRecord(1, nullptr, "p", "url", 1, 1, "", ""), 0);
    const std::string longest(127, 'x'), tooLong(128, 'x');
    EXPECT_EQ(Add(1, "u", tooLong.c_str(), "url"), 0);
    EXPECT_EQ(Count("select * from pn_pwd"), 0);

    ASSERT_EQ(Add(1, "u", longest.c_str(), "url"), 1);
    EXPECT_EQ(store_.updateRecord(1, tooLong.c_str(), "url", "", ""), -1);
    EXPECT_EQ(store_.updateRecord(1, "", "url", "", ""), -1);
    EXPECT_EQ(store_.updateRecord(1, "p", "", "", ""), -1);
    EXPECT_EQ(store_.updateRecord(0, "p", "url", "", ""), -1);
    EXPECT_EQ(store_.updateRecord(1, "p", "url", nullptr, ""), -1);
    EXPECT_EQ(store_.updateRecord(99, "p", "url", "", ""), -1);  // no such record
    std::string kept;
    store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
        kept = r.password;
        return true;
    });
    EXPECT_EQ(kept, longest);
}

TEST_F(PwdStoreTest, EachEditKeepsTheRowAsItWasAndIsAnnounced) {
    CreateAll();
    static std::vector<std::string> announced;
    announced.clear();
    pnstore::SetUpdateNoticeSink([](const tagRECORD& r) {
        announced.push_back(std::to_string(r.nId) + "|" + r.szPwd + "|" + r.szUrl + "|" + r.szComments + "|" +
                            r.szEndDay);
    });
    ASSERT_EQ(Add(1, "anna", "first", "http://one", 2, "c1"), 1);
    // Empty comments are a valid edit.
    ASSERT_EQ(store_.updateRecord(1, "second", "http://two", "", "20300101"), 1);
    ASSERT_EQ(store_.updateRecord(1, "third", "http://three", "c3", ""), 1);

    EXPECT_EQ(Column("select pwd_url from pn_pwd_log"), (Strings{"http://one", "http://two"}));
    EXPECT_EQ(Column("select pwd_comments from pn_pwd_log"), (Strings{"c1", ""}));
    EXPECT_EQ(Column("select pwd_user || pwd_grp_id || pwd_url || pwd_comments || pwd_end_day from pn_pwd"),
              Strings{"anna2http://threec3"});
    EXPECT_EQ(announced, (Strings{"1|second|http://two||20300101", "1|third|http://three|c3|"}));
}

TEST_F(PwdStoreTest, QuotesInTextsAreStoredAndSearchedAsTyped) {
    CreateAll();
    ASSERT_EQ(Add(1, "o'brien", "p", "http://it's.example/a_b", 1, "don't"), 1);
    ASSERT_EQ(Add(2, "x", "p", "http://example/aXb"), 1);
    ASSERT_EQ(Add(3, "y", "p", "https://почта.example/Вход"), 1);
    EXPECT_EQ(Column("select pwd_user from pn_pwd where pwd_id=1"), Strings{"o'brien"});
    EXPECT_EQ(Column("select pwd_comments from pn_pwd where pwd_id=1"), Strings{"don't"});

    EXPECT_EQ(store_.addGroup(5, "Bob's sites"), 1);
    std::string name;
    EXPECT_EQ(store_.readGroupName(5, name), 1);
    EXPECT_EQ(name, "Bob's sites");
    EXPECT_EQ(store_.renameGroup(5, "Bob''s 'new'"), 1);
    EXPECT_EQ(store_.readGroupName(5, name), 1);
    EXPECT_EQ(name, "Bob''s 'new'");

    EXPECT_EQ(store_.searchByUrl("it's"), std::vector<int>{1});
    EXPECT_EQ(store_.searchByUrl("IT'S"), std::vector<int>{1});  // letters in either case, in every script
    EXPECT_EQ(store_.searchByUrl("ПОЧТА.example/вход"), std::vector<int>{3});
    EXPECT_EQ(store_.searchByUrl("a_b"), std::vector<int>{1});  // _ is a character, not a wildcard
    EXPECT_EQ(store_.searchByUrl("example/a"), (std::vector<int>{1, 2}));
    EXPECT_EQ(store_.searchByUrl("%"), std::vector<int>{});
    EXPECT_EQ(store_.searchByUrl("'; drop table pn_pwd; --"), std::vector<int>{});
    EXPECT_EQ(Count("select * from pn_pwd"), 3);
}

TEST(EscapeSqlTextTest, DoublesQuotesOnly) {
    EXPECT_EQ(pnstore::escapeSqlText("a'b''c"), "a''b''''c");
    EXPECT_EQ(pnstore::escapeSqlText(""), "");
    EXPECT_EQ(pnstore::escapeSqlText(nullptr), "");
    EXPECT_EQ(pnstore::escapeLikeText("50%_o'k\\"), "50\\%\\_o''k\\\\");
}

TEST_F(PwdStoreTest, DeletingMarksAllOrNone) {
    CreateAll();
    for (int id = 1; id <= 3; ++id) ASSERT_EQ(Add(id, "u", "p", "url"), 1);
    // A trigger that fails the update of record 3 stands in for a disk error
    // in the middle of the transaction.
    Exec("create trigger refuse before update on pn_pwd when new.pwd_id = 3 begin select raise(abort, 'no'); end");
    EXPECT_EQ(store_.deleteRecords({1, 2, 3}), 0);
    EXPECT_EQ(Column("select pwd_state from pn_pwd order by pwd_id"), (Strings{"1", "1", "1"}));
    EXPECT_EQ(store_.deleteRecords({1, 2}), 1);
    EXPECT_EQ(Column("select pwd_state from pn_pwd order by pwd_id"), (Strings{"2", "2", "1"}));
}

TEST_F(PwdStoreTest, CommentsAndDetailsRead) {
    CreateAll();
    ASSERT_EQ(Add(1, "anna", "p", "http://a", 1, "remember me", "20301231"), 1);
    EXPECT_EQ(store_.readComments(1), "remember me");
    EXPECT_EQ(store_.readComments(42), std::string(1, '\x01'));
    tagRECORD r{};
    EXPECT_EQ(store_.readRecordDetails(1, r), 1);
    EXPECT_STREQ(r.szUser, "anna");
    EXPECT_STREQ(r.szUrl, "http://a");
    EXPECT_STREQ(r.szComments, "remember me");
    EXPECT_STREQ(r.szEndDay, "20301231");
    EXPECT_EQ(store_.readRecordDetails(0, r), 0);
    tagRECORD untouched{};
    EXPECT_EQ(store_.readRecordDetails(9, untouched), 1);
    EXPECT_STREQ(untouched.szUser, "");
}

TEST_F(PwdStoreTest, GroupsAreAddedListedRenamedAndDeleted) {
    CreateAll();
    EXPECT_EQ(store_.maxGroupId(), 0);
    EXPECT_EQ(store_.addGroup(1, ""), 0);
    ASSERT_EQ(store_.addGroup(store_.maxGroupId() + 1, "Mail"), 1);
    ASSERT_EQ(store_.addGroup(store_.maxGroupId() + 1, "Banks"), 1);
    EXPECT_EQ(store_.maxGroupId(), 2);
    auto groups = store_.listGroups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[1].id, 2);
    EXPECT_EQ(groups[1].name, "Banks");
    std::string name;
    EXPECT_EQ(store_.readGroupName(0, name), 0);
    EXPECT_EQ(store_.readGroupName(7, name), 0);
    EXPECT_EQ(store_.renameGroup(2, ""), 0);
    EXPECT_EQ(store_.renameGroup(7, "Nobody"), 0);
    EXPECT_EQ(store_.deleteGroup(1), 1);
    EXPECT_EQ(store_.deleteGroup(1), 0);
    EXPECT_EQ(Column("select grp_name from pn_group"), Strings{"Banks"});
}

TEST_F(PwdStoreTest, MasterPasswordIsSetOnceAndOpensTheBox) {
    pnstore::createSchema(false);
    EXPECT_EQ(store_.probeUserTable(), 1);  // readable, even without a master row
    EXPECT_FALSE(pnstore::HasMaster());
    EXPECT_EQ(store_.checkMasterPassword("alpha"), 0);
    EXPECT_EQ(store_.createMasterUser(""), 0);
    EXPECT_EQ(store_.createMasterUser(std::string(128, 'm').c_str()), 0);
    ASSERT_EQ(store_.createMasterUser("alpha"), 1);
    EXPECT_TRUE(pnstore::HasMaster());
    // Never a second master password, however it is asked for.
    EXPECT_EQ(store_.createMasterUser("beta"), 0);
    EXPECT_EQ(pnstore::CreateMaster("beta"), pnstore::CreateResult::AlreadyHasMaster);
    EXPECT_EQ(Column("select user_id || ' ' || user_name || ' ' || user_pwd from pn_user"),
              (Strings{std::string("100 pinora_pb ") + pnstore::kMasterMarker}));
    EXPECT_EQ(Count("select * from pn_key"), 1);
    EXPECT_EQ(Column("PRAGMA user_version"), Strings{"1"});
    EXPECT_FALSE(pnstore::SessionOpen());
    EXPECT_EQ(store_.checkMasterPassword("beta"), 0);
    EXPECT_EQ(store_.checkMasterPassword("Alpha"), 0);
    EXPECT_EQ(store_.checkMasterPassword(""), 0);
    EXPECT_FALSE(pnstore::SessionOpen());
    EXPECT_EQ(store_.checkMasterPassword("alpha"), 1);
    EXPECT_TRUE(pnstore::SessionOpen());
    ASSERT_EQ(store_.insertRecord(1, "u", "kept", "http://a", 1, 1, "", ""), 1);

    // A new password re-wraps the data key only: the records stay as they are.
    const Strings sealed = Column("select pwd_pwd from pn_pwd");
    EXPECT_EQ(store_.changeMasterPassword("wrong", "gamma"), 2);
    EXPECT_EQ(store_.changeMasterPassword("", "gamma"), 0);
    EXPECT_EQ(store_.changeMasterPassword("alpha", std::string(128, 'g').c_str()), 0);
    const Strings keyRow = Column("select kdf_salt || wrapped_key from pn_key");
    EXPECT_EQ(store_.changeMasterPassword("alpha", "gamma"), 1);
    EXPECT_NE(Column("select kdf_salt || wrapped_key from pn_key"), keyRow);
    EXPECT_EQ(Column("select pwd_pwd from pn_pwd"), sealed);
    pnstore::EndSession();
    EXPECT_EQ(store_.checkMasterPassword("alpha"), 0);
    EXPECT_EQ(store_.checkMasterPassword("gamma"), 1);
    std::string password;
    store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
        password = r.password;
        return true;
    });
    EXPECT_EQ(password, "kept");

    // Locked, nothing of the records is read or written.
    pnstore::EndSession();
    EXPECT_FALSE(store_.readLiveRecords([](const pnstore::ListedRecord&) { return true; }));
    EXPECT_EQ(store_.insertRecord(2, "u", "p", "http://b", 1, 1, "", ""), 0);
    EXPECT_EQ(store_.readComments(1), "");

    storetest::RemoveTree(folder_);  // the folder is gone: nothing can be read
    EXPECT_EQ(store_.probeUserTable(), 0);
    EXPECT_EQ(store_.checkMasterPassword("gamma"), 0);
}

TEST_F(PwdStoreTest, DatabasePathFollowsTheCallerAndFallsBackBesideTheModule) {
    EXPECT_EQ(pnstore::databasePath(), path_);
    EXPECT_FALSE(pnstore::setDatabasePath(""));
    EXPECT_FALSE(pnstore::setDatabasePath(std::string(pnstore::kMaxPathBytes + 1, 'a').c_str()));
    EXPECT_EQ(pnstore::databasePath(), path_);
    pnstore::clearDatabasePath();
    pnstore::SetModuleFolderOverride(folder_);
    EXPECT_EQ(pnstore::databasePath(), folder_ + "pnpb.dat");
    pnstore::SetModuleFolderOverride("");
}

TEST_F(PwdStoreTest, DbFileRunsOneStatement) {
    CPwdDBFile file(path_);
    EXPECT_EQ(file.execute(nullptr), -1);
    EXPECT_EQ(file.execute("create table x(a int)"), 0);
    EXPECT_EQ(file.execute("insert into x values(1)"), 1);
    EXPECT_EQ(file.execute("insert into nowhere values(1)"), 0);
}

}  // namespace
