// Writes the seeds of the password-store target into a folder: a sealed
// database with records, groups and history; one in the older format (its
// first unlock upgrades it); and one with its tables and no master password.
// Small pages keep them short.
//   pwdstore_seeds <folder>
#include <cstdio>
#include <string>

#include "CppSQLite3.h"
#include "PwdStore.h"
#include "PwdStoreFuzz.h"
#include "TextCipher.h"

namespace {

void SmallPages(const std::string& path) {
    std::remove(path.c_str());
    CppSQLite3Connection db;
    db.open(path.c_str());
    db.execute("PRAGMA page_size = 512; VACUUM;");
}

void AddRecords(pnstore::CPwdStore& store) {
    store.addGroup(1, "Mail");
    store.addGroup(2, "Banks");
    store.insertRecord(1, "anna", "mail-pass", "https://mail.example", 1, 1, "a comment", "");
    store.insertRecord(2, "o'hara", "bank-pass", "https://bank.example/login", 1, 2, "", "20301231");
    store.insertRecord(3, "gone", "old-pass", "https://gone.example", 1, 1, "", nullptr);
    store.updateRecord(1, "new-mail-pass", "https://mail.example", "edited", "");
    store.deleteRecords({3});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = std::string(argv[1]) + "/";
    fuzz::UseSmallLimits();
    pnstore::CPwdStore& store = pnstore::PwdStore();

    const std::string sealed = folder + "sealed.dat";
    SmallPages(sealed);
    pnstore::setDatabasePath(sealed.c_str());
    pnstore::createSchema(true);
    if (store.createMasterUser(fuzz::kSeedMaster) != 1 || store.checkMasterPassword(fuzz::kSeedMaster) != 1) return 1;
    AddRecords(store);
    pnstore::EndSession();

    const std::string old = folder + "older_format.dat";
    SmallPages(old);
    {
        CppSQLite3Connection db;
        db.open(old.c_str());
        for (const char* table : {pnstore::kCreatePwdTable, pnstore::kCreateGroupTable, pnstore::kCreateUserTable,
                                  pnstore::kCreateLogTable})
            db.execute(table);
        char master[kCipherFieldSize] = {}, password[kCipherFieldSize] = {};
        cryptField(fuzz::kSeedMaster, master, 0);
        cryptField("old-pass", password, 0);
        db.execute(pnstore::FormatSql("insert into pn_user values(100,'pinora_pb','%s');", master).c_str());
        db.execute("insert into pn_group values(1,'Mail')");
        db.execute(pnstore::FormatSql("insert into pn_pwd values(1,'anna','%s','https://mail.example',1,1)", password)
                       .c_str());
    }

    const std::string empty = folder + "no_master.dat";
    SmallPages(empty);
    pnstore::setDatabasePath(empty.c_str());
    pnstore::createSchema(true);
    return 0;
}
