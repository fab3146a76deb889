#include "Scheduler.h"

#include <cstring>

#include "AlarmStore.h"
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

// The three rules shared by daily and weekly alarms.
DueAction TimeRules(const AlarmCode& a, int diff, bool mayFinish, const TodayNumbers& now) {
    if (diff >= 5 && diff <= 30 && !a.bDone30) return DueAction::AdvanceReminder;
    if (diff >= 0 && diff <= 5 && !a.bDone5) return DueAction::TimeReminder;
    if (diff < 0 && a.bDone30 && a.bDone5) {
        const bool oneTime = now.today == a.endDate && now.today == a.startDate;
        return mayFinish && oneTime ? DueAction::ResetAndFinish : DueAction::ResetFlags;
    }
    return DueAction::None;
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
        SetAlarmField(path, record, kAlarm30, "0");
        SetAlarmField(path, record, kAlarm5, "0");
        if (action == DueAction::ResetAndFinish) SetAlarmField(path, record, kAlarmState, kStateFinished);
        break;
    case DueAction::None:
        break;
    }
}

}  // namespace

void SetAlarmReadFault(AlarmReadFault fault) { g_readFault = fault; }

TodayNumbers TodayNumbersFrom(const LocalTime& now) {
    return TodayNumbers{DateNumber(now.year, now.month, now.day), now.hour, now.minute, now.dayOfWeek};
}

DueAction CheckDue(const AlarmCode& a, const char* weekdays, const TodayNumbers& now) {
    if (now.today < a.startDate) return DueAction::None;
    if (now.today > a.endDate) return DueAction::OutOfDate;
    const int d = a.hour - now.hour;
    if (d > 1 || d < 0) return DueAction::None;  // only this hour and the next
    const int diff = a.minute + 60 * d - now.minute;
    switch (a.repeatKind) {
    case kRepeatDaily:
        return TimeRules(a, diff, true, now);
    case kRepeatWeekly:
        if (weekdays == nullptr || std::strlen(weekdays) <= static_cast<size_t>(now.dayOfWeek) ||
            weekdays[now.dayOfWeek] != '1')
            return DueAction::None;
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
    if (!table.Open(alarmPath)) return result;
    result.tableFound = true;

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
                if (alarm.repeatKind != kRepeatWeekly && intact) {
                    action = CheckDue(alarm, value, TodayNumbersFrom(CurrentClock().Now()));
                }
                break;
            case kAlarmWeekly:
                if (alarm.repeatKind == kRepeatWeekly && intact) {
                    action = CheckDue(alarm, value, TodayNumbersFrom(CurrentClock().Now()));
                }
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
    }
    return result;
}

}  // namespace pinora
