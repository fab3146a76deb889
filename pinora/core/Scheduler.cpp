#include "Scheduler.h"

#include <cstring>

#include "AlarmStore.h"
#include "DamagedTables.h"
#include "StickTableLayouts.h"
#include "TableScan.h"

namespace pinora {
namespace {

AlarmReadFault g_readFault = nullptr;

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

void ClearFlags(const std::string& path, int record) {
    SetAlarmField(path, record, kAlarm30, "0");
    SetAlarmField(path, record, kAlarm5, "0");
}

// Writes what the decision records into the record, one field at a time.
void RecordDecision(const std::string& path, int record, DueAction action) {
    switch (action) {
    case DueAction::OutOfDate:
        SetAlarmField(path, record, kAlarmState, kStateFinished);
        break;
    case DueAction::AdvanceReminder:
        SetAlarmField(path, record, kAlarm30, "1");
        break;
    case DueAction::TimeReminder:
        SetAlarmField(path, record, kAlarm5, "1");
        break;
    case DueAction::ResetFlags:
    case DueAction::ResetAndFinish:
        ClearFlags(path, record);
        if (action == DueAction::ResetAndFinish) SetAlarmField(path, record, kAlarmState, kStateFinished);
        break;
    case DueAction::None:
        break;
    }
}

// An alarm of several days still flagged from an earlier day starts today afresh,
// also when the program starts inside today's span; then it is judged.
DueAction Judge(const std::string& path, long record, AlarmCode& alarm, const char* text, const TodayNumbers& now,
                bool flagsFromEarlierDays) {
    if (flagsFromEarlierDays && RingsOnSeveralDays(alarm) && (alarm.bDone30 || alarm.bDone5)) {
        ClearFlags(path, static_cast<int>(record));
        alarm.bDone30 = alarm.bDone5 = 0;
    }
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

AlarmPassResult CheckAlarms(const std::string& alarmPath) {
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
        std::string stick;
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
                break;
            case kAlarm5:
                alarm.bDone5 = IsOne(value);
                break;
            case kAlarm30:
                alarm.bDone30 = IsOne(value);
                break;
            case kAlarmStick:
                stick = value;
                if (alarm.repeatKind != kRepeatWeekly && intact) action = Judge(alarmPath, r, alarm, value, now, flagsFromEarlierDays);
                break;
            case kAlarmWeekly:
                if (alarm.repeatKind == kRepeatWeekly && intact) action = Judge(alarmPath, r, alarm, value, now, flagsFromEarlierDays);
                break;
            default:
                break;
            }
        }
        if (action == DueAction::None) continue;

        const bool weekly = alarm.repeatKind == kRepeatWeekly;
        if (action == DueAction::OutOfDate || action == DueAction::AdvanceReminder ||
            action == DueAction::TimeReminder) {
            AlarmEvent event;
            event.alarm = alarm;
            event.record = static_cast<int>(r);
            event.outOfDate = action == DueAction::OutOfDate;
            event.text = event.outOfDate ? kOutOfDateText : stick;
            if (weekly) event.weeklyStick = stick;
            result.events.push_back(std::move(event));
        }
        RecordDecision(alarmPath, static_cast<int>(r), action);
        if (action == DueAction::OutOfDate || action == DueAction::ResetAndFinish) result.statesChanged = true;
    }
    return result;
}

}  // namespace pinora
