// The alarm table both calendar benchmarks read: 10,000 sticks spread over the
// days of 2009, about 27 a day, a third of them finished. The month shown is
// March 2009, whose 42 days (22 February to 4 April) hold about 1,150 of them.
#pragma once
#include <array>
#include <cstdlib>
#include <string>

#include "AlarmStore.h"
#include "CalendarModel.h"

namespace calendar_bench {

constexpr int kRecords = 10000;
constexpr int kYear = 2009;
constexpr int kMonth = 3;

inline void FillAlarmTable(const std::string& path) {
    pinora::CivilDate day{kYear, 1, 1};
    for (int i = 0; i < kRecords; ++i) {
        if (i > 0 && i % 27 == 0) day = pinora::NextDay(day);
        const std::string date = std::to_string(pinora::DateNumber(day.year, day.month, day.day));
        pinora::AlarmRecord r;
        r.code = date + "|2009|01|01|9|0|4|0|" + date;
        r.stick = "A stick of ordinary length, written for the calendar benchmark " + std::to_string(i);
        r.date = date;
        r.state = i % 3 == 0 ? "0" : (i % 3 == 1 ? "1" : "3");
        if (!pinora::AppendAlarm(path, r)) std::abort();
    }
}

// What a month reload lists in all; the per-day reading gives the reference.
inline size_t Listed(const std::array<pinora::DaySticks, pinora::kCalendarCells>& month) {
    size_t n = 0;
    for (const pinora::DaySticks& day : month) n += day.size();
    return n;
}

}  // namespace calendar_bench
