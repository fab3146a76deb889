// Login password hashes: the standard encoded form the reference implementation
// reads too, fresh salts, and stored parameters checked before anything is
// computed (a users table is a file anybody may have written).
#include <gtest/gtest.h>

#include <argon2.h>

#include <chrono>
#include <string>

#include "LoginHash.h"

namespace pinora {
namespace {

// Small costs, so the tests are quick; the limits as the program's, scaled down.
const LoginHashPolicy kSmall = {{64, 2, 1}, 1024, 16 * 64 * 2, 4};

class LoginHashTest : public ::testing::Test {
protected:
    void SetUp() override { SetLoginHashPolicy(&kSmall); }
    void TearDown() override { SetLoginHashPolicy(nullptr); }
};

TEST_F(LoginHashTest, HashesInTheStandardFormWithAFreshSaltEachTime) {
    std::string first, second;
    ASSERT_TRUE(MakeLoginHash("secret", first));
    ASSERT_TRUE(MakeLoginHash("secret", second));
    EXPECT_EQ(first.rfind("$argon2id$v=19$m=64,t=2,p=1$", 0), 0u) << first;
    EXPECT_LT(first.size(), 128u);  // fits PWD
    EXPECT_NE(first, second);
    EXPECT_TRUE(IsLoginHash(first.c_str()));
    EXPECT_EQ(argon2id_verify(first.c_str(), "secret", 6), ARGON2_OK);  // the reference reads it
    EXPECT_EQ(CheckLoginHash(first, "secret"), LoginHashCheck::Match);
    EXPECT_EQ(CheckLoginHash(second, "secret"), LoginHashCheck::Match);
    EXPECT_EQ(CheckLoginHash(first, "Secret"), LoginHashCheck::NoMatch);
    EXPECT_EQ(CheckLoginHash(first, ""), LoginHashCheck::NoMatch);

    // A hash the reference made, with its own salt and length, is read as well.
    char reference[160] = {};
    ASSERT_EQ(argon2id_hash_encoded(3, 128, 2, "pw", 2, "saltsaltsalt", 12, 24, reference, sizeof reference), ARGON2_OK);
    EXPECT_EQ(CheckLoginHash(reference, "pw"), LoginHashCheck::Match);
    EXPECT_EQ(CheckLoginHash(reference, "pw "), LoginHashCheck::NoMatch);

    // The program's own costs fit the field and its limits.
    SetLoginHashPolicy(nullptr);
    ASSERT_TRUE(MakeLoginHash("0123456789a", first));
    EXPECT_LT(first.size(), 128u);
    EXPECT_EQ(CheckLoginHash(first, "0123456789a"), LoginHashCheck::Match);
}

// Each is refused without a single block computed: a table asking for 4 GiB or
// four billion passes would otherwise hold the program at every login.
TEST_F(LoginHashTest, StoredParametersOutsideTheLimitsAndMalformedTextsAreRefused) {
    std::string good;
    ASSERT_TRUE(MakeLoginHash("pw", good));
    const std::string tail = good.substr(good.find("$", std::string("$argon2id$v=19$m=").size()));  // "$salt$hash"
    const auto with = [&](const std::string& parameters) { return "$argon2id$v=19$" + parameters + tail; };
    ASSERT_EQ(CheckLoginHash(with("m=64,t=2,p=1"), "pw"), LoginHashCheck::Match);

    const auto start = std::chrono::steady_clock::now();
    for (const std::string& hostile :
         {with("m=4294967295,t=2,p=1"), with("m=1025,t=2,p=1"), with("m=64,t=4294967295,p=1"),
          with("m=1024,t=3,p=1"),  // 3072 KiB-passes: over the work limit
          with("m=64,t=0,p=1"), with("m=64,t=2,p=0"), with("m=64,t=2,p=5"), with("m=16,t=2,p=4"),
          with("m=064,t=2,p=1"), with("m=64,t=2,p=1,x=1"), with("m=-64,t=2,p=1"), with("m=99999999999,t=2,p=1")})
        EXPECT_EQ(CheckLoginHash(hostile, "pw"), LoginHashCheck::Refused) << hostile;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    const std::string salt = tail.substr(1, tail.find('$', 1) - 1), hash = tail.substr(tail.find('$', 1) + 1);
    for (const std::string& malformed :
         {std::string(), std::string("$argon2id$"), "$argon2i$v=19$m=64,t=2,p=1" + tail,
          "$argon2id$v=16$m=64,t=2,p=1" + tail, "$argon2id$m=64,t=2,p=1" + tail,
          "$argon2id$v=19$m=64,t=2,p=1$" + salt,                    // no hash
          "$argon2id$v=19$m=64,t=2,p=1$c2FsdA$" + hash,             // 4-byte salt
          "$argon2id$v=19$m=64,t=2,p=1$" + salt + "$AAAAAAAAAAA",   // 8-byte hash
          "$argon2id$v=19$m=64,t=2,p=1$" + salt + "$" + hash + "=",  // padding
          "$argon2id$v=19$m=64,t=2,p=1$" + salt + "$" + hash + "$",
          "$argon2id$v=19$m=64,t=2,p=1$" + salt + "$" + hash.substr(0, hash.size() - 1) + "B",  // stray low bits
          "$argon2id$v=19$m=64,t=2,p=1$" + salt + "$" + hash + "AA"})                            // no whole byte
        EXPECT_EQ(CheckLoginHash(malformed, "pw"), LoginHashCheck::Refused) << malformed;
}

}  // namespace
}  // namespace pinora
