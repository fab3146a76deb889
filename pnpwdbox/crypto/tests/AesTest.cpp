#include "Aes.h"

#include <gtest/gtest.h>

#include "TestHex.h"

using namespace pncrypto;

namespace {

const std::string kCbcKey = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const std::string kCbcIv = "000102030405060708090a0b0c0d0e0f";
const std::string kCbcPlain =
    "6bc1bee22e409f96e93d7e117393172a" "ae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52ef" "f69f2445df4f9b17ad2b417be66c3710";
const std::string kCbcCipher =
    "f58c4c04d6e5f1ba779eabfb5f7bfbd6" "9cfc4e967edb808d679f777bc6702c7d"
    "39f23369a9d9bacfa530e26304231461" "b2eb05e2c39be9fcda6c19078c6a9d1b";

struct Schedules {
    Aes256Schedule encrypt, decrypt;
    explicit Schedules(const std::string& keyHex) {
        const auto key = FromHex(keyHex);
        Aes256ExpandEncryptKey(key.data(), encrypt);
        Aes256ExpandDecryptKey(key.data(), decrypt);
    }
};

}  // namespace

// FIPS-197 appendix C.3: one block with the counting key.
TEST(Aes256, Fips197ExampleBlock) {
    Schedules keys("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const auto plain = FromHex("00112233445566778899aabbccddeeff");
    uint8_t out[16];
    Aes256EncryptBlock(keys.encrypt, plain.data(), out);
    EXPECT_EQ(ToHex(out, 16), "8ea2b7ca516745bfeafc49904b496089");
    Aes256DecryptBlock(keys.decrypt, out, out);
    EXPECT_EQ(ToHex(out, 16), "00112233445566778899aabbccddeeff");
}

// The last round key of the expansion (FIPS-197 appendix A.3, w[56..59]).
TEST(Aes256, KeyExpansionLastRoundKey) {
    Schedules keys("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    EXPECT_EQ(keys.encrypt.words[56], 0xfe4890d1u);
    EXPECT_EQ(keys.encrypt.words[59], 0x706c631eu);
    // The decryption schedule starts where encryption ends.
    EXPECT_EQ(keys.decrypt.words[0], keys.encrypt.words[56]);
    EXPECT_EQ(keys.decrypt.words[59], keys.encrypt.words[3]);
}

// SP 800-38A F.2.5 and F.2.6.
TEST(Aes256Cbc, Sp80038aVectors) {
    Schedules keys(kCbcKey);
    const auto plain = FromHex(kCbcPlain);
    std::vector<uint8_t> out(plain.size());

    auto iv = FromHex(kCbcIv);
    Aes256CbcEncrypt(keys.encrypt, iv.data(), plain.data(), out.data(), plain.size());
    EXPECT_EQ(ToHex(out), kCbcCipher);
    EXPECT_EQ(ToHex(iv), kCbcCipher.substr(96)) << "vector carries the last cipher block";

    iv = FromHex(kCbcIv);
    const auto cipher = FromHex(kCbcCipher);
    Aes256CbcDecrypt(keys.decrypt, iv.data(), cipher.data(), out.data(), cipher.size());
    EXPECT_EQ(ToHex(out), kCbcPlain);
}

// In place and in pieces, as the cipher and the benchmark use it.
TEST(Aes256Cbc, InPlaceAndPiecewiseAgreeWithWhole) {
    Schedules keys(kCbcKey);
    auto buffer = FromHex(kCbcPlain);
    auto iv = FromHex(kCbcIv);
    Aes256CbcEncrypt(keys.encrypt, iv.data(), buffer.data(), buffer.data(), 16);
    Aes256CbcEncrypt(keys.encrypt, iv.data(), buffer.data() + 16, buffer.data() + 16, 48);
    EXPECT_EQ(ToHex(buffer), kCbcCipher);

    iv = FromHex(kCbcIv);
    Aes256CbcDecrypt(keys.decrypt, iv.data(), buffer.data(), buffer.data(), 32);
    Aes256CbcDecrypt(keys.decrypt, iv.data(), buffer.data() + 32, buffer.data() + 32, 32);
    EXPECT_EQ(ToHex(buffer), kCbcPlain);
}
