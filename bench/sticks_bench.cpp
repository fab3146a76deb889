// One scheduler pass and one today-list build over an alarm table of 10,000
// records of which 100 are live alarms, each beside a plain sequential read of
// the same file (64 KiB blocks), the floor any table walk is measured against.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "Clock.h"
#include "Scheduler.h"
#include "TodayList.h"

namespace {

constexpr int kRecords = 10000;
constexpr int kLive = 100;

const std::string& BenchTable() {
    static const std::string path = [] {
        auto dir = std::filesystem::temp_directory_path() / ("sticks-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string p = (dir / pinora::kAlarmTableName).string();
        for (int i = 0; i < kRecords; ++i) {
            const bool live = i % (kRecords / kLive) == 0;
            pinora::AlarmRecord r;
            // Live alarms at 20:00 on the benchmark day: looked at, never due at 09:00,
            // so the pass writes nothing and every run does the same work.
            r.code = live ? "20090305|2009|03|05|20|0|4|1|29991230" : "20090201|2009|02|01|9|0|0|1|20090201";
            r.stick = "A stick of ordinary length, written for the benchmark " + std::to_string(i);
            r.date = live ? "20090305" : "20090201";
            r.state = live ? "1" : (i % 2 ? "0" : "3");
            r.alarm5 = r.alarm30 = "0";
            if (!pinora::AppendAlarm(p, r)) std::abort();
        }
        return p;
    }();
    return path;
}

pinora::ManualClock g_clock(pinora::LocalTime{2009, 3, 5, 9, 0, 0, 4});

void BM_PlainSequentialRead(benchmark::State& state) {
    const std::string& path = BenchTable();
    std::vector<char> block(64 * 1024);
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "rb");
        size_t total = 0, n;
        while ((n = std::fread(block.data(), 1, block.size(), f)) > 0) total += n;
        std::fclose(f);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMicrosecond);

void BM_SchedulerPass(benchmark::State& state) {
    const std::string& path = BenchTable();
    pinora::SetClock(&g_clock);
    for (auto _ : state) {
        pinora::AlarmPassResult pass = pinora::CheckAlarms(path);
        if (!pass.events.empty() || pass.readErrors) state.SkipWithError("the pass changed the table");
        benchmark::DoNotOptimize(pass);
    }
    pinora::SetClock(nullptr);
}
BENCHMARK(BM_SchedulerPass)->Unit(benchmark::kMicrosecond);

void BM_TodayListBuild(benchmark::State& state) {
    const std::string& path = BenchTable();
    for (auto _ : state) {
        std::vector<pinora::TodayItem> items = pinora::BuildTodayList(path, 20090305, 0);
        if (items.size() != kLive) state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(items);
    }
}
BENCHMARK(BM_TodayListBuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
