#include "Users.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "TableFields.h"
#include "Tabulo.h"
#include "TextCipher.h"

namespace pinora {
namespace {

constexpr int kNumberField = 1;
constexpr int kNameField = 2;
constexpr int kPasswordField = 3;


// Field buffers hold the whole field; a read returns at most length - 1 characters.
struct UserRecord {
    char name[64];
    char password[128];
};

}  // namespace

bool SameUserName(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

int createUserTable(const std::string& path) {
    if (path.empty() || File::IsExist(path.c_str())) return 0;
    FieldHeaderCreat fields[3] = {CharField("NUMBER", 12), CharField("USERNAME", 64), CharField("PWD", 128)};
    FileDBF table;
    if (table.Creat(path.c_str(), 3, fields) != 0) return 0;
    table.Close();
    return 1;
}

std::vector<std::string> userNamesIn(const std::string& path) {
    std::vector<std::string> names;
    FileDBF table;
    if (table.Open(path.c_str()) != 0) return names;
    for (long n = 1; n <= table.GetRecords(); ++n) {
        char name[64] = {};
        if (table.Go(n) != 0 || table.ReadField(kNameField, name) != 0) break;
        names.emplace_back(name);
    }
    return names;
}

int userExistsIn(const std::string& path, const char* name) {
    for (const std::string& existing : userNamesIn(path)) {
        if (SameUserName(existing.c_str(), name)) return 1;
    }
    return 0;
}

int checkLoginIn(const std::string& path, const char* name, const char* password) {
    if (!File::IsExist(path.c_str())) return -1;
    FileDBF table;
    if (table.Open(path.c_str()) != 0) return 0;
    for (long n = 1; n <= table.GetRecords(); ++n) {
        UserRecord r = {};
        if (table.Go(n) != 0 || table.ReadField(kNameField, r.name) != 0) break;
        if (!SameUserName(r.name, name)) continue;
        if (table.ReadField(kPasswordField, r.password) != 0) continue;
        char plain[kCipherFieldSize] = {};
        // A stored value that is not cipher text never matches.
        if (cryptField(r.password, plain, 1) == 1 && password && std::strcmp(plain, password) == 0) return 1;
    }
    return 0;
}

int addUserTo(const std::string& path, const char* name, const char* password) {
    char encrypted[kCipherFieldSize] = {};
    if (!name || !password || cryptField(password, encrypted, 0) != 1) return 0;
    FileDBF table;
    if (table.Open(path.c_str()) != 0 || table.AppendRecord() != 0) return 0;
    char number[16];
    std::snprintf(number, sizeof number, "%ld", table.GetRecords());
    if (table.WriteField(kNumberField, number) != 0 || table.WriteField(kNameField, name) != 0 ||
        table.WriteField(kPasswordField, encrypted) != 0)
        return 0;
    return 1;
}

}  // namespace pinora
