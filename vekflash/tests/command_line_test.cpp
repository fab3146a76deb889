#include <gtest/gtest.h>

#include <set>

#include "command_line.h"

using namespace vekflash;

namespace {

const std::string kFolder = "C:\\Pinora\\";

StartDecision decide(const std::string& arg, std::set<std::string> present = {}) {
  return decideStart(arg, kFolder, [&](const std::string& name) { return present.count(name) > 0; });
}

}  // namespace

TEST(CommandLine, AboutAndVersion) {
  EXPECT_EQ(decide("").action, StartAction::About);
  EXPECT_EQ(decide("?").action, StartAction::About);
  for (const char* v : {"version", "VERSION", "Version", "vErSiOn"})
    EXPECT_EQ(decide(v).action, StartAction::Version) << v;
  EXPECT_EQ(decide("versions").action, StartAction::FileMissing);
  EXPECT_EQ(decide("??").action, StartAction::FileMissing);
}

TEST(CommandLine, BareNamesAreLookedUpBesideTheProgram) {
  StartDecision d = decide("BELL.SWF", {"BELL.SWF"});
  EXPECT_EQ(d.action, StartAction::Play);
  EXPECT_EQ(d.path, "C:\\Pinora\\BELL.SWF");
  EXPECT_EQ(decide("bell.swf").action, StartAction::FileMissing);
  // Existence comes before the extension for bare names.
  EXPECT_EQ(decide("notes.txt").action, StartAction::FileMissing);
  EXPECT_EQ(decide("notes.txt", {"notes.txt"}).action, StartAction::NotSwf);
  // A relative path with a forward slash is still a bare name to this rule.
  EXPECT_EQ(decide("sub/x.swf", {"sub/x.swf"}).path, "C:\\Pinora\\sub/x.swf");
}

TEST(CommandLine, PathsWithAFolderAreNotTestedForExistence) {
  StartDecision d = decide("D:\\tmp\\Temp1.SWF");
  EXPECT_EQ(d.action, StartAction::Play);
  EXPECT_EQ(d.path, "D:\\tmp\\Temp1.SWF");
  EXPECT_EQ(decide("D:\\tmp\\a b\\wink.swf").action, StartAction::Play);  // spaces kept
  EXPECT_EQ(decide("D:\\tmp\\x.txt").action, StartAction::NotSwf);
  EXPECT_EQ(decide("D:\\tmp.swf\\x").action, StartAction::NotSwf);  // the dot is in a folder
  EXPECT_EQ(decide("D:\\tmp\\x.swfx").action, StartAction::NotSwf);
  // A path handed over in quotes is the same path.
  d = decide("\"D:\\tmp\\a b\\x.swf\"");
  EXPECT_EQ(d.action, StartAction::Play);
  EXPECT_EQ(d.path, "D:\\tmp\\a b\\x.swf");
  EXPECT_EQ(decide("\"D:\\tmp\\x.txt\"").action, StartAction::NotSwf);
  EXPECT_EQ(decide("D:\\tmp\\x.swf\"").action, StartAction::NotSwf);  // unbalanced: left as it is
}

TEST(CommandLine, LongArgumentsAreCutToThePathLimit) {
  std::string longPath = "D:\\" + std::string(2000, 'a') + ".swf";
  StartDecision d = decide(longPath);
  EXPECT_EQ(d.action, StartAction::NotSwf);  // the extension fell off
  std::string fits = "D:\\" + std::string(kMaxPathChars - 7, 'a') + ".swf";
  ASSERT_EQ(fits.size(), kMaxPathChars);
  EXPECT_EQ(decide(fits).action, StartAction::Play);
}

TEST(CommandLine, FolderAndExtensionHelpers) {
  EXPECT_EQ(programFolderOf("C:\\a\\b\\VekFlash.exe"), "C:\\a\\b\\");
  EXPECT_EQ(programFolderOf("VekFlash.exe"), "");
  EXPECT_EQ(extensionOf("C:\\a.b\\c"), "");
  EXPECT_EQ(extensionOf("c.tar.gz"), ".gz");
  EXPECT_EQ(extensionOf("x.abcdefghijklmnop"), ".abcdefghij");
}
