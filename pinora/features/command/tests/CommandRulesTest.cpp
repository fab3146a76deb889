#include "CommandRules.h"

#include <gtest/gtest.h>

#include <string>

namespace pinora {
namespace {

TEST(CommandWords, WholeTextMatchesWithoutRegardToCase) {
    EXPECT_EQ(MatchCommandWord("CALC"), kCmdCalculator);
    EXPECT_EQ(MatchCommandWord("Calc"), kCmdCalculator);
    EXPECT_EQ(MatchCommandWord("calc\r\n"), kCmdCalculator);
    EXPECT_EQ(MatchCommandWord("vekpad"), kCmdCompanionEditor);
    EXPECT_EQ(MatchCommandWord("SetKey"), kCmdSetHotkey);
    EXPECT_EQ(MatchCommandWord("mspaint"), kCmdPaint);
    EXPECT_EQ(MatchCommandWord("MSPT\r\n"), kCmdPaint);
    EXPECT_EQ(MatchCommandWord("cmd"), kCmdConsole);
    EXPECT_EQ(MatchCommandWord("stk"), kCmdNewStick);
}

TEST(CommandWords, AnythingMoreOrLessIsANote) {
    EXPECT_EQ(MatchCommandWord(" calc"), 0u);
    EXPECT_EQ(MatchCommandWord("calc now"), 0u);
    EXPECT_EQ(MatchCommandWord("calc "), 0u);
    EXPECT_EQ(MatchCommandWord("cal"), 0u);
    EXPECT_EQ(MatchCommandWord("calcs"), 0u);
    // A third Enter: two line breaks are no longer the word.
    EXPECT_EQ(MatchCommandWord("calc\r\n\r\n"), 0u);
    EXPECT_EQ(MatchCommandWord("calc\n"), 0u);
    EXPECT_EQ(MatchCommandWord("\r\n"), 0u);
    EXPECT_EQ(MatchCommandWord(""), 0u);
    EXPECT_EQ(MatchCommandWord("notepad"), 0u);  // not in the table: runs nothing
}

TEST(CommandWords, OnlyTheRunByNameCodesNameAProgram) {
    EXPECT_STREQ(ProgramForCommand(kCmdPaint), "mspaint");
    EXPECT_STREQ(ProgramForCommand(kCmdCalculator), "calc");
    EXPECT_STREQ(ProgramForCommand(kCmdConsole), "cmd");
    EXPECT_EQ(ProgramForCommand(kCmdNewStick), nullptr);
    EXPECT_EQ(ProgramForCommand(kCmdCompanionEditor), nullptr);
}

TEST(ReminderLine, OneLineStartingWithTheWordRemind) {
    std::string rest = "unchanged";
    EXPECT_TRUE(MatchReminderLine("remind call Ann in 20 min", &rest));
    EXPECT_EQ(rest, "call Ann in 20 min");
    EXPECT_TRUE(MatchReminderLine("REMIND: dentist tomorrow 9:30\r\n", &rest));
    EXPECT_EQ(rest, "dentist tomorrow 9:30");
    EXPECT_TRUE(MatchReminderLine("Remind\tme to call", &rest));
    EXPECT_EQ(rest, "me to call");
    EXPECT_TRUE(MatchReminderLine("remind", &rest));
    EXPECT_EQ(rest, "");

    rest = "unchanged";
    EXPECT_FALSE(MatchReminderLine("reminders are useful", &rest));
    EXPECT_FALSE(MatchReminderLine(" remind call Ann", &rest));
    EXPECT_FALSE(MatchReminderLine("remind call Ann\r\nand Bob", &rest));  // two lines
    EXPECT_FALSE(MatchReminderLine("remind call Ann\r\n\r\n", &rest));
    EXPECT_FALSE(MatchReminderLine("call Ann, remind me", &rest));
    EXPECT_FALSE(MatchReminderLine("remin", &rest));
    EXPECT_EQ(rest, "unchanged");
}

TEST(ProgramFileName, ExeIsAppendedOnlyWhenTheNameLacksIt) {
    EXPECT_EQ(ProgramFileName("calc"), "calc.exe");
    EXPECT_EQ(ProgramFileName("calc.exe"), "calc.exe");
    EXPECT_EQ(ProgramFileName("my.exe.tool"), "my.exe.tool");  // in the middle counts too
    EXPECT_EQ(ProgramFileName("CALC.EXE"), "CALC.EXE.exe");    // the search is case-sensitive
    EXPECT_EQ(ProgramFileName(std::string(300, 'a')), std::string(255, 'a') + ".exe");
}

TEST(LookupUrl, WordsFollowThePrefixAsTyped) {
    const std::string prefix = "https://dict.example/mini.php?q=";
    EXPECT_EQ(BuildLookupUrl(prefix, "two words"), prefix + "two words");
    EXPECT_EQ(BuildLookupUrl(prefix, " padded "), prefix + " padded ");
    EXPECT_EQ(BuildLookupUrl(prefix, ""), "");
    std::string longWords(2000, 'w');
    std::string url = BuildLookupUrl(prefix, longWords);
    EXPECT_EQ(url.size(), kLookupUrlMax);
    EXPECT_EQ(url, (prefix + longWords).substr(0, 1023));
    std::string fits(kLookupUrlMax - prefix.size(), 'x');
    EXPECT_EQ(BuildLookupUrl(prefix, fits), prefix + fits);
    const std::string builtIn = kDefaultDictionaryPrefix;
    EXPECT_EQ(builtIn.substr(builtIn.size() - 11), "mini.php?q=");
}

TEST(DockBeside, HalfTheWidthToTheLeftAtTheSameTopAndHeight) {
    DockPlace p = DockBeside(800, 500, 301, 180);
    EXPECT_EQ(p.width, 150);
    EXPECT_EQ(p.height, 180);
    EXPECT_EQ(p.left, 650);
    EXPECT_EQ(p.top, 500);
    // Near the screen's left edge the popup hangs off it rather than covering the window.
    DockPlace edge = DockBeside(-10, 0, 200, 100);
    EXPECT_EQ(edge.left, -110);
    EXPECT_EQ(edge.width, 100);
}

}  // namespace
}  // namespace pinora
