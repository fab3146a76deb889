// The Argon2 library as both builds compile it: the published test vectors of
// the three variants (32 KiB, 3 passes, 4 lanes, with secret and associated
// data), and the encoded form that login hashes are kept in.
#include <argon2.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Tag = std::array<uint8_t, 32>;

Tag HashVectorInputs(argon2_type type) {
    std::vector<uint8_t> password(32, 0x01), salt(16, 0x02), secret(8, 0x03), ad(12, 0x04);
    Tag tag{};
    argon2_context ctx{};
    ctx.out = tag.data();
    ctx.outlen = tag.size();
    ctx.pwd = password.data();
    ctx.pwdlen = static_cast<uint32_t>(password.size());
    ctx.salt = salt.data();
    ctx.saltlen = static_cast<uint32_t>(salt.size());
    ctx.secret = secret.data();
    ctx.secretlen = static_cast<uint32_t>(secret.size());
    ctx.ad = ad.data();
    ctx.adlen = static_cast<uint32_t>(ad.size());
    ctx.t_cost = 3;
    ctx.m_cost = 32;
    ctx.lanes = 4;
    ctx.threads = 1;
    ctx.version = ARGON2_VERSION_13;
    EXPECT_EQ(ARGON2_OK, argon2_ctx(&ctx, type));
    return tag;
}

TEST(Argon2Vectors, EachVariantGivesItsPublishedTag) {
    const Tag argon2d = {0x51, 0x2b, 0x39, 0x1b, 0x6f, 0x11, 0x62, 0x97, 0x53, 0x71, 0xd3,
                         0x09, 0x19, 0x73, 0x42, 0x94, 0xf8, 0x68, 0xe3, 0xbe, 0x39, 0x84,
                         0xf3, 0xc1, 0xa1, 0x3a, 0x4d, 0xb9, 0xfa, 0xbe, 0x4a, 0xcb};
    const Tag argon2i = {0xc8, 0x14, 0xd9, 0xd1, 0xdc, 0x7f, 0x37, 0xaa, 0x13, 0xf0, 0xd7,
                         0x7f, 0x24, 0x94, 0xbd, 0xa1, 0xc8, 0xde, 0x6b, 0x01, 0x6d, 0xd3,
                         0x88, 0xd2, 0x99, 0x52, 0xa4, 0xc4, 0x67, 0x2b, 0x6c, 0xe8};
    const Tag argon2id = {0x0d, 0x64, 0x0d, 0xf5, 0x8d, 0x78, 0x76, 0x6c, 0x08, 0xc0, 0x37,
                          0xa3, 0x4a, 0x8b, 0x53, 0xc9, 0xd0, 0x1e, 0xf0, 0x45, 0x2d, 0x75,
                          0xb6, 0x5e, 0xb5, 0x25, 0x20, 0xe9, 0x6b, 0x01, 0xe6, 0x59};
    EXPECT_EQ(argon2d, HashVectorInputs(Argon2_d));
    EXPECT_EQ(argon2i, HashVectorInputs(Argon2_i));
    EXPECT_EQ(argon2id, HashVectorInputs(Argon2_id));
}

TEST(Argon2Vectors, EncodedHashVerifiesOnlyItsOwnPassword) {
    const std::string salt = "sixteen byte salt";
    char encoded[128] = {};
    ASSERT_EQ(ARGON2_OK, argon2id_hash_encoded(2, 64, 1, "secret", 6, salt.data(), 16, 32, encoded,
                                               sizeof encoded));
    EXPECT_EQ(std::string(encoded).rfind("$argon2id$v=19$m=64,t=2,p=1$", 0), 0u) << encoded;
    EXPECT_EQ(ARGON2_OK, argon2id_verify(encoded, "secret", 6));
    EXPECT_EQ(ARGON2_VERIFY_MISMATCH, argon2id_verify(encoded, "secreT", 6));
}

}  // namespace
