#include "FillDatabase.h"

#include "CppSQLite3.h"
#include "PwdStore.h"
#include "TextCipher.h"

namespace storetest {

void FillDatabase(const std::string& path, int groups, int records) {
    CppSQLite3Connection db;
    db.open(path.c_str());
    for (const char* table :
         {pnstore::kCreatePwdTable, pnstore::kCreateGroupTable, pnstore::kCreateUserTable, pnstore::kCreateLogTable})
        db.execute(table);
    db.execute("alter table pn_pwd add column pwd_comments varchar(1024);");
    db.execute("alter table pn_pwd add column pwd_start_day char(12);");
    db.execute("alter table pn_pwd add column pwd_end_day char(12);");
    db.execute("alter table pn_pwd add column pwd_record_time char(12);");
    db.execute("begin transaction;");
    for (int g = 1; g <= groups; ++g)
        db.execute(pnstore::FormatSql("insert into pn_group values(%d,'group %d')", g, g).c_str());
    for (int n = 1; n <= records; ++n) {
        char encrypted[kCipherFieldSize] = {};
        cryptField(("pw" + std::to_string(n)).c_str(), encrypted, 0);
        db.execute(pnstore::FormatSql("insert into pn_pwd values(%d,'user%d','%s','https://site%d.example.com/login',1,"
                                      "%d,'','20090305','','12:00:00')",
                                      n, n, encrypted, n, n % groups + 1)
                       .c_str());
    }
    db.execute("commit transaction;");
}

}  // namespace storetest
