// The sealed format on disk: an older file upgraded at its first unlock (and
// left exactly as it was when that cannot be done), a wrong password told
// apart from a damaged key row, hostile key parameters, and records changed
// in the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "BoxCipher.h"
#include "CsvExport.h"
#include "PwdStore.h"
#include "StoreTestSupport.h"
#include "TextCipher.h"

namespace {

using pnstore::UnlockResult;
using storetest::StoreTest;
using Strings = std::vector<std::string>;

std::string OldCipher(const char* plain) {
    char hex[kCipherFieldSize] = {};
    EXPECT_EQ(cryptField(plain, hex, 0), 1);
    return hex;
}

class SealedFileTest : public StoreTest {
protected:
    // A database as the Pinora before the sealed format wrote it, with its
    // own statements: a master password, three records (one edited twice,
    // one deleted) and so two rows of history.
    void WriteOldFile() {
        for (const char* table : {pnstore::kCreatePwdTable, pnstore::kCreateGroupTable, pnstore::kCreateUserTable,
                                  pnstore::kCreateLogTable})
            Exec(table);
        Exec("alter table pn_pwd add column pwd_comments varchar(1024);");
        Exec("alter table pn_pwd add column pwd_start_day char(12);");
        Exec("alter table pn_pwd add column pwd_end_day char(12);");
        Exec("alter table pn_pwd add column pwd_record_time char(12);");
        Exec("insert into pn_user values(100,'pinora_pb','" + Old("old master") + "');");
        Exec("insert into pn_group values(1,'Mail')");
        Exec("insert into pn_group values(2,'Bank')");
        Insert(1, "anna", "first-pass", "https://mail.example", 1, "note");
        Insert(2, "o'hara", "bank-pass", "https://bank.example", 2, "");
        Insert(3, "carl", "gone-pass", "https://gone.example", 1, "");
        Exec("update pn_pwd  set pwd_state=2 where pwd_id = 3");
        for (const char* next : {"second-pass", "third-pass"}) {
            Exec("insert into pn_pwd_log select * from pn_pwd where pwd_id = 1;");
            Exec("update pn_pwd set pwd_pwd='" + Old(next) + "',pwd_url='https://mail.example',pwd_comments='note',"
                 "pwd_end_day='' where pwd_id=1 ");
        }
    }
    std::string Old(const char* plain) {
        oldTexts_.push_back(OldCipher(plain));
        return oldTexts_.back();
    }
    void Insert(int id, const char* user, const char* password, const char* url, int group, const char* comments) {
        Exec(pnstore::FormatSql("insert into pn_pwd values(%d,'%s','%s','%s',%d,%d,'%s','%s','%s','%s')", id,
                                pnstore::escapeSqlText(user).c_str(), Old(password).c_str(), url, 1, group, comments,
                                "20090305", "99991230", "14:07:09"));
    }
    Strings Listed() {
        Strings rows;
        store_.readLiveRecords([&](const pnstore::ListedRecord& r) {
            rows.push_back(std::to_string(r.id) + "|" + r.user + "|" + r.password + "|" + r.url + "|" +
                           std::to_string(r.group) + (r.damaged ? "|damaged" : ""));
            return true;
        });
        return rows;
    }
    UnlockResult Unlock(const char* password) {
        pnstore::SessionKeys keys;
        const UnlockResult result = pnstore::OpenBox(password, keys);
        if (result == UnlockResult::Opened || result == UnlockResult::OpenedReadOnly) pnstore::StartSession(keys);
        return result;
    }

    std::vector<std::string> oldTexts_;
};

TEST_F(SealedFileTest, OldFileIsUpgradedAtItsFirstUnlockAndKeepsEveryRecord) {
    WriteOldFile();
    const std::string before = RawBytes();
    for (const std::string& old : oldTexts_) ASSERT_NE(before.find(old), std::string::npos);

    EXPECT_EQ(Unlock("Old master"), UnlockResult::WrongPassword);
    EXPECT_EQ(RawBytes(), before);
    ASSERT_EQ(Unlock("old master"), UnlockResult::Opened);

    EXPECT_EQ(Listed(), (Strings{"1|anna|third-pass|https://mail.example|1", "2|o'hara|bank-pass|https://bank.example|2"}));
    EXPECT_EQ(store_.readComments(1), "note");
    EXPECT_EQ(Column("select pwd_state from pn_pwd order by pwd_id"), (Strings{"1", "1", "2"}));
    EXPECT_EQ(Count("select * from pn_pwd_log"), 2);
    EXPECT_EQ(Column("PRAGMA user_version"), Strings{"1"});
    // An older Pinora finds no master password it could match.
    EXPECT_EQ(Column("select user_pwd from pn_user"), Strings{pnstore::kMasterMarker});

    // No old cipher text is left anywhere in the file, free pages included.
    const std::string after = RawBytes();
    for (const std::string& old : oldTexts_) EXPECT_EQ(after.find(old), std::string::npos) << old;
    for (const char* plain : {"first-pass", "second-pass", "third-pass", "bank-pass", "gone-pass", "old master"})
        EXPECT_EQ(after.find(plain), std::string::npos) << plain;

    // The next unlock is of the sealed file, with the same password.
    pnstore::EndSession();
    EXPECT_EQ(Unlock("old master"), UnlockResult::Opened);
    EXPECT_EQ(Listed().size(), 2u);
    ASSERT_EQ(store_.updateRecord(2, "new-bank-pass", "https://bank.example", "", ""), 1);
    EXPECT_EQ(Listed().at(1), "2|o'hara|new-bank-pass|https://bank.example|2");
}

#if !defined(_WIN32)
// The file cannot be written: read-only, and (as root ignores that) opened
// by someone who is not its owner.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : path_(path) {
        chmod(path_.c_str(), 0444);
        if (geteuid() == 0) {
            setfsuid(65534);
            dropped_ = true;
        }
    }
    ~ReadOnlyFile() {
        if (dropped_) setfsuid(0);
        chmod(path_.c_str(), 0644);
    }

private:
    std::string path_;
    bool dropped_ = false;
};

TEST_F(SealedFileTest, FailedUpgradeChangesNothingAndSaysSo) {
    WriteOldFile();
    const std::string before = RawBytes();
    {
        ReadOnlyFile readOnly(path_);
        ASSERT_EQ(Unlock("old master"), UnlockResult::OpenedReadOnly);
        // Its records can be read as they are; nothing can be written.
        EXPECT_EQ(Listed(),
                  (Strings{"1|anna|third-pass|https://mail.example|1", "2|o'hara|bank-pass|https://bank.example|2"}));
        EXPECT_EQ(store_.insertRecord(4, "dora", "p", "https://d.example", 1, 1, "", ""), 0);
        EXPECT_EQ(store_.updateRecord(1, "p", "https://mail.example", "", ""), -1);
    }
    EXPECT_EQ(RawBytes(), before);
    EXPECT_FALSE(storetest::FileExists(path_ + "-journal"));
    // Writable again, the next unlock upgrades it.
    pnstore::EndSession();
    EXPECT_EQ(Unlock("old master"), UnlockResult::Opened);
    EXPECT_EQ(Column("PRAGMA user_version"), Strings{"1"});
}
#endif

TEST_F(SealedFileTest, WrongPasswordDamagedKeyAndHostileParametersAreToldApart) {
    OpenBox("right");
    ASSERT_EQ(store_.insertRecord(1, "anna", "p1", "https://a.example", 1, 1, "", ""), 1);
    pnstore::EndSession();
    EXPECT_EQ(Unlock("wrong"), UnlockResult::WrongPassword);

    const std::string salt = Column("select kdf_salt from pn_key").at(0);
    Exec("update pn_key set kdf_salt='" + std::string(64, 'A') + "'");
    EXPECT_EQ(Unlock("right"), UnlockResult::Damaged);
    Exec("update pn_key set kdf_salt='" + salt + "'");
    Exec("update pn_key set key_check='00'");
    EXPECT_EQ(Unlock("right"), UnlockResult::Damaged);
    Exec("delete from pn_key");
    EXPECT_EQ(Unlock("right"), UnlockResult::Damaged);
    EXPECT_TRUE(pnstore::HasMaster());  // so the wizard does not write a second one
    EXPECT_EQ(store_.createMasterUser("another"), 0);
    EXPECT_FALSE(pnstore::SessionOpen());

    // 4 GiB of memory asked for, with a check that matches it: refused before
    // anything is allocated.
    storetest::RemoveTree(folder_);
    folder_ = storetest::MakeTempFolder();
    path_ = folder_ + "pnpb.dat";
    ASSERT_TRUE(pnstore::setDatabasePath(path_.c_str()));
    OpenBox("right");
    pnstore::EndSession();
    pncrypto::WrappedKey key;
    key.parameters = {4u * 1024 * 1024, storetest::kTestKdf.passes, storetest::kTestKdf.lanes};
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(pncrypto::FromHex(Column("select kdf_salt from pn_key").at(0), bytes));
    std::copy(bytes.begin(), bytes.end(), key.salt);
    ASSERT_TRUE(pncrypto::FromHex(Column("select wrapped_key from pn_key").at(0), key.wrapped));
    pncrypto::ComputeKeyCheck(key, key.check);
    Exec("update pn_key set kdf_memory_kib=4194304, key_check='" + pncrypto::ToUpperHex(key.check, 32) + "'");
    EXPECT_EQ(Unlock("right"), UnlockResult::Refused);
    Exec("PRAGMA user_version = 2");
    EXPECT_EQ(Unlock("right"), UnlockResult::Newer);
    EXPECT_EQ(pnstore::CheckDatabase(), pnstore::FileVerdict::Newer);
}

TEST_F(SealedFileTest, RecordsChangedInTheFileAreDamagedAndNeverUsed) {
    OpenBox();
    ASSERT_EQ(store_.insertRecord(1, "anna", "mail-pass", "https://mail.example", 1, 1, "c1", ""), 1);
    ASSERT_EQ(store_.insertRecord(2, "bert", "bank-pass", "https://bank.example", 1, 1, "c2", ""), 1);
    ASSERT_EQ(store_.insertRecord(3, "carl", "shop-pass", "https://shop.example", 1, 2, "c3", ""), 1);
    // Someone with the file: a new address for one record, the seals of two
    // others swapped.
    Exec("update pn_pwd set pwd_url='https://evil.example' where pwd_id=1");
    Exec("update pn_pwd set pwd_pwd=(select pwd_pwd from pn_pwd where pwd_id=3) where pwd_id=2");
    Exec("update pn_pwd set pwd_grp_id=1 where pwd_id=3");
    EXPECT_EQ(Listed(), (Strings{"1|anna||https://evil.example|1|damaged", "2|bert||https://bank.example|1|damaged",
                                 "3|carl||https://shop.example|1|damaged"}));
    EXPECT_EQ(store_.readComments(1), "");
    tagRECORD details{};
    EXPECT_EQ(store_.readRecordDetails(1, details), 0);
    EXPECT_STREQ(details.szUrl, "");
    // An edit does not seal what someone else wrote.
    EXPECT_EQ(store_.updateRecord(1, "new", "https://evil.example", "", ""), -1);
    std::string csv;
    ASSERT_TRUE(pnstore::BuildRecordsCsv(csv));
    EXPECT_EQ(csv, "");
}

TEST(CsvCellsTest, FormulaStartsAreWrittenAsText) {
    EXPECT_EQ(pnstore::AsSpreadsheetText("=1+1"), "'=1+1");
    EXPECT_EQ(pnstore::AsSpreadsheetText("+49 30"), "'+49 30");
    EXPECT_EQ(pnstore::AsSpreadsheetText("-x"), "'-x");
    EXPECT_EQ(pnstore::AsSpreadsheetText("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(pnstore::AsSpreadsheetText("\t=1"), "'\t=1");
    EXPECT_EQ(pnstore::AsSpreadsheetText("a=b"), "a=b");
    EXPECT_EQ(pnstore::AsSpreadsheetText(""), "");
}

}  // namespace
