// The alarm code as it may be found on disk: numbers beyond their ranges, or
// beyond int, must never reach the scheduler's arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "AlarmCode.h"
#include "Clock.h"
#include "Scheduler.h"
#include "StickTestSupport.h"
#include "StoredNumber.h"

namespace pinora {
namespace {

TEST(AlarmCodeRangeTest, CodesWithEveryNumberInItsRangeAreRead) {
    for (const char* text : {"20090305|2009|03|05|14|5|4|1|20090305", "20080229|2008|02|29|0|0|0|0|29991230",
                             "99991231|9999|12|31|23|59|6|3|99991231", "00010101|0001|01|01|23|59|6|2|00010101"}) {
        AlarmCode code;
        EXPECT_TRUE(DecodeAlarmCode(text, &code)) << text;
    }
    AlarmCode code;
    ASSERT_TRUE(DecodeAlarmCode("20090305|2009|03|05|14|5|4|1|20090305", &code));
    EXPECT_EQ(EncodeAlarmCode(code), "20090305|2009|03|05|14|5|4|1|20090305");
    EXPECT_EQ(code.dayOfWeek, 4);
}

// Each of these was taken as it stood (atoi, no range): overflows in the
// scheduler's differences, the snooze and the date arithmetic, an array read
// before its start, and "4294967310" wrapping round to 14.
TEST(AlarmCodeRangeTest, NumbersOutsideTheirRangesMakeTheCodeUnreadable) {
    for (const char* text : {
             "20090305|2009|03|05|-2147483648|5|4|1|20090305",  // hour
             "20090305|2009|03|05|2147483647|5|4|1|20090305",
             "20090305|2009|03|05|24|5|4|1|20090305",
             "20090305|2009|03|05|14|99|4|1|20090305",          // minute
             "20090305|2009|03|05|14|-1|4|1|20090305",
             "20090305|2009|13|05|14|5|4|1|20090305",           // month
             "20090305|2009|-19|05|14|5|4|1|20090305",
             "20090305|2009|03|45|14|5|4|1|20090305",           // day
             "20090229|2009|02|29|14|5|4|1|20090305",
             "20090305|2147483647|03|05|14|5|4|1|20090305",     // year
             "20090305|0|03|05|14|5|4|1|20090305",
             "20090305|2009|03|05|14|5|9|1|20090305",           // weekday
             "20090305|2009|03|05|14|5|4|7|20090305",           // repeat kind
             "20090305|2009|03|05|14|4294967310|4|1|20090305",  // wraps to 14 through atoi
             "4294967310|2009|03|05|14|5|4|1|20090305",         // start date
             "20091305|2009|03|05|14|5|4|1|20090305",
             "20090305|2009|03|05|14|5|4|1|2147483647",         // end date
             "20090305|2009|03|05|14|5|4|1|20090332",
             "20090305|2009|03|05|14|5|4|1",                    // eight pieces
             "20090305|2009|03|05|14|5|4|1|20090305|7",         // ten
             "20090305|2009|03|05|14h|5|4|1|20090305",          // not a number
             "20090305|2009|03|05||5|4|1|20090305",
             "",
         }) {
        AlarmCode code;
        EXPECT_FALSE(DecodeAlarmCode(text, &code)) << text;
    }
    AlarmCode code;
    EXPECT_FALSE(DecodeAlarmCode(nullptr, &code));
}

// The lenient reading that shows a code in the editor never overflows either.
TEST(AlarmCodeRangeTest, LenientReadingStaysWithinInt) {
    const AlarmCode a = DecodeAlarmCode("99999999999999999999|2009|-99999999999999|05|14|5|4|1|20090305");
    EXPECT_EQ(a.startDate, INT_MAX);
    EXPECT_EQ(a.month, INT_MIN);
    EXPECT_EQ(a.year, 2009);
}

// Settings and lenient pieces read as atoi would, without its overflow.
TEST(StoredNumberTest, ReadsLikeAtoiHeldWithinInt) {
    EXPECT_EQ(SettingNumber("1"), 1);
    EXPECT_EQ(SettingNumber(" -7x"), -7);
    EXPECT_EQ(SettingNumber("+12"), 12);
    EXPECT_EQ(SettingNumber(""), 0);
    EXPECT_EQ(SettingNumber("x1"), 0);
    EXPECT_EQ(SettingNumber("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(SettingNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(SettingNumber("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(LenientNumber(nullptr), 0);
}

TEST(AlarmCodeRangeTest, DayOfWeekOfNoDateIsSundayRatherThanAnyMemory) {
    EXPECT_EQ(DayOfWeek(2009, 3, 5), 4);
    EXPECT_EQ(DayOfWeek(2009, -19, 5), 0);
    EXPECT_EQ(DayOfWeek(INT_MAX, 12, 31), 0);
    EXPECT_EQ(DayOfWeek(INT_MIN, 1, 1), 0);
}

class AlarmCodePassTest : public test::SticksFolderTest {
protected:
    void SetUp() override {
        SticksFolderTest::SetUp();
        clock.Set(LocalTime{2009, 3, 5, 14, 0, 0, 4});
        SetClock(&clock);
    }
    void TearDown() override {
        SetClock(nullptr);
        SticksFolderTest::TearDown();
    }
    ManualClock clock;
};

// A live record whose code is out of range is unreadable: skipped and counted,
// never judged (nor finished as out of date), while the others are reminded.
TEST_F(AlarmCodePassTest, RecordWithACodeOutOfRangeIsSkippedAsUnreadable) {
    for (const char* code : {"20090305|2009|03|05|-2147483648|5|4|1|20090305",
                             "20090305|2009|03|05|14|5|4|1|20090305"}) {
        AlarmRecord r;
        r.code = code;
        r.alarm5 = "0";
        r.alarm30 = "0";
        r.stick = "stick";
        r.date = "20090305";
        r.state = kStateLive;
        ASSERT_TRUE(AppendAlarm(alarmPath, r));
    }
    const AlarmPassResult pass = CheckAlarms(alarmPath);
    EXPECT_EQ(pass.readErrors, 1);
    ASSERT_EQ(pass.events.size(), 1u);
    EXPECT_EQ(pass.events[0].record, 2);
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
    EXPECT_EQ(Alarm(1, kAlarm30), "0");
}

}  // namespace
}  // namespace pinora
