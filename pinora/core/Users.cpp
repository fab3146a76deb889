#include "Users.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "LoginHash.h"
#include "TableCheck.h"
#include "Tabulo.h"
#include "TextCipher.h"
#include "TextFold.h"

namespace pinora {
namespace {

constexpr int kNumberField = 1;
constexpr int kNameField = 2;
constexpr int kPasswordField = 3;
constexpr int kLongestName = 63;

constexpr FieldLayout kUserLayout[] = {{"NUMBER", 12}, {"USERNAME", 64}, {"PWD", 128}};
constexpr int kUserFieldCount = 3;

// Names that Windows keeps for devices, whatever extension follows them.
bool IsDeviceName(const char* name) {
    size_t n = 0;
    while (name[n] != '\0' && name[n] != '.') ++n;
    while (n > 0 && name[n - 1] == ' ') --n;
    const std::string base(name, n);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (SameUserName(base.c_str(), device)) return true;
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        const std::string stem = base.substr(0, 3);
        if (SameUserName(stem.c_str(), "COM") || SameUserName(stem.c_str(), "LPT")) return true;
    }
    return false;
}

// USERNAME of record n, which becomes the current record.
bool ReadUserName(FileDBF& table, long n, char (&name)[256]) {
    return table.Go(n) == 0 && table.ReadField(kNameField, name) == 0;
}

void Wipe(char* bytes, size_t size) {
    volatile char* p = bytes;
    while (size--) *p++ = 0;
}

// Record n's PWD, of the old cipher form and just matched by `password`, becomes
// its hash. A table that is not sound or takes no write keeps the old form; the
// next login tries again.
void ReplaceOldPassword(const std::string& path, long n, const char* password) {
    std::string hash;
    if (!StoredFormOfPassword(password, hash)) return;
    FileDBF table;
    if (!OpenToWrite(table, path, kUserLayout, kUserFieldCount) || table.Go(n) != 0) return;
    table.WriteField(kPasswordField, hash.c_str());
}

}  // namespace

bool SameUserName(const char* a, const char* b) {
    // Over the whole of Unicode, as the file system compares the folder names.
    return a && b && uikit::SameTextIgnoringCase(a, b);
}

// The name becomes a folder below the program folder: it must be one plain
// name there, not a path, a device, or a name Windows would change.
bool IsSafeUserName(const char* name) {
    if (name == nullptr) return false;
    const size_t length = std::strlen(name);
    if (length == 0 || length > kLongestName) return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr) return false;
    }
    if (name[length - 1] == '.' || name[length - 1] == ' ') return false;  // also "." and ".."
    return !IsDeviceName(name);
}

bool StoredFormOfPassword(const char* plain, std::string& stored) {
    stored.clear();
    if (plain == nullptr) return false;
    return plain[0] == '\0' || MakeLoginHash(plain, stored);
}

bool DecryptOldPassword(const char* stored, char (&plain)[kCipherFieldSize]) {
    plain[0] = '\0';
    if (stored == nullptr) return false;
    return stored[0] == '\0' || cryptField(stored, plain, 1) == 1;
}

bool PasswordMatchesStored(const char* stored, const char* plain, bool* oldForm) {
    *oldForm = false;
    if (stored == nullptr || plain == nullptr) return false;
    if (stored[0] == '\0') return plain[0] == '\0';
    if (IsLoginHash(stored)) return CheckLoginHash(stored, plain) == LoginHashCheck::Match;
    // The old form: hexadecimal (the cipher writes upper case and reads either).
    for (const char* c = stored; *c; ++c)
        if (!std::isxdigit(static_cast<unsigned char>(*c))) return false;
    char decrypted[kCipherFieldSize];
    const bool match = DecryptOldPassword(stored, decrypted) && std::strcmp(decrypted, plain) == 0;
    Wipe(decrypted, sizeof decrypted);
    *oldForm = true;
    return match;
}

int createUserTable(const std::string& path) {
    if (path.empty() || File::IsExist(path.c_str())) return 0;
    return CreateTableWithLayout(path, kUserLayout, kUserFieldCount) ? 1 : 0;
}

std::vector<std::string> userNamesIn(const std::string& path) {
    std::vector<std::string> names;
    FileDBF table;
    if (!CanRead(OpenTableChecked(table, path, kUserLayout, kUserFieldCount))) return names;
    char name[256];
    for (long n = 1; n <= table.GetRecords(); ++n) {
        if (!ReadUserName(table, n, name)) break;
        if (IsSafeUserName(name)) names.emplace_back(name);
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
    if (!IsSafeUserName(name) || password == nullptr) return 0;
    long matched = 0;
    bool oldForm = false;
    {
        FileDBF table;
        if (!CanRead(OpenTableChecked(table, path, kUserLayout, kUserFieldCount))) return 0;
        char stored[256];
        for (long n = 1; n <= table.GetRecords() && matched == 0; ++n) {
            if (!ReadUserName(table, n, stored)) break;
            if (!SameUserName(stored, name)) continue;
            if (table.ReadField(kPasswordField, stored) != 0) continue;
            if (PasswordMatchesStored(stored, password, &oldForm)) matched = n;
        }
    }
    if (matched == 0) return 0;
    if (oldForm) ReplaceOldPassword(path, matched, password);
    return 1;
}

int addUserTo(const std::string& path, const char* name, const char* password) {
    std::string stored;
    if (!IsSafeUserName(name) || !StoredFormOfPassword(password, stored)) return 0;
    FileDBF table;
    if (OpenTableChecked(table, path, kUserLayout, kUserFieldCount) != TableState::Sound ||
        table.AppendRecord() != 0)
        return 0;
    char number[16];
    std::snprintf(number, sizeof number, "%ld", table.GetRecords());
    if (table.WriteField(kNumberField, number) != 0 || table.WriteField(kNameField, name) != 0 ||
        table.WriteField(kPasswordField, stored.c_str()) != 0)
        return 0;
    return 1;
}

}  // namespace pinora
