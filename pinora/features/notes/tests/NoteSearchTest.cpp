// Keyword matching over real files, with the build's own text rules.
#include "NoteSearch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace pinora {
namespace {

class NoteSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("pinora-search-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Note(const std::string& name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path folder;
};

TEST_F(NoteSearchTest, KeywordsMatchWhateverTheirCase) {
    const std::string note = Note("a.txt", "Lunch with Anna at the Station.\r\n");
    EXPECT_TRUE(NoteContainsKeywords(note.c_str(), "anna"));
    EXPECT_TRUE(NoteContainsKeywords(note.c_str(), "STATION"));
    EXPECT_TRUE(NoteContainsKeywords(note.c_str(), "with anna"));
    EXPECT_FALSE(NoteContainsKeywords(note.c_str(), "annabel"));
    // Every script folds: accented Latin, Cyrillic, Greek.
    const std::string cafe = Note("b.txt", "Caf\xC3\x89 au lait, \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xCE\xA9");
    EXPECT_TRUE(NoteContainsKeywords(cafe.c_str(), "caf\xC3\xA9"));
    EXPECT_TRUE(NoteContainsKeywords(cafe.c_str(), "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"));  // привет
    EXPECT_TRUE(NoteContainsKeywords(cafe.c_str(), "\xCF\x89"));                                  // ω
    EXPECT_FALSE(NoteContainsKeywords(cafe.c_str(), "cafe"));
    // A note that is not UTF-8 is searched as shown: its stray byte is no letter.
    const std::string foreign = Note("c.txt", "Caf\xE9 au lait");
    EXPECT_TRUE(NoteContainsKeywords(foreign.c_str(), "caf"));
    EXPECT_FALSE(NoteContainsKeywords(foreign.c_str(), "caf\xC3\xA9"));
}

TEST_F(NoteSearchTest, SeveralWordsAreOneSubstringWithTheirSpaces) {
    const std::string exact = Note("1.txt", "Call the dentist tomorrow");
    const std::string twoSpaces = Note("2.txt", "Call the dentist  tomorrow");
    const std::string reversed = Note("3.txt", "Tomorrow: dentist");
    const std::string split = Note("4.txt", "dentist\r\ntomorrow");
    for (const auto* path : {&exact, &twoSpaces, &reversed, &split})
        EXPECT_EQ(NoteContainsKeywords(path->c_str(), "Dentist Tomorrow"), path == &exact) << *path;
    // No wildcards either.
    EXPECT_FALSE(NoteContainsKeywords(exact.c_str(), "dent*"));
}

TEST_F(NoteSearchTest, TextAfterANulIsNotSearched) {
    const std::string note = Note("zero-byte.txt", std::string("visible part\0hidden part", 24));
    EXPECT_TRUE(NoteContainsKeywords(note.c_str(), "visible"));
    EXPECT_FALSE(NoteContainsKeywords(note.c_str(), "hidden"));
    const std::string leading = Note("lead.txt", std::string("\0text", 5));
    EXPECT_FALSE(NoteContainsKeywords(leading.c_str(), "t"));
}

TEST_F(NoteSearchTest, EmptyOrMissingFilesNeverMatch) {
    const std::string empty = Note("empty.txt", "");
    EXPECT_FALSE(NoteContainsKeywords(empty.c_str(), "a"));
    EXPECT_FALSE(NoteContainsKeywords(empty.c_str(), ""));
    EXPECT_FALSE(NoteContainsKeywords((folder / "missing.txt").string().c_str(), "a"));
    EXPECT_FALSE(NoteContainsKeywords(folder.string().c_str(), "a"));  // a folder is no note
}

}  // namespace
}  // namespace pinora
