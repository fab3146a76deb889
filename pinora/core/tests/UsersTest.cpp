// The users table against what may be found on disk: tables of another layout
// or from another dBase program, damaged headers, names that cannot be folder
// names, and users without a password.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DamagedTableTestSupport.h"
#include "LoginHash.h"
#include "TableCheck.h"
#include "TableFields.h"
#include "Tabulo.h"
#include "TextCipher.h"
#include "Users.h"

#ifndef PINORA_CORE_TESTDATA
#error "PINORA_CORE_TESTDATA names the folder of the committed test tables"
#endif

namespace pinora {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::WriteFileBytes;

const LoginHashPolicy kSmallHashes = {{64, 1, 1}, 1024, 4096, 1};

std::string Pwd(const std::string& path, long record) {
    FileDBF table;
    char pwd[256] = {};
    if (table.Open(path.c_str()) != 0 || table.Go(record) != 0 || table.ReadField(3, pwd) != 0) return "<unread>";
    return pwd;
}

bool Contains(const Bytes& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

class UsersTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLoginHashPolicy(&kSmallHashes);
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path() / ("pinora-users-" + std::to_string(stamp));
        std::filesystem::create_directories(dir_);
        path = (dir_ / "user.dat").string();
    }
    void TearDown() override {
        SetLoginHashPolicy(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // A users table whose USERNAME field is `nameLength` wide, holding `name`.
    void MakeTable(int nameLength, const std::string& name) {
        FieldHeaderCreat fields[3] = {CharField("NUMBER", 12), CharField("USERNAME", nameLength),
                                      CharField("PWD", 128)};
        FileDBF table;
        ASSERT_EQ(table.Creat(path.c_str(), 3, fields), 0);
        ASSERT_EQ(table.AppendRecord(), 0);
        ASSERT_EQ(table.WriteField(1, "1"), 0);
        ASSERT_EQ(table.WriteField(2, name.c_str()), 0);
    }

    std::string path;
    test::DamageReports reports;

private:
    std::filesystem::path dir_;
};

// A USERNAME field 255 wide with a 200-character name: read into a buffer sized
// for 64 it overran the stack at every start. Such a table is refused, said
// so once, and nothing is written to it.
TEST_F(UsersTest, TableOfAnotherLayoutIsRefusedOnceAndLeftAlone) {
    MakeTable(255, std::string(200, 'n'));
    const Bytes before = ReadFileBytes(path);

    EXPECT_TRUE(userNamesIn(path).empty());
    EXPECT_EQ(checkLoginIn(path, std::string(200, 'n').c_str(), ""), 0);
    EXPECT_EQ(userExistsIn(path, "anna"), 0);
    EXPECT_EQ(addUserTo(path, "anna", "pw"), 0);
    EXPECT_EQ(ReadFileBytes(path), before);
    ASSERT_EQ(reports.paths().size(), 1u);
    EXPECT_EQ(reports.paths()[0], path);
}

// A header claiming four million users over a file of two: the two are read,
// the table is said to be damaged, and no user is appended to it.
TEST_F(UsersTest, HeaderClaimingMoreUsersThanTheFileHoldsReadsThoseItHolds) {
    ASSERT_EQ(createUserTable(path), 1);
    ASSERT_EQ(addUserTo(path, "anna", "secret"), 1);
    ASSERT_EQ(addUserTo(path, "bob", "pw"), 1);
    test::SetHeaderRecordCount(path, 4000000);
    const Bytes damaged = ReadFileBytes(path);

    EXPECT_EQ(userNamesIn(path), (std::vector<std::string>{"anna", "bob"}));
    EXPECT_EQ(checkLoginIn(path, "bob", "pw"), 1);
    EXPECT_EQ(addUserTo(path, "carol", "pw"), 0);
    EXPECT_EQ(ReadFileBytes(path), damaged);
    EXPECT_EQ(reports.paths().size(), 1u);
}

// Written by a general-purpose dBase module, which pads with blanks.
TEST_F(UsersTest, TableWrittenByAnotherDbaseProgramLogsItsUsersIn) {
    std::filesystem::copy_file(std::string(PINORA_CORE_TESTDATA) + "/foreign_user.dat", path);
    EXPECT_EQ(userNamesIn(path), (std::vector<std::string>{"anna", "bob"}));
    EXPECT_EQ(checkLoginIn(path, "ANNA", "secret"), 1);
    EXPECT_EQ(checkLoginIn(path, "anna", "secret "), 0);
    EXPECT_EQ(checkLoginIn(path, "bob", ""), 1);
    EXPECT_EQ(userExistsIn(path, "Bob"), 1);
    EXPECT_TRUE(reports.paths().empty());
}

// An empty password is stored as an empty PWD, and such a user logs in with
// an empty password only.
TEST_F(UsersTest, UserWithoutPasswordLogsInWithAnEmptyOneOnly) {
    ASSERT_EQ(createUserTable(path), 1);
    ASSERT_EQ(addUserTo(path, "anna", ""), 1);
    ASSERT_EQ(addUserTo(path, "bob", "pw"), 1);
    FileDBF table;
    ASSERT_EQ(table.Open(path.c_str()), 0);
    char pwd[256];
    ASSERT_EQ(table.ReadField(3, pwd), 0);
    EXPECT_STREQ(pwd, "");
    table.Close();

    EXPECT_EQ(checkLoginIn(path, "anna", ""), 1);
    EXPECT_EQ(checkLoginIn(path, "anna", "x"), 0);
    EXPECT_EQ(checkLoginIn(path, "bob", ""), 0);
    EXPECT_EQ(checkLoginIn(path, "bob", "pw"), 1);
}

TEST(UserNameTest, NamesThatCannotBeFolderNamesAreRefused) {
    for (const char* name : {"anna", "Anna Maria", "o'brien", "x.y", "a-b_c", "\xE9mile", "COM10", "LPT0x",
                             "console", "nullify", "prn_2", ".hidden"})
        EXPECT_TRUE(IsSafeUserName(name)) << name;
    for (const char* name : {"", ".", "..", "a\\b", "a/b", "C:\\x", "C:", "name.", "name ", "a<b", "a>b", "a:b",
                             "a\"b", "a|b", "a?b", "a*b", "tab\there", "line\nbreak", "\x7f", "CON", "con", "Prn",
                             "AUX", "NUL", "COM1", "com9", "LPT1", "lpt9", "nul.txt", "CON.tar.gz", "aux .txt"})
        EXPECT_FALSE(IsSafeUserName(name)) << name;
    EXPECT_FALSE(IsSafeUserName(nullptr));
    EXPECT_FALSE(IsSafeUserName(std::string(64, 'a').c_str()));  // more than the 63 a name may have
    EXPECT_TRUE(IsSafeUserName(std::string(63, 'a').c_str()));
}

// A name that slipped into the table some other way is neither listed nor
// logged in; the program never adds one.
TEST_F(UsersTest, UnsafeNamesInTheTableAreIgnored) {
    ASSERT_EQ(createUserTable(path), 1);
    ASSERT_EQ(addUserTo(path, "anna", ""), 1);
    EXPECT_EQ(addUserTo(path, "..", ""), 0);
    EXPECT_EQ(addUserTo(path, "CON", ""), 0);
    {
        FileDBF table;
        ASSERT_EQ(table.Open(path.c_str()), 0);
        for (const char* name : {"..", "C:\\Windows", "aux"}) {
            ASSERT_EQ(table.AppendRecord(), 0);
            ASSERT_EQ(table.WriteField(2, name), 0);
        }
    }
    EXPECT_EQ(userNamesIn(path), std::vector<std::string>{"anna"});
    EXPECT_EQ(checkLoginIn(path, "..", ""), 0);
    EXPECT_EQ(checkLoginIn(path, "C:\\Windows", ""), 0);
    EXPECT_EQ(checkLoginIn(path, "aux", ""), 0);
    EXPECT_EQ(checkLoginIn(path, "anna", ""), 1);
}

// New users get salted hashes: equal passwords give different PWDs, and no
// cipher text anybody could decrypt is left in the file.
TEST_F(UsersTest, NewUsersAreStoredAsSaltedHashes) {
    ASSERT_EQ(createUserTable(path), 1);
    ASSERT_EQ(addUserTo(path, "anna", "secret"), 1);
    ASSERT_EQ(addUserTo(path, "bob", "secret"), 1);
    EXPECT_TRUE(IsLoginHash(Pwd(path, 1).c_str())) << Pwd(path, 1);
    EXPECT_TRUE(IsLoginHash(Pwd(path, 2).c_str()));
    EXPECT_NE(Pwd(path, 1), Pwd(path, 2));
    char oldForm[kCipherFieldSize] = {};
    ASSERT_EQ(cryptField("secret", oldForm, 0), 1);
    EXPECT_FALSE(Contains(ReadFileBytes(path), oldForm));
    EXPECT_EQ(checkLoginIn(path, "Anna", "secret"), 1);
    EXPECT_EQ(checkLoginIn(path, "anna", "secreT"), 0);
    EXPECT_EQ(checkLoginIn(path, "bob", "secret"), 1);
}

// A record written by earlier builds (the old cipher's hex) logs in once the old
// way and is then a hash; a wrong password changes nothing. A table that takes
// no write keeps the old form and still logs the user in.
TEST_F(UsersTest, OldCipherPasswordIsReplacedByAHashAtTheNextLogin) {
    ASSERT_EQ(createUserTable(path), 1);
    char oldForm[kCipherFieldSize] = {};
    ASSERT_EQ(cryptField("secret", oldForm, 0), 1);
    {
        FileDBF table;
        ASSERT_EQ(table.Open(path.c_str()), 0);
        for (const char* name : {"anna", "bob"}) {
            ASSERT_EQ(table.AppendRecord(), 0);
            ASSERT_EQ(table.WriteField(2, name), 0);
            ASSERT_EQ(table.WriteField(3, oldForm), 0);
        }
    }
    EXPECT_EQ(checkLoginIn(path, "anna", "wrong"), 0);
    EXPECT_EQ(Pwd(path, 1), oldForm);
    EXPECT_EQ(checkLoginIn(path, "anna", "secret"), 1);
    EXPECT_TRUE(IsLoginHash(Pwd(path, 1).c_str())) << Pwd(path, 1);
    EXPECT_EQ(Pwd(path, 2), oldForm);  // bob has not logged in yet
    EXPECT_EQ(checkLoginIn(path, "anna", "secret"), 1);
    EXPECT_EQ(checkLoginIn(path, "anna", "wrong"), 0);

    test::SetHeaderRecordCount(path, 3);  // claims a record it does not hold: read, never written
    EXPECT_EQ(checkLoginIn(path, "bob", "secret"), 1);
    EXPECT_EQ(Pwd(path, 2), oldForm);
    EXPECT_EQ(reports.paths().size(), 1u);
}

}  // namespace
}  // namespace pinora
