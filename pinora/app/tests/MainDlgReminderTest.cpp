// Reminders typed into the quick-note box of the real main window: a "remind"
// line becomes a stick in both tables and no diary line; one whose time cannot
// be read, or cannot be saved, goes to the diary; a balloon says which.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AlarmStore.h"
#include "DoRoRazIds.h"
#include "MainWindowFixture.h"
#include "StickStore.h"
#include "Tabulo.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

class ReminderLineTest : public test::MainWindowTest {  // Thursday 5 March 2009, 10:00
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowWindow(dlg.hwnd(), SW_SHOW);
    }
    HWND Note() { return dlg.Item(IDC_QUICK_NOTE); }
    void TypeAndEnter(const char* text) {
        SetWindowTextA(Note(), text);
        SendMessageA(Note(), EM_SETSEL, 0x7FFF, 0x7FFF);
        SendMessageA(Note(), WM_CHAR, VK_RETURN, 1);
    }
    std::string NoteText() {
        char buf[512] = {};
        GetWindowTextA(Note(), buf, sizeof buf);
        return buf;
    }
    std::string Sticks() { return folder.Path() + "tester\\data\\sticks\\"; }
    std::string Diary() { return folder.Path() + "tester\\data\\2009-03-05.txt"; }
    std::string Field(const char* table, long n, int field) {
        FileDBF dbf;
        char buf[300] = {};
        if (dbf.Open((Sticks() + table).c_str()) != 0 || dbf.Go(n) != 0 || dbf.ReadField(field, buf) != 0)
            return "<none>";
        return buf;
    }
};

TEST_F(ReminderLineTest, ARemindLineBecomesAStickInBothTablesAndNoDiaryLine) {
    LogIn();
    TypeAndEnter("remind call Ann in 20 min");
    EXPECT_EQ(Field(kStickIndexName, 1, kStickText), "call Ann");
    EXPECT_EQ(Field(kStickIndexName, 1, kStickDate), "20090305");
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarmCode), "20090305|2009|03|05|10|20|4|1|20090305");
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarm5), "0");
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarm30), "1");  // due within the half hour
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarmStick), "call Ann");
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarmState), "1");
    EXPECT_EQ(dlg.LastBalloon(), "Reminder at 10:20: call Ann");
    EXPECT_EQ(NoteText(), "");  // the Enter went no further: no line break left behind
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_FALSE(test::FileExists(Diary()));

    // OK saves such a line the same way, and both tables stay paired.
    ShowWindow(dlg.hwnd(), SW_SHOW);
    SetWindowTextA(Note(), "REMIND me to: water plants every day at 8 until 31 mar");
    SendMessageA(dlg.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Field(kStickIndexName, 2, kStickText), "water plants");
    EXPECT_EQ(Field(kStickIndexName, 2, kStickNumber), "2");
    EXPECT_EQ(Field(kAlarmTableName, 2, kAlarmCode), "20090306|2009|03|06|8|0|5|1|20090331");
    EXPECT_EQ(Field(kAlarmTableName, 2, kAlarm30), "0");
    EXPECT_EQ(dlg.LastBalloon(), "Reminder at 08:00 every day from Fri 6 Mar until Tue 31 Mar: water plants");
    EXPECT_FALSE(test::FileExists(Diary()));
}

// The words around the phrase, in any script, are the stick's text byte for byte.
TEST_F(ReminderLineTest, TextInAnyScriptAroundThePhraseIsKeptByteForByte) {
    LogIn();
    TypeAndEnter("remind Café ☕ Привет in 20 min 你好");
    const std::string text = "Café ☕ Привет 你好";
    EXPECT_EQ(Field(kStickIndexName, 1, kStickText), text);
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarmStick), text);
    EXPECT_EQ(Field(kAlarmTableName, 1, kAlarmCode), "20090305|2009|03|05|10|20|4|1|20090305");
    EXPECT_EQ(dlg.LastBalloon(), "Reminder at 10:20: " + text);
}

TEST_F(ReminderLineTest, WithoutATimeOrWhereItCannotBeSavedTheLineGoesToTheDiary) {
    LogIn();
    TypeAndEnter("Remind me to call Ann later");
    EXPECT_EQ(test::ReadFileBytes(Diary()), "Remind me to call Ann later\r\n");
    EXPECT_FALSE(test::FileExists(Sticks() + kAlarmTableName));
    EXPECT_EQ(dlg.LastBalloon(),
              "No time found in the line, so it went to today's diary: Remind me to call Ann later");
    EXPECT_EQ(NoteText(), "");

    // An alarm table that is not one: nothing is written to it, and the line is kept.
    CreateDirectoryA(Sticks().c_str(), nullptr);
    test::WriteFileBytes(Sticks() + kAlarmTableName, "not a table");
    ShowWindow(dlg.hwnd(), SW_SHOW);
    TypeAndEnter("remind tea in 5 min");
    EXPECT_EQ(test::ReadFileBytes(Diary()), "Remind me to call Ann later\r\nremind tea in 5 min\r\n");
    EXPECT_EQ(test::ReadFileBytes(Sticks() + kAlarmTableName), "not a table");
    EXPECT_EQ(dlg.LastBalloon(),
              "The reminder could not be saved, so the line went to today's diary: remind tea in 5 min");
}

TEST_F(ReminderLineTest, NobodyLoggedInKeepsTheLineAndAsksForALogin) {
    ShowWindow(dlg.Login().hwnd(), SW_HIDE);
    TypeAndEnter("remind call Ann in 20 min");
    EXPECT_TRUE(IsWindowVisible(dlg.Login().hwnd()));
    EXPECT_EQ(NoteText(), "remind call Ann in 20 min");
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
    EXPECT_EQ(dlg.LastBalloon(), "");
}

}  // namespace
}  // namespace pinora
