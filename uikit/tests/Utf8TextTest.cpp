// Cutting and comparing the program's UTF-8 text: never inside a character,
// whatever the length asked for, and case aside in every script.
#include "TextFold.h"
#include "Utf8Text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace uikit {
namespace {

// "a", then a character of the given size, then "z": the cut must fall before
// or after the whole character at every length.
TEST(Utf8PrefixTest, NeverCutsACharacterAtAnyLength) {
    const struct {
        const char* character;
        size_t size;
    } cases[] = {{"\xC3\xA9", 2} /* é */, {"\xE2\x98\x95", 3} /* ☕ */, {"\xF0\x9F\x98\x80", 4} /* 😀 */};
    for (const auto& c : cases) {
        const std::string text = std::string("a") + c.character + "z";
        for (size_t max = 0; max <= text.size() + 1; ++max) {
            const std::string cut = Utf8Prefix(text, max);
            size_t expected;
            if (max == 0) expected = 0;
            else if (max < 1 + c.size) expected = 1;             // only "a" fits
            else if (max < 2 + c.size) expected = 1 + c.size;   // "a" and the character
            else expected = text.size();
            EXPECT_EQ(cut.size(), expected) << c.size << "-byte character, at most " << max;
            EXPECT_TRUE(IsValidUtf8(cut)) << max;
            EXPECT_EQ(Utf8PrefixLength(text, max), expected);
        }
    }
}

TEST(Utf8PrefixTest, CopyCutsToTheBufferOnABoundary) {
    const char* text = "Caf\xC3\xA9 \xE2\x98\x95";  // "Café ☕": 9 bytes
    char buffer[16];
    for (size_t size = 1; size <= 11; ++size) {
        std::memset(buffer, 'x', sizeof buffer);
        CopyUtf8(buffer, size, text);
        const size_t length = std::strlen(buffer);
        EXPECT_LE(length, size - 1);
        EXPECT_TRUE(IsValidUtf8(buffer)) << size;
        EXPECT_EQ(length, Utf8PrefixLength(text, size - 1)) << size;
    }
    CopyUtf8(buffer, 5, "Caf\xC3\xA9");  // é would need bytes 4 and 5
    EXPECT_STREQ(buffer, "Caf");
    CopyUtf8(buffer, sizeof buffer, nullptr);
    EXPECT_STREQ(buffer, "");
    buffer[0] = 'x';
    CopyUtf8(buffer, 0, "abc");  // no room at all: untouched
    EXPECT_EQ(buffer[0], 'x');
}

TEST(Utf8PrefixTest, ShortenedTextEndsInItsMarkBetweenCharacters) {
    const std::string text = "Caf\xC3\xA9 \xE2\x98\x95 tea";  // "Café ☕ tea": 13 bytes
    EXPECT_EQ(Utf8Shortened(text, 13), text);
    EXPECT_EQ(Utf8Shortened(text, 12), "Caf\xC3\xA9 \xE2\x98\x95...");  // 9 bytes of it, then the mark
    EXPECT_EQ(Utf8Shortened(text, 11), "Caf\xC3\xA9 ...");              // not 2 bytes of the cup
    EXPECT_EQ(Utf8Shortened(text, 7), "Caf...");
    EXPECT_EQ(Utf8Shortened(text, 2), "Ca");  // no room for the mark
}

TEST(Utf8PrefixTest, TextThatIsNotUtf8IsStillCut) {
    // Legacy bytes count one each: "Caf\xE9" is 4 characters here.
    EXPECT_EQ(Utf8Prefix("Caf\xE9 au lait", 4), "Caf\xE9");
    // A lead byte whose continuation is missing is a byte of its own.
    EXPECT_EQ(Utf8Prefix("ab\xE2\x98", 3), "ab\xE2");
}

TEST(Utf8ValidityTest, WellFormedAndMalformedSequences) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("Caf\xC3\xA9 \xE2\x98\x95 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE4\xBD\xA0\xE5\xA5\xBD"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"));  // 😀 and U+10FFFF
    for (const char* bad : {"Caf\xE9", "\x80", "\xC0\xAF" /* overlong / */, "\xE0\x80\xAF", "\xED\xA0\x80" /* surrogate */,
                            "\xF4\x90\x80\x80" /* past U+10FFFF */, "\xF5\x80\x80\x80", "\xE2\x98" /* cut short */,
                            "\xC3"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(IsAscii("plain text 123"));
    EXPECT_FALSE(IsAscii("Caf\xC3\xA9"));
}

TEST(Utf8ValidityTest, DecodingShowsBadBytesAsReplacementCharacters) {
    EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xF0\x9F\x98\x80"), (std::u32string{U'a', 0xE9, 0x1F600}));
    EXPECT_EQ(DecodeUtf8("Caf\xE9!"), (std::u32string{U'C', U'a', U'f', 0xFFFD, U'!'}));
    const std::string all = "\x41\xC3\xA9\xE2\x98\x95\xF0\x9F\x98\x80";
    EXPECT_EQ(EncodeUtf8(DecodeUtf8(all)), all);
}

TEST(TextFoldTest, CaseAsideInEveryScript) {
    EXPECT_TRUE(SameTextIgnoringCase("J\xC3\xBCrgen", "J\xC3\x9CRGEN"));            // Jürgen, JÜRGEN
    EXPECT_TRUE(SameTextIgnoringCase("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",  // привет
                                     "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2"));  // ПРИВЕТ
    EXPECT_TRUE(SameTextIgnoringCase("\xCE\xB1\xCE\xB2", "\xCE\x91\xCE\x92"));      // αβ, ΑΒ
    EXPECT_FALSE(SameTextIgnoringCase("Anna", "Anne"));
    EXPECT_FALSE(SameTextIgnoringCase("J\xC3\xBCrgen", "Jurgen"));
    // Bytes that are not UTF-8 stay apart from each other and from real text.
    EXPECT_FALSE(SameTextIgnoringCase("Zo\xEB", "Zo\xE9"));
    EXPECT_FALSE(SameTextIgnoringCase("Zo\xEB", "Zo\xEF\xBF\xBD"));
    EXPECT_TRUE(ContainsIgnoringCase("Lunch: \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, Anna",
                                     "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, anna"));
    EXPECT_TRUE(ContainsIgnoringCase("Caf\xC3\x89 au lait", "caf\xC3\xA9"));
    EXPECT_FALSE(ContainsIgnoringCase("caf\xC3\xA9", "cafe"));
    EXPECT_TRUE(ContainsIgnoringCase("anything", ""));
}

}  // namespace
}  // namespace uikit
