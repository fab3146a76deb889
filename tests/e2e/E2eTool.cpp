// A helper for the end-to-end scripts: prepares a program folder and reads the
// tables the program wrote, through the same code the program uses.
//   pinora_e2e_tool seed-user <program folder> <name> <password>
//   pinora_e2e_tool field <table> <record> <field>
//   pinora_e2e_tool records <table>
//   pinora_e2e_tool pwd-records <pnpb.dat>   (id|user|url|group name|state, one a line)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CppSQLite3.h"
#include "Settings.h"
#include "Tabulo.h"
#include "TextCipher.h"
#include "Users.h"

namespace {

int SeedUser(const std::string& folder, const char* name, const char* password) {
    pinora::SetProgramFolder(folder);
    const std::string table = pinora::userTablePath();
    pinora::createUserTable(table);
    if (pinora::addUserTo(table, name, password) != 1) {
        std::fprintf(stderr, "could not add %s to %s\n", name, table.c_str());
        return 1;
    }
    char encrypted[kCipherFieldSize] = {};
    if (cryptField(password, encrypted, 0) != 1) return 1;
    pinora::WriteSetting("1", "SETTINGS", "auto_login_in");
    pinora::WriteSetting(name, "SETTINGS", "auto_user");
    pinora::WriteSetting(encrypted, "SETTINGS", "auto_pwd");
    pinora::WriteSetting("1", "SETTINGS", "auto_remember_pwd");
    return 0;
}

int PrintField(const char* path, long record, int field) {
    FileDBF table;
    if (table.Open(path) != 0 || table.Go(record) != 0) return 1;
    char value[256] = {};
    if (table.ReadField(field, value) != 0) return 1;
    std::printf("%s\n", value);
    return 0;
}

int PrintRecords(const char* path) {
    FileDBF table;
    if (table.Open(path) != 0) return 1;
    std::printf("%ld\n", table.GetRecords());
    return 0;
}

int PrintPasswordRecords(const char* path) {
    try {
        CppSQLite3Connection db;
        db.open(path);
        const char* sql =
            "select pwd_id, pwd_user, pwd_url, (select grp_name from pn_group where grp_id = pwd_grp_id), pwd_state "
            "from pn_pwd order by pwd_id";
        for (CppSQLite3ResultSet rows = db.query(sql); !rows.atEnd(); rows.next())
            std::printf("%d|%s|%s|%s|%d\n", rows.intField(0), rows.textField(1, ""), rows.textField(2, ""),
                        rows.textField(3, ""), rows.intField(4));
        return 0;
    } catch (const CppSQLite3Exception& e) {
        std::fprintf(stderr, "%s\n", e.errorMessage());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "seed-user" && argc == 5) return SeedUser(argv[2], argv[3], argv[4]);
    if (verb == "field" && argc == 5) return PrintField(argv[2], std::atol(argv[3]), std::atoi(argv[4]));
    if (verb == "records" && argc == 3) return PrintRecords(argv[2]);
    if (verb == "pwd-records" && argc == 3) return PrintPasswordRecords(argv[2]);
    std::fprintf(stderr, "usage: seed-user <folder> <name> <password> | field <table> <record> <field> | records <table> | pwd-records <pnpb.dat>\n");
    return 2;
}
