#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AlarmCode.h"
#include "AlarmStore.h"
#include "Clock.h"
#include "Scheduler.h"
#include "StickTestSupport.h"
#include "TabuloClock.h"

namespace pinora {
namespace {

LocalTime At(int y, int m, int d, int hh, int mm, int ss = 0) {
    return LocalTime{y, m, d, hh, mm, ss, DayOfWeek(y, m, d)};
}

LocalTime Plus30Seconds(LocalTime t) {
    t.second += 30;
    if (t.second >= 60) {
        t.second -= 60;
        if (++t.minute == 60) {
            t.minute = 0;
            if (++t.hour == 24) {
                t.hour = 0;
                CivilDate next = NextDay({t.year, t.month, t.day});
                t = At(next.year, next.month, next.day, 0, 0, t.second);
            }
        }
    }
    return t;
}

bool Before(const LocalTime& a, const LocalTime& b) {
    auto key = [](const LocalTime& t) {
        return ((((t.year * 100LL + t.month) * 100 + t.day) * 100 + t.hour) * 100 + t.minute) * 100 + t.second;
    };
    return key(a) < key(b);
}

struct Seen {
    LocalTime when;
    AlarmEvent event;
    int readErrors;
};

// The table library stamps each write with "today": the test's day, as on a
// machine whose clock says so.
const ManualClock* g_stampClock = nullptr;
tabulo::CalendarDate StampDate() {
    const LocalTime t = g_stampClock->Now();
    return tabulo::CalendarDate{t.year, t.month, t.day};
}

class SchedulerTest : public test::SticksFolderTest {
protected:
    void SetUp() override {
        SticksFolderTest::SetUp();
        SetClock(&clock);
        g_stampClock = &clock;
        tabulo::SetTodayFunction(StampDate);
    }
    void TearDown() override {
        tabulo::SetTodayFunction(nullptr);
        SetClock(nullptr);
        SticksFolderTest::TearDown();
    }

    // One record as the editor would write it.
    void Put(const std::string& code, const char* alarm5, const char* alarm30, const char* state,
             const char* weekly = "0000000", const std::string& text = "stick") {
        AlarmRecord r;
        r.code = code;
        r.alarm5 = alarm5;
        r.alarm30 = alarm30;
        r.stick = text;
        r.weekly = weekly;
        r.date = code.substr(0, 8);
        r.state = state;
        ASSERT_TRUE(AppendAlarm(alarmPath, r));
    }

    // Ticks every 30 seconds from `from` up to (not including) `to`.
    std::vector<Seen> Run(LocalTime from, LocalTime to) {
        std::vector<Seen> seen;
        for (LocalTime t = from; Before(t, to); t = Plus30Seconds(t)) {
            clock.Set(t);
            AlarmPassResult pass = CheckAlarms(alarmPath);
            for (const AlarmEvent& e : pass.events) seen.push_back({t, e, pass.readErrors});
        }
        return seen;
    }

    ManualClock clock;
};

std::string HhMm(const LocalTime& t) {
    char s[16];
    std::snprintf(s, sizeof s, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return s;
}

TEST_F(SchedulerTest, OneTimeAlarmRemindsTwiceThenFinishes) {
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "1");
    std::vector<Seen> seen = Run(At(2009, 3, 5, 13, 0), At(2009, 3, 5, 14, 6));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(HhMm(seen[0].when), "13:35:00");  // the advance reminder
    EXPECT_EQ(HhMm(seen[1].when), "14:00:00");  // the reminder at the time
    EXPECT_EQ(seen[1].event.text, "stick");
    EXPECT_EQ(seen[1].event.record, 1);
    EXPECT_EQ(seen[1].event.alarm.hour, 14);
    EXPECT_EQ(seen[1].event.alarm.minute, 5);
    EXPECT_EQ(Alarm(1, kAlarm30), "1");
    EXPECT_EQ(Alarm(1, kAlarm5), "1");
    EXPECT_EQ(Alarm(1, kAlarmState), "1");

    // The first tick after the time resets both flags and ends the alarm.
    EXPECT_TRUE(Run(At(2009, 3, 5, 14, 6), At(2009, 3, 5, 15, 0)).empty());
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
    EXPECT_EQ(Alarm(1, kAlarm30), "0");
    EXPECT_EQ(Alarm(1, kAlarm5), "0");
}

TEST_F(SchedulerTest, QuickReminderGivesOnlyTheReminderAtTheTime) {
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "1", "1");
    std::vector<Seen> seen = Run(At(2009, 3, 5, 13, 0), At(2009, 3, 5, 15, 0));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(HhMm(seen[0].when), "14:00:00");
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
}

TEST_F(SchedulerTest, DailyRangeRemindsEachDayThenGoesOutOfDate) {
    Put("20090301|2009|03|01|9|0|0|1|20090303", "0", "0", "1");
    for (int day = 1; day <= 3; ++day) {
        std::vector<Seen> seen = Run(At(2009, 3, day, 8, 0), At(2009, 3, day, 10, 0));
        ASSERT_EQ(seen.size(), 2u) << "day " << day;
        EXPECT_EQ(HhMm(seen[0].when), "08:30:00");
        EXPECT_EQ(HhMm(seen[1].when), "08:55:00");
        EXPECT_EQ(Alarm(1, kAlarmState), "1") << "a range does not end before its last day is over";
    }
    std::vector<Seen> seen = Run(At(2009, 3, 4, 0, 0), At(2009, 3, 4, 0, 2));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].event.outOfDate);
    EXPECT_EQ(seen[0].event.text, kOutOfDateText);
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
}

TEST_F(SchedulerTest, WeeklyAlarmRemindsOnItsWeekdaysOnly) {
    // 2 March 2009 was a Monday.
    Put("20090301|2009|03|01|9|0|0|2|29991230", "0", "0", "1", "0100000", "gym");
    for (int day = 1; day <= 8; ++day) {
        std::vector<Seen> seen = Run(At(2009, 3, day, 8, 0), At(2009, 3, day, 10, 0));
        const bool monday = DayOfWeek(2009, 3, day) == 1;
        ASSERT_EQ(seen.size(), monday ? 2u : 0u) << "day " << day;
        if (monday) {
            EXPECT_EQ(seen[1].event.text, "gym");
            EXPECT_EQ(seen[1].event.weeklyStick, "gym");
        }
    }
    EXPECT_EQ(Alarm(1, kAlarmState), "1");  // weekly alarms never finish by themselves
}

TEST_F(SchedulerTest, AlarmJustAfterMidnightIsLookedAtFromMidnightOnly) {
    Put("20090301|2009|03|01|0|10|0|1|29991230", "0", "0", "1");
    std::vector<Seen> seen = Run(At(2009, 3, 4, 23, 0), At(2009, 3, 5, 0, 15));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(HhMm(seen[0].when), "00:00:00");
    EXPECT_EQ(seen[0].when.day, 5);
    EXPECT_EQ(HhMm(seen[1].when), "00:05:00");
}

TEST_F(SchedulerTest, FinishedAndPlainSticksNeverRemind) {
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "3");
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "0");
    Put("20090301|2009|03|01|14|5|4|1|20090301", "0", "0", "3");  // out of date, but no alarm
    EXPECT_TRUE(Run(At(2009, 3, 5, 13, 0), At(2009, 3, 5, 15, 0)).empty());
    EXPECT_EQ(Alarm(3, kAlarmState), "3");
}

TEST_F(SchedulerTest, TimeMissedWhileNotRunningGoesOutOfDateNextDay) {
    Put("20090305|2009|03|05|10|0|4|1|20090305", "0", "0", "1");
    EXPECT_TRUE(Run(At(2009, 3, 5, 10, 30), At(2009, 3, 5, 13, 0)).empty());
    EXPECT_EQ(Alarm(1, kAlarmState), "1");
    std::vector<Seen> seen = Run(At(2009, 3, 6, 9, 0), At(2009, 3, 6, 9, 1));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].event.outOfDate);
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
}

// Asleep from 12:00 to 15:00 on Thursday 5 March: the pass at waking gives
// what the sleep made it miss, once, and the passes after it carry on as usual.
TEST_F(SchedulerTest, AlarmsWhoseTimePassedWhileAsleepAreRemindedOnceAtWaking) {
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "1", "0000000", "one-time");
    Put("20090301|2009|03|01|13|0|0|2|29991230", "0", "0", "1", "0000100", "thursdays");
    Put("20090305|2009|03|05|11|0|4|1|20090305", "0", "0", "1", "0000000", "before the sleep");
    Put("20090305|2009|03|05|16|0|4|1|20090305", "0", "0", "1", "0000000", "still ahead");
    Put("20090301|2009|03|01|14|30|0|2|29991230", "0", "0", "1", "1000000", "sundays");
    const LocalTime asleep = At(2009, 3, 5, 12, 0);
    clock.Set(At(2009, 3, 5, 15, 0));
    AlarmPassResult pass = CheckAlarms(alarmPath, &asleep);
    ASSERT_EQ(pass.events.size(), 2u);
    EXPECT_EQ(pass.events[0].text, "one-time");
    EXPECT_FALSE(pass.events[0].outOfDate);
    EXPECT_EQ(pass.events[1].text, "thursdays");
    EXPECT_EQ(Alarm(1, kAlarm30), "1");
    EXPECT_EQ(Alarm(1, kAlarm5), "1");

    // Once: the ticks after it finish the one-time alarm and reset the weekly one.
    EXPECT_TRUE(Run(At(2009, 3, 5, 15, 0), At(2009, 3, 5, 15, 29)).empty());
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
    EXPECT_EQ(Alarm(2, kAlarm5), "0");
    EXPECT_EQ(Alarm(3, kAlarmState), "1");  // missed before the sleep: out of date tomorrow, as before
    std::vector<Seen> next = Run(At(2009, 3, 5, 15, 29), At(2009, 3, 5, 16, 1));
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0].event.text, "still ahead");

    // Asleep since the evening before: today's alarms from midnight on count.
    Put("20090306|2009|03|06|7|15|5|1|20090306", "0", "0", "1", "0000000", "morning");
    const LocalTime evening = At(2009, 3, 5, 22, 0);
    clock.Set(At(2009, 3, 6, 8, 0));
    pass = CheckAlarms(alarmPath, &evening);
    ASSERT_FALSE(pass.events.empty());
    EXPECT_EQ(pass.events.back().text, "morning");
    // A sleep stamped after now (the clock went back) misses nothing.
    AlarmCode morning;
    ASSERT_TRUE(DecodeAlarmCode("20090306|2009|03|06|7|15|5|1|20090306", &morning));
    EXPECT_FALSE(MissedWhileAsleep(morning, "", TodayNumbersFrom(At(2009, 3, 6, 8, 0)), At(2009, 3, 7, 1, 0)));
}

TEST_F(SchedulerTest, KindThreeIsStoredButNeverReminds) {
    Put("20090305|2009|03|05|14|5|4|3|20090305", "0", "0", "1");
    EXPECT_TRUE(Run(At(2009, 3, 5, 13, 0), At(2009, 3, 5, 15, 0)).empty());
    std::vector<Seen> seen = Run(At(2009, 3, 6, 9, 0), At(2009, 3, 6, 9, 1));
    ASSERT_EQ(seen.size(), 1u);  // but it still runs out of date
    EXPECT_TRUE(seen[0].event.outOfDate);
}

TEST_F(SchedulerTest, OneReminderPerRecordAndTick) {
    // Five minutes ahead is inside both windows: the advance reminder comes first, alone.
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "1");
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "1", "0000000", "second");
    clock.Set(At(2009, 3, 5, 14, 0));
    AlarmPassResult pass = CheckAlarms(alarmPath);
    ASSERT_EQ(pass.events.size(), 2u);
    EXPECT_EQ(pass.events[0].record, 1);
    EXPECT_EQ(pass.events[1].text, "second");
    EXPECT_EQ(Alarm(1, kAlarm30), "1");
    EXPECT_EQ(Alarm(1, kAlarm5), "0");
    EXPECT_EQ(CheckAlarms(alarmPath).events.size(), 2u);  // the next tick gives the second one
    EXPECT_EQ(Alarm(1, kAlarm5), "1");
}

TEST_F(SchedulerTest, MissingTableDoesNothing) {
    clock.Set(At(2009, 3, 5, 14, 0));
    AlarmPassResult pass = CheckAlarms(alarmPath);
    EXPECT_FALSE(pass.tableFound);
    EXPECT_TRUE(pass.events.empty());
    EXPECT_EQ(pass.readErrors, 0);
}

// The flags of the reminders given are reset for the next day at any hour once
// the alarm time has passed, and a one-time alarm whose reminders were given ends
// without a word.
TEST_F(SchedulerTest, AlarmInTheLastMinuteOfAnHourIsFinishedAfterItsTime) {
    Put("20090305|2009|03|05|14|59|4|1|20090305", "0", "0", "1");
    std::vector<Seen> seen = Run(At(2009, 3, 5, 14, 0), At(2009, 3, 5, 15, 2));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(HhMm(seen[0].when), "14:29:00");
    EXPECT_EQ(HhMm(seen[1].when), "14:54:00");
    EXPECT_EQ(Alarm(1, kAlarmState), "0");  // over, not left to go out of date
    EXPECT_TRUE(Run(At(2009, 3, 6, 9, 0), At(2009, 3, 6, 9, 2)).empty());
}

TEST_F(SchedulerTest, DailyAlarmInTheLastMinuteOfAnHourRingsEveryDay) {
    Put("20090301|2009|03|01|9|59|0|1|20090303", "0", "0", "1");
    for (int day = 1; day <= 3; ++day) {
        std::vector<Seen> seen = Run(At(2009, 3, day, 9, 0), At(2009, 3, day, 10, 5));
        ASSERT_EQ(seen.size(), 2u) << "day " << day;
        EXPECT_EQ(Alarm(1, kAlarm30), "0") << "ready for the next day";
        EXPECT_EQ(Alarm(1, kAlarm5), "0");
    }
}

TEST_F(SchedulerTest, RepeatingAlarmsWhoseResetWasMissedRingTheNextDay) {
    // Both were reminded yesterday; the program ended before the reset.
    Put("20090301|2009|03|01|14|5|0|1|29991230", "1", "1", "1", "0000000", "daily");
    Put("20090301|2009|03|01|14|5|0|2|29991230", "1", "1", "1", "0001000", "weekly");  // Wednesdays
    clock.Set(At(2009, 3, 3, 20, 0));  // Tuesday evening: not its day, the weekly one is reset too
    EXPECT_TRUE(CheckAlarms(alarmPath).events.empty());
    EXPECT_EQ(Alarm(2, kAlarm30), "0");
    EXPECT_EQ(Alarm(2, kAlarm5), "0");
    EXPECT_EQ(Alarm(1, kAlarm5), "0");

    std::vector<Seen> seen = Run(At(2009, 3, 4, 13, 0), At(2009, 3, 4, 14, 10));
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].event.record, 1);
    EXPECT_EQ(seen[1].event.text, "weekly");
}

TEST_F(SchedulerTest, FlagsFromAnEarlierDayAreClearedWhenTheProgramStartsInsideTheSpan) {
    Put("20090301|2009|03|01|14|5|0|1|29991230", "0", "0", "1");
    Run(At(2009, 3, 3, 13, 0), At(2009, 3, 3, 14, 5));  // reminded; ended before 14:06
    ASSERT_EQ(Alarm(1, kAlarm5), "1");
    // Started again the next day at 13:50, already inside the span.
    std::vector<Seen> seen = Run(At(2009, 3, 4, 13, 50), At(2009, 3, 4, 14, 1));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(HhMm(seen[0].when), "13:50:00");
    EXPECT_EQ(HhMm(seen[1].when), "14:00:00");
    // Inside the span the same day nothing is given twice.
    EXPECT_TRUE(Run(At(2009, 3, 4, 14, 1), At(2009, 3, 4, 14, 10)).empty());
}

TEST_F(SchedulerTest, OneTimeAlarmWhoseRemindersWereGivenEndsSilentlyNextDay) {
    Put("20090305|2009|03|05|23|58|4|1|20090305", "1", "1", "1");
    Put("20090305|2009|03|05|23|58|4|1|20090305", "0", "1", "1", "0000000", "missed");
    std::vector<Seen> seen = Run(At(2009, 3, 6, 8, 0), At(2009, 3, 6, 8, 1));
    ASSERT_EQ(seen.size(), 1u);  // only the one never given is out of date
    EXPECT_EQ(seen[0].event.record, 2);
    EXPECT_TRUE(seen[0].event.outOfDate);
    EXPECT_EQ(Alarm(1, kAlarmState), "0");
    EXPECT_EQ(Alarm(2, kAlarmState), "0");
}

bool FailCodeOfRecordOne(long record, int field) { return record == 1 && field == kAlarmCode; }

TEST_F(SchedulerTest, UnreadableFieldIsReportedAndItsRecordNeverJudged) {
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "1");
    Put("20090305|2009|03|05|14|5|4|1|20090305", "0", "0", "1", "0000000", "second");
    SetAlarmReadFault(FailCodeOfRecordOne);
    clock.Set(At(2009, 3, 6, 9, 0));  // both out of date, were they read whole
    AlarmPassResult pass = CheckAlarms(alarmPath);
    SetAlarmReadFault(nullptr);
    EXPECT_EQ(pass.readErrors, 1);
    ASSERT_EQ(pass.events.size(), 1u);  // the pass went on with the next record
    EXPECT_EQ(pass.events[0].record, 2);
    EXPECT_EQ(Alarm(1, kAlarmState), "1");  // not finished on the strength of a failed read
    EXPECT_EQ(Alarm(2, kAlarmState), "0");
}

TEST(AlarmCodeTest, EncodesAndDecodesTheNineFields) {
    AlarmCode a = DecodeAlarmCode("20090305|2009|03|05|14|5|4|1|20090305");
    EXPECT_EQ(a.startDate, 20090305);
    EXPECT_EQ(a.year, 2009);
    EXPECT_EQ(a.month, 3);
    EXPECT_EQ(a.day, 5);
    EXPECT_EQ(a.hour, 14);
    EXPECT_EQ(a.minute, 5);
    EXPECT_EQ(a.dayOfWeek, 4);
    EXPECT_EQ(a.repeatKind, 1);
    EXPECT_EQ(a.endDate, 20090305);
    EXPECT_EQ(EncodeAlarmCode(a), "20090305|2009|03|05|14|5|4|1|20090305");

    AlarmCode partial = DecodeAlarmCode("20090305|2009|x");
    EXPECT_EQ(partial.startDate, 20090305);
    EXPECT_EQ(partial.year, 2009);
    EXPECT_EQ(partial.month, 0);
    EXPECT_EQ(partial.hour, 0);
    EXPECT_EQ(DecodeAlarmCode("").endDate, 0);
}

TEST(AlarmCodeTest, SnoozeCarriesMinutesAndMidnight) {
    AlarmCode a = DecodeAlarmCode("20090305|2009|03|05|10|40|4|1|20090305");
    AlarmCode s = SnoozedAlarm(a, 2);  // 30 minutes
    EXPECT_EQ(s.hour, 11);
    EXPECT_EQ(s.minute, 10);
    EXPECT_EQ(s.startDate, 20090305);

    a = DecodeAlarmCode("20090228|2009|02|28|23|50|6|1|20090228");
    s = SnoozedAlarm(a, 1);  // 15 minutes
    EXPECT_EQ(EncodeAlarmCode(s), "20090301|2009|03|01|0|5|0|1|20090301");

    a = DecodeAlarmCode("20081231|2008|12|31|23|0|3|1|29991230");
    s = SnoozedAlarm(a, 5);  // two hours
    EXPECT_EQ(EncodeAlarmCode(s), "20090101|2009|01|01|1|0|4|1|29991230");
}

}  // namespace
}  // namespace pinora
