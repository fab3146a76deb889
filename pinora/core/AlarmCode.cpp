#include "AlarmCode.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "Clock.h"
#include "StoredNumber.h"

namespace pinora {

namespace {

constexpr int kCodePieces = 9;

// A piece that is a number of at most nine digits between blanks; anything
// else (a sign, a letter, an empty piece, ten digits) is no stored number.
bool StrictNumber(const char* p, const char* end, int* value) {
    while (p < end && *p == ' ') ++p;
    while (end > p && end[-1] == ' ') --end;
    if (p == end || end - p > 9) return false;
    int v = 0;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9') return false;
        v = v * 10 + (*p - '0');
    }
    *value = v;
    return true;
}

bool IsDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool IsDateNumber(int date) { return IsDate(date / 10000, date / 100 % 100, date % 100); }

bool InRanges(const AlarmCode& c) {
    return IsDateNumber(c.startDate) && IsDateNumber(c.endDate) && IsDate(c.year, c.month, c.day) && c.hour >= 0 &&
           c.hour <= 23 && c.minute >= 0 && c.minute <= 59 && c.dayOfWeek >= 0 && c.dayOfWeek <= 6 &&
           c.repeatKind >= kRepeatNone && c.repeatKind <= kRepeatThird;
}

// The pieces in stored order.
std::array<int*, kCodePieces> Pieces(AlarmCode& c) {
    return {&c.startDate, &c.year, &c.month, &c.day, &c.hour, &c.minute, &c.dayOfWeek, &c.repeatKind, &c.endDate};
}

}  // namespace

AlarmCode DecodeAlarmCode(const char* text) {
    AlarmCode code;
    if (text == nullptr) return code;
    const auto pieces = Pieces(code);
    const char* p = text;
    int k = 0;
    for (const char* bar = std::strchr(p, '|'); bar != nullptr; bar = std::strchr(p, '|')) {
        if (k < kCodePieces - 1) *pieces[static_cast<size_t>(k++)] = LenientNumber(p);
        p = bar + 1;
    }
    code.endDate = LenientNumber(p);  // whatever follows the last bar
    return code;
}

bool DecodeAlarmCode(const char* text, AlarmCode* code) {
    AlarmCode decoded;
    if (text == nullptr || code == nullptr) return false;
    const auto pieces = Pieces(decoded);
    const char* p = text;
    for (int k = 0; k < kCodePieces; ++k) {
        const char* bar = std::strchr(p, '|');
        const bool last = k == kCodePieces - 1;
        if ((bar == nullptr) != last) return false;  // not nine pieces
        const char* end = last ? p + std::strlen(p) : bar;
        if (!StrictNumber(p, end, pieces[static_cast<size_t>(k)])) return false;
        p = end + 1;
    }
    if (!InRanges(decoded)) return false;
    *code = decoded;
    return true;
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
