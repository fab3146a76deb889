#include "AlarmCode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Clock.h"

namespace pinora {

AlarmCode DecodeAlarmCode(const char* text) {
    AlarmCode code;
    if (text == nullptr) return code;
    int* const pieces[] = {&code.startDate, &code.year, &code.month,      &code.day,
                           &code.hour,      &code.minute, &code.dayOfWeek, &code.repeatKind};
    const int pieceCount = static_cast<int>(sizeof pieces / sizeof pieces[0]);
    const char* p = text;
    int k = 0;
    for (const char* bar = std::strchr(p, '|'); bar != nullptr; bar = std::strchr(p, '|')) {
        if (k < pieceCount) *pieces[k++] = std::atoi(p);
        p = bar + 1;
    }
    code.endDate = std::atoi(p);  // whatever follows the last bar
    return code;
}

std::string EncodeAlarmCode(const AlarmCode& code) {
    char text[128];
    std::snprintf(text, sizeof text, "%08d|%04d|%02d|%02d|%d|%d|%d|%d|%08d", code.startDate, code.year, code.month,
                  code.day, code.hour, code.minute, code.dayOfWeek, code.repeatKind, code.endDate);
    return text;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

CivilDate NextDay(CivilDate date) {
    if (++date.day > DaysInMonth(date.year, date.month)) {
        date.day = 1;
        if (++date.month > 12) {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

CarriedTime AddMinutes(int hour, int minute, int minutes) {
    int total = hour * 60 + minute + minutes;
    CarriedTime t;
    t.daysCarried = total / (24 * 60);
    total %= 24 * 60;
    t.hour = total / 60;
    t.minute = total % 60;
    return t;
}

int DelayMinutes(int index) {
    static const int minutes[] = {5, 15, 30, 60, 90, 120};
    return index >= 0 && index < 6 ? minutes[index] : minutes[0];
}

AlarmCode SnoozedAlarm(const AlarmCode& alarm, int delayIndex) {
    AlarmCode moved = alarm;
    CarriedTime t = AddMinutes(alarm.hour, alarm.minute, DelayMinutes(delayIndex));
    moved.hour = t.hour;
    moved.minute = t.minute;
    if (t.daysCarried > 0) {
        CivilDate d{alarm.year, alarm.month, alarm.day};
        for (int i = 0; i < t.daysCarried; ++i) d = NextDay(d);
        moved.year = d.year;
        moved.month = d.month;
        moved.day = d.day;
        moved.startDate = DateNumber(d.year, d.month, d.day);
        moved.dayOfWeek = DayOfWeek(d.year, d.month, d.day);
        // A one-time alarm ends on its start day; pushed to the next day it must
        // not be out of date before it rings.
        if (moved.endDate < moved.startDate) moved.endDate = moved.startDate;
    }
    return moved;
}

}  // namespace pinora
