#include "StickEditLogic.h"

#include <cstdio>

#include "StickStore.h"

namespace pinora {

std::string WeekdayText(const bool checked[7], bool listEnabled) {
    std::string text(7, '0');
    if (!listEnabled) return text;
    for (int i = 0; i < 7; ++i)
        if (checked[i]) text[static_cast<size_t>(i)] = '1';
    return text;
}

int EditorRepeatKind(const StickEditorState& s) {
    if (s.quick) return kRepeatDaily;
    if (s.kind1) return kRepeatDaily;
    if (s.kind2) return kRepeatWeekly;
    if (s.kind3) return kRepeatThird;
    return s.alarmOn ? kRepeatDaily : kRepeatNone;
}

int EditorEndDate(const StickEditorState& s, int startDate) {
    if (!s.repeat) return startDate;
    return s.until ? DateNumber(s.end.year, s.end.month, s.end.day) : kEndlessDate;
}

namespace {

// Today at the chosen time, at least five minutes ahead.
bool TimeStillAhead(const StickEditorState& s, const LocalTime& now) {
    if (now.hour > s.hour) return false;
    if (now.hour < s.hour) return true;
    return now.minute <= s.minute - 5;
}

}  // namespace

bool IsAlarmTimeValid(const StickEditorState& s, const LocalTime& now) {
    if (!s.alarmOn) return true;
    const int today = DateNumber(now.year, now.month, now.day);
    const int d = DateNumber(s.start.year, s.start.month, s.start.day);
    // The end that will be stored: a repeat without "until" never ends, so its
    // start can lie after whatever the hidden end picker shows.
    const int e = EditorEndDate(s, d);
    if (s.repeat && d > e) return false;
    if (s.keptStartDate != 0 && d == s.keptStartDate && d <= today) {
        // A stored alarm that has begun keeps its start; it is valid while it
        // still has a day to ring on.
        if (e != today) return e > today;
        return TimeStillAhead(s, now);
    }
    if (d < today) return false;
    if (d > today) return true;
    return TimeStillAhead(s, now);
}

EditorDateTime AlarmOnPreset(const LocalTime& now) {
    const CarriedTime later = AddMinutes(now.hour, now.minute, 60);
    EditorDateTime t;
    t.date = CivilDate{now.year, now.month, now.day};
    for (int i = 0; i < later.daysCarried; ++i) t.date = NextDay(t.date);
    t.hour = later.hour;
    t.minute = later.minute;
    return t;
}

CarriedTime QuickReminderTime(const LocalTime& now, int delayIndex) {
    return AddMinutes(now.hour, now.minute, DelayMinutes(delayIndex) + 5);
}

StickToSave BuildStickToSave(const StickEditorState& s, const LocalTime& now) {
    CivilDate date = s.start;
    int hour = s.hour, minute = s.minute;
    int dayOfWeek = s.timeDayOfWeek;
    if (s.quick) {
        // Counted from the moment of OK: an editor opened before midnight must
        // not store it for yesterday.
        const CarriedTime t = QuickReminderTime(now, s.quickDelay);
        hour = t.hour;
        minute = t.minute;
        date = CivilDate{now.year, now.month, now.day};
        for (int i = 0; i < t.daysCarried; ++i) date = NextDay(date);
        dayOfWeek = DayOfWeek(date.year, date.month, date.day);
    }
    const int startDate = DateNumber(date.year, date.month, date.day);

    AlarmCode code;
    code.startDate = startDate;
    code.year = date.year;
    code.month = date.month;
    code.day = date.day;
    code.hour = hour;
    code.minute = minute;
    code.dayOfWeek = dayOfWeek;
    code.repeatKind = EditorRepeatKind(s);
    code.endDate = EditorEndDate(s, startDate);

    const bool reminds = s.alarmOn || s.quick;
    StickToSave out;
    out.dateNumber = startDate;
    out.text = StoredText(s.text);
    out.alarm.code = EncodeAlarmCode(code);
    out.alarm.alarm5 = reminds ? "0" : "1";
    out.alarm.alarm30 = s.alarmOn ? "0" : "1";
    out.alarm.stick = out.text;
    out.alarm.weekly = s.weekly;
    char dateText[16];
    std::snprintf(dateText, sizeof dateText, "%d", startDate);
    out.alarm.date = dateText;
    out.alarm.state = reminds ? kStateLive : kStateNoAlarm;
    return out;
}

StickEditorState EditorStateForWhen(const WhenFound& when, const std::string& text) {
    StickEditorState s;
    s.text = text;
    s.alarmOn = true;
    s.repeat = when.repeat != WhenRepeat::None;
    s.kind1 = when.repeat == WhenRepeat::Daily;
    s.kind2 = when.repeat == WhenRepeat::Weekly;
    s.until = s.repeat && when.hasEnd;
    s.start = when.date;
    s.hour = when.hour;
    s.minute = when.minute;
    s.timeDayOfWeek = DayOfWeek(when.date.year, when.date.month, when.date.day);
    s.end = s.until ? when.end : when.date;
    s.weekly = WeekdayText(when.weekdays, when.repeat == WhenRepeat::Weekly);
    return s;
}

StickToSave ReminderToSave(const WhenFound& when, const std::string& text, const LocalTime& now) {
    StickToSave stick = BuildStickToSave(EditorStateForWhen(when, text), now);
    const long minutesAhead = (DaysFromCivil(when.date) - DaysFromCivil(CivilDate{now.year, now.month, now.day})) *
                                  24 * 60 +
                              (when.hour * 60 + when.minute) - (now.hour * 60 + now.minute);
    if (minutesAhead <= 30) stick.alarm.alarm30 = "1";
    return stick;
}

}  // namespace pinora
