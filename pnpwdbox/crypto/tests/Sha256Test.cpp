#include "Sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestHex.h"

using pncrypto::Sha256;

namespace {

std::string DigestOf(const std::string& text) {
    uint8_t digest[32];
    Sha256::Digest(text.data(), text.size(), digest);
    return ToHex(digest, 32);
}

// A pattern with no period that lines up with the 64-byte blocks.
std::string Pattern(size_t length) {
    std::string s(length, '\0');
    for (size_t i = 0; i < length; ++i) s[i] = char((i * 7 + 3) & 255);
    return s;
}

std::filesystem::path TempFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

}  // namespace

// FIPS 180-2 appendix B: one block, two blocks, one million "a".
TEST(Sha256, Fips180Vectors) {
    EXPECT_EQ(DigestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(DigestOf(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(DigestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

// Pieces of every awkward size must give the same digest as one call, and
// Final must leave the object ready for the next message.
TEST(Sha256, PiecewiseUpdatesMatchOneCall) {
    const std::string data = Pattern(1000);
    const std::string expected = "1e9bc38cbf860b9ec31918b065f9b52476c549a782e0e7990bed8ce3868d2371";
    ASSERT_EQ(DigestOf(data), expected);
    for (size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 127u}) {
        Sha256 hash;
        for (size_t at = 0; at < data.size(); at += piece)
            hash.Update(data.data() + at, std::min(piece, data.size() - at));
        uint8_t digest[32];
        hash.Final(digest);
        EXPECT_EQ(ToHex(digest, 32), expected) << "pieces of " << piece;
        hash.Update("abc", 3);
        hash.Final(digest);
        EXPECT_EQ(ToHex(digest, 32).substr(0, 8), "ba7816bf");
    }
}

TEST(Sha256HashFile, DigestsWholeFileAcrossReadBlocks) {
    // 2048 bytes ends on a read-block boundary (a last read of 0 bytes);
    // 2500 ends inside one.
    for (size_t size : {2048u, 2500u, 0u}) {
        const auto path = TempFile("pncrypto_hash_test.bin");
        const std::string data = Pattern(size);
        std::ofstream(path, std::ios::binary).write(data.data(), std::streamsize(data.size()));
        uint8_t digest[32] = {};
        EXPECT_EQ(SHA256_HashFile(path.string().c_str(), digest), 1);
        EXPECT_EQ(ToHex(digest, 32), DigestOf(data)) << size << " bytes";
        std::filesystem::remove(path);
    }
}

TEST(Sha256HashFile, RefusesAbsentArgumentsAndMissingFile) {
    uint8_t digest[32] = {};
    const auto missing = TempFile("pncrypto_no_such_file.bin");
    std::filesystem::remove(missing);
    EXPECT_EQ(SHA256_HashFile(missing.string().c_str(), digest), 0);
    EXPECT_EQ(SHA256_HashFile(nullptr, digest), 0);
    EXPECT_EQ(SHA256_HashFile(missing.string().c_str(), nullptr), 0);
}
