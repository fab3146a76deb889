// The scheduler pass timed as the program runs it: a Windows program, run under
// Wine, over the same 10,000-record alarm table as the host benchmark (100 live),
// beside a plain read of the file in 64 KiB blocks. Prints the median of 21 runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "Clock.h"
#include "Scheduler.h"
#include "TodayList.h"

namespace {

constexpr int kRecords = 10000;
constexpr int kLive = 100;
constexpr int kRuns = 21;

std::string MakeTable() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "sticks-wine-bench.ser";
    DeleteFileA(path.c_str());
    for (int i = 0; i < kRecords; ++i) {
        const bool live = i % (kRecords / kLive) == 0;
        pinora::AlarmRecord r;
        r.code = live ? "20090305|2009|03|05|20|0|4|1|29991230" : "20090201|2009|02|01|9|0|0|1|20090201";
        r.stick = "A stick of ordinary length, written for the benchmark " + std::to_string(i);
        r.date = live ? "20090305" : "20090201";
        r.state = live ? "1" : (i % 2 ? "0" : "3");
        r.alarm5 = r.alarm30 = "0";
        if (!pinora::AppendAlarm(path, r)) std::exit(1);
    }
    return path;
}

template <typename F>
double MedianMicroseconds(F work) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QueryPerformanceCounter(&a);
        work();
        QueryPerformanceCounter(&b);
        times.push_back(1e6 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

}  // namespace

int main() {
    const std::string path = MakeTable();
    pinora::ManualClock clock(pinora::LocalTime{2009, 3, 5, 9, 0, 0, 4});
    pinora::SetClock(&clock);

    std::vector<char> block(64 * 1024);
    double plain = MedianMicroseconds([&] {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        while (ReadFile(f, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got > 0) {
        }
        CloseHandle(f);
    });
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
