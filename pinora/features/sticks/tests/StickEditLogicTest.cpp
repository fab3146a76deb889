#include <gtest/gtest.h>

#include "AlarmCode.h"
#include "StickEditLogic.h"
#include "StickErrors.h"

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
    // Carried into Sunday, 1 March: the weekday field moves with the date.
    EXPECT_EQ(late.alarm.code.substr(0, 30), "20090301|2009|03|01|0|35|0|1|2");
    EXPECT_EQ(DecodeAlarmCode(late.alarm.code.c_str()).endDate, 20090301);
    EXPECT_EQ(late.alarm.date, "20090301");
}

TEST(StickEditLogicTest, QuickReminderTakesTheDateAtOk) {
    // Opened on Thursday evening, saved after midnight.
    StickEditorState s = AlarmAt(2009, 3, 5, 23, 50);
    s.alarmOn = false;
    s.quick = true;
    s.quickDelay = 1;  // 15 minutes
    StickToSave q = BuildStickToSave(s, At(2009, 3, 6, 0, 10));
    EXPECT_EQ(q.alarm.code, "20090306|2009|03|06|0|30|5|1|20090306");
    EXPECT_EQ(q.dateNumber, 20090306);
    EXPECT_EQ(q.alarm.date, "20090306");
}

// A stored alarm that has begun keeps its start date; a new one may not start in
// the past, and an alarm with no day left to ring on is refused.
TEST(StickEditLogicTest, StartedRepeatingAlarmKeepsItsStoredStart) {
    const LocalTime now = At(2009, 3, 5, 10, 0);
    StickEditorState daily = AlarmAt(2009, 3, 2, 9, 0);  // daily since Monday, no end
    daily.repeat = daily.kind1 = true;
    EXPECT_FALSE(IsAlarmTimeValid(daily, now));  // as a new stick: in the past
    daily.keptStartDate = 20090302;
    EXPECT_TRUE(IsAlarmTimeValid(daily, now));

    daily.start = {2009, 3, 3};  // moved to another past day: not kept
    EXPECT_FALSE(IsAlarmTimeValid(daily, now));
    daily.start = {2009, 3, 2};

    daily.until = true;  // its last day is today, its time has passed
    daily.end = {2009, 3, 5};
    EXPECT_FALSE(IsAlarmTimeValid(daily, now));
    daily.hour = 10;
    daily.minute = 30;
    EXPECT_TRUE(IsAlarmTimeValid(daily, now));
    daily.end = {2009, 3, 4};  // already over
    EXPECT_FALSE(IsAlarmTimeValid(daily, now));

    // Loaded from today, started this morning: it still rings tomorrow.
    StickEditorState today = AlarmAt(2009, 3, 5, 8, 0);
    today.repeat = today.kind1 = true;
    today.keptStartDate = 20090305;
    EXPECT_TRUE(IsAlarmTimeValid(today, now));

    // A one-time alarm is loaded as a range ending on its own day.
    StickEditorState once = AlarmAt(2009, 3, 4, 9, 0);
    once.repeat = once.kind1 = once.until = true;
    once.keptStartDate = 20090304;
    EXPECT_FALSE(IsAlarmTimeValid(once, now));
}

TEST(StickEditLogicTest, WeekdayTextIsEmptyWhileTheListIsDisabled) {
    const bool checked[7] = {false, true, false, false, false, false, true};
    EXPECT_EQ(WeekdayText(checked, true), "0100001");
    EXPECT_EQ(WeekdayText(checked, false), "0000000");
}

// The library's text names the table by position; other % codes in it are
// shown as written, never read as a printf format.
TEST(StickErrorsTest, TableTextsAreFilledByPositionNeverUsedAsFormats) {
    EXPECT_EQ(TableMessageText("The table %s cannot be read.", "C:\\P\\alarm.ser"),
              "The table C:\\P\\alarm.ser cannot be read.");
    EXPECT_EQ(TableMessageText("%s%s%n", "alarm.ser"), "alarm.ser%s%n");
    EXPECT_EQ(TableMessageText("%d%%", "alarm.ser"), "alarm.ser%");
}

// A reminder typed in words is saved as the editor saves the same alarm.
TEST(StickEditLogicTest, RemindersInWordsAreSavedAsTheEditorSavesThem) {
    const LocalTime now = At(2009, 3, 5, 10, 0);  // a Thursday
    auto saved = [&](const char* phrase) {
        const WhenFound when = ReadWhen(phrase, now, DateOrder::DayMonthYear);
        EXPECT_TRUE(when.found) << phrase;
        return ReminderToSave(when, when.text, now);
    };

    const StickToSave soon = saved("call Ann in 20 min");
    EXPECT_EQ(soon.dateNumber, 20090305);
    EXPECT_EQ(soon.text, "call Ann");
    EXPECT_EQ(soon.alarm.code, "20090305|2009|03|05|10|20|4|1|20090305");
    EXPECT_EQ(soon.alarm.alarm5, "0");
    EXPECT_EQ(soon.alarm.alarm30, "1");  // within the half hour: no advance reminder
    EXPECT_EQ(soon.alarm.state, "1");
    EXPECT_EQ(soon.alarm.stick, "call Ann");
    EXPECT_EQ(soon.alarm.date, "20090305");

    const StickToSave later = saved("dentist tomorrow 9:30");
    EXPECT_EQ(later.alarm.code, "20090306|2009|03|06|9|30|5|1|20090306");
    EXPECT_EQ(later.alarm.alarm30, "0");  // the advance reminder comes too
    EXPECT_EQ(later.alarm.weekly, "0000000");

    // Across midnight the half hour is counted in days too.
    const LocalTime lateNight = At(2009, 3, 5, 23, 50);
    const WhenFound pastMidnight = ReadWhen("in 20 min", lateNight, DateOrder::DayMonthYear);
    EXPECT_EQ(ReminderToSave(pastMidnight, "x", lateNight).alarm.code, "20090306|2009|03|06|0|10|5|1|20090306");
    EXPECT_EQ(ReminderToSave(pastMidnight, "x", lateNight).alarm.alarm30, "1");

    EXPECT_EQ(saved("every day at 8 until 31 mar pills").alarm.code, "20090306|2009|03|06|8|0|5|1|20090331");
    EXPECT_EQ(saved("every day at 8 pills").alarm.code, "20090306|2009|03|06|8|0|5|1|29991230");
    const StickToSave weekly = saved("every mon and thu at 10 gym");
    EXPECT_EQ(weekly.alarm.code, "20090309|2009|03|09|10|0|1|2|29991230");
    EXPECT_EQ(weekly.alarm.weekly, "0100100");
    EXPECT_EQ(saved("every mon until mar 30").alarm.code, "20090309|2009|03|09|9|0|1|2|20090330");
}

}  // namespace
}  // namespace pinora
