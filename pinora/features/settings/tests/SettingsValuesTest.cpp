// What the settings pages accept as typed and how they read stored flags.
#include <gtest/gtest.h>

#include "SettingsValues.h"

namespace pinora {
namespace {

TEST(SettingsValuesTest, WholeNumbersOnlyWithinTheirRange) {
    EXPECT_EQ(ParseWholeNumber("45", 0, 999), 45);
    EXPECT_EQ(ParseWholeNumber(" 0 ", 0, 999), 0);
    EXPECT_EQ(ParseWholeNumber("045", 0, 999), 45);  // stored as 45, not cut to "04" by the reader
    EXPECT_EQ(ParseWholeNumber("999", 0, 999), 999);
    EXPECT_EQ(ParseWholeNumber("1000", 0, 999), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("99999999999999999999", 0, 999), std::nullopt);  // no overflow into range
    EXPECT_EQ(ParseWholeNumber("", 0, 999), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("   ", 0, 999), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("-5", 0, 999), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("4 5", 0, 999), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("45min", 0, 999), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("3", 5, 9), std::nullopt);
}

TEST(SettingsValuesTest, NoteFontEmptyLeavesItAloneAnyNumberUpToTheLimitIsASize) {
    EXPECT_TRUE(ParseNoteFont("").leaveAlone);
    EXPECT_TRUE(ParseNoteFont("  ").leaveAlone);
    EXPECT_EQ(ParseNoteFont("11").size, 11);  // not one of the offered sizes, still taken
    EXPECT_FALSE(ParseNoteFont("11").leaveAlone);
    EXPECT_EQ(ParseNoteFont("0").size, 0);  // the standard font
    EXPECT_EQ(ParseNoteFont("72").size, kNoteFontMax);
    EXPECT_FALSE(ParseNoteFont("73").size);
    EXPECT_FALSE(ParseNoteFont("big").size);
    EXPECT_FALSE(ParseNoteFont("big").leaveAlone);
}

TEST(SettingsValuesTest, StoredFlagsReadAsTheirReadersDo) {
    EXPECT_TRUE(FlagIsOn("1"));
    EXPECT_TRUE(FlagIsOn("2"));
    EXPECT_FALSE(FlagIsOn("0"));
    EXPECT_FALSE(FlagIsOn(""));
    EXPECT_FALSE(FlagIsOn("yes"));
    // Deleted sticks stay listed only for "0"; missing and other values hide them.
    EXPECT_FALSE(DeletedSticksDisappear("0"));
    EXPECT_TRUE(DeletedSticksDisappear("1"));
    EXPECT_TRUE(DeletedSticksDisappear(""));
    EXPECT_TRUE(DeletedSticksDisappear("y"));
}

TEST(SettingsValuesTest, LineBreaksBecomeSpacesSoTheFileKeepsOneLinePerKey) {
    EXPECT_EQ(OneLine("Stand up\r\nand stretch"), "Stand up and stretch");
    EXPECT_EQ(OneLine("a\nb\rc\td"), "a b c d");
    EXPECT_EQ(OneLine("\r\n\r\n"), "  ");
    EXPECT_EQ(OneLine("plain"), "plain");
}

// The library's texts are a translator's: one with other % codes than the
// program's own ("%s%s%n" where "%d x %d" was) is shown as text, never used as
// a printf format that would read arguments that are not there and write through %n.
TEST(SettingsValuesTest, PictureTextsAreFilledByPositionNeverUsedAsFormats) {
    EXPECT_EQ(PictureHintText("at most %d x %d pixels", 120, 90), "at most 120 x 90 pixels");
    EXPECT_EQ(PictureTooBigText("%d x %d; at most %d x %d", 800, 600, 120, 90), "800 x 600; at most 120 x 90");
    EXPECT_EQ(PictureUnreadableText("cannot read:\n%s", "C:\\a.bmp"), "cannot read:\nC:\\a.bmp");
    EXPECT_EQ(PictureHintText("%s%s%n", 120, 90), "12090%n");
    EXPECT_EQ(PictureUnreadableText("%s%s%n", "C:\\a.bmp"), "C:\\a.bmp%s%n");
    EXPECT_EQ(PictureTooBigText("100%% of %x by %ls", 1, 2, 3, 4), "100% of 1 by 2");
}

}  // namespace
}  // namespace pinora
