// The stick index and the alarm table as they may be found: of another
// layout, short of the records their headers claim, or saved by another dBase
// program. Such tables are read as far as they can be, said to be damaged
// once, and never written to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AlarmStore.h"
#include "DamagedTables.h"
#include "DamagedTableTestSupport.h"
#include "Clock.h"
#include "Scheduler.h"
#include "StickStore.h"
#include "StickTestSupport.h"
#include "TableCheck.h"
#include "TableFields.h"
#include "TodayList.h"

namespace pinora {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::SetHeaderRecordCount;
using test::WriteFileBytes;

class StoreLayoutTest : public test::SticksFolderTest {
protected:
    void SetUp() override {
        SticksFolderTest::SetUp();
        stickPath = folder + kStickIndexName;
        clock.Set(LocalTime{2009, 3, 5, 13, 50, 0, 4});
        SetClock(&clock);
    }
    void TearDown() override {
        SetClock(nullptr);
        SticksFolderTest::TearDown();
    }

    // A stick and its alarm at 14:05 today, as the editor saves them.
    void SaveStick(const std::string& text) {
        AlarmRecord alarm;
        alarm.code = "20090305|2009|03|05|14|5|4|1|20090305";
        alarm.alarm5 = "0";
        alarm.alarm30 = "0";
        alarm.date = "20090305";
        alarm.state = kStateLive;
        alarm.stick = text;
        ASSERT_GT(SaveNewStick(folder, 20090305, text, alarm), 0);
    }

    // A stick index whose DATE field is 255 wide, one record of a 200-character date.
    void MakeWideStickIndex() {
        FieldHeaderCreat fields[3] = {CharField("NUMBER", 12), CharField("DATE", 255), CharField("STICK", 255)};
        FileDBF table;
        ASSERT_EQ(table.Creat(stickPath.c_str(), 3, fields), 0);
        ASSERT_EQ(table.AppendRecord(), 0);
        ASSERT_EQ(table.WriteField(2, std::string(200, '2').c_str()), 0);
    }

    std::string stickPath;
    ManualClock clock;
    test::DamageReports reports;
};

// Read into buffers sized for the fields the program creates, a wider field
// overran them: the day's lookup and the repair of the pairing read DATE into
// 16 bytes.
TEST_F(StoreLayoutTest, StickIndexOfAnotherLayoutIsRefusedAndLeftAlone) {
    MakeWideStickIndex();
    AlarmRecord filler;
    ASSERT_TRUE(AppendAlarm(alarmPath, filler));
    ASSERT_TRUE(AppendAlarm(alarmPath, filler));  // one record more than the index: a repair is due
    const Bytes index = ReadFileBytes(stickPath), alarms = ReadFileBytes(alarmPath);

    int first = 0, last = 0;
    EXPECT_FALSE(FindStickRange(folder, 20090305, &first, &last));
    EXPECT_EQ(AppendStick(folder, 20090305, "new"), 0);
    EXPECT_EQ(UpdateStick(folder, 1, 20090305, "new"), 0);
    EXPECT_FALSE(RepairStickPairing(folder));
    EXPECT_EQ(ReadFileBytes(stickPath), index);
    EXPECT_EQ(ReadFileBytes(alarmPath), alarms);
    EXPECT_EQ(reports.paths(), std::vector<std::string>{stickPath});
    EXPECT_EQ(ReadFileBytes(DamagedCopyPath(stickPath)), index);  // kept aside as it was
}

// An alarm table whose CODE field is 255 wide: its fields are not where the
// scheduler looks for them, so nothing is judged and nothing written.
TEST_F(StoreLayoutTest, AlarmTableOfAnotherLayoutIsNeitherJudgedNorWritten) {
    FieldHeaderCreat fields[] = {CharField("CODE", 255), CharField("ALARM5", 2), CharField("ALARM30", 2),
                                 CharField("STICK", 255), CharField("WEEKLY", 8), CharField("DATE", 13),
                                 CharField("STATE", 4)};
    {
        FileDBF table;
        ASSERT_EQ(table.Creat(alarmPath.c_str(), 7, fields), 0);
        ASSERT_EQ(table.AppendRecord(), 0);
        ASSERT_EQ(table.WriteField(1, std::string(200, '1').c_str()), 0);
        ASSERT_EQ(table.WriteField(7, "1"), 0);
    }
    const Bytes before = ReadFileBytes(alarmPath);
    const AlarmPassResult pass = CheckAlarms(alarmPath);
    EXPECT_TRUE(pass.tableDamaged);
    EXPECT_TRUE(pass.events.empty());
    char code[256];
    EXPECT_EQ(ReadAlarmField(alarmPath, 1, kAlarmCode, code), 0);
    EXPECT_FALSE(SetAlarmField(alarmPath, 1, kAlarmState, kStateFinished));
    EXPECT_FALSE(AppendAlarm(alarmPath, AlarmRecord{}));
    EXPECT_TRUE(BuildTodayList(alarmPath, 20090305, 0).empty());
    EXPECT_EQ(ReadFileBytes(alarmPath), before);
    EXPECT_EQ(reports.paths(), std::vector<std::string>{alarmPath});
}

// Headers claiming 2^31 - 1 records over three: the pass and the lookups run
// over the three (a pass took about 50 s), the reminders are given, the
// tables are said to be damaged once and nothing is written to them.
TEST_F(StoreLayoutTest, TablesShortOfTheirRecordsAreReadButNeverWritten) {
    for (const char* text : {"one", "two", "three"}) SaveStick(text);
    SetHeaderRecordCount(stickPath, 0x7FFFFFFFu);
    SetHeaderRecordCount(alarmPath, 0x7FFFFFFFu);
    const Bytes index = ReadFileBytes(stickPath), alarms = ReadFileBytes(alarmPath);

    const AlarmPassResult pass = CheckAlarms(alarmPath);
    EXPECT_TRUE(pass.tableDamaged);
    EXPECT_EQ(pass.events.size(), 3u);  // the advance reminders: 15 minutes to go
    EXPECT_TRUE(CheckAlarms(alarmPath).events.empty());  // given once, though their flags could not be kept
    EXPECT_EQ(BuildTodayList(alarmPath, 20090305, 0).size(), 3u);
    int first = 0, last = 0;
    ASSERT_TRUE(FindStickRange(folder, 20090305, &first, &last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 3);

    AlarmRecord alarm;
    EXPECT_EQ(SaveNewStick(folder, 20090305, "four", alarm), 0);
    EXPECT_EQ(SaveExistingStick(folder, 2, 20090305, "TWO", alarm), 0);
    EXPECT_EQ(ReadFileBytes(stickPath), index);
    EXPECT_EQ(ReadFileBytes(alarmPath), alarms);
    EXPECT_EQ(reports.paths().size(), 2u);
}

// Saved by a dBase program that pads with blanks: still the same sticks.
TEST_F(StoreLayoutTest, TablesPaddedWithBlanksKeepTheirSticksAndReminders) {
    SaveStick("padded");
    for (const std::string& path : {stickPath, alarmPath}) {
        Bytes b = ReadFileBytes(path);
        const size_t records = b.at(8) | (b.at(9) << 8);
        for (size_t i = records + 1; i + 1 < b.size(); ++i)
            if (b[i] == 0) b[i] = ' ';
        WriteFileBytes(path, b);
    }
    int first = 0, last = 0;
    ASSERT_TRUE(FindStickRange(folder, 20090305, &first, &last));
    EXPECT_EQ(first, 1);
    const AlarmPassResult pass = CheckAlarms(alarmPath);
    ASSERT_EQ(pass.events.size(), 1u);
    EXPECT_EQ(pass.events[0].text, "padded");
    EXPECT_EQ(Alarm(1, kAlarm30), "1");  // a sound table: the flag is kept
    EXPECT_TRUE(reports.paths().empty());
}

// A table that takes no writes cannot keep the reminders' flags: the pass keeps
// them for the run, so each reminder comes once (not on every tick) and an
// out-of-date alarm is announced once.
TEST_F(StoreLayoutTest, ReminderOfATableThatTakesNoWritesIsGivenOnce) {
    SaveStick("dentist");  // 14:05 today
    AlarmRecord old;
    old.code = "20090301|2009|03|01|9|0|0|1|20090301";
    old.alarm5 = old.alarm30 = "0";
    old.date = "20090301";
    old.state = kStateLive;
    old.stick = "long gone";
    ASSERT_GT(SaveNewStick(folder, 20090301, "long gone", old), 0);
    SetHeaderRecordCount(stickPath, 0x7FFFFFFFu);
    SetHeaderRecordCount(alarmPath, 0x7FFFFFFFu);
    const Bytes alarms = ReadFileBytes(alarmPath);

    const auto texts = [&] {
        std::vector<std::string> t;
        for (const AlarmEvent& e : CheckAlarms(alarmPath).events) t.push_back(e.outOfDate ? "out of date" : e.text);
        return t;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"dentist", "out of date"}));  // 13:50: the advance reminder
    EXPECT_TRUE(texts().empty());
    clock.Set(LocalTime{2009, 3, 5, 14, 1, 0, 4});
    EXPECT_EQ(texts(), std::vector<std::string>{"dentist"});  // the reminder at the time
    EXPECT_TRUE(texts().empty());
    clock.Set(LocalTime{2009, 3, 5, 14, 30, 0, 4});
    EXPECT_TRUE(texts().empty());
    clock.Set(LocalTime{2009, 3, 6, 9, 0, 0, 5});
    EXPECT_TRUE(texts().empty());  // the one that rang is over, the other was announced
    EXPECT_EQ(ReadFileBytes(alarmPath), alarms);
}

}  // namespace
}  // namespace pinora
