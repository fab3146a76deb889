// The scheduler pass timed as the program runs it: a Windows program, run under
// Wine, over the same 10,000-record alarm table as the host benchmark (100 live),
// beside a plain read of the file in 64 KiB blocks. Prints the median of 21 runs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "Clock.h"
#include "Scheduler.h"
#include "TodayList.h"
#include "sticks_bench_table.h"
#include "table_walk_baseline.h"
#include "wine_bench_timing.h"

namespace {

using sticks_bench::kLive;
using sticks_bench::kRecords;
constexpr int kRuns = 21;

std::string MakeTable() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "sticks-wine-bench.ser";
    DeleteFileA(path.c_str());
    sticks_bench::FillAlarmTable(path);
    return path;
}

template <typename F>
double MedianMicroseconds(F work) {
    return wine_bench::MedianMicroseconds(kRuns, work);
}

}  // namespace

int main() {
    const std::string path = MakeTable();
    pinora::ManualClock clock(pinora::LocalTime{2009, 3, 5, 9, 0, 0, 4});
    pinora::SetClock(&clock);

    std::vector<char> block;
    double plain = MedianMicroseconds([&] { bench::PlainSequentialRead(path, block); });
    double pass = MedianMicroseconds([&] {
        pinora::AlarmPassResult r = pinora::CheckAlarms(path);
        if (!r.events.empty() || r.readErrors) std::exit(2);
    });
    double today = MedianMicroseconds([&] {
        if (pinora::BuildTodayList(path, 20090305, 0).size() != kLive) std::exit(3);
    });
    std::printf("records %d (live %d), median of %d runs under this system:\n", kRecords, kLive, kRuns);
    std::printf("  plain read      %9.0f us\n", plain);
    std::printf("  scheduler pass  %9.0f us  (%.1fx the plain read)\n", pass, pass / plain);
    std::printf("  today list      %9.0f us  (%.1fx the plain read)\n", today, today / plain);
    DeleteFileA(path.c_str());
    return 0;
}
