#include "TextCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

struct Field {
    char text[kCipherFieldSize] = {};
};

Field Encrypt(const std::string& plain, int* ok = nullptr) {
    Field f;
    const int result = cryptField(plain.c_str(), f.text, 0);
    if (ok) *ok = result;
    return f;
}

std::string Decrypt(const std::string& cipher, int* ok = nullptr) {
    Field f;
    const int result = cryptField(cipher.c_str(), f.text, 1);
    if (ok) *ok = result;
    return f.text;
}

bool IsUpperHex(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isdigit(uint8_t(c)) || (c >= 'A' && c <= 'F'); });
}

}  // namespace

// Known answers, computed apart from this code with the key text and vector,
// so a change to either (which would orphan every stored password) fails here.
TEST(TextCipher, KnownCipherTexts) {
    EXPECT_STREQ(Encrypt("secret").text, "6F3EBFF0FB08845D658A29ED2A23F54B");
    EXPECT_STREQ(Encrypt("Correct horse battery staple").text,
                 "C2BE4DE72F01638711ED64135EF1702912F4B37E6D447CB4BB6F7E31C142524D");
}

TEST(TextCipher, LengthsFollowWholeBlocks) {
    const struct { size_t plain, digits; } cases[] = {{1, 32}, {5, 32}, {16, 32}, {17, 64}, {32, 64}, {48, 96}};
    for (const auto& c : cases) {
        const std::string plain(c.plain, 'k');
        int ok = 0;
        const std::string cipher = Encrypt(plain, &ok).text;
        EXPECT_EQ(ok, 1) << c.plain;
        EXPECT_EQ(cipher.size(), c.digits) << c.plain;
        EXPECT_EQ(cipher.size() % 32, 0u);
        EXPECT_TRUE(IsUpperHex(cipher)) << cipher;
        EXPECT_EQ(Decrypt(cipher), plain) << c.plain;
    }
}

TEST(TextCipher, DeterministicAndTextDependent) {
    const std::string a = Encrypt("p@ssw0rd-16chars").text;
    EXPECT_EQ(a, Encrypt("p@ssw0rd-16chars").text);
    EXPECT_NE(a, Encrypt("p@ssw0rd-16charz").text);
    EXPECT_EQ(Decrypt(a), "p@ssw0rd-16chars");
}

TEST(TextCipher, OverCapacityIsRefusedWithoutWriting) {
    int ok = 1;
    Field f = Encrypt(std::string(kCipherMaxPlainBytes + 1, 'x'), &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_STREQ(f.text, "") << "no cut-short cipher text is left behind";
    Encrypt(std::string(5000, 'x'), &ok);
    EXPECT_EQ(ok, 0);
    Encrypt("", &ok);
    EXPECT_EQ(ok, 0);
}

// Encryption appends; the digits and their NUL must stay inside capacity.
TEST(TextCipher, EncryptionAppendsWithinCapacity) {
    char buffer[40] = "AB";
    int capacity = 35;  // 2 + 32 digits + NUL
    EXPECT_EQ(cipherText("secret", buffer, &capacity, 1), 1);
    EXPECT_STREQ(buffer, "AB6F3EBFF0FB08845D658A29ED2A23F54B");

    char tight[40] = "AB";
    capacity = 34;
    EXPECT_EQ(cipherText("secret", tight, &capacity, 1), 0);
    EXPECT_STREQ(tight, "AB");
}

TEST(TextCipher, LowerCaseHexDecryptsTheSame) {
    std::string cipher = Encrypt("Mixed Case 123").text;
    std::transform(cipher.begin(), cipher.end(), cipher.begin(),
                   [](char c) { return char(std::tolower(uint8_t(c))); });
    int ok = 0;
    EXPECT_EQ(Decrypt(cipher, &ok), "Mixed Case 123");
    EXPECT_EQ(ok, 1);
}

// Stored fields outside the format read back as nothing, untouched.
TEST(TextCipher, MalformedCipherTextLeavesResultUnchanged) {
    const std::string good = Encrypt(std::string(48, 'q')).text;
    const std::string cases[] = {
        "",
        good + good.substr(0, 30),                // 126 digits, as a cut-short field held
        good.substr(0, 16),                       // half a block
        "6F3EBFF0FB08845D658A29ED2A23F54G",       // not hexadecimal
    };
    for (const std::string& bad : cases) {
        char result[kCipherFieldSize] = "unchanged";
        int capacity = kCipherFieldSize;
        EXPECT_EQ(cipherText(bad.c_str(), result, &capacity, 0), 0) << bad;
        EXPECT_STREQ(result, "unchanged") << bad;
        EXPECT_EQ(capacity, kCipherFieldSize);
    }
}

TEST(TextCipher, DecryptionCutsToCapacityAndReportsBytesWritten) {
    const std::string cipher = Encrypt("abcdefghij").text;
    char result[8];
    int capacity = 5;
    EXPECT_EQ(cipherText(cipher.c_str(), result, &capacity, 0), 1);
    EXPECT_STREQ(result, "abcd");
    EXPECT_EQ(capacity, 5);

    char whole[kCipherFieldSize];
    capacity = kCipherFieldSize;
    cipherText(cipher.c_str(), whole, &capacity, 0);
    EXPECT_EQ(capacity, 11);
}

TEST(TextCipher, AbsentArgumentsAndUnknownDirection) {
    char result[kCipherFieldSize] = {};
    int capacity = kCipherFieldSize;
    EXPECT_EQ(cipherText(nullptr, result, &capacity, 1), 0);
    EXPECT_EQ(cipherText("x", nullptr, &capacity, 1), 0);
    EXPECT_EQ(cipherText("x", result, nullptr, 1), 0);
    EXPECT_EQ(cipherText("x", result, &capacity, 2), 0);
    EXPECT_STREQ(result, "");
}
