// HMAC-SHA-256 against RFC 4231, the key derivation's limits, and the password
// box's format: the wrapped data key and sealed records, each checked for
// every flipped bit and every moved field.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "BoxCipher.h"
#include "Hmac.h"
#include "Kdf.h"
#include "SystemSources.h"
#include "TestHex.h"

namespace {

using namespace pncrypto;

std::string Mac(const std::vector<uint8_t>& key, const std::string& data) {
    uint8_t mac[kHmacSha256Size];
    HmacSha256::Mac(key.data(), key.size(), data.data(), data.size(), mac);
    return ToHex(mac, sizeof mac);
}

TEST(HmacSha256Test, Rfc4231Vectors) {
    EXPECT_EQ(Mac(std::vector<uint8_t>(20, 0x0b), "Hi There"),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(Mac({'J', 'e', 'f', 'e'}, "what do ya want for nothing?"),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(Mac(std::vector<uint8_t>(20, 0xaa), std::string(50, '\xdd')),
              "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe");
    EXPECT_EQ(Mac(FromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"), std::string(50, '\xcd')),
              "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b");
    // Keys longer than a block are hashed first.
    EXPECT_EQ(Mac(std::vector<uint8_t>(131, 0xaa), "Test Using Larger Than Block-Size Key - Hash Key First"),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
    const std::string long_data =
        "This is a test using a larger than block-size key and a larger than block-size data. The key needs to be "
        "hashed before being used by the HMAC algorithm.";
    EXPECT_EQ(Mac(std::vector<uint8_t>(131, 0xaa), long_data),
              "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
    // In pieces, the same tag.
    HmacSha256 pieces("Jefe", 4);
    pieces.Update("what do ya ", 11);
    pieces.Update("want for nothing?", 17);
    uint8_t mac[kHmacSha256Size];
    pieces.Final(mac);
    EXPECT_EQ(ToHex(mac, sizeof mac), "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
}

TEST(KdfTest, StoredParametersAreCheckedBeforeAnyMemoryIsTaken) {
    EXPECT_TRUE(KdfParametersAllowed(kDefaultKdfParameters));
    EXPECT_TRUE(KdfParametersAllowed({8, 1, 1}));
    EXPECT_TRUE(KdfParametersAllowed({512 * 1024, 3, 1}));
    EXPECT_FALSE(KdfParametersAllowed({512 * 1024 + 1, 1, 1}));  // more memory than allowed
    EXPECT_FALSE(KdfParametersAllowed({0xFFFFFFFF, 1, 1}));
    EXPECT_FALSE(KdfParametersAllowed({512 * 1024, 4, 1}));  // too much work in all
    EXPECT_FALSE(KdfParametersAllowed({64, 0, 1}));          // no pass at all
    EXPECT_FALSE(KdfParametersAllowed({64, 17, 1}));
    EXPECT_FALSE(KdfParametersAllowed({64, 1, 0}));
    EXPECT_FALSE(KdfParametersAllowed({64, 1, 9}));
    EXPECT_FALSE(KdfParametersAllowed({15, 1, 2}));  // Argon2's own minimum: 8 KiB a lane

    uint8_t salt[kKdfSaltSize] = {7}, key[kKdfKeySize] = {}, again[kKdfKeySize] = {};
    EXPECT_FALSE(DeriveKey("pw", 2, salt, {0xFFFFFFFF, 1, 1}, key));
    ASSERT_TRUE(DeriveKey("pw", 2, salt, {64, 1, 1}, key));
    ASSERT_TRUE(DeriveKey("pw", 2, salt, {64, 1, 1}, again));
    EXPECT_EQ(ToHex(key, sizeof key), ToHex(again, sizeof again));
    ASSERT_TRUE(DeriveKey("pw", 2, salt, {64, 2, 1}, again));  // each parameter counts
    EXPECT_NE(ToHex(key, sizeof key), ToHex(again, sizeof again));

    const KdfLimits small = {64, 2, 1, 128};
    SetKdfLimits(&small);
    EXPECT_FALSE(KdfParametersAllowed({128, 1, 1}));
    EXPECT_TRUE(KdfParametersAllowed({64, 2, 1}));
    SetKdfLimits(nullptr);
    EXPECT_TRUE(KdfParametersAllowed({128, 1, 1}));
}

TEST(CbcPkcs7Test, EveryLengthRoundTripsAndBadPaddingIsRefused) {
    uint8_t key[32] = {1, 2, 3}, iv[16] = {9};
    for (size_t length = 0; length <= 33; ++length) {
        std::vector<uint8_t> plain(length, uint8_t(length)), cipher, back;
        CbcPkcs7Encrypt(key, iv, plain.data(), plain.size(), cipher);
        EXPECT_EQ(cipher.size(), (length / 16 + 1) * 16) << length;
        ASSERT_TRUE(CbcPkcs7Decrypt(key, iv, cipher.data(), cipher.size(), back)) << length;
        EXPECT_EQ(back, plain) << length;
    }
    std::vector<uint8_t> cipher, back;
    CbcPkcs7Encrypt(key, iv, reinterpret_cast<const uint8_t*>("x"), 1, cipher);
    uint8_t otherKey[32] = {4};
    int refused = 0;
    for (int i = 0; i < 16; ++i) {
        uint8_t otherIv[16] = {uint8_t(i + 1)};
        refused += CbcPkcs7Decrypt(otherKey, otherIv, cipher.data(), cipher.size(), back) ? 0 : 1;
    }
    EXPECT_GE(refused, 12);  // garbage rarely ends in valid padding
    EXPECT_FALSE(CbcPkcs7Decrypt(key, iv, cipher.data(), 15, back));
    EXPECT_FALSE(CbcPkcs7Decrypt(key, iv, cipher.data(), 0, back));
}

class BoxCipherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(NewDataKey(dataKey_));
        DeriveRecordKeys(dataKey_, keys_);
    }
    RecordFields Fields() const { return {12, 3, "anna", "https://mail.example", "my comment"}; }

    DataKey dataKey_;
    RecordKeys keys_;
    static constexpr KdfParameters kSmall = {64, 1, 1};
};

TEST_F(BoxCipherTest, WrappedKeyOpensOnlyWithItsPasswordAndTellsDamageApart) {
    WrappedKey wrapped;
    ASSERT_TRUE(WrapDataKey("master", kSmall, dataKey_, wrapped));
    DataKey back;
    ASSERT_EQ(UnwrapDataKey("master", wrapped, back), UnwrapResult::Unwrapped);
    EXPECT_EQ(ToHex(back.bytes, back.size()), ToHex(dataKey_.bytes, dataKey_.size()));
    EXPECT_EQ(UnwrapDataKey("Master", wrapped, back), UnwrapResult::WrongPassword);
    EXPECT_EQ(UnwrapDataKey("", wrapped, back), UnwrapResult::WrongPassword);

    // Every flipped bit of the stored form shows: as damage where the check
    // no longer holds, as a MAC that fails where someone fixed the check up.
    for (size_t byte = 0; byte < wrapped.wrapped.size(); ++byte) {
        for (int bit = 0; bit < 8; bit += 3) {
            WrappedKey changed = wrapped;
            changed.wrapped[byte] ^= uint8_t(1 << bit);
            ASSERT_EQ(UnwrapDataKey("master", changed, back), UnwrapResult::Damaged) << byte;
            ComputeKeyCheck(changed, changed.check);
            ASSERT_EQ(UnwrapDataKey("master", changed, back), UnwrapResult::WrongPassword) << byte;
        }
    }
    for (size_t byte = 0; byte < sizeof wrapped.salt; byte += 5) {
        WrappedKey changed = wrapped;
        changed.salt[byte] ^= 0x10;
        EXPECT_EQ(UnwrapDataKey("master", changed, back), UnwrapResult::Damaged);
        ComputeKeyCheck(changed, changed.check);
        EXPECT_EQ(UnwrapDataKey("master", changed, back), UnwrapResult::WrongPassword);
    }
    WrappedKey passes = wrapped;
    passes.parameters.passes = 2;
    ComputeKeyCheck(passes, passes.check);
    EXPECT_EQ(UnwrapDataKey("master", passes, back), UnwrapResult::WrongPassword);
    WrappedKey check = wrapped;
    check.check[31] ^= 1;
    EXPECT_EQ(UnwrapDataKey("master", check, back), UnwrapResult::Damaged);
    WrappedKey cut = wrapped;
    cut.wrapped.pop_back();
    ComputeKeyCheck(cut, cut.check);
    EXPECT_EQ(UnwrapDataKey("master", cut, back), UnwrapResult::Damaged);

    // A file that asks for more than the limits is refused before deriving.
    WrappedKey greedy = wrapped;
    greedy.parameters.memoryKiB = 0xFFFFFFF0;
    ComputeKeyCheck(greedy, greedy.check);
    EXPECT_EQ(UnwrapDataKey("master", greedy, back), UnwrapResult::Refused);
}

TEST_F(BoxCipherTest, TheSameKeyWrappedTwiceLooksDifferent) {
    WrappedKey a, b;
    ASSERT_TRUE(WrapDataKey("master", kSmall, dataKey_, a));
    ASSERT_TRUE(WrapDataKey("master", kSmall, dataKey_, b));
    EXPECT_NE(ToHex(a.salt, sizeof a.salt), ToHex(b.salt, sizeof b.salt));
    EXPECT_NE(ToHex(a.wrapped), ToHex(b.wrapped));
}

TEST_F(BoxCipherTest, RecordsOpenWithTheirOwnFieldsOnly) {
    std::string sealed, password;
    ASSERT_TRUE(SealRecord(keys_, Fields(), "s3cret", sealed));
    EXPECT_EQ(sealed.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(sealed.find("s3cret"), std::string::npos);
    ASSERT_TRUE(OpenRecord(keys_, Fields(), sealed, password));
    EXPECT_EQ(password, "s3cret");

    std::vector<RecordFields> moved(6, Fields());
    moved[0].id = 13;
    moved[1].group = 4;
    moved[2].user = "anne";
    moved[3].url = "https://evil.example";
    moved[4].comments = "";
    moved[5].id = 12 + (int64_t(1) << 32);  // no 32-bit wrap-around
    for (const RecordFields& f : moved) {
        EXPECT_FALSE(OpenRecord(keys_, f, sealed, password));
        EXPECT_EQ(password, "");
    }
    // User name and address cannot trade places.
    RecordFields swapped = Fields(), source = Fields();
    source.user = "ab";
    source.url = "c";
    swapped.user = "a";
    swapped.url = "bc";
    ASSERT_TRUE(SealRecord(keys_, source, "p", sealed));
    EXPECT_FALSE(OpenRecord(keys_, swapped, sealed, password));

    // Another box's keys open nothing.
    DataKey otherKey;
    ASSERT_TRUE(NewDataKey(otherKey));
    RecordKeys other;
    DeriveRecordKeys(otherKey, other);
    ASSERT_TRUE(SealRecord(keys_, Fields(), "s3cret", sealed));
    EXPECT_FALSE(OpenRecord(other, Fields(), sealed, password));
}

TEST_F(BoxCipherTest, EveryFlippedBitOfARecordIsDetected) {
    std::string sealed, password;
    ASSERT_TRUE(SealRecord(keys_, Fields(), "correct horse", sealed));
    std::vector<uint8_t> blob;
    ASSERT_TRUE(FromHex(sealed, blob));
    for (size_t byte = 0; byte < blob.size(); ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<uint8_t> changed = blob;
            changed[byte] ^= uint8_t(1 << bit);
            ASSERT_FALSE(OpenRecord(keys_, Fields(), ToUpperHex(changed.data(), changed.size()), password))
                << byte << ":" << bit;
        }
    }
    EXPECT_FALSE(OpenRecord(keys_, Fields(), sealed.substr(0, sealed.size() - 2), password));
    EXPECT_FALSE(OpenRecord(keys_, Fields(), sealed.substr(32), password));
    EXPECT_FALSE(OpenRecord(keys_, Fields(), sealed + "00", password));
    EXPECT_FALSE(OpenRecord(keys_, Fields(), "", password));
    EXPECT_FALSE(OpenRecord(keys_, Fields(), "not hex", password));
}

TEST_F(BoxCipherTest, EqualPasswordsGiveDifferentCipherTexts) {
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        std::string sealed;
        ASSERT_TRUE(SealRecord(keys_, Fields(), "same", sealed));
        seen.insert(sealed);
    }
    EXPECT_EQ(seen.size(), 20u);
    // Long passwords are kept whole; the empty one too.
    std::string sealed, back;
    const std::string longest(127, 'L');
    ASSERT_TRUE(SealRecord(keys_, Fields(), longest, sealed));
    ASSERT_TRUE(OpenRecord(keys_, Fields(), sealed, back));
    EXPECT_EQ(back, longest);
    ASSERT_TRUE(SealRecord(keys_, Fields(), "", sealed));
    ASSERT_TRUE(OpenRecord(keys_, Fields(), sealed, back));
    EXPECT_EQ(back, "");
}

TEST(SystemRandomTest, FillsEveryByteAndNeverRepeats) {
    std::vector<uint8_t> a(1000, 0), b(1000, 0);
    ASSERT_TRUE(FillFromSystemRandom(a.data(), a.size()));
    ASSERT_TRUE(FillFromSystemRandom(b.data(), b.size()));
    EXPECT_NE(a, b);
    size_t zeros = 0;
    for (uint8_t x : a) zeros += x == 0;
    EXPECT_LT(zeros, 20u);  // about 4 expected
}

}  // namespace
