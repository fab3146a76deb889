#include <gtest/gtest.h>

#include "AlarmCode.h"
#include "StickEditLogic.h"

namespace pinora {
namespace {

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

StickEditorState AlarmAt(int y, int m, int d, int hh, int mm) {
    StickEditorState s;
    s.text = "stick";
    s.alarmOn = true;
    s.start = {y, m, d};
    s.end = {y, m, d};
    s.hour = hh;
    s.minute = mm;
    s.timeDayOfWeek = DayOfWeek(y, m, d);
    return s;
}

TEST(StickEditLogicTest, AlarmMustBeFiveMinutesAhead) {
    const LocalTime now = At(2009, 3, 5, 10, 20);
    EXPECT_FALSE(IsAlarmTimeValid(AlarmAt(2009, 3, 5, 10, 24), now));
    EXPECT_TRUE(IsAlarmTimeValid(AlarmAt(2009, 3, 5, 10, 25), now));
    EXPECT_TRUE(IsAlarmTimeValid(AlarmAt(2009, 3, 5, 11, 24), now));  // the next hour
    EXPECT_FALSE(IsAlarmTimeValid(AlarmAt(2009, 3, 5, 9, 59), now));
    EXPECT_FALSE(IsAlarmTimeValid(AlarmAt(2009, 3, 4, 23, 0), now));
    EXPECT_TRUE(IsAlarmTimeValid(AlarmAt(2009, 3, 6, 0, 0), now));

    StickEditorState off = AlarmAt(2009, 3, 4, 0, 0);
    off.alarmOn = false;
    EXPECT_TRUE(IsAlarmTimeValid(off, now));  // nothing to check without an alarm
}

TEST(StickEditLogicTest, RepeatingStartAfterItsEndIsRefused) {
    const LocalTime now = At(2009, 3, 5, 10, 0);
    StickEditorState s = AlarmAt(2009, 3, 10, 9, 0);
    s.repeat = s.kind1 = s.until = true;
    s.end = {2009, 3, 8};
    EXPECT_FALSE(IsAlarmTimeValid(s, now));
    s.until = false;  // repeats without end
    EXPECT_TRUE(IsAlarmTimeValid(s, now));
    s.repeat = false;  // no repeat: the end is the start
    s.until = true;
    EXPECT_TRUE(IsAlarmTimeValid(s, now));
}

TEST(StickEditLogicTest, RecordValuesFollowTheEditorState) {
    const LocalTime now = At(2009, 3, 5, 10, 0);
    StickEditorState plain = AlarmAt(2009, 3, 5, 0, 0);
    plain.alarmOn = false;
    StickToSave p = BuildStickToSave(plain, now);
    EXPECT_EQ(DecodeAlarmCode(p.alarm.code.c_str()).repeatKind, 0);
    EXPECT_EQ(p.alarm.alarm5, "1");
    EXPECT_EQ(p.alarm.alarm30, "1");
    EXPECT_EQ(p.alarm.state, "3");

    StickToSave a = BuildStickToSave(AlarmAt(2009, 3, 5, 14, 5), now);
    EXPECT_EQ(a.alarm.code, "20090305|2009|03|05|14|5|4|1|20090305");
    EXPECT_EQ(a.alarm.alarm5, "0");
    EXPECT_EQ(a.alarm.alarm30, "0");
    EXPECT_EQ(a.alarm.state, "1");
    EXPECT_EQ(a.alarm.date, "20090305");
    EXPECT_EQ(a.dateNumber, 20090305);

    StickEditorState weekly = AlarmAt(2009, 3, 5, 14, 5);
    weekly.kind2 = true;  // chosen, then repeat unchecked again
    StickToSave w = BuildStickToSave(weekly, now);
    EXPECT_EQ(w.alarm.code, "20090305|2009|03|05|14|5|4|2|20090305");
    weekly.repeat = true;
    EXPECT_EQ(BuildStickToSave(weekly, now).alarm.code, "20090305|2009|03|05|14|5|4|2|29991230");
}

TEST(StickEditLogicTest, QuickReminderTimeCarriesMinutesHoursAndDays) {
    StickEditorState s = AlarmAt(2009, 3, 5, 0, 0);
    s.alarmOn = false;
    s.quick = true;
    s.quickDelay = 0;
    StickToSave q = BuildStickToSave(s, At(2009, 3, 5, 10, 52));
    EXPECT_EQ(q.alarm.code, "20090305|2009|03|05|11|2|4|1|20090305");
    EXPECT_EQ(q.alarm.alarm5, "0");
    EXPECT_EQ(q.alarm.alarm30, "1");
    EXPECT_EQ(q.alarm.state, "1");
    EXPECT_EQ(BuildStickToSave(s, At(2009, 3, 5, 10, 50)).alarm.code, "20090305|2009|03|05|11|0|4|1|20090305");

    s.quickDelay = 5;  // two hours, past midnight
    s.start = {2009, 2, 28};
    StickToSave late = BuildStickToSave(s, At(2009, 2, 28, 22, 30));
    EXPECT_EQ(DecodeAlarmCode(late.alarm.code.c_str()).startDate, 20090301);
    EXPECT_EQ(late.alarm.code.substr(0, 30), "20090301|2009|03|01|0|35|4|1|2");
    EXPECT_EQ(DecodeAlarmCode(late.alarm.code.c_str()).endDate, 20090301);
    EXPECT_EQ(late.alarm.date, "20090301");
}

TEST(StickEditLogicTest, WeekdayTextIsEmptyWhileTheListIsDisabled) {
    const bool checked[7] = {false, true, false, false, false, false, true};
    EXPECT_EQ(WeekdayText(checked, true), "0100001");
    EXPECT_EQ(WeekdayText(checked, false), "0000000");
}

}  // namespace
}  // namespace pinora
