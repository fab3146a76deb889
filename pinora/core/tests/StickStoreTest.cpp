#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "StickStore.h"
#include "StickTestSupport.h"
#include "TableScan.h"
#include "Tabulo.h"

namespace pinora {
namespace {

using StickStoreTest = test::SticksFolderTest;

TEST_F(StickStoreTest, FirstAppendCreatesTheIndexWithItsThreeFields) {
    EXPECT_EQ(AppendStick(folder, 20090305, "first"), 1);
    EXPECT_EQ(AppendStick(folder, 20090306, "second"), 2);

    FileDBF table;
    ASSERT_EQ(table.Open((folder + kStickIndexName).c_str()), 0);
    ASSERT_EQ(table.GetFieldCount(), 3);
    EXPECT_STREQ(table.GetFieldName(1), "NUMBER");
    EXPECT_EQ(table.GetFieldLength(1), 12);
    EXPECT_STREQ(table.GetFieldName(2), "DATE");
    EXPECT_EQ(table.GetFieldLength(2), 9);
    EXPECT_STREQ(table.GetFieldName(3), "STICK");
    EXPECT_EQ(table.GetFieldLength(3), 255);
    table.Close();

    EXPECT_EQ(Stick(2, kStickNumber), "2");
    EXPECT_EQ(Stick(2, kStickDate), "20090306");
    EXPECT_EQ(Stick(2, kStickText), "second");
}

TEST_F(StickStoreTest, AppendRefusesAnEmptyTextOrFolder) {
    EXPECT_EQ(AppendStick(folder, 20090305, ""), 0);
    EXPECT_EQ(AppendStick("", 20090305, "text"), 0);
    EXPECT_EQ(CountRecords(folder + kStickIndexName), -1);
}

TEST_F(StickStoreTest, LongTextIsStoredWith254Characters) {
    std::string text(255, 'x');
    text[253] = 'y';
    ASSERT_EQ(AppendStick(folder, 20090305, text), 1);
    EXPECT_EQ(Stick(1, kStickText), text.substr(0, 254));
}

TEST_F(StickStoreTest, UpdateRewritesInPlaceAndNeverGrowsTheTable) {
    EXPECT_EQ(UpdateStick(folder, 1, 20090305, "no table"), 0);
    EXPECT_EQ(CountRecords(folder + kStickIndexName), -1);  // not created

    AppendStick(folder, 20090305, "a");
    AppendStick(folder, 20090305, "b");
    EXPECT_EQ(UpdateStick(folder, 3, 20090305, "c"), 0);
    EXPECT_EQ(CountRecords(folder + kStickIndexName), 2);

    EXPECT_EQ(UpdateStick(folder, 2, 20090401, "b2"), 2);
    EXPECT_EQ(Stick(2, kStickDate), "20090401");
    EXPECT_EQ(Stick(2, kStickText), "b2");
    EXPECT_EQ(Stick(1, kStickText), "a");
}

TEST_F(StickStoreTest, FindStickRangeGivesFirstAndLastOfTheDay) {
    int first = -1, last = -1;
    EXPECT_FALSE(FindStickRange(folder, 20090305, &first, &last));  // no table

    for (int i = 0; i < 3; ++i) AppendStick(folder, 20090304, "before");
    for (int i = 0; i < 3; ++i) AppendStick(folder, 20090305, "day");
    AppendStick(folder, 20090306, "after");

    ASSERT_TRUE(FindStickRange(folder, 20090305, &first, &last));
    EXPECT_EQ(first, 4);
    EXPECT_EQ(last, 6);
    EXPECT_FALSE(FindStickRange(folder, 20090307, &first, &last));
}

TEST_F(StickStoreTest, DayWhoseSticksAreNotAdjacentGivesExactlyItsOwn) {
    AppendStick(folder, 20090305, "Thursday");
    AppendStick(folder, 20090306, "Friday");
    AppendStick(folder, 20090305, "Thursday again");
    int first = 0, last = 0;
    ASSERT_TRUE(FindStickRange(folder, 20090305, &first, &last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 3);
    EXPECT_EQ(StickRecordsOfDay(folder, 20090305), (std::vector<int>{1, 3}));
    EXPECT_EQ(StickRecordsOfDay(folder, 20090306), (std::vector<int>{2}));
    EXPECT_TRUE(StickRecordsOfDay(folder, 20090307).empty());
}

TEST_F(StickStoreTest, AlarmTableHasItsSevenFields) {
    AlarmRecord r;
    r.code = "20090305|2009|03|05|14|5|4|1|20090305";
    r.stick = std::string(300, 's');
    ASSERT_TRUE(AppendAlarm(alarmPath, r));

    FileDBF table;
    ASSERT_EQ(table.Open(alarmPath.c_str()), 0);
    const char* names[] = {"CODE", "ALARM5", "ALARM30", "STICK", "WEEKLY", "DATE", "STATE"};
    const int lengths[] = {56, 2, 2, 255, 8, 13, 4};
    ASSERT_EQ(table.GetFieldCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(table.GetFieldName(i + 1), names[i]);
        EXPECT_EQ(table.GetFieldLength(i + 1), lengths[i]);
    }
    table.Close();
    EXPECT_EQ(Alarm(1, kAlarmCode), r.code);
    EXPECT_EQ(Alarm(1, kAlarmStick).size(), 254u);
}

TEST_F(StickStoreTest, ReadAlarmFieldTellsMissingFileFromFailure) {
    char buf[300];
    EXPECT_EQ(ReadAlarmField(alarmPath, 1, kAlarmState, buf), -1);
    AlarmRecord r;
    r.state = "1";
    ASSERT_TRUE(AppendAlarm(alarmPath, r));
    EXPECT_EQ(ReadAlarmField(alarmPath, 1, kAlarmState, buf), 1);
    EXPECT_STREQ(buf, "1");
    EXPECT_EQ(ReadAlarmField(alarmPath, 2, kAlarmState, buf), 0);
    EXPECT_EQ(ReadAlarmField(alarmPath, 1, 8, buf), 0);
    EXPECT_TRUE(SetAlarmField(alarmPath, 1, kAlarmState, "0"));
    EXPECT_FALSE(SetAlarmField(alarmPath, 2, kAlarmState, "0"));
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
}

// The pairing of record n in both tables survives an alarm append that fails.
int g_failures = 0;
bool FailWhileCounting() { return g_failures-- > 0; }

TEST_F(StickStoreTest, FailedAlarmAppendIsRepairedBeforeTheNextStick) {
    AlarmRecord live;
    live.state = "1";
    live.stick = "one";
    ASSERT_EQ(SaveNewStick(folder, 20090305, "one", live), 1);

    g_failures = 1;
    SetAlarmAppendFault(FailWhileCounting);
    live.stick = "two";
    EXPECT_EQ(SaveNewStick(folder, 20090305, "two", live), 0);  // stick 2 has no alarm record
    EXPECT_EQ(CountRecords(folder + kStickIndexName), 2);
    EXPECT_EQ(CountRecords(alarmPath), 1);

    live.stick = "three";
    EXPECT_EQ(SaveNewStick(folder, 20090305, "three", live), 3);
    SetAlarmAppendFault(nullptr);

    ASSERT_EQ(CountRecords(alarmPath), 3);
    EXPECT_EQ(Alarm(2, kAlarmState), "0");  // the half-saved stick is finished
    EXPECT_EQ(Alarm(2, kAlarmStick), "two");
    EXPECT_EQ(Alarm(3, kAlarmState), "1");
    EXPECT_EQ(Alarm(3, kAlarmStick), "three");
    EXPECT_EQ(Stick(3, kStickText), "three");
}

TEST_F(StickStoreTest, UpdateOfAStickWithoutAlarmRecordRepairsFirst) {
    AlarmRecord r;
    r.stick = "one";
    g_failures = 1;
    SetAlarmAppendFault(FailWhileCounting);
    EXPECT_EQ(SaveNewStick(folder, 20090305, "one", r), 0);
    SetAlarmAppendFault(nullptr);
    ASSERT_EQ(CountRecords(alarmPath), -1);

    r.state = "1";
    r.stick = "one again";
    EXPECT_EQ(SaveExistingStick(folder, 1, 20090305, "one again", r), 1);
    EXPECT_EQ(Alarm(1, kAlarmStick), "one again");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
}

TEST_F(StickStoreTest, ShorterStickIndexIsPaddedWithUndatedRecords) {
    AlarmRecord r;
    ASSERT_TRUE(AppendAlarm(alarmPath, r));
    ASSERT_TRUE(AppendAlarm(alarmPath, r));
    ASSERT_EQ(SaveNewStick(folder, 20090305, "third", r), 3);
    EXPECT_EQ(Stick(2, kStickNumber), "2");
    EXPECT_EQ(Stick(2, kStickDate), "");
    int first = 0, last = 0;
    ASSERT_TRUE(FindStickRange(folder, 20090305, &first, &last));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 3);
}

// A table file that exists but cannot be read as a table is never replaced,
// padded or written over; a copy is kept beside it.
std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void Damage(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::string(64, '\xff') << "the rest of someone's sticks";
}

TEST_F(StickStoreTest, DamagedStickIndexIsLeftAsItIs) {
    const std::string index = folder + kStickIndexName;
    AlarmRecord live;
    live.state = "1";
    ASSERT_EQ(SaveNewStick(folder, 20090305, "one", live), 1);
    Damage(index);
    const std::string damaged = Bytes(index);

    EXPECT_EQ(AppendStick(folder, 20090305, "two"), 0);
    EXPECT_EQ(SaveNewStick(folder, 20090305, "two", live), 0);
    EXPECT_FALSE(RepairStickPairing(folder));
    EXPECT_EQ(Bytes(index), damaged);
    EXPECT_EQ(CountRecords(alarmPath), 1);  // no filler for sticks it cannot see
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
    EXPECT_EQ(Bytes(index + ".bad"), damaged);
}

TEST_F(StickStoreTest, DamagedAlarmTableIsLeftAsItIs) {
    AlarmRecord live;
    live.state = "1";
    ASSERT_EQ(SaveNewStick(folder, 20090305, "one", live), 1);
    Damage(alarmPath);
    const std::string damaged = Bytes(alarmPath);

    EXPECT_FALSE(AppendAlarm(alarmPath, live));
    EXPECT_EQ(SaveNewStick(folder, 20090305, "two", live), 0);
    EXPECT_EQ(Bytes(alarmPath), damaged);
    EXPECT_EQ(CountRecords(folder + kStickIndexName), 1);  // nothing half saved
    EXPECT_EQ(Bytes(alarmPath + ".bad"), damaged);

    // An earlier copy is not written over by a later look at the file.
    Damage(alarmPath);
    std::ofstream(alarmPath, std::ios::app) << "more";
    EXPECT_EQ(SaveNewStick(folder, 20090305, "two", live), 0);
    EXPECT_EQ(Bytes(alarmPath + ".bad"), damaged);
}

}  // namespace
}  // namespace pinora

namespace pinora {
namespace {

// The block reader must give exactly what FileDBF gives, field by field.
TEST_F(StickStoreTest, TableScanReadsWhatFileDbfReads) {
    for (int i = 0; i < 500; ++i) {
        AlarmRecord r;
        r.code = "code " + std::to_string(i);
        r.stick = std::string(static_cast<size_t>(i % 300), static_cast<char>('a' + i % 26));
        r.state = std::to_string(i % 4);
        ASSERT_TRUE(AppendAlarm(alarmPath, r));
    }
    TableScan scan;
    ASSERT_TRUE(scan.Open(alarmPath));
    ASSERT_EQ(scan.Records(), 500);
    ASSERT_EQ(scan.FieldCount(), 7);
    char buf[300];
    for (long r = 1; r <= 500; r += 7) {
        ASSERT_TRUE(scan.Go(r));
        for (int f = 1; f <= 7; ++f) {
            ASSERT_TRUE(scan.ReadField(f, buf, sizeof buf));
            EXPECT_EQ(buf, Alarm(r, f)) << "record " << r << " field " << f;
        }
    }
    EXPECT_FALSE(scan.Go(0));
    EXPECT_FALSE(scan.Go(501));
    char small[4];
    ASSERT_TRUE(scan.Go(30));
    ASSERT_TRUE(scan.ReadField(kAlarmStick, small, sizeof small));
    EXPECT_STREQ(small, "ddd");  // record 30 is the 29th appended
}

TEST_F(StickStoreTest, TableScanReadsZerosPastTheEndOfAShortFile) {
    AlarmRecord r;
    r.code = "kept";
    r.stick = "cut off";
    ASSERT_TRUE(AppendAlarm(alarmPath, r));
    FileDBF table;
    ASSERT_EQ(table.Open(alarmPath.c_str()), 0);
    const long stickAt = table.GetHeaderLength() + table.GetFieldOffset(kAlarmStick);
    table.Close();
    std::filesystem::resize_file(alarmPath, static_cast<std::uintmax_t>(stickAt + 3));
    TableScan scan;
    ASSERT_TRUE(scan.Open(alarmPath));
    ASSERT_TRUE(scan.Go(1));
    char buf[300];
    ASSERT_TRUE(scan.ReadField(kAlarmCode, buf, sizeof buf));
    EXPECT_STREQ(buf, "kept");
    ASSERT_TRUE(scan.ReadField(kAlarmStick, buf, sizeof buf));
    EXPECT_STREQ(buf, "cut");
    EXPECT_EQ(Alarm(1, kAlarmStick), "cut");
}

}  // namespace
}  // namespace pinora
