// The alarm table both sticks benchmarks walk: 10,000 records, 100 of them live
// alarms at 20:00 on 5 March 2009. Looked at at 09:00 that day they are never
// due, so a pass writes nothing and every run does the same work.
#pragma once
#include <cstdlib>
#include <string>

#include "AlarmStore.h"

namespace sticks_bench {

constexpr int kRecords = 10000;
constexpr int kLive = 100;

inline void FillAlarmTable(const std::string& path) {
    for (int i = 0; i < kRecords; ++i) {
        const bool live = i % (kRecords / kLive) == 0;
        pinora::AlarmRecord r;
        r.code = live ? "20090305|2009|03|05|20|0|4|1|29991230" : "20090201|2009|02|01|9|0|0|1|20090201";
        r.stick = "A stick of ordinary length, written for the benchmark " + std::to_string(i);
        r.date = live ? "20090305" : "20090201";
        r.state = live ? "1" : (i % 2 ? "0" : "3");
        r.alarm5 = r.alarm30 = "0";
        if (!pinora::AppendAlarm(path, r)) std::abort();
    }
}

}  // namespace sticks_bench
