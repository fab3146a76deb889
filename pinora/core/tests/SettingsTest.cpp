#include <gtest/gtest.h>

#include <map>

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "TextConversion.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

using test::ProgramFolderFixture;

std::string RunValue() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char buf[MAX_PATH + 1] = {};
    DWORD size = sizeof buf, type = 0;
    LONG r = RegQueryValueExA(key, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) return "<none>";
    return type == REG_SZ ? std::string(buf) : "<wrong type>";
}

std::string ThisProgram() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// key=value lines of the file, by "SECTION/key".
std::map<std::string, std::string> IniEntries(const std::string& path) {
    std::map<std::string, std::string> entries;
    for (auto& [key, value] : test::ReadIniInOrder(path)) entries[key] = value;
    return entries;
}

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override { SetRunAtLogon(false); }
    ProgramFolderFixture folder;
};

TEST_F(SettingsTest, FirstRunWritesExactlyTheFirstRunValuesAndTheRunValue) {
    SetRunAtLogon(false);
    std::string wink = folder.Path() + "winks\\bell.ewf";
    ASSERT_TRUE(WriteFirstRunSettings(wink));

    std::map<std::string, std::string> expected = {
        {"SETTINGS/auto_start_os", "1"}, {"SETTINGS/auto_start_dk", "1"}, {"ALERTS/check_dlg", "1"},
        {"ALERTS/check_each_time", "1"}, {"ALERTS/each_time", "45"},      {"ALERTS/check_rest", "1"},
        {"HOTKEY/hotkey", "242"},        {"ALERTS/stick_wink", wink},     {"ALERTS/auto_wink", wink},
        {"SETTINGS/text_encoding", "utf-8"},  // a new folder needs no conversion
    };
    EXPECT_EQ(IniEntries(SettingsPath()), expected);
    EXPECT_EQ(RunValue(), ThisProgram());
}

TEST_F(SettingsTest, ExistingFileIsLeftAlone) {
    WriteSetting("0", "SETTINGS", "auto_start_dk");
    EXPECT_FALSE(WriteFirstRunSettings("x"));
    EXPECT_EQ(ReadSetting("SETTINGS", "auto_start_dk", 2), "0");
    EXPECT_EQ(ReadSetting("HOTKEY", "hotkey", 32), "");
}

TEST_F(SettingsTest, ReaderBufferCutsTheValue) {
    WriteSetting("120", "ALERTS", "each_time");
    EXPECT_EQ(ReadSetting("ALERTS", "each_time", 4), "120");
    WriteSetting("12345", "ALERTS", "each_time");
    char buf[4] = {'x', 'x', 'x', 'x'};
    ReadSetting("ALERTS", "each_time", buf, sizeof buf);
    EXPECT_STREQ(buf, "123");
    EXPECT_EQ(ReadSetting("ALERTS", "no_such_key", 16), "");
    EXPECT_EQ(ReadSetting("NO_SECTION", "each_time", 16), "");
}

TEST_F(SettingsTest, DeletedFileReadsEmptyUntilTheNextFirstRun) {
    ASSERT_TRUE(WriteFirstRunSettings(""));
    ASSERT_TRUE(DeleteFileA(SettingsPath().c_str()));
    EXPECT_EQ(ReadSetting("ALERTS", "check_rest", 2), "");
    EXPECT_TRUE(WriteFirstRunSettings(""));
    EXPECT_EQ(ReadSetting("ALERTS", "check_rest", 2), "1");
    EXPECT_EQ(ReadSetting("ALERTS", "stick_wink", 260), "");
}

TEST_F(SettingsTest, RunValueOnAndOff) {
    ASSERT_TRUE(SetRunAtLogon(true));
    EXPECT_EQ(RunValue(), ThisProgram());
    ASSERT_TRUE(SetRunAtLogon(false));
    EXPECT_EQ(RunValue(), "<none>");
    EXPECT_FALSE(SetRunAtLogon(false));  // nothing left to delete
}

TEST_F(SettingsTest, RunValueCountsOnlyWhenItStartsThisProgram) {
    ASSERT_TRUE(SetRunAtLogon(true));
    EXPECT_TRUE(IsRunAtLogon());

    // Left behind by a copy of the program in another folder.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_WRITE, &key), ERROR_SUCCESS);
    const char other[] = "C:\\Old place\\Pinora.exe";
    RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
    RegCloseKey(key);
    EXPECT_FALSE(IsRunAtLogon());

    ASSERT_TRUE(SetRunAtLogon(false));
    EXPECT_FALSE(IsRunAtLogon());
}

}  // namespace
}  // namespace pinora

namespace pinora {
namespace {

// The test programs carry the code page of the shipped ones; where the
// manifest's setting is ignored, Pinora says so instead of running.
TEST(ActiveCodePageTest, TextIsUtf8AndAnyOtherCodePageIsRefused) {
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    test::ProgramFolderFixture folder;
    test::g_messageBoxCount = 0;
    EXPECT_FALSE(RefuseLegacyCodePage(CP_UTF8));
    EXPECT_EQ(test::g_messageBoxCount, 0);
    EXPECT_TRUE(RefuseLegacyCodePage(1252));
    EXPECT_EQ(test::g_messageBoxCount, 1);
    EXPECT_EQ(test::g_lastMessageBoxText, LoadResString(IDS_TEXT_NEEDS_UTF8, 1024));
    EXPECT_NE(test::g_lastMessageBoxText.find("Windows 10 version 1903"), std::string::npos);
}

}  // namespace
}  // namespace pinora
