// The password generator: lengths, classes, doubled characters, refusals.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "PwdGenerator.h"

namespace {

using pngen::Options;
using pngen::Outcome;

Options Only(std::initializer_list<int> rows, int length) {
    Options o{};
    for (int r : rows) o.classes[r] = true;
    o.length = length;
    return o;
}

bool AllIn(const std::string& s, const std::string& allowed) {
    return s.find_first_not_of(allowed) == std::string::npos;
}

const std::string kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ", kLower = "abcdefghijklmnopqrstuvwxyz",
                  kDigits = "0123456789";

TEST(PwdGeneratorTest, DefaultsGiveTwelveCharactersOfTheFourClasses) {
    Options o = pngen::DefaultOptions();
    EXPECT_EQ(o.length, 12);
    std::string all;
    for (int i = 0; i < 20; ++i) {
        std::string p;
        ASSERT_EQ(pngen::Generate(o, p), Outcome::Generated);
        EXPECT_EQ(p.size(), 12u);
        EXPECT_TRUE(AllIn(p, kUpper + kLower + kDigits + "_")) << p;
        all += p;
    }
    // 240 characters drawn from 63: each of the four classes shows up.
    EXPECT_NE(all.find_first_of(kUpper), std::string::npos);
    EXPECT_NE(all.find_first_of(kLower), std::string::npos);
    EXPECT_NE(all.find_first_of(kDigits), std::string::npos);
}

TEST(PwdGeneratorTest, SingleClassesGiveOnlyTheirCharacters) {
    std::string p;
    ASSERT_EQ(pngen::Generate(Only({2}, 6), p), Outcome::Generated);
    EXPECT_EQ(p.size(), 6u);
    EXPECT_TRUE(AllIn(p, kDigits)) << p;

    ASSERT_EQ(pngen::Generate(Only({7}, 32), p), Outcome::Generated);
    EXPECT_EQ(p.size(), 32u);
    EXPECT_TRUE(AllIn(p, "[]{}")) << p;

    ASSERT_EQ(pngen::Generate(Only({6}, 200), p), Outcome::Generated);
    EXPECT_TRUE(AllIn(p, "!\"#$%&'()*+,-./:;<=>?@\\^_`")) << p;
    EXPECT_EQ(p.find_first_of("[]"), std::string::npos);
}

TEST(PwdGeneratorTest, CharactersOfTwoChosenClassesComeInPairs) {
    // Rows 3 (underline) and 6 (specials) both hold '_'.
    int underscores = 0;
    for (int round = 0; round < 10; ++round) {
        std::string p;
        ASSERT_EQ(pngen::Generate(Only({3, 6}, 64), p), Outcome::Generated);
        EXPECT_GE(p.size(), 64u);
        EXPECT_LE(p.size(), 65u);  // the last candidate may count twice
        for (size_t i = 0; i < p.size(); ++i) {
            if (p[i] != '_') continue;
            ++underscores;
            ASSERT_LT(i + 1, p.size()) << p;
            EXPECT_EQ(p[i + 1], '_') << p;
            ++i;
        }
    }
    EXPECT_GT(underscores, 0);  // '_' is 1 of 23 characters: 640 draws find it
}

TEST(PwdGeneratorTest, TwoRunsDiffer) {
    std::string a, b;
    ASSERT_EQ(pngen::Generate(pngen::DefaultOptions(), a), Outcome::Generated);
    ASSERT_EQ(pngen::Generate(pngen::DefaultOptions(), b), Outcome::Generated);
    EXPECT_NE(a, b);
}

TEST(PwdGeneratorTest, LengthZeroIsEmptyAndImpossibleRequestsAreRefused) {
    std::string p = "old";
    EXPECT_EQ(pngen::Generate(Only({0}, 0), p), Outcome::Generated);
    EXPECT_EQ(p, "");

    EXPECT_EQ(pngen::Generate(Only({}, 12), p), Outcome::NoClassChosen);
    EXPECT_EQ(pngen::Generate(Only({0}, -1), p), Outcome::LengthOutOfRange);
    EXPECT_EQ(pngen::Generate(Only({0}, 1025), p), Outcome::LengthOutOfRange);
    EXPECT_EQ(p, "");
    EXPECT_EQ(pngen::Generate(Only({0, 1, 2}, 1024), p), Outcome::Generated);
    EXPECT_EQ(p.size(), 1024u);
    EXPECT_EQ(pngen::Generate(Only({5}, 8), p), Outcome::Generated);
    EXPECT_EQ(p, std::string(8, ' '));
}

TEST(PwdGeneratorTest, ClassesMatchTheirCodes) {
    std::set<int> specials;
    for (int c = 0; c < 128; ++c)
        if (pngen::ClassContains(6, c)) specials.insert(c);
    EXPECT_EQ(specials.size(), 15u + 7u + 4u);
    EXPECT_FALSE(pngen::ClassContains(6, '['));
    EXPECT_FALSE(pngen::ClassContains(6, ']'));
    EXPECT_TRUE(pngen::ClassContains(6, '\\'));
    EXPECT_TRUE(pngen::ClassContains(6, '`'));
    EXPECT_FALSE(pngen::ClassContains(0, -65));  // bytes above 127 arrive negative
    EXPECT_STREQ(pngen::kClassLabels[6], "Special characters (!, \xC2\xA7, $, %, &, ...)");
}

}  // namespace
