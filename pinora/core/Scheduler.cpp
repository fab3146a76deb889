#include "Scheduler.h"

#include <cstring>
#include <map>

#include "AlarmStore.h"
#include "DamagedTables.h"
#include "StickTableLayouts.h"
#include "TableScan.h"

namespace pinora {
namespace {

AlarmReadFault g_readFault = nullptr;

// What the pass decided for a record whose table would not take the writing of
// it (a damaged table, or one held by another program). Kept for the run, so a
// reminder is given once and not on every tick, and an alarm is over once.
struct UnrecordedDecision {
    int day = 0;  // when the reminder flags were given
    bool done30 = false;
    bool done5 = false;
    bool finished = false;
};

using UnrecordedDecisions = std::map<std::string, UnrecordedDecision>;

UnrecordedDecisions& Unrecorded() {
    static UnrecordedDecisions decisions;
    return decisions;
}

// The record and what it holds: another alarm saved at that number later is not
// taken for this one.
std::string UnrecordedKey(const std::string& path, long record, const std::string& code) {
    return path + '|' + std::to_string(record) + '|' + code;
}

// The flags the table should hold: those of today, or of an earlier day for an
// alarm that rings on one day only.
void AddUnrecordedFlags(const UnrecordedDecision* kept, AlarmCode& alarm, int today) {
    if (!kept || (kept->day != today && RingsOnSeveralDays(alarm))) return;
    alarm.bDone30 = alarm.bDone30 || kept->done30;
    alarm.bDone5 = alarm.bDone5 || kept->done5;
}

void KeepUnrecorded(UnrecordedDecision& kept, DueAction action, int today) {
    if (kept.day != today) kept.done30 = kept.done5 = false;
    kept.day = today;
    switch (action) {
    case DueAction::AdvanceReminder:
        kept.done30 = true;
        break;
    case DueAction::TimeReminder:
        kept.done5 = true;
        break;
    case DueAction::ResetFlags:
        kept.done30 = kept.done5 = false;
        break;
    case DueAction::MissedReminder:
        kept.done30 = kept.done5 = true;
        break;
    case DueAction::OutOfDate:
    case DueAction::ResetAndFinish:
        kept.finished = true;
        break;
    case DueAction::None:
        break;
    }
}

int ReadForPass(const TableScan& table, long record, int field, char* value) {
    if (g_readFault && g_readFault(record, field)) return -1;
    return table.ReadField(field, value, kLongestAlarmField + 1) ? 0 : -1;
}

bool IsOne(const char* value) { return std::strcmp(value, "1") == 0; }

constexpr int kAdvanceMinutes = 30;
constexpr int kTimeMinutes = 5;

// The three rules shared by daily and weekly alarms; diff is the minutes from
// now until today's alarm time (negative once it has passed).
DueAction TimeRules(const AlarmCode& a, int diff, bool mayFinish, const TodayNumbers& now) {
    if (diff >= kTimeMinutes && diff <= kAdvanceMinutes && !a.bDone30) return DueAction::AdvanceReminder;
    if (diff >= 0 && diff <= kTimeMinutes && !a.bDone5) return DueAction::TimeReminder;
    const bool outsideSpan = diff < 0 || diff > kAdvanceMinutes;
    if (outsideSpan && a.bDone30 && a.bDone5) {
        const bool oneTime = now.today == a.endDate && now.today == a.startDate;
        return mayFinish && oneTime && diff < 0 ? DueAction::ResetAndFinish : DueAction::ResetFlags;
    }
    return DueAction::None;
}

bool IsWeekdayChecked(const char* weekdays, int dayOfWeek) {
    return weekdays != nullptr && dayOfWeek >= 0 && std::strlen(weekdays) > static_cast<size_t>(dayOfWeek) &&
           weekdays[dayOfWeek] == '1';
}

// The date the table was last written on, from its header (0 when unknown).
int LastWrittenDate(const std::string& path) {
    FileDBF table;
    if (table.Open(path.c_str()) != 0) return 0;
    return DateNumber(1900 + table.GetYear(), table.GetMon(), table.GetDay());
}

bool ClearFlags(const std::string& path, int record) {
    const bool cleared30 = SetAlarmField(path, record, kAlarm30, "0");
    return SetAlarmField(path, record, kAlarm5, "0") && cleared30;
}

// Writes what the decision records into the record, one field at a time; false
// when the table did not take all of it.
bool RecordDecision(const std::string& path, int record, DueAction action) {
    switch (action) {
    case DueAction::OutOfDate:
        return SetAlarmField(path, record, kAlarmState, kStateFinished);
    case DueAction::AdvanceReminder:
        return SetAlarmField(path, record, kAlarm30, "1");
    case DueAction::TimeReminder:
        return SetAlarmField(path, record, kAlarm5, "1");
    case DueAction::MissedReminder: {
        // Both given: the next pass, past the time, resets or finishes it.
        const bool given30 = SetAlarmField(path, record, kAlarm30, "1");
        return SetAlarmField(path, record, kAlarm5, "1") && given30;
    }
    case DueAction::ResetFlags:
        return ClearFlags(path, record);
    case DueAction::ResetAndFinish: {
        const bool cleared = ClearFlags(path, record);
        return SetAlarmField(path, record, kAlarmState, kStateFinished) && cleared;
    }
    case DueAction::None:
        break;
    }
    return true;
}

// An alarm of several days still flagged from an earlier day starts today afresh,
// also when the program starts inside today's span; then it is judged.
// Flags this run gave but could not write are added after that.
DueAction Judge(const std::string& path, long record, AlarmCode& alarm, const char* text, const TodayNumbers& now,
                bool flagsFromEarlierDays, const UnrecordedDecision* unrecorded) {
    if (flagsFromEarlierDays && RingsOnSeveralDays(alarm) && (alarm.bDone30 || alarm.bDone5)) {
        ClearFlags(path, static_cast<int>(record));
        alarm.bDone30 = alarm.bDone5 = 0;
    }
    AddUnrecordedFlags(unrecorded, alarm, now.today);
    return CheckDue(alarm, text, now);
}

}  // namespace

void SetAlarmReadFault(AlarmReadFault fault) { g_readFault = fault; }

TodayNumbers TodayNumbersFrom(const LocalTime& now) {
    return TodayNumbers{DateNumber(now.year, now.month, now.day), now.hour, now.minute, now.dayOfWeek};
}

bool RingsOnSeveralDays(const AlarmCode& a) {
    return a.repeatKind == kRepeatWeekly ? a.endDate != a.startDate
                                         : a.repeatKind == kRepeatDaily && a.endDate > a.startDate;
}

DueAction CheckDue(const AlarmCode& a, const char* weekdays, const TodayNumbers& now) {
    const bool bothGiven = a.bDone30 && a.bDone5;
    if (now.today < a.startDate) return DueAction::None;
    if (now.today > a.endDate) {
        // A one-time alarm whose reminders were both given has done its work;
        // only one that never rang is worth the out-of-date message.
        if (bothGiven && a.startDate == a.endDate) return DueAction::ResetAndFinish;
        return DueAction::OutOfDate;
    }
    // Whole minutes of the day: before midnight an alarm just after it is not
    // looked at, as the hour-by-hour comparison always did.
    const int diff = (a.hour * 60 + a.minute) - (now.hour * 60 + now.minute);
    switch (a.repeatKind) {
    case kRepeatDaily:
        return TimeRules(a, diff, true, now);
    case kRepeatWeekly:
        // Not its day: nothing to give, and flags left from its last day are reset.
        if (!IsWeekdayChecked(weekdays, now.dayOfWeek)) return bothGiven ? DueAction::ResetFlags : DueAction::None;
        return TimeRules(a, diff, false, now);
    default:
        return DueAction::None;
    }
}

bool MissedWhileAsleep(const AlarmCode& a, const char* weekdays, const TodayNumbers& now, const LocalTime& since) {
    if (a.bDone5 || now.today < a.startDate || now.today > a.endDate) return false;
    if (a.repeatKind == kRepeatWeekly) {
        if (!IsWeekdayChecked(weekdays, now.dayOfWeek)) return false;
    } else if (a.repeatKind != kRepeatDaily) {
        return false;
    }
    const int sinceDay = DateNumber(since.year, since.month, since.day);
    if (sinceDay > now.today) return false;  // the clock went back: nothing was missed
    const int sinceMinute = sinceDay < now.today ? 0 : since.hour * 60 + since.minute;
    const int alarmMinute = a.hour * 60 + a.minute;
    return alarmMinute >= sinceMinute && alarmMinute < now.hour * 60 + now.minute;
}

AlarmPassResult CheckAlarms(const std::string& alarmPath, const LocalTime* missedSince) {
    AlarmPassResult result;
    if (!File::IsExist(alarmPath.c_str())) return result;
    // Only an alarm table is read as one; a damaged one is reported (once) and,
    // when short of records, read as far as it goes. Its flags and states are
    // not written: SetAlarmField writes to sound tables only.
    {
        FileDBF check;
        const TableState state = OpenTableChecked(check, alarmPath, kAlarmTableLayout, kAlarmTableFieldCount);
        result.tableDamaged = state != TableState::Sound;
        if (!CanRead(state)) return result;
    }
    TableScan table;
    if (!table.Open(alarmPath)) {
        // Damaged, or held by another program: nothing in it can be judged.
        result.tableDamaged = true;
        KeepDamagedCopy(alarmPath);
        return result;
    }
    result.tableFound = true;
    const TodayNumbers now = TodayNumbersFrom(CurrentClock().Now());
    // Nothing written to the table today: every flag was set on an earlier day.
    const int lastWritten = LastWrittenDate(alarmPath);
    const bool flagsFromEarlierDays = lastWritten > 0 && lastWritten < now.today;

    const long count = table.Records();
    const int fieldCount = table.FieldCount();
    char value[kLongestAlarmField + 1];
    for (long r = 1; r <= count; ++r) {
        // The state decides whether the record is looked at at all.
        if (!table.Go(r) || !table.ReadField(kAlarmState, value, sizeof value) || !IsOne(value)) continue;

        AlarmCode alarm;
        std::string stick, code, weekdays;
        const UnrecordedDecision* unrecorded = nullptr;
        bool intact = true;  // a record read only in part is never judged
        DueAction action = DueAction::None;
        for (int field = 1; field <= fieldCount; ++field) {
            if (ReadForPass(table, r, field, value) != 0) {
                ++result.readErrors;
                intact = false;
                continue;
            }
            switch (field) {
            case kAlarmCode:
                // A code outside its ranges is as unreadable as a field that failed.
                if (!DecodeAlarmCode(value, &alarm)) {  // the flags follow in fields 2 and 3
                    ++result.readErrors;
                    intact = false;
                }
                code = value;
                if (!Unrecorded().empty()) {
                    const auto kept = Unrecorded().find(UnrecordedKey(alarmPath, r, code));
                    if (kept != Unrecorded().end()) unrecorded = &kept->second;
                }
                break;
            case kAlarm5:
                alarm.bDone5 = IsOne(value);
                break;
            case kAlarm30:
                alarm.bDone30 = IsOne(value);
                break;
            case kAlarmStick:
                stick = value;
                if (alarm.repeatKind != kRepeatWeekly && intact)
                    action = Judge(alarmPath, r, alarm, value, now, flagsFromEarlierDays, unrecorded);
                break;
            case kAlarmWeekly:
                weekdays = value;
                if (alarm.repeatKind == kRepeatWeekly && intact)
                    action = Judge(alarmPath, r, alarm, value, now, flagsFromEarlierDays, unrecorded);
                break;
            default:
                break;
            }
        }
        // Over already, though the table still says live.
        if (unrecorded && unrecorded->finished) continue;
        if (action == DueAction::None && intact && missedSince &&
            MissedWhileAsleep(alarm, weekdays.c_str(), now, *missedSince))
            action = DueAction::MissedReminder;
        if (action == DueAction::None) continue;

        const bool weekly = alarm.repeatKind == kRepeatWeekly;
        if (action == DueAction::OutOfDate || action == DueAction::AdvanceReminder ||
            action == DueAction::TimeReminder || action == DueAction::MissedReminder) {
            AlarmEvent event;
            event.alarm = alarm;
            event.record = static_cast<int>(r);
            event.outOfDate = action == DueAction::OutOfDate;
            event.text = event.outOfDate ? kOutOfDateText : stick;
            if (weekly) event.weeklyStick = stick;
            result.events.push_back(std::move(event));
        }
        if (RecordDecision(alarmPath, static_cast<int>(r), action)) {
            if (unrecorded) Unrecorded().erase(UnrecordedKey(alarmPath, r, code));
        } else {
            KeepUnrecorded(Unrecorded()[UnrecordedKey(alarmPath, r, code)], action, now.today);
        }
        if (action == DueAction::OutOfDate || action == DueAction::ResetAndFinish) result.statesChanged = true;
    }
    return result;
}

}  // namespace pinora
