// The programs the command box starts: what the shell is asked, and the message
// when an optional program is not installed.
#include <windows.h>

#include <gtest/gtest.h>

#include "CallRecorders.h"
#include "DoRoRazIds.h"
#include "CommandRules.h"
#include "Launchers.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

class LaunchersTest : public ::testing::Test {
protected:
    void Install(const std::string& relative) {
        std::string path = folder.Path() + relative;
        CreateDirectoryA((folder.Path() + "plugin").c_str(), nullptr);
        CreateDirectoryA((folder.Path() + "plugin\\screencap").c_str(), nullptr);
        test::WriteFileBytes(path, "MZ");
    }
    test::ProgramFolderFixture folder;
    test::ShellOpenRecorder shell;
    test::MessageBoxRecorder boxes;
    HWND owner = reinterpret_cast<HWND>(0x1234);
};

TEST_F(LaunchersTest, MissingProgramsAreReportedAndNotStarted) {
    EXPECT_FALSE(StartCompanionEditor(owner, "C:\\P\\anna\\data\\2009-03-05.txt"));
    EXPECT_FALSE(StartScreenCapture(owner));
    EXPECT_TRUE(shell.Calls().empty());
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[0].text, LoadResString(IDS_VEKPAD_MISSING, 512));
    EXPECT_EQ(boxes.Calls()[1].text, LoadResString(IDS_SCREEN_CAPTURE_MISSING, 512));
    for (const auto& box : boxes.Calls()) {
        EXPECT_FALSE(box.text.empty());
        EXPECT_EQ(box.caption, LoadResString(IDS_CAPTION));
        EXPECT_EQ(box.owner, owner);
        EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    }
}

TEST_F(LaunchersTest, InstalledProgramsStartWithTheirArguments) {
    Install("VekPad.exe");
    Install("plugin\\screencap\\ScreenCapture.exe");
    EXPECT_TRUE(StartCompanionEditor(owner, "C:\\My Notes\\anna\\data\\2009-03-05.txt"));
    EXPECT_TRUE(StartCompanionEditor(owner, ""));
    EXPECT_TRUE(StartScreenCapture(owner));
    EXPECT_TRUE(boxes.Calls().empty());
    ASSERT_EQ(shell.Calls().size(), 3u);
    EXPECT_EQ(shell.Calls()[0].file, folder.Path() + "VekPad.exe");
    EXPECT_EQ(shell.Calls()[0].params, "\"C:\\My Notes\\anna\\data\\2009-03-05.txt\"");
    EXPECT_EQ(shell.Calls()[1].params, "");
    EXPECT_EQ(shell.Calls()[2].file, folder.Path() + "plugin\\screencap\\ScreenCapture.exe");
    EXPECT_EQ(shell.Calls()[2].params, "0");
}

TEST_F(LaunchersTest, ProgramsRunByNameGetExeOnce) {
    RunProgramByName("calc");
    RunProgramByName("cmd.exe");
    ASSERT_EQ(shell.Calls().size(), 2u);
    EXPECT_EQ(shell.Calls()[0].file, "calc.exe");
    EXPECT_EQ(shell.Calls()[0].params, "");
    EXPECT_EQ(shell.Calls()[1].file, "cmd.exe");
}

TEST_F(LaunchersTest, DictionaryPrefixComesFromTheSettingsOrTheBuiltInOne) {
    EXPECT_EQ(DictionaryPrefix(), kDefaultDictionaryPrefix);
    WriteSetting("https://dict.example/mini.php?q=", "SETTINGS", "dict_url");
    EXPECT_EQ(DictionaryPrefix(), "https://dict.example/mini.php?q=");
}

}  // namespace
}  // namespace pinora
