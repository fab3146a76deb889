#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "SkinsTestSupport.h"
#include "WinkPlayer.h"

namespace pinora {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::SkinsWinksTest;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST_F(SkinsWinksTest, ExtractionWritesTheMovieByteForByteIntoTheTempFolder) {
    std::string a = Stage("a.ewf", "winks");
    char out[MAX_PATH + 1] = {};
    ASSERT_TRUE(ExtractWinkResource(a.c_str(), kWinkMovieResource, out, sizeof out));
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(std::string(out), std::string(temp) + "Temp1.swf");
    EXPECT_EQ(ReadFileBytes(out), std::string("movie A\0bytes", 13));

    // A longer movie before a shorter one: nothing of the old one is left behind.
    std::string b = Stage("b.ewf", "winks");
    ASSERT_TRUE(ExtractWinkResource(b.c_str(), kWinkMovieResource, out, sizeof out));
    ASSERT_TRUE(ExtractWinkResource(a.c_str(), kWinkMovieResource, out, sizeof out));
    EXPECT_EQ(ReadFileBytes(out), std::string("movie A\0bytes", 13));
}

TEST_F(SkinsWinksTest, ExtractionFailsWithoutAFileOrAMovie) {
    char out[MAX_PATH + 1] = "x";
    std::string silent = Stage("nomovie.ewf", "winks");
    EXPECT_FALSE(ExtractWinkResource(silent.c_str(), kWinkMovieResource, out, sizeof out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(FileExists(TempWinkPath()));
    EXPECT_FALSE(ExtractWinkResource((folder.Path() + "winks\\gone.ewf").c_str(), kWinkMovieResource, out,
                                     sizeof out));
    EXPECT_FALSE(ExtractWinkResource(nullptr, kWinkMovieResource, out, sizeof out));
    std::string a = Stage("a.ewf", "winks");
    EXPECT_FALSE(ExtractWinkResource(a.c_str(), 999, out, sizeof out));
}

TEST_F(SkinsWinksTest, MissingPlayerReturnsFalseAfterTheFileWasWritten) {
    std::string a = Stage("a.ewf", "winks");
    ASSERT_FALSE(FileExists(WinkPlayerPath()));
    EXPECT_FALSE(PlayWink(a.c_str()));
    EXPECT_EQ(ReadFileBytes(TempWinkPath()), std::string("movie A\0bytes", 13));
    EXPECT_FALSE(PlayWink(nullptr));
}

TEST_F(SkinsWinksTest, TwoQuickPlaysStartTwoPlayersOnTheTemporaryFile) {
    std::string a = Stage("a.ewf", "winks");
    std::string b = Stage("b.ewf", "winks");
    Stage("VekFlash.exe", "");
    std::string log = folder.Path() + "players.log";

    EXPECT_TRUE(PlayWink(a.c_str()));
    EXPECT_TRUE(PlayWink(b.c_str(), kWinkMovieResource));
    // The second play replaced the file the first player may still be reading.
    EXPECT_EQ(ReadFileBytes(TempWinkPath()), "movie B, a longer one");

    ASSERT_TRUE(test::PumpUntil([&] { return Lines(ReadFileBytes(log)).size() >= 2; }, 30000))
        << "players started: " << Lines(ReadFileBytes(log)).size();
    Sleep(300);  // a third start would show up by now
    auto lines = Lines(ReadFileBytes(log));
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) EXPECT_EQ(line.substr(0, line.find('|')), TempWinkPath());
}

}  // namespace
}  // namespace pinora
