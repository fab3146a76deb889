// The alarm code: nine "|"-separated fields kept in the CODE field of an alarm
// record, and the small date arithmetic around it. Dates travel as numbers
// year * 10000 + month * 100 + day, which print as their "yyyyMMdd" text.
#pragma once
#include <string>

namespace pinora {

// Repeat kinds stored in field 8 of the code.
enum RepeatKind { kRepeatNone = 0, kRepeatDaily = 1, kRepeatWeekly = 2, kRepeatThird = 3 };

// End date of an alarm that repeats without end.
constexpr int kEndlessDate = 29991230;

// The scheduler's working form of one alarm record.
struct AlarmCode {
    int hour = 0;
    int minute = 0;
    int repeatKind = 0;
    int startDate = 0;   // 20090305
    int endDate = 0;
    int dayOfWeek = 0;   // 0 = Sunday
    int day = 0;
    int month = 0;
    int year = 0;
    int bDone30 = 0;     // the advance reminder was given (ALARM30 "1")
    int bDone5 = 0;      // the reminder at the time was given (ALARM5 "1")
};

constexpr int DateNumber(int year, int month, int day) { return year * 10000 + month * 100 + day; }

// For showing a code: missing pieces stay 0; every piece is read like atoi,
// held within int.
AlarmCode DecodeAlarmCode(const char* text);
// For acting on a code: exactly nine pieces of digits, each within its range
// (real dates of years 1 to 9999, hour 0-23, minute 0-59, weekday 0-6, repeat
// kind 0-3). False for anything else, leaving *code untouched: such a code is
// unreadable.
bool DecodeAlarmCode(const char* text, AlarmCode* code);
// "20090305|2009|03|05|14|5|4|1|20090305": the flags are not part of the code.
std::string EncodeAlarmCode(const AlarmCode& code);

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};
int DaysInMonth(int year, int month);
CivilDate NextDay(CivilDate date);

// Clock time plus minutes; what reaches 24:00 carries whole days forward.
struct CarriedTime {
    int hour = 0;
    int minute = 0;
    int daysCarried = 0;
};
CarriedTime AddMinutes(int hour, int minute, int minutes);

// Snooze delays offered by the pop-up and the quick reminder, by list position:
// 5, 15, 30, 60, 90 and 120 minutes. Positions outside the list give 5.
int DelayMinutes(int index);

// The alarm moved by the delay from its own time (not from now). A time past
// 23:59 moves into the next day, and the end date with it when it would fall
// before the new start.
AlarmCode SnoozedAlarm(const AlarmCode& alarm, int delayIndex);

}  // namespace pinora
