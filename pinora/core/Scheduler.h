// The reminder scheduler: one pass over the alarm table on every tick of the main
// window's timer. The pass decides and records its decisions in the table; what
// to show is handed back to the caller, so the pass runs without any window.
#pragma once
#include <string>
#include <vector>

#include "AlarmCode.h"
#include "Clock.h"

namespace pinora {

constexpr const char* kOutOfDateText = "Reminder info was out of date!\r\n'Open Stick Managers' to check!";

// Today's numbers as the scheduler compares them.
struct TodayNumbers {
    int today = 0;      // 20090305
    int hour = 0;
    int minute = 0;
    int dayOfWeek = 0;  // 0 = Sunday
};
TodayNumbers TodayNumbersFrom(const LocalTime& now);

enum class DueAction {
    None,
    OutOfDate,        // past the end date: finish it and say so
    AdvanceReminder,  // the thirty-minute reminder
    TimeReminder,     // the reminder at the time (five minutes before it)
    ResetFlags,       // both reminders given and now outside today's span: ready for the next one
    ResetAndFinish,   // ... and a one-time alarm is over, without a word
    MissedReminder,   // its time passed today while the machine slept: reminded once, both flags given
};

// What one record calls for now. weekdays is the WEEKLY text, looked at for
// weekly alarms only. Today's reminder span runs from thirty minutes before the
// alarm time to the time itself; the reminders are given inside it, and the
// flags of both given reminders are reset outside it, at any hour.
DueAction CheckDue(const AlarmCode& alarm, const char* weekdays, const TodayNumbers& now);

// True for an alarm that rings on more than one day (a daily range or weekdays):
// its flags speak only of the day they were set on.
bool RingsOnSeveralDays(const AlarmCode& alarm);

// One pop-up the pass asks for.
struct AlarmEvent {
    AlarmCode alarm;
    std::string text;         // the stick text, or the out-of-date message
    int record = 0;
    std::string weeklyStick;  // the stick text of a weekly alarm, else empty
    bool outOfDate = false;
};

struct AlarmPassResult {
    bool tableFound = false;
    bool tableDamaged = false;  // there but not sound (unreadable, another layout, short of records):
                                // reported once, nothing written to it
    std::vector<AlarmEvent> events;
    int readErrors = 0;          // fields that could not be read: the caller stops the timer
    bool statesChanged = false;  // some alarm was finished: lists of live sticks are stale
};

// The pass over the table at the path, at the clock's "now". missedSince: the
// moment the machine went to sleep, for the pass at its waking; an alarm whose
// time of today fell between then and now, and whose reminder was not given, is
// reminded once (as the pass would have done had it run).
AlarmPassResult CheckAlarms(const std::string& alarmPath, const LocalTime* missedSince = nullptr);

// Whether today's time of the alarm fell in [since, now) with its reminder at the
// time not given: what the sleep made the passes miss. Days before today are
// the business of the out-of-date rule.
bool MissedWhileAsleep(const AlarmCode& alarm, const char* weekdays, const TodayNumbers& now,
                       const LocalTime& since);

// Tests make single field reads of the pass fail here (true: the read fails).
using AlarmReadFault = bool (*)(long record, int field);
void SetAlarmReadFault(AlarmReadFault fault);

}  // namespace pinora
