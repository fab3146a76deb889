// A password database of an earlier version, its text in code page 1251 or
// 1252, converted to UTF-8 once: names, addresses, comments, group names and
// the passwords inside the old cipher; the new format and UTF-8 values left.
#include "StoreText.h"

#include <gtest/gtest.h>

#include "LegacyCodePages.h"
#include "StoreTestSupport.h"
#include "TextCipher.h"

namespace storetest {
namespace {

std::string Cipher(const char* plain) {
    char out[kCipherFieldSize] = {};
    EXPECT_EQ(cryptField(plain, out, 0), 1);
    return out;
}

std::string Plain(const std::string& cipher) {
    char out[kCipherFieldSize] = {};
    return cryptField(cipher.c_str(), out, 1) == 1 ? out : "<not cipher text>";
}

class StoreTextTest : public StoreTest {
protected:
    // The tables as the earlier version made them, rows as its statements wrote them.
    void OldDatabase() {
        for (const char* sql : {pnstore::kCreatePwdTable, pnstore::kCreateGroupTable, pnstore::kCreateUserTable,
                                pnstore::kCreateLogTable})
            Exec(sql);
        pnstore::migrateSchema();
        Exec("insert into pn_group values(1,'\xCF\xEE\xF7\xF2\xE0')");  // Почта
        Exec("insert into pn_pwd values(1,'\xC8\xE2\xE0\xED','" + Cipher("\xEF\xE0\xF0\xEE\xEB\xFC") +  // Иван, пароль
             "','mail.example/\xE2\xF5\xEE\xE4',1,1,'\xE4\xEB\xFF \xEF\xEE\xF7\xF2\xFB','20090305','','14:07:09')");
        Exec("insert into pn_pwd_log select * from pn_pwd");
        Exec("insert into pn_user values(100,'pinora_pb','" + Cipher("\xEA\xEB\xFE\xF7") + "')");  // ключ
    }

    pnstore::StoreTextResult Convert(int* backups) {
        return pnstore::ConvertStoreText(path_, legacy_test::Decode1251, [backups] {
            ++*backups;
            return true;
        });
    }
};

TEST_F(StoreTextTest, CyrillicDatabaseIsConvertedOnceInOneGo) {
    OldDatabase();
    int backups = 0;
    const pnstore::StoreTextResult result = Convert(&backups);
    EXPECT_EQ(result.outcome, pnstore::StoreTextOutcome::Converted);
    EXPECT_EQ(result.passwordsLeft, 0);
    EXPECT_EQ(backups, 1);  // kept before the first change
    EXPECT_EQ(Column("select grp_name from pn_group"), std::vector<std::string>{"Почта"});
    for (const char* table : {"pn_pwd", "pn_pwd_log"}) {
        const std::string select = std::string("select pwd_user,pwd_url,pwd_comments,pwd_pwd from ") + table;
        EXPECT_EQ(Column(select, 0), std::vector<std::string>{"Иван"}) << table;
        EXPECT_EQ(Column(select, 1), std::vector<std::string>{"mail.example/вход"}) << table;
        EXPECT_EQ(Column(select, 2), std::vector<std::string>{"для почты"}) << table;
        EXPECT_EQ(Plain(Column(select, 3).at(0)), "пароль") << table;
    }
    EXPECT_EQ(Plain(Column("select user_pwd from pn_user").at(0)), "ключ");
    EXPECT_EQ(Column("select pwd_start_day from pn_pwd"), std::vector<std::string>{"20090305"});

    // Nothing is left to convert: no second backup, no change.
    const std::vector<std::string> names = Column("select pwd_user from pn_pwd");
    EXPECT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Unchanged);
    EXPECT_EQ(backups, 1);
    EXPECT_EQ(Column("select pwd_user from pn_pwd"), names);
}

TEST_F(StoreTextTest, NewFormatAndUtf8ValuesAreLeftAlone) {
    OldDatabase();
    Exec("update pn_group set grp_name='Почта'");  // written by the new version meanwhile
    Exec("PRAGMA user_version=1");
    int backups = 0;
    EXPECT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Unchanged);
    EXPECT_EQ(backups, 0);
    EXPECT_EQ(Column("select pwd_user from pn_pwd"), std::vector<std::string>{"\xC8\xE2\xE0\xED"});

    Exec("PRAGMA user_version=0");
    ASSERT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Converted);
    EXPECT_EQ(Column("select grp_name from pn_group"), std::vector<std::string>{"Почта"});
}

TEST_F(StoreTextTest, FailedBackupChangesNothingAndOtherFilesAreNoDatabase) {
    OldDatabase();
    const auto noBackup = [] { return false; };
    EXPECT_EQ(pnstore::ConvertStoreText(path_, legacy_test::Decode1251, noBackup).outcome,
              pnstore::StoreTextOutcome::Failed);
    EXPECT_EQ(Column("select pwd_user from pn_pwd"), std::vector<std::string>{"\xC8\xE2\xE0\xED"});
    // A password whose UTF-8 form the old cipher cannot hold stays, counted.
    Exec("update pn_pwd set pwd_pwd='" + Cipher(std::string(48, '\xFF').c_str()) + "'");
    int backups = 0;
    const pnstore::StoreTextResult result = Convert(&backups);
    EXPECT_EQ(result.outcome, pnstore::StoreTextOutcome::Converted);
    EXPECT_EQ(result.passwordsLeft, 1);
    EXPECT_EQ(Plain(Column("select pwd_pwd from pn_pwd").at(0)), std::string(48, '\xFF'));
}

// Against the store itself: what the sealed store writes is never touched (a
// name of another program's bytes included), and an older file, converted,
// opens with the master password typed in UTF-8 and upgrades with its text.
TEST_F(StoreTextTest, SealedFilesStayAsWrittenOlderOnesUpgradeWithTheirText) {
    OpenBox("ключ");
    ASSERT_EQ(store_.addGroup(1, "Почта"), 1);
    ASSERT_EQ(store_.insertRecord(1, "\xC8\xE2\xE0\xED", "пароль", "mail.example/вход", 1, 1, "для почты", ""), 1);
    pnstore::EndSession();
    const std::string sealed = RawBytes();
    int backups = 0;
    EXPECT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Unchanged);
    EXPECT_EQ(backups, 0);
    EXPECT_EQ(RawBytes(), sealed);

    storetest::RemoveTree(folder_);
    folder_ = storetest::MakeTempFolder();
    path_ = folder_ + "pnpb.dat";
    ASSERT_TRUE(pnstore::setDatabasePath(path_.c_str()));
    OldDatabase();
    ASSERT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Converted);
    ASSERT_EQ(store_.checkMasterPassword("ключ"), 1);
    EXPECT_EQ(Column("PRAGMA user_version"), std::vector<std::string>{"1"});
    std::vector<std::string> listed;
    store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
        listed.push_back(r.user + "|" + r.password + "|" + r.url + (r.damaged ? "|damaged" : ""));
        return true;
    });
    EXPECT_EQ(listed, std::vector<std::string>{"Иван|пароль|mail.example/вход"});
    EXPECT_EQ(store_.readComments(1), "для почты");
    std::string group;
    store_.readGroupName(1, group);
    EXPECT_EQ(group, "Почта");
    pnstore::EndSession();
    const std::string upgraded = RawBytes();
    EXPECT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Unchanged);
    EXPECT_EQ(RawBytes(), upgraded);
}

// Tables the box would refuse (a view where its table belongs) are somebody
// else's: left byte for byte, and no failure that would stop the start-up.
TEST_F(StoreTextTest, FileTheBoxRefusesIsLeftAlone) {
    Exec("create table theirs(pwd_id int, pwd_user text, pwd_pwd text, pwd_url text, pwd_state int, pwd_grp_id int)");
    Exec("insert into theirs values(1,'\xC8\xE2\xE0\xED','','mail.example',1,1)");
    Exec("create view pn_pwd as select * from theirs");
    const std::string before = RawBytes();
    int backups = 0;
    EXPECT_EQ(Convert(&backups).outcome, pnstore::StoreTextOutcome::Unchanged);
    EXPECT_EQ(backups, 0);
    EXPECT_EQ(RawBytes(), before);
}

}  // namespace
}  // namespace storetest
